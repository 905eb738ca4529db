#include "app/profilefile.h"

#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// A settings file that a person or an editor made is read only when it is a
// regular file of a size such a file can have: a link to /dev/zero, a FIFO
// or a stray huge file must neither stop nor stall the program.
constexpr qint64 MaxFileSize = 64 * 1024;

class FileHandle
{
public:
    FileHandle() = default;
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    ~FileHandle() { Reset(-1); }
    void Reset(int fd)
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = fd;
    }
    int fd() const { return m_fd; }

private:
    int m_fd = -1;
};

enum class Access { Missing, Refused, Ok };

bool IsUsable(const struct stat &st)
{
    return S_ISREG(st.st_mode) && st.st_size <= MaxFileSize;
}

// Opens path (links followed) and reads it whole. The checks come before the
// open, because opening a device can have effects of its own, and again on
// the open file, which may have been swapped in between.
Access ReadWhole(const QString &path, int openFlags, FileHandle &handle, QByteArray *content)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st{};
    if (stat(native.constData(), &st) != 0)
        return errno == ENOENT ? Access::Missing : Access::Refused;
    if (!IsUsable(st))
        return Access::Refused;
    handle.Reset(open(native.constData(), openFlags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    const int fd = handle.fd();
    if (fd < 0 || fstat(fd, &st) != 0 || !IsUsable(st))
        return Access::Refused;
    content->resize(MaxFileSize + 1);
    qsizetype got = 0;
    while (got < content->size()) {
        const ssize_t n = read(fd, content->data() + got, size_t(content->size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Access::Refused;
        if (n == 0)
            break;
        got += n;
    }
    if (got > MaxFileSize)
        return Access::Refused;
    content->truncate(got);
    return Access::Ok;
}

// The lines are worked on as 8-bit text: files without a byte-order mark
// byte for byte, whatever their code page; files with one through UTF-8,
// and written back in their own encoding.
enum class Encoding { Plain, Utf8Bom, Utf16Le, Utf16Be };

const QByteArray Utf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

Encoding EncodingOf(const QByteArray &raw)
{
    if (raw.startsWith(Utf8Bom))
        return Encoding::Utf8Bom;
    if (raw.startsWith("\xFF\xFE"))
        return Encoding::Utf16Le;
    if (raw.startsWith("\xFE\xFF"))
        return Encoding::Utf16Be;
    return Encoding::Plain;
}

QStringConverter::Encoding Utf16Of(Encoding encoding)
{
    return encoding == Encoding::Utf16Le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
}

QByteArray Decode(const QByteArray &raw, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Plain:
        return raw;
    case Encoding::Utf8Bom:
        return raw.mid(Utf8Bom.size());
    default: {
        QStringDecoder decoder(Utf16Of(encoding), QStringConverter::Flag::Stateless);
        return QString(decoder.decode(QByteArrayView(raw).sliced(2))).toUtf8();
    }
    }
}

QByteArray Encode(const QByteArray &text, Encoding encoding)
{
    switch (encoding) {
    case Encoding::Plain:
        return text;
    case Encoding::Utf8Bom:
        return Utf8Bom + text;
    default: {
        QStringEncoder encoder(Utf16Of(encoding), QStringConverter::Flag::Stateless);
        const QByteArray bom = encoding == Encoding::Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
        return bom + QByteArray(encoder.encode(QString::fromUtf8(text)));
    }
    }
}

// Writes updated over old in the same file, so that its owner, mode and
// links stay. Room is taken first, so that a full disk fails before any
// byte changes; the file only shrinks once the new text is in.
bool Rewrite(int fd, const QByteArray &old, const QByteArray &updated)
{
    if (updated.size() > old.size() && posix_fallocate(fd, 0, off_t(updated.size())) != 0)
        return false;
    qsizetype at = 0;
    while (at < old.size() && at < updated.size() && old.at(at) == updated.at(at))
        ++at;
    while (at < updated.size()) {
        const ssize_t n = pwrite(fd, updated.constData() + at, size_t(updated.size() - at), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
    }
    if (updated.size() < old.size() && ftruncate(fd, off_t(updated.size())) != 0)
        return false;
    return fsync(fd) == 0;
}

bool CreateFile(const QString &path, const QByteArray &content)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray Updated(const QByteArray &old, const QString &section, const QString &key, const QString &value)
{
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
    return updated;
}

} // namespace

QString GetProfileString(const QString &path, const QString &section, const QString &key,
                         const QString &defaultValue)
{
    FileHandle handle;
    QByteArray raw;
    if (ReadWhole(path, O_RDONLY, handle, &raw) != Access::Ok)
        return defaultValue;
    const Lines content = SplitLines(Decode(raw, EncodingOf(raw)));
    QByteArray value;
    if (Find(content.lines, section.toUtf8(), key.toUtf8(), &value).key < 0)
        return defaultValue;
    return QString::fromUtf8(Unquoted(value));
}

bool WriteProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value)
{
    FileHandle handle;
    QByteArray raw;
    switch (ReadWhole(path, O_RDWR, handle, &raw)) {
    case Access::Missing:
        return CreateFile(path, Updated(QByteArray(), section, key, value));
    case Access::Refused:
        return false;
    case Access::Ok:
        break;
    }
    const Encoding encoding = EncodingOf(raw);
    const QByteArray text = Decode(raw, encoding);
    // Text that does not come back unchanged (broken UTF-16) is not ours to rewrite.
    if (Encode(text, encoding) != raw)
        return false;
    const QByteArray updated = Encode(Updated(text, section, key, value), encoding);
    return updated == raw || Rewrite(handle.fd(), raw, updated);
}

} // namespace kelvra
