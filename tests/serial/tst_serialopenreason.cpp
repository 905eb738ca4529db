// Why an open failed: permissions against the user's groups, and lock files
// naming the program that holds the port.

#include "link/serialopenreason.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvra::serialopen;

Q_DECLARE_METATYPE(QList<uint>)

class TestSerialOpenReason : public QObject
{
    Q_OBJECT

private slots:
    void accessProblem_data();
    void accessProblem();
    void lockNamesItsHolder_data();
    void lockNamesItsHolder();
};

void TestSerialOpenReason::accessProblem_data()
{
    QTest::addColumn<uint>("mode");
    QTest::addColumn<QString>("group");
    QTest::addColumn<uint>("uid");
    QTest::addColumn<QList<uint>>("groups");
    QTest::addColumn<QString>("expected"); // empty: access allowed

    const uint dialout = 20;
    QTest::newRow("member of the device's group") << 0660u << "dialout" << 1000u << QList<uint>{100, dialout}
                                                  << QString();
    QTest::newRow("not a member of dialout")
        << 0660u << "dialout" << 1000u << QList<uint>{100}
        << "Join the group dialout (uucp on Arch); it takes effect at the next login.";
    QTest::newRow("not a member of uucp") << 0660u << "uucp" << 1000u << QList<uint>{100}
                                          << "Join the group uucp; it takes effect at the next login.";
    QTest::newRow("member, but the group may only read")
        << 0640u << "dialout" << 1000u << QList<uint>{dialout} << "Its permissions rw-r----- (owner root, group dialout)";
    QTest::newRow("owner only, not the owner") << 0600u << "dialout" << 1000u << QList<uint>{dialout}
                                               << "Its permissions rw------- (owner root, group dialout)";
    QTest::newRow("open to everybody") << 0666u << "dialout" << 1000u << QList<uint>{100} << QString();
    QTest::newRow("the owner") << 0600u << "dialout" << 0u << QList<uint>{} << QString();
}

void TestSerialOpenReason::accessProblem()
{
    QFETCH(uint, mode);
    QFETCH(QString, group);
    QFETCH(uint, uid);
    QFETCH(QList<uint>, groups);
    QFETCH(QString, expected);

    DeviceAccess access;
    access.mode = mode;
    access.ownerUid = 0;
    access.ownerName = QStringLiteral("root");
    access.groupGid = 20;
    access.groupName = group;
    access.processUid = uid;
    access.processGroups = groups;
    const QString problem = AccessProblem(3, QStringLiteral("/dev/ttyUSB2"), access);
    if (expected.isEmpty()) {
        QCOMPARE(problem, QString());
    } else {
        QVERIFY2(problem.startsWith(QLatin1String("COM3: access to /dev/ttyUSB2 is denied.")), qPrintable(problem));
        QVERIFY2(problem.contains(expected), qPrintable(problem));
    }
}

void TestSerialOpenReason::lockNamesItsHolder_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("lockName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lock of a serial library") << "/dev/ttyUSB0" << "LCK..ttyUSB0" << QByteArray("4242\nterm\nhost\n")
                                              << true << "in use by the program term (process 4242)";
    QTest::newRow("ten-column pid") << "/dev/ttyS0" << "LCK..ttyS0" << QByteArray("      4242\n") << true
                                    << "in use by the program term (process 4242)";
    QTest::newRow("pseudo-terminal") << "/dev/pts/3" << "LCK..pts_3" << QByteArray("4242\n") << true
                                     << "in use by the program term";
    QTest::newRow("holder gone") << "/dev/ttyUSB0" << "LCK..ttyUSB0" << QByteArray("4242\n") << false
                                 << "process 4242, which no longer runs. Delete that lock file";
    QTest::newRow("no pid in it") << "/dev/ttyUSB0" << "LCK..ttyUSB0" << QByteArray("\n") << true << QString();
    QTest::newRow("another device's lock") << "/dev/ttyUSB0" << "LCK..ttyUSB1" << QByteArray("4242\n") << true
                                           << QString();
}

void TestSerialOpenReason::lockNamesItsHolder()
{
    QFETCH(QString, device);
    QFETCH(QString, lockName);
    QFETCH(QByteArray, content);
    QFETCH(bool, running);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QDir(root.path()).mkpath(QStringLiteral("lock"));
    QDir(root.path()).mkpath(QStringLiteral("proc/4242"));
    QFile lock(root.filePath(QStringLiteral("lock/") + lockName));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(content);
    lock.close();
    if (running) {
        QFile comm(root.filePath(QStringLiteral("proc/4242/comm")));
        QVERIFY(comm.open(QIODevice::WriteOnly));
        comm.write("term\n");
    }

    const QStringList dirs{root.filePath(QStringLiteral("empty")), root.filePath(QStringLiteral("lock"))};
    const auto holder = FindLock(device, dirs, root.filePath(QStringLiteral("proc")));
    QCOMPARE(holder.has_value(), !expected.isEmpty());
    if (holder) {
        const QString text = LockProblem(1, device, *holder);
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY(text.contains(lock.fileName()));
    }
}

QTEST_GUILESS_MAIN(TestSerialOpenReason)
#include "tst_serialopenreason.moc"
