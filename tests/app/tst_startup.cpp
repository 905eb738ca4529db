// Start-up and the one-second refresh of the port list, against a real
// mysetup.ini and ports that come and go.
#include "app/versionquery.h"
#include "appworld.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>

using namespace kelvra;
using kelvra::testing::AppWorld;

namespace {

enum System { Later, Nt60, Unknown };

class FakeVersionQuery : public VersionQuery
{
public:
    explicit FakeVersionQuery(System system) : m_system(system) {}
    bool Query(OsVersion *answer) const override
    {
        *answer = {2, 6, m_system == Nt60 ? 0 : 1};
        return m_system != Unknown;
    }

private:
    System m_system;
};

QByteArray Saved(const QByteArray &value)
{
    return "[language]\ncomPort=" + value + '\n';
}

QString Entries(const QComboBox *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries.join(QLatin1Char(' '));
}

} // namespace

Q_DECLARE_METATYPE(System)

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void startupSettlesThePort_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<System>("system");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QByteArray>("settingsAfter");

        const QByteArray none = AppWorld::NoFile();
        QTest::newRow("saved port present") << Saved("3") << QList<int>{4, 3} << Later << "COM3" << Saved("3");
        // Not plugged in yet: the dealer's choice stays in the file.
        QTest::newRow("saved port absent") << Saved("3") << QList<int>{6, 5} << Later << "COM5" << Saved("3");
        QTest::newRow("no ports") << Saved("3") << QList<int>{} << Later << "" << Saved("3");
        QTest::newRow("no file") << none << QList<int>{2} << Later << "COM2" << Saved("2");
        // Values that name no port: a sloppy reading would pick the later one.
        QTest::newRow("trailing garbage") << Saved("7x") << QList<int>{7, 2} << Later << "COM2" << Saved("2");
        QTest::newRow("past 16 bits") << Saved("65539") << QList<int>{3, 1} << Later << "COM1" << Saved("1");
        QTest::newRow("negative") << Saved("-3") << QList<int>{3, 1} << Later << "COM1" << Saved("1");
        QTest::newRow("file cannot be written") << QByteArray("<folder>") << QList<int>{2} << Later << "COM2" << none;
        QTest::newRow("unknown system") << none << QList<int>{2} << Unknown << "COM2" << Saved("2");
        // A spelling that the writer would change shows whether the file was written.
        QTest::newRow("fixed list, 7") << Saved(" 7 ") << QList<int>{3} << Nt60 << "COM7" << Saved("7");
        QTest::newRow("fixed list, 0") << Saved(" 0 ") << QList<int>{3} << Nt60 << "" << Saved(" 0 ");
        QTest::newRow("fixed list, past it") << Saved(" 257 ") << QList<int>{3} << Nt60 << "" << Saved(" 257 ");
    }

    void startupSettlesThePort()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, ports);
        QFETCH(System, system);
        QFETCH(QString, selected);
        QFETCH(QByteArray, settingsAfter);
        const FakeVersionQuery version(system);
        AppWorld world;
        if (settings == "<folder>")
            QVERIFY(QDir().mkpath(world.Path(QStringLiteral("mysetup.ini"))));
        else if (settings != AppWorld::NoFile())
            world.PutSettings(settings);
        for (int n : ports)
            world.Plug(n);

        Program &program = world.Start(&version);

        QStringList listed;
        for (int n = 1; n <= 256; ++n) {
            if (system == Nt60 || ports.contains(n))
                listed << QStringLiteral("COM%1").arg(n);
        }
        QComboBox *list = program.Window().Combo2();
        QCOMPARE(Entries(list), listed.join(QLatin1Char(' ')));
        QCOMPARE(list->currentText(), selected);
        QCOMPARE(int(program.ComPortNo()), selected.mid(3).toInt());
        QCOMPARE(world.Settings(), settingsAfter);
        QCOMPARE(program.Ports().ReShowComPortTimer().isActive(), system != Nt60);
        QCOMPARE(world.boxes.texts(), system == Unknown ? QStringList{QStringLiteral("未知操作系统")} : QStringList());
    }

    void refreshFollowsPlugAndPull_data()
    {
        QTest::addColumn<QList<int>>("before");
        QTest::addColumn<int>("saved");
        QTest::addColumn<int>("picked"); // by the operator after start-up, 0 for none
        QTest::addColumn<QList<int>>("plugged");
        QTest::addColumn<QList<int>>("pulled");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("selected");

        QTest::newRow("selected pulled") << QList<int>{3, 5, 9} << 5 << 0 << QList<int>{} << QList<int>{5}
                                         << "COM3 COM9" << "COM3";
        QTest::newRow("another pulled") << QList<int>{3, 5, 9} << 5 << 0 << QList<int>{} << QList<int>{3}
                                        << "COM5 COM9" << "COM5";
        QTest::newRow("plugged before the selected") << QList<int>{12} << 12 << 0 << QList<int>{4} << QList<int>{}
                                                     << "COM4 COM12" << "COM12";
        QTest::newRow("all pulled") << QList<int>{3, 5} << 3 << 0 << QList<int>{} << QList<int>{3, 5} << "" << "";
        QTest::newRow("first after none") << QList<int>{} << 0 << 0 << QList<int>{8, 6} << QList<int>{}
                                          << "COM6 COM8" << "COM6";
        QTest::newRow("saved port plugged in late") << QList<int>{201} << 9 << 0 << QList<int>{9} << QList<int>{}
                                                    << "COM9 COM201" << "COM9";
        QTest::newRow("saved port late, operator picked meanwhile")
            << QList<int>{4, 201} << 9 << 201 << QList<int>{9} << QList<int>{} << "COM4 COM9 COM201" << "COM201";
    }

    void refreshFollowsPlugAndPull()
    {
        QFETCH(QList<int>, before);
        QFETCH(int, saved);
        QFETCH(int, picked);
        QFETCH(QList<int>, plugged);
        QFETCH(QList<int>, pulled);
        QFETCH(QString, entries);
        QFETCH(QString, selected);
        AppWorld world;
        for (int n : before)
            world.Plug(n);
        world.PutSettings(Saved(QByteArray::number(saved)));
        Program &program = world.Start();
        QComboBox *list = program.Window().Combo2();
        if (picked) {
            list->setCurrentText(QStringLiteral("COM%1").arg(picked));
            program.Ports().Combo2_Click();
        }
        const QByteArray settings = world.Settings();
        for (int n : plugged)
            world.Plug(n);
        for (int n : pulled)
            world.Pull(n);

        program.Ports().ReShowComPortTimer_Timer();

        QCOMPARE(Entries(list), entries);
        QCOMPARE(list->currentText(), selected);
        QCOMPARE(int(program.ComPortNo()), selected.mid(3).toInt());
        QCOMPARE(world.Settings(), settings); // only start-up and the operator's pick write it
    }

    void unchangedPortsLeaveAnOpenListAlone()
    {
        AppWorld world;
        world.Plug(3);
        world.Plug(5);
        world.PutSettings(Saved("5"));
        Program &program = world.Start();
        QComboBox *list = program.Window().Combo2();
        program.Window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&program.Window()));
        list->showPopup();
        QTRY_VERIFY(list->view()->isVisible());
        list->view()->setCurrentIndex(list->model()->index(0, 0)); // the operator hovers COM3
        QSignalSpy removed(list->model(), &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(list, &QComboBox::currentIndexChanged);

        QSignalSpy tick(&program.Ports().ReShowComPortTimer(), &QTimer::timeout);
        QVERIFY(tick.wait(2000));

        QVERIFY(list->view()->isVisible());
        QCOMPARE(list->view()->currentIndex().row(), 0);
        QCOMPARE(removed.count() + changed.count(), 0);
        // A real change still reaches the open list at the next tick.
        world.Plug(4);
        QTRY_COMPARE_WITH_TIMEOUT(Entries(list), QStringLiteral("COM3 COM4 COM5"), 2000);
        QCOMPARE(list->currentText(), QStringLiteral("COM5"));
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
