// Start-up and the one-second refresh of the port list, against ports that
// come and go and a real mysetup.ini, also one that a person, an editor or
// another program made, or that other copies of the program write at the
// same time: start-up must neither hang nor crash on it, and must leave it
// as it was or change only the port, in the file's own encoding, owner, mode
// and links.
#include "services/comportsetting.h"
#include "services/versionquery.h"
#include "ui/statusline.h"
#include "appworld.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStringEncoder>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>

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

QByteArray Utf16(const char *port, QStringConverter::Encoding encoding, bool mark)
{
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode("; x\r\n[language]\r\ncomPort=" + QString::fromLatin1(port) + "\r\n");
}

// The file that two other copies write at once: other sections around the port, all line endings.
QByteArray Shared(int port)
{
    return "; kept\r\n[bench]\nk=\xb2\r\n[language]\ncomPort=" + QByteArray::number(port) + "\n; tail\r";
}

// What must survive besides the text: the kind of file, its mode, owner and links.
QString Describe(const QString &path)
{
    struct stat st{};
    lstat(QFile::encodeName(path).constData(), &st);
    return QString("mode %1 uid %2 links %3 to %4")
        .arg(st.st_mode, 0, 8).arg(st.st_uid).arg(st.st_nlink).arg(QFile::symLinkTarget(path));
}

// What start-up made of it: the list as shown (the selection in brackets),
// the port, whether the list refreshes, and the boxes shown.
QString Outcome(Program &program, const ScriptedMessageBoxes &boxes)
{
    QComboBox *list = program.Window().Combo2();
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << (i == list->currentIndex() ? '[' + list->itemText(i) + ']' : list->itemText(i));
    const bool refreshing = program.Ports().ReShowComPortTimer().isActive();
    return QString("%1 | COM%2 | %3 | %4")
        .arg(entries.join(' ')).arg(program.ComPortNo()).arg(refreshing ? "refreshing" : "fixed", boxes.texts().join(','));
}

// Another copy of the program: saves first and 9 by turns, 500 times, and after
// every save reads the file as a cooperating reader does; any other text fails.
int SaveByTurns(const char *path, int first)
{
    for (int i = 0; i < 500; ++i) {
        QFile file(path);
        const bool saved = SaveComPort(path, qint16(i % 2 ? 9 : first));
        const QByteArray text = file.open(QIODevice::ReadOnly) && flock(file.handle(), LOCK_SH) == 0 ? file.readAll() : "";
        if (!saved || (text != Shared(3) && text != Shared(7) && text != Shared(9) && text != Shared(12))) {
            std::fprintf(stderr, "after save %d: %s\n", i, text.toPercentEncoding().constData());
            return 1;
        }
    }
    return 0;
}

// The program in a process of its own, from the folder it was copied to, as main() starts it.
int StartHere(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ScriptedMessageBoxes boxes;
    ProgramEnvironment environment = ProgramEnvironment::Host();
    environment.sysTtyRoot = QFile::decodeName(argv[2]);
    environment.devRoot = QFile::decodeName(argv[3]);
    environment.messageBoxes = &boxes;
    Program program(environment);
    program.Form_Load();
    std::fputs(Outcome(program, boxes).toUtf8().constData(), stdout);
    return 0;
}

void Start(QProcess &process, const QStringList &command, const QString &configHome = QString())
{
    process.setEnvironment(QProcess::systemEnvironment() << "XDG_CONFIG_HOME=" + configHome);
    process.start(command.first(), command.mid(1));
}

QByteArray Finish(QProcess &process)
{
    const bool done = process.waitForFinished(60000);
    [&] { QVERIFY2(done && process.exitCode() == 0, process.readAllStandardError().constData()); }();
    return process.readAllStandardOutput();
}

// Runs the program from a copy of this executable in its folder, made
// read-only, as nobody where the tests run as root.
QString StartElsewhere(AppWorld &world)
{
    const QString exe = world.AppDir() + "/KelvraSet";
    [&] { QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), exe)); }();
    chmod(QFile::encodeName(world.AppDir()).constData(), 0555);
    QStringList command{exe, "--start-here", world.Path("sys"), world.Path("dev")};
    if (geteuid() == 0) {
        chmod(QFile::encodeName(world.Path("")).constData(), 0755);
        const bool given = chown(QFile::encodeName(world.ConfigDir()).constData(), 65534, 65534) == 0;
        [&] { QVERIFY2(given, qPrintable("the configuration folder cannot be given to nobody: " + qt_error_string())); }();
        command = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"} + command;
    }
    QProcess process;
    Start(process, command, world.Path("xdg"));
    return QString::fromUtf8(Finish(process));
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void portListSettles_data()
    {
        // Setup words: nt60, unknown: the system's answer. zero, fifo, dangling: mysetup.ini is a
        // link to /dev/zero, a FIFO, a link to nothing. full: the disk has no room for more while
        // start-up runs. locked: another program holds the file's lock. config: the file is in the
        // configuration folder, and the one beside the program says 3. read-only: the program runs
        // as another user from a folder and beside a file that user may not write, and saves in
        // the configuration folder; the folder's name is the byte FF, not UTF-8. two-copies: two
        // other copies save 500 times each before start-up.
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QList<int>>("ports");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QByteArray>("settingsAfter");
        QTest::addColumn<QString>("warning");    // why the port was not saved
        QTest::addColumn<QList<int>>("changes"); // n plugs COMn in, -n pulls it out, then the list refreshes
        QTest::addColumn<int>("picked");         // by the operator after start-up, 0 for none
        const auto row = [](const char *name, const QString &setup, const QByteArray &settings,
                            const QList<int> &ports, int selected, const QByteArray &after,
                            const QString &warning = {}, const QList<int> &changes = {}, int picked = 0) {
            QTest::newRow(name) << setup << settings << ports << selected << after << warning << changes << picked;
        };
        const QByteArray none = AppWorld::NoFile();
        const QString notAFile = "it is not a regular file of at most 64 KiB";

        row("saved port present", "", Saved("3"), {4, 3}, 3, Saved("3"));
        // Not plugged in yet: the dealer's choice stays in the file.
        row("saved port absent", "", Saved("3"), {6, 5}, 5, Saved("3"));
        row("no ports", "", Saved("3"), {}, 0, Saved("3"));
        row("no file, unknown system", "unknown", none, {2}, 2, Saved("2"));
        // Values that name no port: a sloppy reading would pick the later one.
        row("trailing garbage, lines after it kept", "", Saved("7x") + "; end\n", {7, 2}, 2, Saved("2") + "; end\n");
        row("past 16 bits", "", Saved("65539"), {3, 1}, 1, Saved("1"));
        // A spelling that the writer would change shows whether the file was written.
        row("fixed list, 7", "nt60", Saved(" 07 "), {3}, 7, Saved(" 7 "));
        row("fixed list, negative", "nt60", Saved(" -03 "), {3}, 0, Saved(" -03 "));
        row("fixed list, past it", "nt60", Saved(" 0257 "), {3}, 0, Saved(" 0257 "));
        // Only start-up and the operator's pick write the file, never the refresh.
        row("refresh: selected pulled", "", Saved("5"), {3, 5, 9}, 3, Saved("5"), "", {-5});
        row("refresh: plugged before the selected", "", Saved("12"), {12}, 12, Saved("12"), "", {4});
        row("refresh: all pulled", "", Saved("3"), {3, 5}, 0, Saved("3"), "", {-3, -5});
        row("refresh: first after none", "", Saved("0"), {}, 6, Saved("0"), "", {8, 6});
        row("refresh: saved port plugged in late", "", Saved("9"), {201}, 9, Saved("9"), "", {9});
        row("refresh: saved port late, operator picked meanwhile", "", Saved("9"), {4, 201}, 201, Saved("201"), "",
            {9}, 201);
        // Files that people and other programs make; COM3 is only selected when 3 is read.
        row("link to /dev/zero", "zero", none, {2, 3}, 2, none, notAFile);
        row("FIFO", "fifo", none, {2, 3}, 2, none, notAFile);
        const QByteArray huge = Saved("3") + QByteArray(1 << 20, ';');
        row("huge file", "", huge, {2, 3}, 2, huge, notAFile);
        const QByteArray full = "; " + QByteArray(64 * 1024 - 3, 'x') + '\n';
        row("64 KiB without the key: never grown past what is read", "", full, {2, 3}, 2, full, "grow past 64 KiB");
        row("link to nothing: no target made", "dangling", none, {2, 3}, 2, none, "which does not exist");
        row("full disk, no file yet: none left", "full", none, {2, 3}, 2, none, "File too large");
        row("full disk, the file would grow", "full", Saved("0"), {12}, 12, Saved("0"), "File too large");
        row("locked by another program: start-up goes on", "locked", Saved("3"), {2, 3}, 2, Saved("3"),
            "another program keeps it locked");
        // 03 is read as 3 and written back shorter, in the file's own encoding.
        const QByteArray bom = "\xEF\xBB\xBF";
        row("UTF-8 mark: read, rewritten with its mark", "", bom + Saved("03"), {2, 3}, 3, bom + Saved("3"));
        const auto be = QStringConverter::Utf16BE, le = QStringConverter::Utf16LE;
        row("UTF-16 BE mark: read, rewritten in UTF-16 BE", "", Utf16("03", be, true), {2, 3}, 3, Utf16("3", be, true));
        row("UTF-16 LE, no mark: read, rewritten in UTF-16 LE", "", Utf16("03", le, false), {2, 3}, 3,
            Utf16("3", le, false));
        row("mixed line endings and GBK kept, port added", "", "; a\r\n[\xc9\xe8]\rk=\xb2\n[language]\r\nui=zh", {2, 3},
            2, "; a\r\n[\xc9\xe8]\rk=\xb2\n[language]\r\nui=zh\r\ncomPort=2\r\n");
        row("CR only: section added", "", "[x]\rk=v\r", {2, 3}, 2, "[x]\rk=v\r\r[language]\rcomPort=2\r");
        // A value is replaced whatever bytes it holds, and one NUL makes no file UTF-16.
        row("value of any bytes: replaced", "", Saved(QByteArray("\xFF\xFE\0\x01\x80", 5)), {2, 3}, 2, Saved("2"));
        const QByteArray nul("; a\0b\n", 6);
        row("a NUL in a comment: 8-bit text", "", nul + Saved("03"), {2, 3}, 3, nul + Saved("3"));
        QByteArray binary;
        for (int i = 0; i < 512; ++i)
            binary += char(i * 7);
        // No text at all: kept beside it, and the file itself (its mode, owner, links) starts afresh.
        row("no text at all: set aside, port saved", "aside", binary, {2, 3}, 2, Saved("2"), "held no text");
        row("key's spelling and blanks kept", "", "[LANGUAGE]\r\nCOMPORT = 03 \r\n", {2, 3}, 3,
            "[LANGUAGE]\r\nCOMPORT = 3 \r\n");
        // Where the file is.
        row("configuration folder's file wins", "config", Saved("04"), {3, 4}, 4, Saved("4"));
        row("beside a read-only program in a folder not named in UTF-8: its file and aliases", "read-only",
            Saved("07"), {2, 7}, 7, Saved("07"));
        row("two copies saving 500 times each", "two-copies", Shared(3), {3, 9}, 9, Shared(9));
    }

    void portListSettles()
    {
        QFETCH(QString, setup);
        QFETCH(QByteArray, settings);
        QFETCH(QList<int>, ports);
        QFETCH(int, selected);
        QFETCH(QString, warning);
        QFETCH(QList<int>, changes);
        QFETCH(int, picked);
        const QStringList how = setup.split(' ', Qt::SkipEmptyParts);
        const System system = how.contains("nt60") ? Nt60 : how.contains("unknown") ? Unknown : Later;
        const FakeVersionQuery version(system);
        AppWorld world(how.contains("read-only") ? "k\xff" : "app");
        const QString path = how.contains("config") ? world.ConfigDir() + "/mysetup.ini" : world.SettingsPath();
        const QByteArray native = QFile::encodeName(path);
        if (how.contains("config"))
            world.PutSettings(Saved("3"));
        if (how.contains("zero"))
            QVERIFY(QFile::link("/dev/zero", path));
        else if (how.contains("fifo"))
            QCOMPARE(mkfifo(native.constData(), 0644), 0);
        else if (how.contains("dangling"))
            QVERIFY(QFile::link(world.Path("gone.ini"), path));
        else
            world.PutSettings(settings, path);
        if (QFileInfo(path).isFile() && !QFileInfo(path).isSymLink()) {
            // As after a run with sudo: a rewrite must not take the file from its owner.
            if (geteuid() == 0 && !how.contains("read-only"))
                QCOMPARE(chown(native.constData(), 65534, 65534), 0);
            QVERIFY(QFile::setPermissions(path, how.contains("read-only") ? QFile::ReadOwner | QFile::ReadOther
                                                                           : QFile::ReadOwner | QFile::WriteOwner
                                                                                 | QFile::ReadOther));
            QCOMPARE(link(native.constData(), QFile::encodeName(world.Path("linked.ini")).constData()), 0);
        }
        const bool existed = QFileInfo::exists(path) || QFileInfo(path).isSymLink();
        const QString before = Describe(path);
        for (int n : ports)
            world.Plug(n);
        QFile held(path);
        if (how.contains("locked"))
            QVERIFY(held.open(QIODevice::ReadOnly) && flock(held.handle(), LOCK_EX) == 0);
        if (how.contains("two-copies")) {
            QProcess copies[2];
            for (int i : {0, 1})
                Start(copies[i], {QCoreApplication::applicationFilePath(), "--save-by-turns", path, i ? "12" : "7"});
            Finish(copies[0]);
            Finish(copies[1]);
        }
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(warning)));

        QString outcome;
        if (how.contains("read-only")) {
            outcome = StartElsewhere(world);
        } else {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit unlimited{};
            getrlimit(RLIMIT_FSIZE, &unlimited);
            const rlimit noRoom{rlim_t(QFileInfo(path).size()), unlimited.rlim_max};
            QVERIFY(!how.contains("full") || setrlimit(RLIMIT_FSIZE, &noRoom) == 0);
            QElapsedTimer clock;
            clock.start();
            Program &program = world.Start(&version);
            setrlimit(RLIMIT_FSIZE, &unlimited);
            QVERIFY2(clock.elapsed() < 2000, "start-up stalled on the settings file");
            if (picked) {
                program.Window().Combo2()->setCurrentText(QString("COM%1").arg(picked));
                program.Ports().Combo2_Click();
            }
            for (int n : changes) {
                n > 0 ? world.Plug(n) : world.Pull(-n);
                ports.removeAll(-n);
                ports.append(n);
            }
            if (!changes.isEmpty())
                program.Ports().ReShowComPortTimer_Timer();
            outcome = Outcome(program, world.boxes);
            // Standard error is not where a window's user looks.
            const QString status = program.Window().Label4()->text().remove(QChar(0x200B));
            QVERIFY2(warning.isEmpty() ? status.isEmpty() : status.contains(warning), qPrintable(status));
        }

        QStringList listed;
        for (int n = 1; n <= 256; ++n) {
            if (system == Nt60 || ports.contains(n))
                listed << QString(n == selected ? "[COM%1]" : "COM%1").arg(n);
        }
        const QString expected = QString("%1 | COM%2 | %3 | %4").arg(listed.join(' ')).arg(selected)
                                     .arg(system == Nt60 ? "fixed" : "refreshing", system == Unknown ? "未知操作系统" : "");
        QCOMPARE(outcome, expected);
        QTEST(world.Settings(path), "settingsAfter");
        if (existed)
            QCOMPARE(Describe(path), before);
        const QStringList aside = QFileInfo(path).dir().entryList({"mysetup.ini.damaged-*"}, QDir::Files);
        QCOMPARE(aside.size(), int(how.contains("aside")));
        if (!aside.isEmpty())
            QCOMPARE(world.Settings(QFileInfo(path).dir().filePath(aside.constFirst())), settings);
        if (how.contains("config"))
            QCOMPARE(world.Settings(), Saved("3"));
        if (how.contains("read-only"))
            QCOMPARE(world.Settings(world.ConfigDir() + "/mysetup.ini"), Saved(QByteArray::number(selected)));
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
        QTRY_COMPARE_WITH_TIMEOUT(Outcome(program, world.boxes), QString("COM3 COM4 [COM5] | COM5 | refreshing | "), 2000);
    }
};

// Run with --save-by-turns or --start-here, this executable is another copy of the program.
int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--save-by-turns") == 0)
        return SaveByTurns(argv[2], atoi(argv[3]));
    if (argc == 4 && qstrcmp(argv[1], "--start-here") == 0)
        return StartHere(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
