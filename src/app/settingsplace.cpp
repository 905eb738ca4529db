#include "app/settingsplace.h"

#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace kelvra {

namespace {

bool Writable(const QString &path)
{
    return access(QFile::encodeName(path).constData(), W_OK) == 0;
}

} // namespace

SettingsPlace LocateSettings(const QString &appDir, const QString &configDir)
{
    const QString besideFile = appDir + QStringLiteral("/mysetup.ini");
    const QString besideAliases = appDir + QStringLiteral("/ports");
    // A folder that takes no new files may still hold a settings file its user may write.
    const bool portable = configDir.isEmpty() || Writable(appDir) || Writable(besideFile);

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
