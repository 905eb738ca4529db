#include "ui/imagetextlimit.h"

#include "record/imagetext.h"

#include <algorithm>
#include <limits>

namespace kelvra {

namespace {

// ASCII takes one byte a character. Counting it without the GBK converter
// keeps the converter's tables, a megabyte, out of memory until a field
// really holds something else.
bool IsAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() < 0x80; });
}

} // namespace

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
    if (IsAscii(text))
        return int(text.size());
    return int(ImageBytesFitting(text.toString(), std::numeric_limits<int>::max()).size());
}

bool ImageTextLimit::Fit(QString &text, int &pos, int maxBytes)
{
    pos = qBound(0, pos, int(text.size()));
    const QStringView tail = QStringView(text).mid(pos);
    const int tailBytes = Bytes(tail);
    if (tailBytes > maxBytes)
        return false;
    const QStringView head = QStringView(text).left(pos);
    const qsizetype keep = IsAscii(head) ? qMin<qsizetype>(pos, maxBytes - tailBytes)
                                         : ImageTextFittingLength(head, maxBytes - tailBytes);
    if (keep < pos) {
        text.remove(keep, pos - keep);
        pos = int(keep);
    }
    return true;
}

} // namespace kelvra
