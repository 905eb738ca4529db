// The port list built from a fake sysfs tree: numbering, aliases, what is
// left out, and that listing opens no device.

#include "link/portdirectory.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

using kelvra::PortDirectory;
using kelvra::PortEntry;

namespace {

// A throwaway machine: sys/class/tty, dev and the alias folder ports.
class FakeMachine
{
public:
    FakeMachine()
    {
        QDir root(m_dir.path());
        root.mkpath(QStringLiteral("sys/class/tty"));
        root.mkpath(QStringLiteral("sys/devices"));
        root.mkpath(QStringLiteral("sys/bus/driver"));
        root.mkpath(QStringLiteral("dev"));
        root.mkpath(QStringLiteral("ports"));
    }

    QString Path(const QString &relative) const { return m_dir.filePath(relative); }
    PortDirectory Directory() const
    {
        return PortDirectory(Path(QStringLiteral("ports")), Path(QStringLiteral("sys/class/tty")),
                             Path(QStringLiteral("dev")));
    }

    // A tty as the kernel shows it: class entry -> device folder with a
    // "device" link, which has a "driver" link when a driver is bound.
    // USB ttys sit below a USB device folder carrying the adapter's strings.
    void AddTty(const QString &name, const QString &traits)
    {
        const bool usb = traits.contains(QLatin1String("usb"));
        const QString parent = usb ? QStringLiteral("sys/devices/usb1/1-%1").arg(++m_usbCount)
                                   : QStringLiteral("sys/devices/platform/%1").arg(name);
        const QString port = parent + (usb ? QStringLiteral("/1-x:1.0/port") : QString());
        const QString ttyDir = port + QStringLiteral("/tty/") + name;
        QDir(m_dir.path()).mkpath(ttyDir);
        if (usb) {
            Write(parent + QStringLiteral("/idVendor"), "0403");
            Write(parent + QStringLiteral("/product"), "USB Serial Cable\n");
            Write(parent + QStringLiteral("/manufacturer"), "Cable Maker\n");
            Write(parent + QStringLiteral("/serial"), "SN" + name.toLatin1() + "\n");
        }
        if (!traits.contains(QLatin1String("nodevice")))
            QFile::link(Path(port), Path(ttyDir + QStringLiteral("/device")));
        if (!traits.contains(QLatin1String("nodriver")) && !traits.contains(QLatin1String("nodevice")))
            QFile::link(Path(QStringLiteral("sys/bus/driver")), Path(port + QStringLiteral("/driver")));
        if (traits.contains(QLatin1String("type0")))
            Write(ttyDir + QStringLiteral("/type"), "0\n");
        if (traits.contains(QLatin1String("type4")))
            Write(ttyDir + QStringLiteral("/type"), "4\n");
        QFile::link(Path(ttyDir), Path(QStringLiteral("sys/class/tty/") + name));
        Write(QStringLiteral("dev/") + name, "");
    }

    void AddAlias(const QString &name, const QString &target)
    {
        QFile::link(target.startsWith(QLatin1Char('/')) ? target : Path(target),
                    Path(QStringLiteral("ports/") + name));
    }

    void Write(const QString &relative, const QByteArray &content)
    {
        QFile file(Path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private:
    QTemporaryDir m_dir;
    int m_usbCount = 0;
};

QString Describe(const QList<PortEntry> &ports, const QString &devRoot)
{
    QStringList parts;
    for (const PortEntry &entry : ports) {
        QString device = entry.devicePath;
        if (device.startsWith(devRoot))
            device = device.mid(devRoot.size() + 1);
        parts << QStringLiteral("%1=%2%3").arg(entry.name, device, entry.isAlias ? QStringLiteral("@") : QString());
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestPortDirectory : public QObject
{
    Q_OBJECT

private slots:
    void numberForDevice_data();
    void numberForDevice();
    void listing_data();
    void listing();
    void usbDetailsComeFromTheUsbDevice();
    void listingOpensNoDevice();
};

void TestPortDirectory::numberForDevice_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("number");
    QTest::newRow("first USB adapter") << "ttyUSB0" << 1;
    QTest::newRow("USB beyond its range") << "ttyUSB100" << 0;
    QTest::newRow("ACM") << "ttyACM3" << 104;
    QTest::newRow("built-in") << "ttyS0" << 201;
    QTest::newRow("prefix of another family") << "ttySAC2" << 543;
    QTest::newRow("SC, not S") << "ttySC0" << 781;
    QTest::newRow("Bluetooth") << "rfcomm1" << 382;
    QTest::newRow("last family") << "ttyUL39" << 860;
    QTest::newRow("console") << "tty0" << 0;
    QTest::newRow("letters after digits") << "ttyUSB0a" << 0;
}

void TestPortDirectory::numberForDevice()
{
    QFETCH(QString, device);
    QFETCH(int, number);
    QCOMPARE(PortDirectory::NumberForDevice(device), number);
}

void TestPortDirectory::listing_data()
{
    // ttys: "name:traits" with trait words usb, nodriver, nodevice, type0, type4.
    // aliases: "COM<n>>target" relative to the fake root.
    QTest::addColumn<QStringList>("ttys");
    QTest::addColumn<QStringList>("aliases");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ascending by number, not by name")
        << QStringList{"ttyS0:type4", "ttyUSB1:usb", "ttyACM0:usb", "ttyUSB0:usb"} << QStringList{}
        << "COM1=ttyUSB0 COM2=ttyUSB1 COM101=ttyACM0 COM201=ttyS0";
    QTest::newRow("no UART fitted, no driver, no device, no family")
        << QStringList{"ttyS0:type4", "ttyS1:type0", "ttyUSB0:usb nodriver", "tty1:nodevice", "ttyFOO0:"}
        << QStringList{} << "COM201=ttyS0";
    QTest::newRow("Bluetooth links need no driver") << QStringList{"rfcomm0:nodevice"} << QStringList{}
                                                    << "COM381=rfcomm0";
    QTest::newRow("alias beats an automatic number")
        << QStringList{"ttyUSB0:usb", "ttyUSB1:usb"} << QStringList{"COM2>dev/ttyUSB0"} << "COM2=ttyUSB0@";
    QTest::newRow("aliased device listed once")
        << QStringList{"ttyUSB0:usb"} << QStringList{"COM7>dev/ttyUSB0"} << "COM7=ttyUSB0@";
    QTest::newRow("dangling alias not listed") << QStringList{"ttyUSB0:usb"} << QStringList{"COM7>dev/ttyUSB5"}
                                               << "COM1=ttyUSB0";
    QTest::newRow("alias to a file is listed, fails on open")
        << QStringList{} << QStringList{"COM9>ports/notes.txt"} << "COM9=ports/notes.txt@";
    QTest::newRow("names that are no port number")
        << QStringList{} << QStringList{"COM0>dev/x", "COM1000>dev/x", "COM07>dev/x", "com3>dev/x", "COMx>dev/x"}
        << "";
}

void TestPortDirectory::listing()
{
    QFETCH(QStringList, ttys);
    QFETCH(QStringList, aliases);
    QFETCH(QString, expected);

    FakeMachine machine;
    machine.Write(QStringLiteral("dev/x"), "");
    machine.Write(QStringLiteral("ports/notes.txt"), "not a device");
    for (const QString &tty : ttys)
        machine.AddTty(tty.section(QLatin1Char(':'), 0, 0), tty.section(QLatin1Char(':'), 1));
    for (const QString &alias : aliases)
        machine.AddAlias(alias.section(QLatin1Char('>'), 0, 0), alias.section(QLatin1Char('>'), 1));

    const PortDirectory directory = machine.Directory();
    const QString root = QDir(machine.Path(QString())).canonicalPath();
    QString got = Describe(directory.Ports(), root + QStringLiteral("/dev"));
    got.replace(root + QLatin1Char('/'), QString());
    QCOMPARE(got, expected);

    for (const PortEntry &entry : directory.Ports()) {
        QCOMPARE(entry.name, PortDirectory::PortName(entry.number));
        QCOMPARE(directory.Find(entry.number)->devicePath, entry.devicePath);
    }
    QVERIFY(!directory.Find(500).has_value());
}

void TestPortDirectory::usbDetailsComeFromTheUsbDevice()
{
    FakeMachine machine;
    machine.AddTty(QStringLiteral("ttyUSB0"), QStringLiteral("usb"));
    machine.AddTty(QStringLiteral("ttyS0"), QStringLiteral("type4"));
    machine.AddAlias(QStringLiteral("COM12"), QStringLiteral("dev/ttyUSB0"));
    const QList<PortEntry> ports = machine.Directory().Ports();
    QCOMPARE(ports.size(), 2);
    QCOMPARE(ports.at(0).name, QStringLiteral("COM12"));
    QCOMPARE(ports.at(0).description, QStringLiteral("USB Serial Cable"));
    QCOMPARE(ports.at(0).manufacturer, QStringLiteral("Cable Maker"));
    QCOMPARE(ports.at(0).serialNumber, QStringLiteral("SNttyUSB0"));
    QCOMPARE(ports.at(1).description, QString());
}

void TestPortDirectory::listingOpensNoDevice()
{
    FakeMachine machine;
    for (const QString &name : {QStringLiteral("ttyUSB0"), QStringLiteral("ttyACM0")})
        machine.AddTty(name, QStringLiteral("usb"));
    machine.AddTty(QStringLiteral("ttyS0"), QStringLiteral("type4"));
    machine.AddTty(QStringLiteral("ttyS1"), QStringLiteral("type0"));
    machine.AddAlias(QStringLiteral("COM5"), QStringLiteral("dev/ttyS0"));

    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(watch >= 0);
    QVERIFY(inotify_add_watch(watch, QFile::encodeName(machine.Path(QStringLiteral("dev"))).constData(), IN_OPEN) >= 0);
    QCOMPARE(machine.Directory().Ports().size(), 3);
    char events[4096];
    const ssize_t got = read(watch, events, sizeof events);
    close(watch);
    QVERIFY2(got < 0, "a device node was opened while listing");
}

QTEST_GUILESS_MAIN(TestPortDirectory)
#include "tst_portdirectory.moc"
