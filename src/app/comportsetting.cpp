#include "app/comportsetting.h"

#include "app/profilefile.h"

namespace kelvra {

namespace {
const QString Section = QStringLiteral("language");
const QString Key = QStringLiteral("comPort");
} // namespace

qint16 ReadSavedComPort(const QString &settingsPath)
{
    bool ok = false;
    const qint16 portNo = GetProfileString(settingsPath, Section, Key, QString()).toShort(&ok, 10);
    return ok && portNo > 0 ? portNo : 0;
}

void SaveComPort(const QString &settingsPath, qint16 portNo)
{
    WriteProfileString(settingsPath, Section, Key, QString::number(portNo));
}

} // namespace kelvra
