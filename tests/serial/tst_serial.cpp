// The serial layer: the port list built from a fake sysfs tree, the serial
// control over a real pseudo-terminal with the simulated radio at the far end
// of a port alias, and the reasons given when a port cannot be opened.

#include "link/portdirectory.h"
#include "link/qtserialcontrol.h"
#include "link/serialopenreason.h"
#include "simulatedradio.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <numeric>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kelvra;

namespace {

void Write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
}

// A tty as the kernel shows it: its class folder's "device" link leads to the
// port, which has a "driver" link once a driver is bound. A USB port sits
// below an interface below the device with the adapter's strings; every fake
// device carries them, and only USB families may show them.
void AddTty(const QDir &root, const QString &name, const QString &traits)
{
    const QString device = "sys/devices/" + name;
    const QString port = device + (traits.contains("usb") ? "/1-1:1.0/port" : "");
    const QString tty = "sys/class/tty/" + name;
    QVERIFY(root.mkpath(port) && root.mkpath(tty));
    Write(root.filePath(device + "/idVendor"), "0403\n");
    Write(root.filePath(device + "/product"), "USB\n");
    QFile::link(root.filePath(port), root.filePath(tty + "/device"));
    if (!traits.contains("nodriver"))
        QFile::link(root.path(), root.filePath(port + "/driver"));
    if (traits.contains("nouart"))
        Write(root.filePath(tty + "/type"), "0\n");
    Write(root.filePath("dev/" + name), "");
}

// The radio on COM7 of a directory that sees no real serial device.
struct Bench {
    QTemporaryDir dir;
    radiosim::SimulatedRadio radio;
    PortDirectory directory{dir.filePath("ports"), dir.filePath("sys"), "/dev"};
    QtSerialControl control{directory};
    QSignalSpy events{&control, &SerialControl::OnComm};
    QSignalSpy replies{&radio, &radiosim::SimulatedRadio::ReplySent};

    // Starts the radio, opens COM7 and enters program mode, taking the acknowledgement.
    bool Program()
    {
        QString error;
        return radio.Start(&error) && radio.MakeAlias(dir.filePath("ports"), 7, &error) && control.Open(7, &error)
            && control.Write("PROGRAM") && events.wait(2000) && control.Input() == "\x06";
    }
    // Asks for the 16-byte identification and waits until the radio has sent it.
    bool Identify() { return control.Write("\x02") && replies.wait(); }
};

} // namespace

class TestSerial : public QObject
{
    Q_OBJECT

private slots:
    void portListing_data()
    {
        QTest::addColumn<QString>("ttys");     // name:traits (usb, nodriver, nouart)
        QTest::addColumn<QString>("aliases");  // COM<n>>target below the fake root; + for the second folder
        QTest::addColumn<QString>("expected"); // @ marks an alias, (USB) the adapter's product
        QTest::newRow("ascending by number, not by name")
            << "ttyS0 ttyUSB1:usb ttyACM0:usb ttySAC2 ttyUSB0:usb rfcomm0:nodriver" << ""
            << "COM1=ttyUSB0(USB) COM2=ttyUSB1(USB) COM101=ttyACM0(USB) COM201=ttyS0 COM381=rfcomm0 COM543=ttySAC2";
        QTest::newRow("left out: no UART, no driver, no family, out of range")
            << "ttyS1:nouart ttyUSB0:usb,nodriver tty1 ttyUSB100:usb ttyUSB0a:usb" << "" << "";
        QTest::newRow("alias beats an automatic number, device listed once")
            << "ttyUSB0:usb ttyUSB1:usb" << "COM2>dev/ttyUSB0" << "COM2=ttyUSB0@(USB)";
        QTest::newRow("first alias folder wins a number, second adds its own")
            << "ttyUSB0:usb ttyUSB1:usb" << "COM2>dev/ttyUSB0 +COM2>dev/ttyUSB1 +COM4>dev/ttyUSB1"
            << "COM2=ttyUSB0@(USB) COM4=ttyUSB1@(USB)";
        QTest::newRow("dangling and misnamed aliases left out, any other kept")
            << "ttyS1:nouart" << "COM7>dev/gone COM9>dev/ttyS1 COM0>dev COM07>dev com3>dev" << "COM9=ttyS1@";
    }
    void portListing()
    {
        QFETCH(QString, ttys);
        QFETCH(QString, aliases);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath("dev") && root.mkpath("ports") && root.mkpath("ports2"));
        for (const QString &tty : ttys.split(' ', Qt::SkipEmptyParts))
            AddTty(root, tty.section(':', 0, 0), tty.section(':', 1));
        for (QString alias : aliases.split(' ', Qt::SkipEmptyParts)) {
            const QString folder = alias.startsWith('+') ? "ports2/" : "ports/";
            alias.remove('+');
            QFile::link(root.filePath(alias.section('>', 1)), root.filePath(folder + alias.section('>', 0, 0)));
        }

        const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(inotify_add_watch(watch, QFile::encodeName(root.filePath("dev")).constData(), IN_OPEN) >= 0);
        const PortDirectory directory(QStringList{root.filePath("ports"), root.filePath("ports2")},
                                      root.filePath("sys/class/tty"), root.filePath("dev"));
        QStringList got;
        for (const PortEntry &entry : directory.Ports())
            got << entry.name + '=' + QString(entry.devicePath).remove(root.canonicalPath() + "/dev/")
                    + (entry.isAlias ? "@" : "") + (entry.description.isEmpty() ? "" : '(' + entry.description + ')');
        char events[4096];
        QVERIFY2(read(watch, events, sizeof events) < 0, "listing opened a device node");
        close(watch);
        QCOMPARE(got.join(' '), expected);
    }

    void receiveWaitsForTheThresholdThenTakesAll()
    {
        Bench bench;
        QVERIFY(bench.Program());
        bench.control.SetReceiveThreshold(16);
        QVERIFY(bench.Identify() && bench.events.wait());
        QCOMPARE(bench.control.Input().size(), 16);
        bench.control.SetReceiveThreshold(17);
        QVERIFY(bench.Identify() && !bench.events.wait(150));
        QVERIFY(bench.Identify() && bench.events.wait());
        QCOMPARE(bench.control.Input().size(), 32); // both identifications in one read
    }

    void clearsInputAndWritesEveryByteUnchanged()
    {
        Bench bench;
        QVERIFY(bench.Program() && bench.Identify() && bench.events.wait());
        bench.control.ClearReceiveBuffer();
        QCOMPARE(bench.control.Input(), QByteArray());
        // No CR/LF translation, no XON/XOFF eaten.
        QByteArray every(256, '\0');
        std::iota(every.begin(), every.end(), '\0');
        QVERIFY(bench.control.Write(every));
        const QList<radiosim::ReceivedFrame> &frames = bench.radio.Frames();
        const auto join = [](QByteArray all, const radiosim::ReceivedFrame &frame) { return all + frame.bytes; };
        QTRY_COMPARE(std::accumulate(frames.begin(), frames.end(), QByteArray(), join), "PROGRAM\x02" + every);
    }

    void hangUpMidOperationLosesThePortOnce()
    {
        Bench bench;
        bench.radio.SetHangUpAfterFrames(2);
        QVERIFY(bench.Program() && bench.control.Write("\x02"));
        QTRY_COMPARE(bench.events.size(), 2);
        QCOMPARE(bench.events.at(1).at(0).value<SerialControl::CommEvent>(), SerialControl::CommEvent::Lost);
        QVERIFY(!bench.control.PortOpen());
        // Closed for real: the lock on the device went with the descriptor.
        QVERIFY(!serialopen::FindLock(bench.radio.DevicePath(), serialopen::DefaultLockDirs()));
        // Nothing more comes, and the process does not spin on the dead line.
        const std::clock_t cpu = std::clock();
        QVERIFY(!bench.events.wait(200));
        QVERIFY2(std::clock() - cpu < CLOCKS_PER_SEC / 10, "busy after the line was lost");
    }

    void openFailsWithAReason_data()
    {
        QTest::addColumn<QString>("alias");  // target of ports/COM9, none when empty; <0>: no port
                                             // picked, <none>: nor any listed
        QTest::addColumn<QString>("reason");
        QTest::newRow("absent number") << "" << "COM9 is not present";
        QTest::newRow("no port at all, none picked") << "<none>" << "No serial port was found.";
        QTest::newRow("none picked") << "<0>" << "No serial port is selected.";
        // Refused unopened: a device can act on being opened, and opening a terminal
        // would switch the user's own screen to raw 115200 baud.
        QTest::newRow("alias to a regular file") << "<file>" << "is not a serial device";
        QTest::newRow("alias to a device that is no tty") << "/dev/null" << "/null is not a serial device";
        QTest::newRow("alias to the controlling terminal") << "/dev/tty" << "/tty is not a serial device";
        QTest::newRow("dangling alias") << "/dev/ttyUSB-gone" << "the device /dev/ttyUSB-gone is not there";
        QTest::newRow("held by the open COM7") << "<radio>" << "in use by the program tst_serial (process";
    }
    void openFailsWithAReason()
    {
        QFETCH(QString, alias);
        QFETCH(QString, reason);
        Bench bench;
        QVERIFY(bench.Program());
        alias.replace("<file>", QCoreApplication::applicationFilePath()).replace("<radio>", bench.radio.DevicePath());
        const PortDirectory none(bench.dir.filePath("none"), bench.dir.filePath("sys"), "/dev");
        const bool picked = !alias.startsWith('<');
        // A node of our own for the device, so that no other process's opens are seen.
        struct stat device{};
        const QString node = bench.dir.filePath(QFileInfo(alias).fileName());
        const bool refused = reason.contains("not a serial device");
        if (refused && geteuid() == 0 && stat(QFile::encodeName(alias).constData(), &device) == 0) {
            QCOMPARE(mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, device.st_rdev), 0);
            alias = node;
        }
        QVERIFY(!picked || alias.isEmpty() || QFile::link(alias, bench.dir.filePath("ports/COM9")));
        const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        const bool watched = refused && (alias == node || alias == QCoreApplication::applicationFilePath());
        QVERIFY(!watched || inotify_add_watch(watch, QFile::encodeName(alias).constData(), IN_OPEN) >= 0);
        QtSerialControl control(alias == "<none>" ? none : bench.directory);
        QString why;
        QVERIFY(!control.Open(picked ? 9 : 0, &why) && !control.PortOpen());
        QVERIFY2(why.contains(reason), qPrintable(why));
        char events[4096];
        QVERIFY2(read(watch, events, sizeof events) < 0, "opened what is not a serial line");
        close(watch);
    }

    void accessProblemNamesTheGroup_data()
    {
        QTest::addColumn<uint>("mode");        // of /dev/ttyUSB2, owned by root and by group 20
        QTest::addColumn<QString>("group");
        QTest::addColumn<uint>("userGroup");   // the only group of user 1000, dealer, since login
        QTest::addColumn<QString>("record");   // what the databases say now: member of the group, or primary
        QTest::addColumn<bool>("serial");
        QTest::addColumn<QString>("expected"); // empty: access allowed
        QTest::newRow("member") << 0660u << "dialout" << 20u << "member" << true << "";
        QTest::newRow("open to everybody") << 0666u << "dialout" << 100u << "" << true << "";
        QTest::newRow("not in dialout")
            << 0660u << "dialout" << 100u << "" << true
            << "Join the group dialout (uucp on Arch); it takes effect at the next login. The section "
               "\"Serial ports on Linux\" of ";
        QTest::newRow("not in uucp") << 0660u << "uucp" << 100u << "" << true << "Join the group uucp; it takes effect";
        QTest::newRow("joined dialout, not logged in again")
            << 0660u << "dialout" << 100u << "member" << true
            << "added to the group dialout after this session began, so the program does not have the group yet. Log "
               "out and in again; or, in a terminal, run newgrp dialout";
        QTest::newRow("dialout made primary, not logged in again")
            << 0660u << "dialout" << 100u << "primary" << true << "run newgrp dialout";
        QTest::newRow("member, group may only read")
            << 0640u << "dialout" << 20u << "member" << true
            << "Its permissions rw-r----- (owner root, group dialout) do not";
        QTest::newRow("root only") << 0600u << "root" << 100u << "" << true
                                   << "let only the administrator use it. Ask the administrator for a udev rule";
        // A kernel log or a disk must not be handed to dialout.
        QTest::newRow("not a serial line") << 0600u << "root" << 100u << "" << false
                                           << "COM3: /dev/ttyUSB2 is not a serial device.";
    }
    void accessProblemNamesTheGroup()
    {
        QFETCH(uint, mode);
        QFETCH(QString, group);
        QFETCH(uint, userGroup);
        QFETCH(QString, record);
        QFETCH(bool, serial);
        QFETCH(QString, expected);
        const uint gid = group == "root" ? 0u : 20u;
        const QStringList members = record == "member" ? QStringList{"operator", "dealer"} : QStringList{};
        const serialopen::DeviceAccess access{mode,   0,      gid, "root", group, 1000, {userGroup}, serial, "dealer",
                                              record == "primary" ? gid : 100u, members};
        const QString problem = serialopen::AccessProblem(3, "/dev/ttyUSB2", access);
        const bool denied = problem.startsWith("COM3: access to /dev/ttyUSB2 is denied. ");
        QVERIFY2(expected.isEmpty() ? problem.isEmpty() : denied == serial && problem.contains(expected),
                 qPrintable(problem));
        QVERIFY2(problem.contains("group") == (serial && !expected.isEmpty()), qPrintable(problem));
    }

    void lockFileNamesItsHolder_data()
    {
        QTest::addColumn<QString>("lock");   // name:content; process 1 always runs
        QTest::addColumn<QString>("reason"); // empty: no lock on /dev/ttyUSB0
        QTest::newRow("ten-column pid") << "LCK..ttyUSB0:         1\n" << "(process 1), which holds the lock file";
        QTest::newRow("holder gone") << "LCK..ttyUSB0:999999999\n" << "process 999999999, which no longer runs.";
        QTest::newRow("another device's lock") << "LCK..ttyUSB1:1\n" << "";
    }
    void lockFileNamesItsHolder()
    {
        QFETCH(QString, lock);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QFile file(dir.filePath(lock.section(':', 0, 0)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lock.section(':', 1).toLatin1()) && file.flush());
        const auto holder = serialopen::FindLock("/dev/ttyUSB0", {dir.filePath("none"), dir.path()});
        const QString why = holder ? serialopen::LockProblem(1, "/dev/ttyUSB0", *holder) : QString();
        QVERIFY2(reason.isEmpty() ? !holder : why.contains(reason) && why.contains(file.fileName()), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestSerial)
#include "tst_serial.moc"
