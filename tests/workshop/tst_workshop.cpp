// A workshop: benches, each a program folder with its own local history, and
// one PostgreSQL server set up as the administrator sets it up. The benches
// are the real executable as a script runs it and the window offscreen, the
// radio the simulated one over a pseudo-terminal, the server a real one.

#include "../app/appworld.h"
#include "demoimage.h"
#include "history/historycsv.h"
#include "history/historystore.h"
#include "simulatedradio.h"
#include "support/privateserver.h"
#include "ui/historywindow.h"

#include <QAbstractButton>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <csignal>

using namespace kelvra;
using kelvra::testing::AppWorld;
using kelvra::testing::MuteServer;
using kelvra::testing::PrivateServer;

namespace {

const QString Password = PrivateServer::BenchPassword();

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// A bench's program folder: the executable, its mysetup.ini and history beside it.
void MakeBench(const QString &folder, const QString &name, const QString &url)
{
    QDir().mkpath(folder);
    QFile::remove(folder + "/KelvraSet");
    QVERIFY(QFile::copy(KELVRA_EXECUTABLE, folder + "/KelvraSet"));
    QFile ini(folder + "/mysetup.ini");
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(QString("[history]\nhistoryUrl=%1\nbench=%2\n").arg(url, name).toUtf8());
}

void Start(QProcess &process, const QString &folder, const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", folder + "/xdg");
    environment.insert("XDG_DATA_HOME", folder + "/xdg");
    process.setProcessEnvironment(environment);
    process.start(folder + "/KelvraSet", arguments);
}

// The radio answers from this process's event loop while the command runs.
Run Command(const QString &folder, const QStringList &arguments)
{
    QProcess process;
    Start(process, folder, arguments);
    [&] { QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, 20000); }();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

// Every text the program's windows show.
QString WindowTexts()
{
    QStringList texts;
    for (QWidget *widget : QApplication::allWidgets()) {
        texts << widget->windowTitle() << widget->toolTip();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
    }
    return texts.join('\n');
}

} // namespace

class TestWorkshop : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateServer> m_server;
    radiosim::SimulatedRadio m_radio;
    QTemporaryDir m_dir;

    QStringList OnServer(const QString &column, const QString &uuid)
    {
        QStringList values;
        m_server->Sql("kelvraset", QString("SELECT %1 FROM history_entry WHERE uuid = '%2'").arg(column, uuid),
                      &values);
        return values;
    }

    // The window, its history window open on the whole workshop.
    HistoryWindow *ShowWorkshop(Program &program)
    {
        program.Window().show();
        if (!QTest::qWaitForWindowExposed(&program.Window()))
            return nullptr;
        QTest::mouseClick(program.Window().Command4(), Qt::LeftButton);
        HistoryWindow *history = program.History()->Window();
        if (auto *whole = history ? history->findChild<QRadioButton *>("wholeWorkshop") : nullptr)
            whole->click();
        return history;
    }

private slots:
    void initTestCase()
    {
        if (kelvra::testing::ServerTools().isEmpty())
            QSKIP("Debian's postgresql package is not installed");
        m_server = std::make_unique<PrivateServer>();
        QVERIFY(m_server->Init(KELVRA_WORKSHOP_SQL));
        QVERIFY(m_server->Sql("postgres", "CREATE DATABASE bare")); // one the script was never run in
        QString error;
        QVERIFY2(m_radio.Start(&error), qPrintable(error));
    }

    void init()
    {
        m_radio.SetImage(radiosim::DemoImage());
        m_radio.SetFaults({});
        // A test that failed while the server was stopped must not fail the next one too.
        QVERIFY(m_server->Running() || m_server->Start());
    }

    // What a bench's role may do on the server: add and read, nothing else.
    void serverKeepsWhatItIsGiven_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("allowed");
        const QString insert = "INSERT INTO history_entry (uuid, time_utc, operation, result, message, detail, port,"
                               " device, adapter_serial, model, serial_number, changed_fields, bench%1) VALUES"
                               " (gen_random_uuid(), now(), 'read', 'complete', '', '', '', '', '', '', '1', '',"
                               " 'gone'%2)";
        QTest::newRow("bench adds an entry") << "kelvraset_bench" << insert.arg("", "") << true;
        QTest::newRow("bench reads") << "kelvraset_bench" << "SELECT count(*) FROM history_entry" << true;
        QTest::newRow("bench UPDATE") << "kelvraset_bench" << "UPDATE history_entry SET bench = 'x'" << false;
        QTest::newRow("bench DELETE") << "kelvraset_bench" << "DELETE FROM history_entry" << false;
        QTest::newRow("bench TRUNCATE") << "kelvraset_bench" << "TRUNCATE history_entry" << false;
        QTest::newRow("bench DROP") << "kelvraset_bench" << "DROP TABLE history_entry" << false;
        QTest::newRow("bench ALTER") << "kelvraset_bench" << "ALTER TABLE history_entry ADD COLUMN x int" << false;
        QTest::newRow("bench makes a table") << "kelvraset_bench" << "CREATE TABLE mine (x int)" << false;
        QTest::newRow("bench says when the server received it")
            << "kelvraset_bench" << insert.arg(", received_utc", ", now()") << false;
        QTest::newRow("owner DELETE") << "admin" << "SET ROLE kelvraset_owner; DELETE FROM history_entry" << false;
        QTest::newRow("owner UPDATE, bench's setting")
            << "admin" << "SET ROLE kelvraset_bench; SET kelvraset.cleanup = 'on'; UPDATE history_entry SET bench = ''"
            << false;
        QTest::newRow("owner's deliberate clean-up")
            << "admin"
            << "BEGIN; SET LOCAL ROLE kelvraset_owner; SET LOCAL kelvraset.cleanup = 'on';"
               " DELETE FROM history_entry WHERE bench = 'gone'; COMMIT"
            << true;
    }
    void serverKeepsWhatItIsGiven()
    {
        QFETCH(QString, user);
        QFETCH(QString, statement);
        QFETCH(bool, allowed);
        QString why;
        QCOMPARE(m_server->Sql("kelvraset", statement, nullptr, &why, user), allowed);
        QVERIFY2(allowed || why.contains("permission denied") || why.contains("must be owner")
                     || why.contains("never changed or deleted"),
                 qPrintable(why));
    }

    // A command delivers its own entry; one the server could not take waits for --deliver.
    void commandsDeliver()
    {
        const QString bench = m_dir.filePath("script");
        MakeBench(bench, "Line 1", m_server->Url());
        const Run write = Command(bench, {"write", "--port", m_radio.DevicePath(), "--seller", "L1", "--json"});
        QVERIFY2(write.exitCode == 0, write.err.constData()); // a sanitizer says why on standard error
        const QString id = QJsonDocument::fromJson(write.out)["historyId"].toString();
        QCOMPARE(OnServer("bench", id), QStringList{"Line 1"});

        QVERIFY(m_server->Stop());
        const Run queued = Command(bench, {"read", "--port", m_radio.DevicePath(), "--json"});
        QCOMPARE(queued.exitCode, 0);
        QVERIFY2(queued.err.contains("stays queued") && queued.err.contains("server not reachable"), queued.err);
        QCOMPARE(Command(bench, {"history", "--deliver"}).exitCode, 3);
        const Run listed = Command(bench, {"history", "--workshop"});
        QCOMPARE(listed.exitCode, 3);
        QVERIFY2(listed.err.contains("1 entry(s) of this bench wait"), listed.err);

        // A station says once that delivery fails, and once that it works again.
        QFile job(bench + "/job.json");
        QVERIFY(job.open(QIODevice::WriteOnly) && job.write(R"({"seller": "L2"})") > 0);
        job.close();
        QProcess station;
        station.start(bench + "/KelvraSet", {"station", "--port", m_radio.DevicePath(), "--job", job.fileName(),
                                             "--auto"});
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += station.readAllStandardError()).contains("fails: server not reachable"),
                                 20000);
        // The radio's entry joins the queue, and a retry after a second finds the server down still.
        QByteArray out;
        QTRY_VERIFY2_WITH_TIMEOUT((out += station.readAllStandardOutput()).contains("passed"), out, 20000);
        QTest::qWait(1500);
        QVERIFY(m_server->Start());
        QTRY_VERIFY_WITH_TIMEOUT((said += station.readAllStandardError()).contains("works again"), 20000);
        ::kill(pid_t(station.processId()), SIGINT);
        QVERIFY(station.waitForFinished(10000));
        said += station.readAllStandardError();
        QCOMPARE(said.count("fails"), 1);
        QCOMPARE(said.count("works again"), 1);

        const Run delivered = Command(bench, {"history", "--deliver"});
        QVERIFY2(delivered.exitCode == 0, delivered.err.constData());
        QCOMPARE(OnServer("bench", QJsonDocument::fromJson(queued.out)["historyId"].toString()),
                 QStringList{"Line 1"});
        for (const QByteArray &text : {write.err, queued.err, listed.err, said})
            QVERIFY2(!text.contains("QSql") && !text.contains("QPSQL"), text);
    }

    // A server that takes the connection and never answers: the command had
    // begun to connect while the radio was still read, waits 2 s for the
    // entry, says it stays queued and ends with its own exit code.
    void serverHangs()
    {
        MuteServer mute;
        QVERIFY(mute.Listen());
        const QString bench = m_dir.filePath("hung");
        MakeBench(bench, "Line 3", mute.Url());
        radiosim::FaultRule slowRadio;
        QString error;
        QVERIFY(radiosim::FaultRule::Parse("delay:program:1:800", &slowRadio, &error));
        m_radio.SetFaults({slowRadio});
        QProcess read;
        Start(read, bench, {"read", "--port", m_radio.DevicePath(), "--json"});
        QTRY_VERIFY(mute.Called());
        QVERIFY(read.state() == QProcess::Running && read.readAllStandardOutput().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(read.state() == QProcess::NotRunning, 20000);
        const QByteArray err = read.readAllStandardError();
        QCOMPARE(read.exitStatus(), QProcess::NormalExit);
        QCOMPARE(read.exitCode(), 0);
        QVERIFY2(err.contains("stays queued") && err.contains("(no answer within 2 s)") && !err.contains("QSql"), err);

        // The history window says that it asks while it waits, and that the server was not reached once it fails.
        AppWorld world;
        MakeBench(world.AppDir(), "Line 3", mute.Url());
        HistoryWindow *history = ShowWorkshop(world.Start());
        QVERIFY(history);
        auto *line = history->findChild<QLabel *>("workshopLine");
        QTRY_COMPARE(line->text(), QString("Asking the workshop server..."));
        mute.Close();
        QTRY_VERIFY2(line->text().contains("this bench's entries are shown"), qPrintable(line->text()));
    }

    // Bench A writes a radio; bench B finds A's entry and puts its backup back.
    void twoBenches()
    {
        const QByteArray before = m_radio.Image();
        const QString benchA = m_dir.filePath("benchA");
        MakeBench(benchA, "Bench A", m_server->Url());
        const Run write
            = Command(benchA, {"write", "--port", m_radio.DevicePath(), "--dealer-code", "D-A", "--password", "9999"});
        QVERIFY2(write.exitCode == 0, write.err.constData());
        QVERIFY(m_radio.Image() != before);

        AppWorld world;
        MakeBench(world.AppDir(), "Bench B", m_server->Url());
        const Run listed = Command(world.AppDir(), {"history", "--workshop", "--serial", "0042", "--json"});
        QCOMPARE(listed.exitCode, 0);
        const QJsonObject entry = QJsonDocument::fromJson(listed.out.split('\n').first()).object();
        QCOMPARE(entry["bench"].toString(), QString("Bench A"));
        QCOMPARE(entry["operation"].toString(), QString("write"));
        // By the names of A's own history --json, the password masked there too.
        const Run own = Command(benchA, {"history", "--limit", "1", "--json"});
        const QJsonObject ownEntry = QJsonDocument::fromJson(own.out).object();
        QCOMPARE(entry.keys(), ownEntry.keys());
        QCOMPARE(entry["before"].toObject().keys(), ownEntry["before"].toObject().keys());
        QCOMPARE(entry["before"]["password"].toString(), QString("****"));
        // Its CSV: A's own header, and A's entry as A's own export gives it.
        const QList<QByteArray> csv = Command(world.AppDir(), {"history", "--workshop", "--csv"}).out.split('\n');
        const QList<QByteArray> ownCsv = Command(benchA, {"history", "--csv"}).out.split('\n');
        QCOMPARE(csv.first(), ownCsv.first());
        const auto lineOfA = [&](const QList<QByteArray> &lines) {
            const auto found = std::find_if(lines.begin(), lines.end(), [&](const QByteArray &line) {
                return line.startsWith(entry["historyId"].toString().toLatin1() + ',');
            });
            return found == lines.end() ? QByteArray() : *found;
        };
        QVERIFY(lineOfA(csv).contains(",Bench A,"));
        QCOMPARE(lineOfA(csv), lineOfA(ownCsv));

        QString error;
        QVERIFY2(m_radio.MakeAlias(world.PortsDir(), 7, &error), qPrintable(error));
        Program &program = world.Start();
        HistoryWindow *history = ShowWorkshop(program);
        QVERIFY(history);
        auto *list = history->findChild<QTableView *>("entries");
        QTRY_VERIFY(list->model()->rowCount() > 0);
        QCOMPARE(list->model()->index(0, 6).data().toString(), QString("Bench A")); // the bench column
        history->findChild<QAbstractButton *>("restore")->click();
        // Another radio on the cable is refused, as for an entry of this bench's own.
        const QByteArray written = m_radio.Image();
        m_radio.SetImage(radiosim::NextUnitImage(written));
        QTest::mouseClick(program.Window().Command2(), Qt::LeftButton);
        QTRY_COMPARE(world.boxes.texts(), QStringList{"Write Failure!"});
        QCOMPARE(m_radio.Image(), radiosim::NextUnitImage(written));
        m_radio.SetImage(written);
        world.boxes.shown.clear();
        QTest::mouseClick(program.Window().Command2(), Qt::LeftButton);
        QTRY_COMPARE(world.boxes.texts(), QStringList{"Write Complete!"});
        QCOMPARE(m_radio.Image(), before);
        m_radio.RemoveAlias();
    }

    // The URL's password is shown nowhere, whatever becomes of the URL.
    void noPasswordShown_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<QString>("shown"); // in the window: how it was refused, or that the server was not reached
        QTest::addColumn<QString>("why"); // the server not reached: what the listing and the read's waiting entry say
        const QString refused = "kept on this computer only";
        const QString unreached = "this bench's entries are shown";
        QTest::newRow("another scheme") << "postgresq://kelvraset_bench:" + Password + "@/kelvraset" << Password
                                        << refused << QString();
        QTest::newRow("no database") << "postgresql://kelvraset_bench:" + Password + "@/" << Password << refused
                                     << QString();
        QTest::newRow("a bad escape") << "postgresql://kelvraset_bench:" + Password + "@/kel%zzset" << Password
                                      << refused << QString();
        QTest::newRow("wrong password") << m_server->Url("Wr0ng-pw") << "Wr0ng-pw" << unreached << "wrong password";
        QTest::newRow("no server there") << m_server->Url().replace("?host=", "?host=/nowhere") << Password
                                         << unreached << "server not reachable";
        QTest::newRow("no table: the script to run")
            << m_server->Url(Password, "bare") << Password << unreached
            << "the server has no table history_entry: an administrator runs " KELVRA_INSTALLED_SQL
               " once, with psql, in the database bare";
    }
    void noPasswordShown()
    {
        QFETCH(QString, url);
        QFETCH(QString, secret);
        QFETCH(QString, shown);
        QFETCH(QString, why);
        AppWorld world;
        MakeBench(world.AppDir(), "Bench C", url);
        const QString trace = world.Path("trace.txt");
        QByteArray said;
        QList<Run> runs;
        for (const QStringList &arguments :
             {QStringList{"read", "--port", m_radio.DevicePath(), "--json", "--trace", trace},
              QStringList{"history", "--workshop", "--json"}, QStringList{"history", "--deliver"}}) {
            runs << Command(world.AppDir(), arguments);
            said += runs.last().out + runs.last().err;
        }
        QFile traced(trace);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        said += traced.readAll();
        if (!why.isEmpty()) {
            QCOMPARE(runs.at(1).exitCode, 3);
            QVERIFY2(runs.at(1).err.contains(": " + why.toUtf8() + ".\n"), runs.at(1).err);
        }
        HistoryWindow *history = ShowWorkshop(world.Start());
        QVERIFY(history);
        QTRY_VERIFY2(WindowTexts().contains(shown), qPrintable(WindowTexts()));
        if (!why.isEmpty()) {
            // How delivery stands: the read's entry waits, since it was made, and why.
            const auto read = HistoryStore(world.AppDir() + "/history.sqlite")
                                  .Fetch(QJsonDocument::fromJson(runs.first().out)["historyId"].toString());
            QVERIFY(read);
            const QString waits = " since " + LocalTimeText(read->time) + ": " + why + ".";
            auto *line = history->findChild<QLabel *>("workshopLine");
            QTRY_VERIFY2(line->text().contains("1 entry(s) of this bench wait for the workshop server ")
                             && line->text().endsWith(waits),
                         qPrintable(line->text()));
        }
        said += WindowTexts().toUtf8();
        QVERIFY2(!said.contains(secret.toUtf8()), said.mid(said.indexOf(secret.toUtf8()) - 200, 300));
        QVERIFY2(!said.contains("QSql") && !said.contains("QPSQL"), said);
    }
};

QTEST_MAIN(TestWorkshop)
#include "tst_workshop.moc"
