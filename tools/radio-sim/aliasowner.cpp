#include "aliasowner.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <climits>
#include <dirent.h>
#include <functional>
#include <unistd.h>

namespace radiosim {

namespace {

QByteArray LinkText(const QByteArray &path)
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.constData(), buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, int(n)) : QByteArray();
}

void ForEachName(const QByteArray &folder, const std::function<bool(const QByteArray &)> &visit)
{
    DIR *dir = opendir(folder.constData());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] != '.' && !visit(QByteArray(entry->d_name)))
            break;
    }
    closedir(dir);
}

// The process holding the master side of pseudo-terminal `index`: the
// kernel names the index in /proc's fdinfo of every open master. 0 when no
// process this account may look into holds it.
qint64 MasterHolder(int index)
{
    const QByteArray wanted = "tty-index:\t" + QByteArray::number(index) + '\n';
    qint64 holder = 0;
    ForEachName("/proc", [&](const QByteArray &name) {
        bool isPid = false;
        const qint64 pid = name.toLongLong(&isPid);
        if (!isPid)
            return true;
        const QByteArray process = "/proc/" + name;
        ForEachName(process + "/fd", [&](const QByteArray &fd) {
            const QByteArray opened = LinkText(process + "/fd/" + fd);
            if (opened != "/dev/ptmx" && opened != "/dev/pts/ptmx")
                return true;
            QFile info(QFile::decodeName(process + "/fdinfo/" + fd));
            if (info.open(QIODevice::ReadOnly) && info.readAll().contains(wanted))
                holder = pid;
            return holder == 0;
        });
        return holder == 0;
    });
    return holder;
}

QString ProgramName(qint64 pid)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (cmdline.open(QIODevice::ReadOnly)) {
        const QByteArray argv0 = cmdline.readAll().split('\0').value(0);
        if (!argv0.isEmpty())
            return QFileInfo(QFile::decodeName(argv0)).fileName();
    }
    return QStringLiteral("a program");
}

} // namespace

AliasOwner OwnerOfAlias(const QByteArray &aliasPath)
{
    static const QRegularExpression pts(QStringLiteral("^/dev/pts/([0-9]+)$"));
    AliasOwner owner;
    owner.target = LinkText(aliasPath);
    const QString alias = QFile::decodeName(aliasPath);
    const QString present = QFileInfo(alias).canonicalFilePath();
    if (present.isEmpty()) {
        // A pseudo-terminal's name goes with it; a pinned cable's comes back when it is plugged in.
        if (pts.match(QFile::symLinkTarget(alias)).hasMatch())
            owner.kind = AliasOwner::Kind::Ended;
        return owner;
    }
    const QRegularExpressionMatch terminal = pts.match(present);
    if (!terminal.hasMatch())
        return owner;
    owner.kind = AliasOwner::Kind::Terminal;
    owner.pid = MasterHolder(terminal.captured(1).toInt());
    if (owner.pid > 0)
        owner.program = ProgramName(owner.pid);
    return owner;
}

QString RefusalText(const AliasOwner &owner, const QString &aliasPath, int com)
{
    QString whose = QStringLiteral("an alias this program did not make");
    if (owner.kind == AliasOwner::Kind::Terminal) {
        whose = owner.pid > 0 ? QStringLiteral("the pseudo-terminal of %1 pid %2").arg(owner.program).arg(owner.pid)
                              : QStringLiteral("a pseudo-terminal held by a program this account cannot see");
    }
    const QString end = owner.pid > 0 ? QStringLiteral("End it (kill %1), choose").arg(owner.pid) : QStringLiteral("Choose");
    return QStringLiteral("COM%1 is taken: %2 leads to %3, %4. %5 another --com, or take COM%1 over with --replace "
                          "(it is put back on exit).")
        .arg(QString::number(com), aliasPath, QFile::decodeName(owner.target), whose, end);
}

} // namespace radiosim
