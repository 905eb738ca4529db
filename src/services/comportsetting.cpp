#include "services/comportsetting.h"

#include "services/profilefile.h"

#include <QCoreApplication>
#include <QDir>

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

bool SaveComPort(const QString &settingsPath, qint16 portNo, QString *notice)
{
    QString why, aside;
    const bool saved = WriteProfileString(settingsPath, Section, Key, QString::number(portNo), &why, &aside);
    const QString told
        = !saved ? QCoreApplication::translate("Settings", "The serial port was not saved to %1: %2.")
                       .arg(QDir::toNativeSeparators(settingsPath), why)
        : !aside.isEmpty()
            ? QCoreApplication::translate("Settings", "%1 held no text and could not be read. It was set aside as %2, "
                                                      "and a new one keeps the serial port.")
                  .arg(QDir::toNativeSeparators(settingsPath), QDir::toNativeSeparators(aside))
            : QString();
    if (!told.isEmpty())
        qCWarning(lcSettings).noquote() << told;
    if (notice)
        *notice = told;
    return saved;
}

} // namespace kelvra
