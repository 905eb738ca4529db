#include "services/settingsplace.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra {

namespace {

bool Writable(const QString &path)
{
    return access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// A link to nothing counts: what the user put there is what is used.
bool Exists(const QString &path)
{
    struct stat st{};
    return lstat(QFile::encodeName(path).constData(), &st) == 0;
}

// Root may write anywhere, yet a run with sudo must not leave settings
// among the system's programs.
bool SystemProgramFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return QStringList{QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin"), QStringLiteral("/bin"),
                       QStringLiteral(KELVRA_INSTALL_BINDIR)}
        .contains(canonical);
}

} // namespace

SettingsPlace LocateSettings(const QString &appDir, const QString &configDir)
{
    const QString besideFile = appDir + QStringLiteral("/mysetup.ini");
    const QString besideAliases = appDir + QStringLiteral("/ports");
    const QString configFile = configDir + QStringLiteral("/mysetup.ini");
    // A folder that takes no new files may still hold a settings file its user may write.
    const bool portable =
        configDir.isEmpty() || (!SystemProgramFolder(appDir) && (Writable(appDir) || Writable(besideFile)));
    const bool configured = !configDir.isEmpty() && Exists(configFile);

    SettingsPlace place;
    place.readPath = configured ? configFile : besideFile;
    place.settingsPath = configured || !portable ? configFile : besideFile;
    place.aliasDirs = QStringList{besideAliases};
    if (!configDir.isEmpty())
        place.aliasDirs.append(configDir + QStringLiteral("/ports"));
    place.ownAliasDir = place.aliasDirs.at(portable ? 0 : 1);
    place.portable = portable;
    return place;
}

QString UserConfigDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/KelvraSet");
}

QString ExecutableDir()
{
    char target[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", target, sizeof target);
    if (length <= 0 || length == ssize_t(sizeof target))
        return QCoreApplication::applicationDirPath();
    QByteArray folder(target, length);
    folder.truncate(qMax(folder.lastIndexOf('/'), qsizetype(1)));
    const QString name = QFile::decodeName(folder);
    if (QFile::encodeName(name) == folder)
        return name;
    // Qt names files by UTF-8 text, which cannot spell this folder: it is reached
    // through a descriptor held for the whole run instead.
    static const int descriptor = open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return descriptor < 0 ? name : QStringLiteral("/proc/self/fd/%1").arg(descriptor);
}

} // namespace kelvra
