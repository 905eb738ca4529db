#pragma once

#include "link/operatorseam.h"

#include <QPointer>
#include <QString>

class QWidget;

namespace kelvra {

// The modal message boxes of the program. The window asks through this seam
// so that tests can answer the boxes instead of a person.
class MessageBoxes
{
public:
    // YesNo: a question whose default answer, No, leaves things as they are.
    enum class Buttons { Ok, OkCancel, YesNo };

    virtual ~MessageBoxes() = default;

    // Shows a modal box titled with the program's name and returns true when it
    // was answered with OK or Yes; Cancel, No and closing the box return false.
    virtual bool Show(const QString &text, Buttons buttons, Operator::Icon icon,
                      const QString &detail = QString()) = 0;
};

// Message boxes on the screen.
class QtMessageBoxes : public MessageBoxes
{
public:
    // Boxes are centred on parent; without one, on the active window.
    explicit QtMessageBoxes(QWidget *parent = nullptr);

    void SetParentWidget(QWidget *parent);

    bool Show(const QString &text, Buttons buttons, Operator::Icon icon,
              const QString &detail = QString()) override;

private:
    QPointer<QWidget> m_parent;
};

// A box that waits for nobody: it tells the operator something that happened
// beside the work under way (the trace stopped), which goes on meanwhile.
void ShowNotice(QWidget *parent, const QString &text);

} // namespace kelvra
