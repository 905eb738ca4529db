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

struct FakeVersionQuery : VersionQuery
{
    explicit FakeVersionQuery(System s) : system(s) {}
    bool Query(OsVersion *answer) const override
    {
        *answer = {2, 6, system == Nt60 ? 0 : 1};
        return system != Unknown;
    }
    System system;
};

QByteArray Saved(const QByteArray &value)
{
    return "[language]\ncomPort=" + value + '\n';
}

// The list as shown, the selected entry in brackets.
QString Shown(const QComboBox *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << (i == list->currentIndex() ? '[' + list->itemText(i) + ']' : list->itemText(i));
    return entries.join(' ');
}

} // namespace

Q_DECLARE_METATYPE(System)

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void portListSettles_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<System>("system");
        QTest::addColumn<int>("picked"); // by the operator after start-up, 0 for none
        QTest::addColumn<QList<int>>("changes"); // then n plugs COMn in, -n pulls it out, and the list refreshes
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArray>("settingsAfter");
        const auto row = [](const char *name, const QByteArray &settings, const QList<int> &ports, System system,
                            int selected, const QByteArray &after, const QList<int> &changes = {}, int picked = 0) {
            QTest::newRow(name) << settings << ports << system << picked << changes << selected << after;
        };

        row("saved port present", Saved("3"), {4, 3}, Later, 3, Saved("3"));
        // Not plugged in yet: the dealer's choice stays in the file.
        row("saved port absent", Saved("3"), {6, 5}, Later, 5, Saved("3"));
        row("no ports", Saved("3"), {}, Later, 0, Saved("3"));
        row("no file, unknown system", AppWorld::NoFile(), {2}, Unknown, 2, Saved("2"));
        // Values that name no port: a sloppy reading would pick the later one.
        row("trailing garbage", Saved("7x"), {7, 2}, Later, 2, Saved("2"));
        row("past 16 bits", Saved("65539"), {3, 1}, Later, 1, Saved("1"));
        row("file cannot be written", "<folder>", {2}, Later, 2, AppWorld::NoFile());
        // A spelling that the writer would change shows whether the file was written.
        row("fixed list, 7", Saved(" 7 "), {3}, Nt60, 7, Saved("7"));
        row("fixed list, negative", Saved(" -3 "), {3}, Nt60, 0, Saved(" -3 "));
        row("fixed list, past it", Saved(" 257 "), {3}, Nt60, 0, Saved(" 257 "));
        // Only start-up and the operator's pick write the file, never the refresh.
        row("refresh: selected pulled", Saved("5"), {3, 5, 9}, Later, 3, Saved("5"), {-5});
        row("refresh: plugged before the selected", Saved("12"), {12}, Later, 12, Saved("12"), {4});
        row("refresh: all pulled", Saved("3"), {3, 5}, Later, 0, Saved("3"), {-3, -5});
        row("refresh: first after none", Saved("0"), {}, Later, 6, Saved("0"), {8, 6});
        row("refresh: saved port plugged in late", Saved("9"), {201}, Later, 9, Saved("9"), {9});
        row("refresh: saved port late, operator picked meanwhile", Saved("9"), {4, 201}, Later, 201, Saved("201"),
            {9}, 201);
    }

    void portListSettles()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, ports);
        QFETCH(System, system);
        QFETCH(int, picked);
        QFETCH(QList<int>, changes);
        QFETCH(int, selected);
        const FakeVersionQuery version(system);
        AppWorld world;
        if (settings == "<folder>")
            QVERIFY(QDir().mkpath(world.SettingsPath()));
        else
            world.PutSettings(settings);
        for (int n : ports)
            world.Plug(n);

        Program &program = world.Start(&version);
        QComboBox *list = program.Window().Combo2();
        if (picked) {
            list->setCurrentText(QString("COM%1").arg(picked));
            program.Ports().Combo2_Click();
        }
        for (int n : changes) {
            n > 0 ? world.Plug(n) : world.Pull(-n);
            ports.removeAll(-n);
            ports.append(n);
        }
        if (!changes.isEmpty())
            program.Ports().ReShowComPortTimer_Timer();

        QStringList listed;
        for (int n = 1; n <= 256; ++n) {
            if (system == Nt60 || ports.contains(n))
                listed << QString(n == selected ? "[COM%1]" : "COM%1").arg(n);
        }
        QCOMPARE(Shown(list), listed.join(' '));
        QCOMPARE(int(program.ComPortNo()), selected);
        QTEST(world.Settings(), "settingsAfter");
        QCOMPARE(program.Ports().ReShowComPortTimer().isActive(), system != Nt60);
        QCOMPARE(world.boxes.texts(), system == Unknown ? QStringList{"未知操作系统"} : QStringList());
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

        QVERIFY(QSignalSpy(&program.Ports().ReShowComPortTimer(), &QTimer::timeout).wait(2000));

        QVERIFY(list->view()->isVisible());
        QCOMPARE(list->view()->currentIndex().row(), 0);
        // A real change still reaches the open list at the next tick.
        world.Plug(4);
        QTRY_COMPARE_WITH_TIMEOUT(Shown(list), QStringLiteral("COM3 COM4 [COM5]"), 2000);
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
