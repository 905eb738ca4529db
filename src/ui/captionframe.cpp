#include "ui/captionframe.h"

#include <QPainter>
#include <QStyle>

namespace kelvra {

namespace {
constexpr int CaptionIndent = 6;
constexpr int CaptionPadding = 2;
} // namespace

CaptionFrame::CaptionFrame(QWidget *parent) : QGroupBox(parent) {}

void CaptionFrame::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const QRect caption(CaptionIndent, 0, metrics.horizontalAdvance(title()) + 2 * CaptionPadding, metrics.height());

    // An etched line, drawn by hand: styles put their group-box frame below
    // the caption, where this window's controls already stand.
    const QRect box = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.save();
    if (!title().isEmpty())
        painter.setClipRegion(QRegion(rect()).subtracted(caption));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.adjusted(1, 1, 0, 0));
    painter.restore();

    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

} // namespace kelvra
