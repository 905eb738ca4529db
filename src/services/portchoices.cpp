#include "services/portchoices.h"

#include "link/portdirectory.h"

#include <QCoreApplication>
#include <QStringList>

namespace kelvra {

namespace {

QString ToolTip(const PortEntry &port)
{
    QStringList lines{port.devicePath};
    if (!port.description.isEmpty())
        lines << port.description;
    if (!port.manufacturer.isEmpty())
        lines << port.manufacturer;
    if (!port.serialNumber.isEmpty())
        lines << QCoreApplication::translate("PortChoices", "S/N %1").arg(port.serialNumber);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

qint16 PortNumberOfEntry(const QString &entry)
{
    if (entry.size() <= 3)
        return 0;
    bool ok = false;
    const qint16 portNo = entry.mid(3).toShort(&ok, 10);
    return ok ? portNo : 0;
}

QList<PortChoice> PortChoices(const PortDirectory &directory)
{
    QList<PortChoice> choices;
    for (const PortEntry &port : directory.Ports()) {
        // A port that cannot be named by a number cannot be opened, so it is not offered.
        const qint16 portNo = PortNumberOfEntry(port.name);
        if (portNo < 1 || port.name != PortDirectory::PortName(portNo))
            continue;
        choices.append({port.name, ToolTip(port)});
    }
    return choices;
}

} // namespace kelvra
