// The station as the line runs it: the executable against simulated radios
// over pseudo-terminals, on one port or several at once. Each run is checked
// by its output, its exit code, the radios' bytes, the history and the run
// report beside the job.

#include "cliworld.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>
#include <memory>
#include <vector>

using radiosim::FaultRule;

class TstStation : public CliWorld
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUp(); }
    void init() { Reset(); }

    // A station stops at once while it waits, after the radio under way
    // otherwise, always with its summary and the signal's exit code.
    void stopping_data()
    {
        QTest::addColumn<QByteArray>("input"); // "auto", or what Enter is pressed as
        // A fault of the radio's, "erased" (no serial number), or "escaping" (terminal escapes in it).
        QTest::addColumn<QString>("befalls");
        QTest::addColumn<QByteArray>("at");    // the signals follow this frame (R#3: the third read request), or text
        QTest::addColumn<QList<int>>("interrupts");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("written");
        // Pieces of the output, between |; or the last JSON object of --json, but for its report's path.
        QTest::addColumn<QByteArray>("said");
        const auto row = [](const char *name, const char *input, const char *befalls, const char *at,
                            const QList<int> &interrupts, int exitCode, bool written, const char *said) {
            QTest::newRow(name) << QByteArray(input) << QString(befalls) << QByteArray(at) << interrupts << exitCode
                                << written << QByteArray(said);
        };
        const char *none = "radios 0, passed 0, failed 0 (attempts 0).";
        const char *one = "radios 1, passed 1, failed 0 (attempts 1).";
        // The third END: the radio just done is asked again, and the station waits to ask once more.
        row("SIGINT while no radio answers", "auto", "ignore:program:always", "Waiting for a radio on COM9 (Ctrl+C "
            "ends).", {SIGINT}, 130, false, none);
        row("SIGTERM while it waits after a radio", "auto", "", "END#3", {SIGTERM}, 143, true, one);
        row("SIGHUP while it waits after a radio", "auto", "", "END#3", {SIGHUP}, 129, true, one);
        const char *slow = "delay:writeblock:always:150";
        row("SIGINT during a radio: after it", "auto", slow, "W#1", {SIGINT}, 130, true, one);
        row("SIGTERM during a radio: after it", "auto", slow, "W#1", {SIGTERM}, 143, true, one);
        row("SIGHUP during a radio: after it", "auto", slow, "W#1", {SIGHUP}, 129, true, one);
        row("SIGQUIT during a radio: after it", "auto", slow, "W#1", {SIGQUIT}, 131, true, one);
        row("second SIGINT abandons the radio", "\n", "delay:readblock:always:100", "R#3", {SIGINT, SIGINT}, 130,
            false, "radios 1, passed 0, failed 1 (attempts 1).");
        row("a radio with no serial number: said, and not waited on", "auto", "erased", "END#2", {SIGINT}, 130, false,
            "(no serial number)  FAILED: The radio has no serial number|radios 1, passed 0, failed 1 (attempts 1).");
        row("a serial number holding terminal escapes: shown escaped", "auto", "escaping", "END#3", {SIGINT}, 130, true,
            "COM9  \\x1b]0;pwned\\x07  passed|radios 1, passed 1, failed 0 (attempts 1).");
        row("three Enters at once: three attempts at one radio", "\n\n\n", "", "", {}, 0, true,
            "attempt 3  (passed 1, failed 0)\nStation ended: radios 1, passed 1, failed 0 (attempts 3).");
        row("three Enters at once, --json: the last object sums them up", "\n\n\n", "", "", {}, 0, true,
            R"({"operation": "station", "radios": 1, "passed": 1, "failed": 0, "attempts": 3, "reportProblem": null,
                "ports": [{"port": "COM9", "radios": 1, "passed": 1, "failed": 0, "attempts": 3}]})");
        // The report is a folder by the time the radio's row is due.
        row("a report that cannot be written: said at once, and exit 9", "\n", "report a folder", "W#1", {}, 9, true,
            "could not be written: Filename refers to a directory. The station goes on|"
            "Run report, without the latest radios: ");
    }
    void stopping()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, befalls);
        QFETCH(QByteArray, at);
        QFETCH(QList<int>, interrupts);
        QFETCH(int, exitCode);
        QFETCH(bool, written);
        QFETCH(QByteArray, said);
        const QString fault = befalls == "report a folder" ? "delay:writeblock:always:150" : befalls;
        SetFaults(fault.contains(':') ? QStringList{fault} : QStringList());
        if (befalls == "erased")
            m_radio.SetImage(m_radio.Image().replace(16, 16, QByteArray(16, '\xFF')));
        if (befalls == "escaping")
            m_radio.SetImage(m_radio.Image().replace(16, 16, Field("\x1b]0;pwned\x07", 16)));
        QProcess process;
        const QString job = WriteJob(R"({"seller": "LINE-7"})");
        // Apart, as a person presses Ctrl+C twice: the kernel merges a signal still pending.
        const auto send = [&] {
            QDir folder = QFileInfo(job).dir();
            const QString report = folder.entryList({"station-*.csv"}).value(0);
            if (befalls == "report a folder")
                QVERIFY(folder.remove(report) && folder.mkdir(report));
            for (int i = 0; i < interrupts.size(); ++i)
                QTimer::singleShot(200 * i, &process, [&, i] { ::kill(pid_t(process.processId()), interrupts[i]); });
        };
        const QList<QByteArray> frame = at.split('#');
        int seen = 0;
        connect(&m_radio, &radiosim::SimulatedRadio::FrameReceived, &process, [&](const radiosim::ReceivedFrame &f) {
            if (frame.size() == 2 && f.bytes.startsWith(frame[0]) && ++seen == frame[1].toInt())
                QTimer::singleShot(frame[0] == "END" ? 300 : 0, &process, send);
        });
        const bool json = said.startsWith('{');
        QStringList arguments{"station", "--port", "com9", "--job", job};
        if (json)
            arguments << "--json";
        Start(process, input == "auto" ? arguments << "--auto" : arguments);
        if (input != "auto") {
            process.write(input);
            process.closeWriteChannel();
        }
        QByteArray err;
        if (frame.size() == 1 && !at.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT((err += process.readAllStandardError()).contains(at), 10000);
            send();
        }
        Run run = Finish(process);
        run.err.prepend(err);
        QCOMPARE(run.exitCode, exitCode);
        if (json) {
            QJsonObject last = QJsonDocument::fromJson(run.out.trimmed().split('\n').constLast()).object();
            QCOMPARE(QFileInfo(last.take("report").toString()).dir(), QFileInfo(job).dir());
            QCOMPARE(QJsonDocument(last).toJson(QJsonDocument::Compact),
                     QJsonDocument::fromJson(said).toJson(QJsonDocument::Compact));
        }
        for (const QByteArray &piece : json ? QList<QByteArray>() : said.split('|'))
            QVERIFY2((run.out + run.err).contains(piece), run.out + run.err);
        // Under --json the summary goes to standard error.
        const QByteArray summary = json ? run.err : run.out;
        QVERIFY2(summary.contains(").\nRun report") && summary.contains("Station ended: "), summary);
        QVERIFY2(!(run.out + run.err).contains('\x1b'), "nothing a radio holds reaches the terminal raw");
        QCOMPARE(m_radio.Image().mid(128, 16) == Field("LINE-7", 16), written);
    }

    void station()
    {
        const QString job = WriteJob(R"({"model": "KR350UV", "dealerCode": "D-42", "unitsFile": "units.csv"})",
                                     "serialNumber,seller\n2026120500000042,Wang\n2026120500000043,Li\n"
                                     "2026120500000044,\"Zhang, Y\"\n");
        QProcess process;
        Start(process, {"station", "--port", "com9", "--job", job, "--auto"});
        QByteArray out;
        // The line moves on as each radio's line appears; the second radio keeps its block 3 wrong.
        for (int unit = 1; unit <= 3; ++unit) {
            QTRY_VERIFY2_WITH_TIMEOUT((out += process.readAllStandardOutput()).count('\n') == unit, out, 20000);
            m_radio.SetFaults({});
            if (unit == 1)
                SetFaults({"misstore:writeblock@3:always"});
            if (unit < 3)
                m_radio.SetImage(radiosim::NextUnitImage(m_radio.Image()));
        }
        ::kill(pid_t(process.processId()), SIGINT);
        const Run run = Finish(process);
        // Exactly as the README shows it, but for the seconds each radio took.
        const QString lines = QString::fromUtf8(out + run.out).replace(QRegularExpression("\\d\\.\\d\\d s"), "0.05 s");
        const QString report = lines.section("Run report: ", 1).trimmed();
        QVERIFY2(QFileInfo(report).dir() == QFileInfo(job).dir() && QFileInfo(report).fileName().startsWith("station-"),
                 qPrintable(lines));
        QCOMPARE(lines, QString("COM9  2026120500000042  passed  0.05 s  (passed 1, failed 0)\n"
                                "COM9  2026120500000043  FAILED: Write Failure!  0.05 s  (passed 1, failed 1)\n"
                                "COM9  2026120500000044  passed  0.05 s  (passed 2, failed 1)\n"
                                "Station ended: radios 3, passed 2, failed 1 (attempts 3).\n"
                                "Run report: %1\n").arg(report));
        const QString units = QFileInfo(job).dir().filePath("units.csv");
        QCOMPARE(QString::fromUtf8(run.err.left(run.err.indexOf('\n') + 1)),
                 QString("Station on COM9, job %1: writes dealerCode to KR350UV radios. %2 lists 3 radios, each with "
                         "its seller; no other is written.\n").arg(job, units));
        QCOMPARE(run.exitCode, 130);
        QCOMPARE(m_radio.Image().mid(128, 16), Field("Zhang, Y", 16));
        QCOMPARE(m_radio.Image().mid(80, 16), Field("D-42", 16));
        // One entry per radio, its write's: the probes that found no radio or the same one left none.
        QStringList entries;
        for (const kelvra::HistoryEntry &e : kelvra::HistoryStore(HistoryPath()).List({}))
            entries << kelvra::OperationWord(e.operation) + e.serialNumber.right(2) + kelvra::ResultWord(e.result);
        QCOMPARE(entries.mid(0, 3), (QStringList{"write44complete", "write43failure", "write42complete"}));
    }

    // Several ports at once, each on its own: a failure or a refusal on one
    // leaves the others to finish, and SIGINT ends them all with the summary.
    void ports_data()
    {
        QTest::addColumn<QStringList>("faults");  // of each port's radio
        QTest::addColumn<bool>("sameSerial");     // every radio holds the first one's serial number
        // The start of each radio's line, in any order; SIGINT comes after all but the last.
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QStringList>("entries"); // each port's history entry
        QTest::addColumn<QStringList>("rows");    // the start of each row of the run report
        QTest::newRow("three ports, one silent at block 2, SIGINT while the third writes")
            << QStringList{"", "ignore:writeblock@2:always", "delay:writeblock:always:290"} << false
            << QStringList{"COM21  2026120500000042  passed", "COM22  2026120500000043  FAILED: Write Failure!",
                           "COM23  2026120500000044  passed"}
            << "Station ended: radios 3, passed 2, failed 1 (attempts 3).\n"
               "  COM21: radios 1, passed 1, failed 0 (attempts 1).\n"
               "  COM22: radios 1, passed 0, failed 1 (attempts 1).\n"
               "  COM23: radios 1, passed 1, failed 0 (attempts 1).\n"
            << QStringList{"COM21 write complete", "COM22 write failure", "COM23 write complete"}
            << QStringList{"COM21,2026120500000042,KR350UV,complete,,",
                           "COM22,2026120500000043,KR350UV,failure,\"Write Failure! The radio did not answer the write "
                           "of block 2",
                           "COM23,2026120500000044,KR350UV,complete,,"};
        // The second radio's read ends while the first is written.
        QTest::newRow("one serial number on two ports at once: refused, not written twice")
            << QStringList{"delay:writeblock:always:290", "delay:readblock@3:always:280"} << true
            << QStringList{"COM22  2026120500000042  FAILED: COM21 is programming a radio with serial number "
                           "2026120500000042 at this moment",
                           "COM21  2026120500000042  passed"}
            << "Station ended: radios 1, passed 1, failed 0 (attempts 2).\n"
               "  COM21: radios 1, passed 1, failed 0 (attempts 1).\n"
               "  COM22: radios 1, passed 0, failed 1 (attempts 1).\n"
            << QStringList{"COM21 write complete", "COM22 read complete"}
            << QStringList{"COM21,2026120500000042,KR350UV,complete,,"};
    }
    void ports()
    {
        QFETCH(QStringList, faults);
        QFETCH(bool, sameSerial);
        QFETCH(QStringList, lines);
        QFETCH(QString, summary);
        QFETCH(QStringList, entries);
        QFETCH(QStringList, rows);
        std::vector<std::unique_ptr<radiosim::SimulatedRadio>> radios;
        QStringList arguments{"station", "--auto", "--job", WriteJob(R"({"seller": "LINE-7"})")};
        QByteArray image = radiosim::DemoImage();
        for (const QString &fault : faults) {
            auto &radio = *radios.emplace_back(std::make_unique<radiosim::SimulatedRadio>());
            QString error;
            const int number = 20 + int(radios.size());
            QVERIFY2(radio.Start(&error) && radio.MakeAlias(m_dir.filePath("app/ports"), number, &error),
                     qPrintable(error));
            radio.SetImage(image);
            image = sameSerial ? image : radiosim::NextUnitImage(image);
            FaultRule rule;
            if (!fault.isEmpty() && FaultRule::Parse(fault, &rule, &error))
                radio.SetFaults({rule});
            arguments << "--port" << QString("COM%1").arg(number);
        }
        const QString trace = m_dir.filePath(QString("ports%1.trace").arg(m_jobs));
        const qsizetype earlier = kelvra::HistoryStore(HistoryPath()).List({}).size();
        QProcess process;
        Start(process, arguments << "--trace" << trace);
        QByteArray out;
        QTRY_VERIFY2_WITH_TIMEOUT((out += process.readAllStandardOutput()).count('\n') == lines.size() - 1, out, 20000);
        ::kill(pid_t(process.processId()), SIGINT);
        const Run run = Finish(process);
        out += run.out;
        QCOMPARE(run.exitCode, 130);
        for (const QString &line : lines)
            QVERIFY2(out.contains("\n" + line.toUtf8()) || out.startsWith(line.toUtf8()), out);
        const QString report = QString::fromUtf8(out).section("Run report: ", 1).trimmed();
        QVERIFY2(out.endsWith(summary.toUtf8() + "Run report: " + report.toUtf8() + "\n"), out);
        QVERIFY2(!run.err.contains("\n    "), "every line of detail names its port");
        // Each radio is its port's one entry; only a radio written heard a write block.
        QStringList made;
        for (const kelvra::HistoryEntry &entry : kelvra::HistoryStore(HistoryPath()).List({}).mid(0, entries.size()))
            made << entry.portName + ' ' + kelvra::OperationWord(entry.operation) + ' '
                        + kelvra::ResultWord(entry.result);
        made.sort();
        QCOMPARE(made, entries);
        QCOMPARE(kelvra::HistoryStore(HistoryPath()).List({}).size(), earlier + entries.size());
        for (std::size_t i = 0; i < radios.size(); ++i) {
            const bool heard = std::any_of(radios[i]->Frames().begin(), radios[i]->Frames().end(),
                                           [](const radiosim::ReceivedFrame &f) { return f.bytes.startsWith('W'); });
            QCOMPARE(heard, entries.at(int(i)).contains("write"));
        }
        // Support tells the ports' frames apart in one trace.
        QFile traced(trace);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        const QStringList frames
            = QString::fromUtf8(traced.readAll()).split('\n').filter(QRegularExpression(" [tr]x +"));
        QVERIFY(!frames.isEmpty());
        QCOMPARE(frames.filter(QRegularExpression(" [tr]x +COM2\\d ")), frames);
        QFile file(report);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList csv = QString::fromUtf8(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(csv.value(0),
                 QString("\uFEFFport,serialNumber,model,result,reason,time,durationSeconds,attempts,historyId"));
        QCOMPARE(csv.size(), rows.size() + 1);
        for (const QString &row : rows)
            QVERIFY2(csv.filter(QRegularExpression('^' + QRegularExpression::escape(row))).size() == 1,
                     qPrintable(csv.join('\n')));
    }

    // A job's dateFormat, or the bench's in mysetup.ini, writes the same
    // bytes whatever the locale; without one the host's short date is written.
    // Qt takes the locale from LANG with locale data of its own, so no system
    // locale needs generating for these rows.
    void dates_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("bench");       // [radio] dateFormat in mysetup.ini
        QTest::addColumn<QStringList>("arguments"); // $JOB: a job of jobText, beside a units file of unitsText
        QTest::addColumn<QByteArray>("jobText");
        QTest::addColumn<QByteArray>("unitsText");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("offset");          // of the date in the radio
        QTest::addColumn<QString>("written");     // or, for a refusal, part of standard error
        const QDate today = QDate::currentDate();
        const QStringList station{"station", "--port", "COM9", "--job", "$JOB"};
        const QStringList write{"write", "--port", "COM9", "--stock-date", "today"};
        const QByteArray isoJob = R"({"stockDate": "today", "dateFormat": "yyyy-MM-dd"})";
        for (const char *lang : {"", "en_US.UTF-8", "zh_CN.UTF-8"}) {
            QTest::addRow("job's format, LANG=%s", lang) << lang << "" << station << isoJob << QByteArray() << 0 << 96
                                                          << today.toString("yyyy-MM-dd");
            QTest::addRow("bench's format, write, LANG=%s", lang) << lang << "dd.MM.yyyy" << write << QByteArray()
                                                                   << QByteArray() << 0 << 96
                                                                   << today.toString("dd.MM.yyyy");
        }
        QTest::newRow("job's format over the bench's") << "zh_CN.UTF-8" << "dd.MM.yyyy" << station << isoJob
                                                       << QByteArray() << 0 << 96 << today.toString("yyyy-MM-dd");
        QTest::newRow("units file's ISO date, month in English")
            << "zh_CN.UTF-8" << "" << station << QByteArray(R"({"unitsFile": "units.csv", "dateFormat": "d MMM yyyy"})")
            << QByteArray("serialNumber,sellDate\n2026120500000042,2026-12-24\n") << 0 << 112 << "24 Dec 2026";
        QTest::newRow("no format: the host's short date")
            << "zh_CN.UTF-8" << "" << QStringList{"write", "--port", "COM9", "--stock-date", "2026-12-09"}
            << QByteArray() << QByteArray() << 0 << 96 << "2026/12/9";
        QTest::newRow("the interface's short date, as the host writes it")
            << "en_US.UTF-8" << "" << QStringList{"write", "--port", "COM9", "--sell-date", "12/9/26"}
            << QByteArray() << QByteArray() << 0 << 112 << "12/9/26";
        QTest::newRow("format longer than the field")
            << "" << "" << station << QByteArray(R"({"sellDate": "today", "dateFormat": "dddd, MMMM d, yyyy"})")
            << QByteArray() << 2 << 0 << "cannot hold";
        QTest::newRow("format of no date") << "" << "" << station
                                           << QByteArray(R"({"sellDate": "today", "dateFormat": "hh:mm"})")
                                           << QByteArray() << 2 << 0 << "is no date format";
        QTest::newRow("bench's format of no date") << "" << "MM-dd" << write << QByteArray() << QByteArray() << 2 << 0
                                                   << "mysetup.ini ([radio] dateFormat): MM-dd is no date format";
    }
    void dates()
    {
        QFETCH(QString, lang);
        QFETCH(QString, bench);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, jobText);
        QFETCH(QByteArray, unitsText);
        QFETCH(int, exitCode);
        QFETCH(int, offset);
        QFETCH(QString, written);
        m_lang = lang;
        QFile ini(m_dir.filePath("app/mysetup.ini"));
        QVERIFY(bench.isEmpty()
                || (ini.open(QIODevice::WriteOnly) && ini.write("[radio]\ndateFormat=" + bench.toUtf8()) > 0));
        ini.close();
        arguments.replaceInStrings("$JOB", jobText.isEmpty() ? QString() : WriteJob(jobText, unitsText));
        QProcess process;
        Start(process, arguments);
        process.write("\n"); // one radio, for a station
        process.closeWriteChannel();
        const Run run = Finish(process);
        QVERIFY2(run.exitCode == exitCode, run.out + run.err);
        if (exitCode == 0)
            QCOMPARE(m_radio.Image().mid(offset, 16), Field(written.toUtf8(), 16));
        else
            QVERIFY2(run.err.contains(written.toUtf8()), run.err);
    }
};

QTEST_GUILESS_MAIN(TstStation)

#include "tst_station.moc"
