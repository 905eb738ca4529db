#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kelvra {

struct PortEntry {
    int number = 0;       // 1 = COM1
    QString name;         // "COM<number>"
    QString devicePath;   // the device that opens, an alias already resolved
    QString description;  // USB product, where known
    QString manufacturer; // USB maker, where known
    QString serialNumber; // USB serial number, where known
    bool isAlias = false; // numbered by a COM<n> link in the alias folder
};

// The serial devices present, each under a stable COM number, read from
// sysfs without opening any device, so that a refresh every second neither
// disturbs the modem lines of built-in ports nor costs more than a few
// directory reads.
//
// Automatic numbers, k being the device's index (k >= the range's size is
// not listed):
//
//   device       numbers     k        kind
//   ttyUSB<k>    1 - 100     0 - 99   USB serial adapters
//   ttyACM<k>    101 - 200   0 - 99   USB communication-class modems
//   ttyS<k>      201 - 300   0 - 99   built-in UARTs (listed only with a UART fitted)
//   ttyAMA<k>    301 - 340   0 - 39   on-chip UARTs of ARM boards
//   ttyXRUSB<k>  341 - 380   0 - 39   USB adapters with a vendor driver
//   rfcomm<k>    381 - 420   0 - 39   Bluetooth serial links
//   ttymxc<k>    421 - 460   0 - 39   on-chip UARTs
//   ttyO<k>      461 - 500   0 - 39   on-chip UARTs
//   ttyGS<k>     501 - 540   0 - 39   USB gadget serial
//   ttySAC<k>    541 - 580   0 - 39   on-chip UARTs
//   ttyTHS<k>    581 - 620   0 - 39   on-chip high-speed UARTs
//   ttyMSM<k>    621 - 660   0 - 39   on-chip UARTs
//   ttyHS<k>     661 - 700   0 - 39   on-chip high-speed UARTs
//   ttyLP<k>     701 - 740   0 - 39   on-chip low-power UARTs
//   ttyPS<k>     741 - 780   0 - 39   on-chip UARTs of FPGA boards
//   ttySC<k>     781 - 820   0 - 39   on-chip serial controllers
//   ttyUL<k>     821 - 860   0 - 39   soft UARTs in FPGAs
//   861 - 999    no family: left to aliases
//
// Aliases: a symbolic link COM<n> (1 <= n <= 999) in an alias folder lists
// COM<n> while its target exists. It takes precedence over an automatic
// number, and a device an alias reaches is listed only under the alias, so
// that a pinned cable shows once, under the number it was pinned to. Of
// several alias folders, the first that names a number wins.
class PortDirectory
{
public:
    explicit PortDirectory(const QStringList &aliasDirs = {DefaultAliasDir()},
                           const QString &sysTtyRoot = QStringLiteral("/sys/class/tty"),
                           const QString &devRoot = QStringLiteral("/dev"));
    explicit PortDirectory(const QString &aliasDir, const QString &sysTtyRoot = QStringLiteral("/sys/class/tty"),
                           const QString &devRoot = QStringLiteral("/dev"))
        : PortDirectory(QStringList{aliasDir}, sysTtyRoot, devRoot)
    {
    }

    // ports/ beside the executable.
    static QString DefaultAliasDir();
    // The automatic number of a device name such as "ttyUSB0"; 0 when its
    // family has no range or its index lies beyond it.
    static int NumberForDevice(const QString &deviceName);
    static QString PortName(int number);

    // In ascending port number.
    QList<PortEntry> Ports() const;
    std::optional<PortEntry> Find(int number) const;

    QStringList AliasDirs() const { return m_aliasDirs; }
    QString AliasDir() const { return m_aliasDirs.value(0); }

private:
    void FillUsbDetails(const QByteArray &ttyName, PortEntry *entry) const;

    QStringList m_aliasDirs;
    QByteArray m_sysRoot;
    QByteArray m_devRoot; // canonical, to recognise alias targets
};

} // namespace kelvra
