// Start-up and the one-second refresh of the port list, against ports that
// come and go and a real mysetup.ini, also one that a person, an editor or
// another program made: start-up must neither hang nor crash on it, and must
// leave it as it was or change only the port, in the file's own encoding,
// owner, mode and links.
#include "app/versionquery.h"
#include "appworld.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QStringEncoder>

#include <sys/stat.h>
#include <unistd.h>

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

QByteArray Utf16(const char *port, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode("; x\r\n[language]\r\ncomPort=" + QString::fromLatin1(port) + "\r\n");
}

// What must survive besides the text: the kind of file, its mode, owner and links.
QString Describe(const QString &path)
{
    struct stat st{};
    lstat(QFile::encodeName(path).constData(), &st);
    return QString("mode %1 uid %2 links %3 to %4")
        .arg(st.st_mode, 0, 8).arg(st.st_uid).arg(st.st_nlink).arg(QFile::symLinkTarget(path));
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
        row("trailing garbage, lines after it kept", Saved("7x") + "; end\n", {7, 2}, Later, 2, Saved("2") + "; end\n");
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
        // Files that people and other programs make; COM3 is only selected when 3 is read.
        const QByteArray bom = "\xEF\xBB\xBF";
        row("link to /dev/zero", "<zero>", {2, 3}, Later, 2, AppWorld::NoFile());
        row("FIFO", "<fifo>", {2, 3}, Later, 2, AppWorld::NoFile());
        const QByteArray huge = Saved("3") + QByteArray(1 << 20, ';');
        row("huge file", huge, {2, 3}, Later, 2, huge);
        // 03 is read as 3 and written back shorter, in the file's own encoding.
        row("UTF-8 BOM: read, rewritten with its mark", bom + Saved("03"), {2, 3}, Later, 3, bom + Saved("3"));
        const auto be = QStringConverter::Utf16BE, le = QStringConverter::Utf16LE;
        row("UTF-16 BE BOM: read, rewritten in UTF-16 BE", Utf16("03", be), {2, 3}, Later, 3, Utf16("3", be));
        row("UTF-16 LE BOM: read, rewritten in UTF-16 LE", Utf16("03", le), {2, 3}, Later, 3, Utf16("3", le));
        row("CRLF, GBK sections kept byte for byte, port added",
            "; bench\r\n[\xc9\xe8]\r\nk=\xb2\r\n[language]\r\nui=zh\r\n", {2, 3}, Later, 2,
            "; bench\r\n[\xc9\xe8]\r\nk=\xb2\r\n[language]\r\nui=zh\r\ncomPort=2\r\n");
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
        const QString path = world.SettingsPath();
        const QByteArray native = QFile::encodeName(path);
        if (settings == "<folder>")
            QVERIFY(QDir().mkpath(path));
        else if (settings == "<zero>")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (settings == "<fifo>")
            QCOMPARE(mkfifo(native.constData(), 0644), 0);
        else
            world.PutSettings(settings);
        // As after a run with sudo: a rewrite must not take the file from its owner.
        if (QFileInfo(path).isFile() && !QFileInfo(path).isSymLink()) {
            if (geteuid() == 0)
                QCOMPARE(chown(native.constData(), 65534, 65534), 0);
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
            QCOMPARE(link(native.constData(), QFile::encodeName(world.Path("linked.ini")).constData()), 0);
        }
        const QString before = Describe(path);
        for (int n : ports)
            world.Plug(n);

        QElapsedTimer clock;
        clock.start();
        Program &program = world.Start(&version);
        QVERIFY2(clock.elapsed() < 2000, "start-up stalled on the settings file");
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
        if (settings != AppWorld::NoFile())
            QCOMPARE(Describe(path), before);
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
