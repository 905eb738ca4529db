#include "ui/fullfieldsign.h"

#include "ui/imagetextlimit.h"

#include <QApplication>
#include <QToolTip>
#include <QWidget>

namespace kelvra {

namespace {

// Longer than the delay before a held key repeats (half a second on most
// desktops), so the repeats of one press stay silent; a new press after a
// pause beeps again.
constexpr qint64 BurstGapMs = 1000;

} // namespace

void FullFieldSign::Refused(QWidget *field, const QString &text, int maxBytes)
{
    if (!field->hasFocus())
        return;
    const bool beep = field != m_field || !m_lastRefusal.isValid() || m_lastRefusal.elapsed() > BurstGapMs;
    m_field = field;
    m_lastRefusal.start();
    if (beep)
        QApplication::beep();
    // The field's spoken name is its label's caption, in the interface's language.
    const QString tip = QCoreApplication::translate("FullFieldSign", "%1 is full: %2 of %3 bytes")
                            .arg(field->accessibleName())
                            .arg(ImageTextLimit::Bytes(text))
                            .arg(maxBytes);
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), tip, field);
    emit Shown(field, beep);
}

} // namespace kelvra
