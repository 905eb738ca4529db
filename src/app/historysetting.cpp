#include "app/historysetting.h"

#include "app/profilefile.h"

namespace kelvra {

QString SharedHistoryUrl(const QString &settingsPath)
{
    return GetProfileString(settingsPath, QStringLiteral("history"), QStringLiteral("historyUrl"), QString());
}

} // namespace kelvra
