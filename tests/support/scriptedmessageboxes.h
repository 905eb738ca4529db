#pragma once

#include "ui/messageboxes.h"

#include <QCursor>
#include <QGuiApplication>
#include <QStringList>

namespace kelvra {

// Message boxes answered by the test instead of a person: every box is
// recorded, and OK/Cancel and Yes/No boxes take their answers from a queue
// (OK or Yes when it runs dry).
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    // busyCursor: the busy cursor was showing over the box.
    struct Box { QString text; Buttons buttons; Operator::Icon icon; QString detail; bool busyCursor; };

    bool Show(const QString &text, Buttons buttons, Operator::Icon icon, const QString &detail = QString()) override
    {
        const QCursor *cursor = QGuiApplication::overrideCursor();
        shown.append({text, buttons, icon, detail, cursor && cursor->shape() == Qt::WaitCursor});
        return buttons == Buttons::Ok || answers.isEmpty() || answers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Box &box : shown)
            result.append(box.text);
        return result;
    }

    QList<Box> shown;
    // Answers for the coming OK/Cancel and Yes/No boxes: true is OK or Yes.
    QList<bool> answers;
};

} // namespace kelvra
