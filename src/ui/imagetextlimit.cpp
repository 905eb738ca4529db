#include "ui/imagetextlimit.h"

#include "record/imagetext.h"

#include <limits>

namespace kelvra {

ImageTextLimit::ImageTextLimit(int maxBytes, QObject *parent) : QValidator(parent), m_maxBytes(maxBytes) {}

QValidator::State ImageTextLimit::validate(QString &input, int &pos) const
{
    return Fit(input, pos, m_maxBytes) ? Acceptable : Invalid;
}

int ImageTextLimit::Bytes(QStringView text)
{
    return int(ImageBytesFitting(text.toString(), std::numeric_limits<int>::max()).size());
}

bool ImageTextLimit::Fit(QString &text, int &pos, int maxBytes)
{
    pos = qBound(0, pos, int(text.size()));
    const QStringView tail = QStringView(text).mid(pos);
    const int tailBytes = Bytes(tail);
    if (tailBytes > maxBytes)
        return false;
    const qsizetype keep = ImageTextFittingLength(QStringView(text).left(pos), maxBytes - tailBytes);
    if (keep < pos) {
        text.remove(keep, pos - keep);
        pos = int(keep);
    }
    return true;
}

} // namespace kelvra
