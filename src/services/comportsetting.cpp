#include "services/comportsetting.h"

#include "services/profilefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

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
    // Standard error names the files in full; the window, where room is short, by name.
    const auto told = [&](const auto &named) {
        if (!saved)
            return QCoreApplication::translate("Settings", "The serial port was not saved to %1: %2.")
                .arg(named(settingsPath), why);
        if (!aside.isEmpty())
            return QCoreApplication::translate("Settings", "%1 held no text. It was set aside as %2; a new one keeps "
                                                           "the serial port.")
                .arg(named(settingsPath), named(aside));
        return QString();
    };
    if (const QString full = told([](const QString &path) { return QDir::toNativeSeparators(path); });
        !full.isEmpty())
        qCWarning(lcSettings).noquote() << full;
    if (notice)
        *notice = told([](const QString &path) { return QFileInfo(path).fileName(); });
    return saved;
}

} // namespace kelvra
