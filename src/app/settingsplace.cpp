#include "app/settingsplace.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace kelvra {

namespace {

bool Writable(const QString &path)
{
    return access(QFile::encodeName(path).constData(), W_OK) == 0;
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
    // A folder that takes no new files may still hold a settings file its user may write.
    const bool portable =
        configDir.isEmpty() || (!SystemProgramFolder(appDir) && (Writable(appDir) || Writable(besideFile)));

    SettingsPlace place;
    place.settingsPath = portable ? besideFile : configDir + QStringLiteral("/mysetup.ini");
    place.aliasDirs = QStringList{besideAliases};
    if (!configDir.isEmpty())
        place.aliasDirs.append(configDir + QStringLiteral("/ports"));
    place.ownAliasDir = place.aliasDirs.at(portable ? 0 : 1);
    return place;
}

QString UserConfigDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/KelvraSet");
}

} // namespace kelvra
