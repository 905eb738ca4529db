#include "services/radiosetting.h"

#include "services/profilefile.h"

namespace kelvra {

QString BenchDateFormat(const QString &settingsPath)
{
    return GetProfileString(settingsPath, QStringLiteral("radio"), QStringLiteral("dateFormat"), QString()).trimmed();
}

} // namespace kelvra
