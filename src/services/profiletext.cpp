#include "services/profiletext.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <array>

namespace kelvra::profiletext {

namespace {

struct Line
{
    QByteArray text;
    QByteArray eol; // "\r\n", "\n", "\r", or empty for a last line without one
};

QList<Line> Split(const QByteArray &text)
{
    QList<Line> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\n' && c != '\r')
            continue;
        const qsizetype eolLength = c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n' ? 2 : 1;
        lines.append({text.mid(start, i - start), text.mid(i, eolLength)});
        i += eolLength - 1;
        start = i + 1;
    }
    if (start < text.size())
        lines.append({text.mid(start), QByteArray()});
    return lines;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The name of a "[name]" line, or a null array when the line is no section header.
QByteArray SectionName(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return QByteArray();
    const qsizetype close = trimmed.indexOf(']');
    if (close < 0)
        return QByteArray();
    return trimmed.mid(1, close - 1).trimmed();
}

struct Span
{
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Where the value of a "key=value" line for key stands, blanks around it left out.
std::optional<Span> ValueSpan(const QByteArray &line, const QByteArray &key)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    Span span{equals + 1, line.size()};
    while (span.begin < span.end && IsBlank(line.at(span.begin)))
        ++span.begin;
    while (span.end > span.begin && IsBlank(line.at(span.end - 1)))
        --span.end;
    return span;
}

// One pair of matching quotes around a value is not part of it.
QByteArray Unquoted(const QByteArray &value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

struct Place
{
    int section = -1;   // index of the section header
    int key = -1;       // index of the key line
    int lastEntry = -1; // last non-blank line of the section
};

Place Find(const QList<Line> &lines, const QByteArray &section, const QByteArray &key)
{
    Place place;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &text = lines.at(i).text;
        const QByteArray name = SectionName(text);
        if (!name.isNull()) {
            if (place.section >= 0)
                break; // only the first section of that name counts
            if (name.compare(section, Qt::CaseInsensitive) == 0)
                place.section = place.lastEntry = i;
            continue;
        }
        if (place.section < 0)
            continue;
        if (!text.trimmed().isEmpty())
            place.lastEntry = i;
        if (ValueSpan(text, key)) {
            place.key = i;
            break;
        }
    }
    return place;
}

const QByteArray Utf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");
const QByteArray Utf16LeMark = QByteArrayLiteral("\xFF\xFE");
const QByteArray Utf16BeMark = QByteArrayLiteral("\xFE\xFF");

// Enough for the first lines of any settings file.
constexpr qsizetype SniffedBytes = 512;

// Encoding::Utf16Le or Utf16Be when the first bytes are laid out as UTF-16 text, else Plain.
Encoding::Kind Utf16Layout(const QByteArray &raw)
{
    const qsizetype sniffed = std::min(raw.size(), SniffedBytes) & ~qsizetype(1);
    std::array<qsizetype, 2> zeros{}; // at even, at odd positions
    for (qsizetype i = 0; i < sniffed; ++i)
        zeros[std::size_t(i % 2)] += raw.at(i) == '\0';
    const qsizetype perParity = sniffed / 2;
    const auto most = [perParity](qsizetype n) { return n * 2 > perParity; };
    if (perParity > 0 && most(zeros[1]) && !most(zeros[0]))
        return Encoding::Utf16Le;
    if (perParity > 0 && most(zeros[0]) && !most(zeros[1]))
        return Encoding::Utf16Be;
    return Encoding::Plain;
}

bool IsControl(char c)
{
    const auto byte = quint8(c);
    return (byte < 0x20 && !IsBlank(c) && c != '\r' && c != '\n') || byte == 0x7F;
}

// Text has its sections and keys in characters; a value may hold anything.
bool IsText(const QList<Line> &lines)
{
    int written = 0, damaged = 0;
    for (const Line &line : lines) {
        if (line.text.trimmed().isEmpty())
            continue;
        ++written;
        const qsizetype equals = line.text.indexOf('=');
        const QByteArray name = equals < 0 ? line.text : line.text.left(equals);
        damaged += std::any_of(name.begin(), name.end(), IsControl);
    }
    return damaged * 2 <= written;
}

QStringConverter::Encoding Utf16Of(const Encoding &encoding)
{
    return encoding.kind == Encoding::Utf16Le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
}

} // namespace

Encoding EncodingOf(const QByteArray &raw)
{
    if (raw.startsWith(Utf8Mark))
        return {Encoding::Utf8, Utf8Mark};
    if (raw.startsWith(Utf16LeMark))
        return {Encoding::Utf16Le, Utf16LeMark};
    if (raw.startsWith(Utf16BeMark))
        return {Encoding::Utf16Be, Utf16BeMark};
    if (const Encoding::Kind utf16 = Utf16Layout(raw); utf16 != Encoding::Plain)
        return {raw.size() % 2 == 0 ? utf16 : Encoding::Unknown, QByteArray()};
    return {IsText(Split(raw)) ? Encoding::Plain : Encoding::Binary, QByteArray()};
}

QByteArray Decode(const QByteArray &raw, const Encoding &encoding)
{
    const QByteArrayView body = QByteArrayView(raw).sliced(encoding.mark.size());
    if (encoding.kind != Encoding::Utf16Le && encoding.kind != Encoding::Utf16Be)
        return body.toByteArray();
    QStringDecoder decoder(Utf16Of(encoding), QStringConverter::Flag::Stateless
                                                  | QStringConverter::Flag::ConvertInitialBom);
    return QString(decoder.decode(body)).toUtf8();
}

QByteArray Encode(const QByteArray &text, const Encoding &encoding)
{
    if (encoding.kind != Encoding::Utf16Le && encoding.kind != Encoding::Utf16Be)
        return encoding.mark + text;
    QStringEncoder encoder(Utf16Of(encoding), QStringConverter::Flag::Stateless);
    return encoding.mark + QByteArray(encoder.encode(QString::fromUtf8(text)));
}

std::optional<QByteArray> Value(const QByteArray &text, const QByteArray &section, const QByteArray &key)
{
    const QList<Line> lines = Split(text);
    const Place place = Find(lines, section, key);
    if (place.key < 0)
        return std::nullopt;
    const QByteArray &line = lines.at(place.key).text;
    const Span span = *ValueSpan(line, key);
    return Unquoted(line.mid(span.begin, span.end - span.begin));
}

QByteArray Updated(const QByteArray &text, const QByteArray &section, const QByteArray &key,
                   const QByteArray &value)
{
    QList<Line> lines = Split(text);
    QByteArray eol = "\n";
    for (const Line &line : lines) {
        if (!line.eol.isEmpty()) {
            eol = line.eol;
            break;
        }
    }
    // A last line without an ending gets the file's first one before a line follows it.
    const auto terminate = [&](int index) {
        if (lines[index].eol.isEmpty())
            lines[index].eol = eol;
    };
    const QByteArray keyLine = key + '=' + value;
    const Place place = Find(lines, section, key);
    if (place.key >= 0) {
        QByteArray &line = lines[place.key].text;
        const Span span = *ValueSpan(line, key);
        line.replace(span.begin, span.end - span.begin, value);
    } else if (place.section >= 0) {
        terminate(place.lastEntry);
        lines.insert(place.lastEntry + 1, Line{keyLine, lines.at(place.lastEntry).eol});
    } else {
        if (!lines.isEmpty()) {
            terminate(int(lines.size()) - 1);
            if (!lines.constLast().text.trimmed().isEmpty())
                lines.append(Line{QByteArray(), eol});
        }
        lines.append(Line{'[' + section + ']', eol});
        lines.append(Line{keyLine, eol});
    }
    QByteArray joined;
    for (const Line &line : lines)
        joined += line.text + line.eol;
    return joined;
}

} // namespace kelvra::profiletext
