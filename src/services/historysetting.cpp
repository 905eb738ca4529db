#include "services/historysetting.h"

#include "history/historyfile.h"
#include "services/profilefile.h"
#include "services/settingsplace.h"

#include <QFileInfo>

namespace kelvra {

QString LocalHistoryPath(const SettingsPlace &place, const QString &appDir)
{
    return HistoryFilePath(place.portable && QFileInfo(appDir).isWritable(), appDir);
}

QString SharedHistoryUrl(const QString &settingsPath)
{
    return GetProfileString(settingsPath, QStringLiteral("history"), QStringLiteral("historyUrl"), QString());
}

QString BenchName(const QString &settingsPath)
{
    return GetProfileString(settingsPath, QStringLiteral("history"), QStringLiteral("bench"), QString()).trimmed();
}

} // namespace kelvra
