#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

namespace kelvra {

// The sign that a field refused more than the radio stores for it: a beep and
// a tooltip saying how many bytes the field holds. The tooltip comes at every
// refusal; the beep once for a burst of them, because a key held down is
// refused thirty times a second and one beep says all that thirty would.
class FullFieldSign : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // field, holding text, takes at most maxBytes and has just refused more.
    // Only a field being typed into (it has the focus) shows the sign.
    void Refused(QWidget *field, const QString &text, int maxBytes);

signals:
    // After each refusal, once the tooltip is up: whether it beeped too.
    void Shown(QWidget *field, bool beeped);

private:
    QPointer<QWidget> m_field;
    QElapsedTimer m_lastRefusal;
};

} // namespace kelvra
