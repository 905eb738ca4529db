// The program as a Linux user meets it: installed into a temporary root,
// run from a bin folder that user may not write, with settings and aliases in
// the user's configuration folder. Where the tests run as root, the program
// runs as nobody.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Nobody = "65534";

const bool RunsAsRoot = geteuid() == 0;

void MakeFolder(const QString &path, mode_t mode = 0755)
{
    QVERIFY(QDir().mkpath(path));
    QCOMPARE(chmod(QFile::encodeName(path).constData(), mode), 0);
    if (RunsAsRoot)
        QCOMPARE(chown(QFile::encodeName(path).constData(), Nobody.toUInt(), Nobody.toUInt()), 0);
}

} // namespace

class TestInstalled : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QString m_exe;
    QString m_home;

    QString ConfigDir() const { return m_home + "/.config/KelvraSet"; }

    // The installed program, started as an unprivileged user with a home of its own.
    void Launch(QProcess &process, const QStringList &arguments, const QStringList &environment)
    {
        QProcessEnvironment env;
        const QStringList base{"PATH=/usr/bin:/bin", "HOME=" + m_home, "XDG_CONFIG_HOME=" + m_home + "/.config",
                               "XDG_RUNTIME_DIR=" + m_home + "/run", "LANG=C.UTF-8"};
        for (const QString &pair : base + environment)
            env.insert(pair.section('=', 0, 0), pair.section('=', 1));
        process.setProcessEnvironment(env);
        const QStringList asNobody{"setpriv", "--reuid=" + Nobody, "--regid=" + Nobody, "--clear-groups", "--"};
        const QStringList command = (RunsAsRoot ? asNobody : QStringList()) + QStringList{m_exe} + arguments;
        process.start(command.first(), command.mid(1));
        QVERIFY2(process.waitForStarted(5000), qPrintable(process.errorString()));
    }

    // Runs the window until its start-up has written its first trace line
    // (to the trace file, or else to standard error), then ends it.
    void StartUp(const QStringList &arguments, const QStringList &environment, QString *line)
    {
        QProcess process;
        Launch(process, arguments, environment + QStringList{"QT_QPA_PLATFORM=offscreen"});
        QByteArray text;
        const auto startLine = [&] {
            QFile trace(m_home + "/trace.log");
            text += arguments.isEmpty() ? process.readAllStandardError()
                                        : trace.open(QIODevice::ReadOnly) ? trace.readAll() : QByteArray();
            return QRegularExpression(" start .*").match(QString::fromUtf8(text)).captured();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!(*line = startLine()).isEmpty(), 20000);
        process.kill();
        process.waitForFinished(5000);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(chmod(QFile::encodeName(m_root.path()).constData(), 0755), 0);
        qputenv("DESTDIR", QFile::encodeName(m_root.filePath("stage")));
        QProcess install;
        install.start(KELVRA_CMAKE, {"--install", KELVRA_BUILD_DIR, "--prefix", "/usr"});
        QVERIFY(install.waitForFinished(60000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());

        const QString bin = m_root.filePath("stage/usr/bin");
        m_exe = bin + "/KelvraSet";
        QVERIFY(QFileInfo(m_exe).isExecutable() && QFileInfo(bin + "/kelvraset-radio-sim").isExecutable());
        // Where the advice on a port that cannot be opened sends the user.
        QVERIFY(QFileInfo::exists(m_root.filePath("stage/usr/share/doc/kelvraset/README.md")));
        QCOMPARE(chmod(QFile::encodeName(bin).constData(), 0555), 0);
        m_home = m_root.filePath("home");
        for (const QString &folder : {m_home, m_home + "/.config", ConfigDir(), ConfigDir() + "/ports"})
            MakeFolder(folder);
        MakeFolder(m_home + "/run", 0700);
    }

    void cleanupTestCase()
    {
        // Writable again, so that the temporary root can be removed by a user that is not root.
        chmod(QFile::encodeName(QFileInfo(m_exe).path()).constData(), 0755);
    }

    void helpAndVersionNeedNoDisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("expected"); // on standard output, or standard error for a mistake
        QTest::newRow("help") << "--help" << 0 << "--trace <file>";
        QTest::newRow("help-all") << "--help-all" << 0 << "--trace <file>";
        QTest::newRow("version") << "--version" << 0 << "KelvraSet " KELVRA_VERSION;
        QTest::newRow("unknown option") << "--bogus" << 2 << "Unknown option 'bogus'";
    }
    void helpAndVersionNeedNoDisplay()
    {
        QFETCH(QString, option);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        QProcess process;
        Launch(process, {option}, {});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QByteArray output = exitCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError();
        QVERIFY2(output.contains(expected.toUtf8()), output.constData());
    }

    void savedPortAndAliasLiveInTheConfigFolder()
    {
        // An alias the user put into the configuration folder. First run: no
        // settings yet, so the first port present is taken and saved.
        QVERIFY(QFile::link("/dev/null", ConfigDir() + "/ports/COM5"));
        QString first;
        StartUp({"--trace", m_home + "/trace.log"}, {}, &first);
        QVERIFY2(first.contains(QRegularExpression(" ports .*COM5")), qPrintable(first));
        const QString selected = first.section(" selected ", 1).trimmed();
        QFile settings(ConfigDir() + "/mysetup.ini");
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), "[language]\ncomPort=" + selected.mid(3).toUtf8() + '\n');

        // Second run, traced through the logging rules alone: COM1 now comes
        // first, yet the saved port is selected again.
        QVERIFY(QFile::link("/dev/null", ConfigDir() + "/ports/COM1"));
        QString second;
        StartUp({}, {"QT_LOGGING_RULES=kelvra.trace.debug=true"}, &second);
        QVERIFY2(second.contains(" saved " + selected.mid(3) + " ") && second.endsWith(" selected " + selected),
                 qPrintable(second));
    }
};

QTEST_GUILESS_MAIN(TestInstalled)
#include "tst_installed.moc"
