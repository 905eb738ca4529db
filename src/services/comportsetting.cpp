#include "services/comportsetting.h"

#include "services/profilefile.h"

#include <QCoreApplication>

namespace kelvra {

Q_LOGGING_CATEGORY(lcSettings, "kelvra.settings", QtWarningMsg)

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

bool SaveComPort(const QString &settingsPath, qint16 portNo)
{
    QString why;
    if (WriteProfileString(settingsPath, Section, Key, QString::number(portNo), &why))
        return true;
    qCWarning(lcSettings).noquote()
        << QCoreApplication::translate("Settings", "The serial port was not saved to %1: %2.").arg(settingsPath, why);
    return false;
}

} // namespace kelvra
