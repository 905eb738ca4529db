#include "ui/imagetextlimit.h"

#include "record/imagetext.h"

namespace kelvra {

ImageTextLimit::ImageTextLimit(int maxBytes, QObject *parent) : QValidator(parent), m_maxBytes(maxBytes) {}

QValidator::State ImageTextLimit::validate(QString &input, int &pos) const
{
    const qsizetype offered = input.size();
    const bool fits = Fit(input, pos, m_maxBytes);
    if (!fits || input.size() < offered)
        emit Cut();
    return fits ? Acceptable : Invalid;
}

int ImageTextLimit::Bytes(QStringView text)
{
    return ImageTextBytes(text);
}

bool ImageTextLimit::Fit(QString &text, int &pos, int maxBytes)
{
    pos = qBound(0, pos, int(text.size()));
    const QStringView tail = QStringView(text).mid(pos);
    const int tailBytes = Bytes(tail);
    if (tailBytes > maxBytes)
        return false;
    const QStringView head = QStringView(text).left(pos);
    const qsizetype keep = ImageTextFittingLength(head, maxBytes - tailBytes);
    if (keep < pos) {
        text.remove(keep, pos - keep);
        pos = int(keep);
    }
    return true;
}

} // namespace kelvra
