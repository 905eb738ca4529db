#include "services/versionquery.h"

#include <QSysInfo>
#include <QVersionNumber>

namespace kelvra {

bool HostVersionQuery::Query(OsVersion *answer) const
{
    const QVersionNumber kernel = QVersionNumber::fromString(QSysInfo::kernelVersion());
    answer->platformId = 0;
    answer->major = kernel.majorVersion();
    answer->minor = kernel.minorVersion();
    return true;
}

bool UsesFixedPortList(const OsVersion &version)
{
    return version.platformId == 2 && version.major == 6 && version.minor == 0;
}

} // namespace kelvra
