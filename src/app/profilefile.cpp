#include "app/profilefile.h"

#include <QByteArrayList>
#include <QFile>
#include <QSaveFile>

namespace kelvra {

namespace {

// The file is handled as bytes so that lines this code does not own come back
// byte for byte, whatever their encoding.
struct Lines
{
    QByteArrayList lines;
    QByteArray eol = "\n";
    bool endsWithEol = true;
};

Lines SplitLines(const QByteArray &content)
{
    Lines result;
    if (content.contains("\r\n"))
        result.eol = "\r\n";
    if (content.isEmpty())
        return result;
    result.endsWithEol = content.endsWith('\n');
    QByteArray body = content;
    if (result.endsWithEol)
        body.chop(1);
    result.lines = body.split('\n');
    for (QByteArray &line : result.lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return result;
}

// The name of a "[name]" line, or a null array when the line is no section header.
QByteArray SectionName(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (!trimmed.startsWith('['))
        return QByteArray();
    const int close = trimmed.indexOf(']');
    if (close < 0)
        return QByteArray();
    return trimmed.mid(1, close - 1).trimmed();
}

bool IsKeyLine(const QByteArray &line, const QByteArray &key, QByteArray *value)
{
    const int equals = line.indexOf('=');
    if (equals < 0)
        return false;
    if (line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(equals + 1).trimmed();
    return true;
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

Place Find(const QByteArrayList &lines, const QByteArray &section, const QByteArray &key, QByteArray *value)
{
    Place place;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray name = SectionName(lines.at(i));
        if (!name.isNull()) {
            if (place.section >= 0)
                break; // only the first section of that name counts
            if (name.compare(section, Qt::CaseInsensitive) == 0) {
                place.section = i;
                place.lastEntry = i;
            }
            continue;
        }
        if (place.section < 0)
            continue;
        if (!lines.at(i).trimmed().isEmpty())
            place.lastEntry = i;
        if (IsKeyLine(lines.at(i), key, value)) {
            place.key = i;
            break;
        }
    }
    return place;
}

} // namespace

QString GetProfileString(const QString &path, const QString &section, const QString &key,
                         const QString &defaultValue)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return defaultValue;
    const Lines content = SplitLines(file.readAll());
    QByteArray value;
    if (Find(content.lines, section.toUtf8(), key.toUtf8(), &value).key < 0)
        return defaultValue;
    return QString::fromUtf8(Unquoted(value));
}

bool WriteProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value)
{
    QByteArray old;
    {
        QFile file(path);
        if (file.exists()) {
            if (!file.open(QIODevice::ReadOnly))
                return false;
            old = file.readAll();
        }
    }
    Lines content = SplitLines(old);
    const QByteArray keyLine = key.toUtf8() + '=' + value.toUtf8();
    const Place place = Find(content.lines, section.toUtf8(), key.toUtf8(), nullptr);
    if (place.key >= 0) {
        content.lines[place.key] = keyLine;
    } else if (place.section >= 0) {
        content.lines.insert(place.lastEntry + 1, keyLine);
    } else {
        if (!content.lines.isEmpty() && !content.lines.constLast().trimmed().isEmpty())
            content.lines.append(QByteArray());
        content.lines.append('[' + section.toUtf8() + ']');
        content.lines.append(keyLine);
    }

    QByteArray updated = content.lines.join(content.eol);
    if (content.endsWithEol || place.key < 0)
        updated += content.eol;
    if (updated == old)
        return true;

    QSaveFile file(path);
    // A folder that takes no new files may still hold a writable settings file.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(updated) != updated.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace kelvra
