#include "production/jobtext.h"

#include "services/clitext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace kelvra {

namespace {

// A job is a few hundred bytes; a units list of a hundred thousand radios a few megabytes.
constexpr qint64 MaxJobBytes = 16 * 1024 * 1024;

bool Refuse(QString *error, const QString &why)
{
    *error = why;
    return false;
}

} // namespace

bool ReadJobText(const QString &path, QByteArray *text, QString *error)
{
    if (!QFileInfo(path).isFile())
        return Refuse(error, QFileInfo::exists(path)
                                 ? Cli::tr("%1 is no regular file; name the file itself.").arg(path)
                                 : Cli::tr("%1 does not exist.").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(error, Cli::tr("%1 cannot be read: %2").arg(path, file.errorString()));
    // Read no more than the limit, whatever the file claims to hold.
    *text = file.read(MaxJobBytes + 1);
    if (text->size() > MaxJobBytes)
        return Refuse(error, Cli::tr("%1 is larger than %2 MB, which no job or units file is.")
                                 .arg(path)
                                 .arg(MaxJobBytes / (1024 * 1024)));
    if (file.error() != QFileDevice::NoError)
        return Refuse(error, Cli::tr("%1 cannot be read: %2").arg(path, file.errorString()));
    if (text->startsWith("\xEF\xBB\xBF"))
        text->remove(0, 3);
    return true;
}

int LineAt(const QByteArray &text, qsizetype offset)
{
    return int(text.left(offset).count('\n')) + 1;
}

QList<JsonKey> ObjectKeys(const QByteArray &text)
{
    QList<JsonKey> keys;
    int depth = 0;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char ch = text.at(i);
        if (ch == '\n') {
            ++line;
        } else if (ch == '{' || ch == '[') {
            ++depth;
        } else if (ch == '}' || ch == ']') {
            --depth;
        } else if (ch == '"') {
            const qsizetype start = i;
            for (++i; i < text.size() && text.at(i) != '"'; ++i) {
                if (text.at(i) == '\\')
                    ++i;
            }
            qsizetype next = i + 1;
            while (next < text.size() && QByteArray(" \t\r\n").contains(text.at(next)))
                ++next;
            // A string at the object's own level followed by a colon names a member.
            if (depth == 1 && next < text.size() && text.at(next) == ':') {
                const QByteArray literal = '[' + text.mid(start, i + 1 - start) + ']';
                keys.append({QJsonDocument::fromJson(literal).array().at(0).toString(), line});
            }
        }
    }
    return keys;
}

bool ReadCsvRecord(const QString &text, qsizetype *pos, QStringList *fields, int *line)
{
    fields->clear();
    qsizetype i = *pos;
    if (i >= text.size())
        return false;
    QString field;
    bool quoted = false;
    for (; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\n') && line)
            ++*line;
        if (quoted) {
            if (ch == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else if (ch == QLatin1Char('"'))
                quoted = false;
            else
                field += ch;
        } else if (ch == QLatin1Char('"')) {
            quoted = true;
        } else if (ch == QLatin1Char(',')) {
            *fields << field;
            field.clear();
        } else if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
            if (ch == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) {
                ++i;
                if (line)
                    ++*line;
            }
            ++i;
            break;
        } else {
            field += ch;
        }
    }
    *fields << field;
    *pos = i;
    return true;
}

} // namespace kelvra
