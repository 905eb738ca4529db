// The station window as the line runs it: offscreen, over simulated radios
// on real pseudo-terminals listed as COM21 and COM22, each run checked by
// what the window shows, the history and the run report beside the job.

#include "demoimage.h"
#include "history/historystore.h"
#include "simulatedradio.h"
#include "station/stationwindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>

using namespace kelvra;

class TstStationWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<radiosim::SimulatedRadio> m_radios[2];
    StationEnvironment m_environment;
    QString m_job;

    QString Text(const StationWindow &window, const QString &panel, const char *line) const
    {
        const QWidget *box = window.findChild<QWidget *>("panel " + panel);
        const QLabel *label = box ? box->findChild<QLabel *>(line) : nullptr;
        return label ? label->text() : QString("(no %1 on %2)").arg(line, panel);
    }
    QString Line(const StationWindow &window, const char *name) const
    {
        const QLabel *label = window.findChild<QLabel *>(name);
        return label && !label->isHidden() ? label->text() : QString();
    }
    QStringList Entries() const
    {
        QStringList entries;
        for (const HistoryEntry &e : HistoryStore(m_environment.historyPath).List({}))
            entries << e.portName + ' ' + OperationWord(e.operation) + ' ' + e.serialNumber.right(2) + ' '
                    + ResultWord(e.result);
        entries.sort();
        return entries;
    }
    // Ticks both ports in the list with the keyboard, and presses Start.
    void Start(StationWindow &window)
    {
        auto *ports = window.findChild<QListWidget *>("ports");
        QTRY_COMPARE(ports->count(), 2);
        for (int i = 0; i < ports->count(); ++i) {
            QCOMPARE(ports->item(i)->text(), QString("COM2%1").arg(i + 1));
            ports->setCurrentRow(i);
            QTest::keyClick(ports, Qt::Key_Space);
        }
        QTest::mouseClick(window.findChild<QPushButton *>("startStop"), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        for (const char *folder : {"ports", "sys", "dev", "job"})
            QVERIFY(QDir(m_dir.path()).mkpath(folder));
        QByteArray image = radiosim::DemoImage();
        for (int i = 0; i < 2; ++i) {
            m_radios[i] = std::make_unique<radiosim::SimulatedRadio>();
            QString error;
            QVERIFY2(m_radios[i]->Start(&error) && m_radios[i]->MakeAlias(m_dir.filePath("ports"), 21 + i, &error),
                     qPrintable(error));
        }
        m_environment = {{m_dir.filePath("ports")}, m_dir.filePath("sys"), m_dir.filePath("dev"),
                         m_dir.filePath("history.sqlite"), m_dir.filePath("mysetup.ini"), QLocale(QLocale::English)};
        m_job = m_dir.filePath("job/job.json");
        QFile job(m_job);
        QVERIFY(job.open(QIODevice::WriteOnly) && job.write(R"({"seller": "LINE-7", "stockDate": "today"})") > 0);
    }
    void init()
    {
        QFile::remove(m_environment.historyPath);
        QByteArray image = radiosim::DemoImage();
        for (auto &radio : m_radios) {
            radio->SetImage(image);
            radio->SetFaults({});
            image = radiosim::NextUnitImage(image);
        }
    }

    void runsOneRadioOnEachPortToPass()
    {
        StationWindow window(m_environment);
        window.show();
        QVERIFY(window.OpenJob(m_job));
        Start(window);
        for (const QString port : {"COM21", "COM22"}) {
            QTRY_COMPARE_WITH_TIMEOUT(Text(window, port, "state"), QString("PASS"), 15000);
            QCOMPARE(Text(window, port, "counts"), QString("Passed 1   Failed 0"));
        }
        QCOMPARE(Text(window, "COM21", "serial"), QString("2026120500000042"));
        QCOMPARE(Text(window, "COM22", "serial"), QString("2026120500000043"));
        for (const auto &radio : m_radios)
            QCOMPARE(radio->Image().mid(128, 16), QByteArray("LINE-7").leftJustified(16, '\0'));
        QCOMPARE(Entries(), (QStringList{"COM21 write 42 complete", "COM22 write 43 complete"}));

        // Taken off its cable, a radio's PASS gives way; the next radio there is that port's second.
        radiosim::FaultRule silent;
        QString error;
        QVERIFY(radiosim::FaultRule::Parse("ignore:program:always", &silent, &error));
        m_radios[0]->SetFaults({silent});
        QTRY_COMPARE_WITH_TIMEOUT(Text(window, "COM21", "state"), QString("Waiting for a radio"), 20000);
        m_radios[0]->SetImage(radiosim::NextUnitImage(m_radios[1]->Image()));
        m_radios[0]->SetFaults({});
        QTRY_COMPARE_WITH_TIMEOUT(Text(window, "COM21", "counts"), QString("Passed 2   Failed 0"), 20000);
        QCOMPARE(Text(window, "COM21", "serial"), QString("2026120500000044"));

        QTest::mouseClick(window.findChild<QPushButton *>("startStop"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(Line(window, "summary"), "Station ended: radios 3, passed 3, failed 0 (attempts 3).",
                                  10000);
        // The radios stay on their cables: PASS stays in view after the run.
        QCOMPARE(Text(window, "COM22", "state"), QString("PASS"));
        const QString report = Line(window, "report").section("Run report: ", 1);
        QCOMPARE(QFileInfo(report).dir(), QFileInfo(m_job).dir());
        QFile rows(report);
        QVERIFY(rows.open(QIODevice::ReadOnly));
        QCOMPARE(rows.readAll().count("complete"), 3);
        QCOMPARE(window.findChild<QPushButton *>("startStop")->text(), QString("&Start"));
        // The probes of the radios just done, and of the empty cable, left no entry.
        QCOMPARE(Entries(), (QStringList{"COM21 write 42 complete", "COM21 write 44 complete", "COM22 write 43 complete"}));
    }

    // Closing asks only while a radio is being written, as the main window
    // does; a signal ends the run as the station command does, then the window.
    void ending_data()
    {
        QTest::addColumn<QString>("how");    // "close, No", "close, Yes", or a signal
        QTest::addColumn<bool>("writing");   // when: once both radios had a write block (both slow), else both wait
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("shown"); // COM21's state at the end
        const QStringList passed{"COM21 write 42 complete", "COM22 write 43 complete"};
        QTest::newRow("close during a write, No: it stays, and the write ends in PASS")
            << "close, No" << true << false << 0 << passed << "PASS";
        QTest::newRow("close during a write, Yes: the write is abandoned, then the window closes")
            << "close, Yes" << true << true << 0 << QStringList{"COM21 write 42 failure", "COM22 write 43 failure"}
            << "FAILED";
        QTest::newRow("close while both wait: no question") << "close" << false << true << 0 << QStringList{}
                                                            << "Stopped";
        QTest::newRow("SIGTERM while both wait: at once") << "SIGTERM" << false << true << 143 << QStringList{}
                                                          << "Stopped";
        QTest::newRow("SIGINT during a write: the radio is let finish") << "SIGINT" << true << true << 130 << passed
                                                                        << "PASS";
        QTest::newRow("SIGHUP during a write: the radio is let finish") << "SIGHUP" << true << true << 129 << passed
                                                                        << "PASS";
    }
    void ending()
    {
        QFETCH(QString, how);
        QFETCH(bool, writing);
        QFETCH(bool, closed);
        QFETCH(int, exitCode);
        QFETCH(QStringList, entries);
        QFETCH(QString, shown);
        radiosim::FaultRule slow;
        QString error;
        QVERIFY(radiosim::FaultRule::Parse(writing ? "delay:writeblock:always:150" : "ignore:program:always", &slow,
                                           &error));
        for (auto &radio : m_radios)
            radio->SetFaults({slow});
        StationWindow window(m_environment);
        QStringList asked;
        window.SetAsk([&](const QString &question) {
            asked << question;
            return how == "close, Yes";
        });
        window.show();
        QVERIFY(window.OpenJob(m_job));
        Start(window);
        const auto end = [&] {
            const int signal = how == "SIGTERM" ? SIGTERM : how == "SIGINT" ? SIGINT : SIGHUP;
            how.startsWith("close") ? void(window.close()) : void(::raise(signal));
        };
        int writers = 0;
        if (writing) {
            for (auto &radio : m_radios)
                connect(radio.get(), &radiosim::SimulatedRadio::FrameReceived, &window,
                        [&, heard = false](const radiosim::ReceivedFrame &frame) mutable {
                            if (frame.bytes.startsWith('W') && !std::exchange(heard, true) && ++writers == 2)
                                QTimer::singleShot(0, &window, end);
                        });
        } else {
            QTRY_COMPARE(Text(window, "COM21", "state"), QString("Waiting for a radio"));
            end();
        }
        QTRY_COMPARE_WITH_TIMEOUT(window.isVisible(), !closed, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(Text(window, "COM21", "state"), shown, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(Entries().size(), entries.size(), 15000);
        QCOMPARE(Entries(), entries);
        QCOMPARE(asked.size(), how.startsWith("close, ") ? 1 : 0);
        // One question for both ports: each port's case, then "Close anyway?" once.
        if (!asked.isEmpty())
            QVERIFY2(asked.first().startsWith("COM21: A write is under way")
                         && asked.first().contains("\n\nCOM22: A write is under way")
                         && asked.first().count("Close anyway?") == 1,
                     qPrintable(asked.first()));
        if (closed)
            QCOMPARE(Line(window, "summary").left(15), QString("Station ended: "));
        QCOMPARE(window.ExitCode(), exitCode);
    }

    // A report that can no longer be written is said under the panels at once, and the run goes on.
    void reportThatCannotBeWritten()
    {
        StationWindow window(m_environment);
        window.show();
        QVERIFY(window.OpenJob(m_job));
        Start(window);
        const QString report = Line(window, "report").section("Run report: ", 1);
        QVERIFY(QFile::remove(report) && QDir().mkdir(report));
        QTRY_VERIFY_WITH_TIMEOUT(Line(window, "problem").startsWith("Warning: " + report + " could not be written"),
                                 15000);
        QTRY_COMPARE_WITH_TIMEOUT(Text(window, "COM22", "state"), QString("PASS"), 15000);
        QTest::mouseClick(window.findChild<QPushButton *>("startStop"), Qt::LeftButton);
        QTRY_VERIFY(Line(window, "report").startsWith("Run report, without the latest radios: " + report + " ("));
        QVERIFY(QDir().rmdir(report));
    }
};

QTEST_MAIN(TstStationWindow)
#include "tst_stationwindow.moc"
