// The commands as a factory's script runs them: the executable in a folder
// of its own, against the simulated radio over a pseudo-terminal. Each exit
// code is checked together with what the radio heard and holds afterwards,
// and the history with the entry each command names.

#include "cliworld.h"
#include "record/catalogue.h"
#include "support/historyscene.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTest>

#include <csignal>

using kelvra::testing::Contents;
using radiosim::FaultRule;

namespace {

QSet<QString> Keys(const QJsonObject &object)
{
    const QStringList keys = object.keys();
    return QSet<QString>(keys.begin(), keys.end());
}

// An object's names, those of objects inside as "outer.inner".
QSet<QString> Names(const QJsonObject &object, const QString &prefix = QString())
{
    QSet<QString> names;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it->isObject())
            names += Names(it->toObject(), prefix + it.key() + '.');
        else
            names << prefix + it.key();
    }
    return names;
}

// A history of count reads of the demonstration radio, closed as a window leaves it.
void Seed(const QString &path, int count)
{
    kelvra::HistoryStore store(path);
    kelvra::HistoryEntry entry = kelvra::NewHistoryEntry(kelvra::HistoryOperation::Read);
    entry.result = kelvra::HistoryResult::Complete;
    entry.before = entry.after = kelvra::KnownImage(kelvra::RadioImage());
    for (int i = 0; i < count; ++i) {
        entry.uuid.clear();
        QVERIFY(store.Record(entry));
    }
}

} // namespace

class TstCli : public CliWorld
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUp(); }
    void init() { Reset(); }


    void commands_data()
    {
        QTest::addColumn<QStringList>("arguments");
        // A fault of the radio's, a history scene, "swapped radio", "escaping seller", "display" (one
        // that cannot be opened), "no platform" (no QT_QPA_PLATFORM), or "full" (standard output on /dev/full).
        QTest::addColumn<QString>("befalls");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("heard"); // read (R) and write (W) requests the radio got; W changes it
        QTest::addColumn<QByteArray>("said");  // part of standard output or error
        const auto row = [](const char *name, const QStringList &arguments, int exitCode, const char *heard,
                            const char *said = "", const QString &befalls = QString()) {
            QTest::newRow(name) << arguments << befalls << exitCode << QByteArray(heard) << QByteArray(said);
        };
        const QStringList read{"read", "--port", "$PORT"};
        const QStringList write{"write", "--port", "$PORT", "--seller", "LINE-7", "--band", "3"};
        const QStringList port{"write", "--port", "$PORT"};
        row("read by device path", read, 0, "R");
        row("read by alias, as the window numbers it", {"read", "--port", "com9", "--json"}, 0, "R");
        row("write complete", write, 0, "RW");
        row("unknown option", read + QStringList{"--colour"}, 2, "", "colour");
        row("missing port", {"write", "--seller", "x"}, 2, "", "--port");
        row("Chinese seller of 18 bytes in a field of 16", port + QStringList{"--seller", "王芳王芳王芳王芳王"}, 2, "");
        row("text GBK cannot hold", port + QStringList{"--dealer-code", "D-😀"}, 2, "");
        row("no such day", port + QStringList{"--sell-date", "2026-02-30"}, 2, "");
        row("band code beyond the table", port + QStringList{"--band", "20"}, 2, "");
        row("trace file that cannot be made", read + QStringList{"--trace", "/none/t"}, 2, "", "/none/t");
        row("port not present", {"read", "--port", "COM77"}, 3, "");
        row("device that is no serial line", {"read", "--port", "/dev/null"}, 3, "");
        row("replies that never check out", write, 4, "R", "", "badchecksum:readblock:always");
        row("another radio connected between the read and the write", write, 4, "R",
            "was 2026120500000042, but the radio connected now is 2026120500000043", "swapped radio");
        row("another model than named", port + QStringList{"--seller", "x", "--model", "KR350SU"}, 5, "R",
            "Model Error");
        row("band the radio's model does not offer", port + QStringList{"--band", "8"}, 5, "R",
            "does not offer band code 8");
        row("read, history held by another process: done, not recorded", read, 0, "R",
            "could not record this operation", "locked");
        row("write, history held by another process", write, 6, "R", "held by another program", "locked");
        row("stored wrongly, written again, still wrong", write, 7, "RW", "", "misstore:writeblock@3:2");
        row("silent after two blocks", write, 8, "RW", "", "ignore:writeblock@2:always");

        const QByteArray unknown = "unknown command 'raed'; the commands are read, write, history and station; "
                                   "see KelvraSet --help";
        row("mistyped command, no display", {"raed"}, 2, "", unknown);
        row("mistyped command, a display no plugin could open", {"raed"}, 2, "", unknown, "display");
        row("upper-case command", {"READ"}, 2, "", "unknown command 'READ'");
        row("no command and no display", {}, 2, "", "The window needs a display");
        row("station window, no display and no platform named", {"station", "--window", "--port", "$PORT"}, 2, "",
            "The station window needs a display", "no platform");
        row("usage error under --json", read + QStringList{"--colour", "--json"}, 2, "", "\"result\":\"usage\"");
        row("option given twice", port + QStringList{"--seller", "a", "--seller", "b"}, 2, "", "--seller is given more");
        for (const char *date : {"2026-02-28x", "2026-02-28T10:00", "2026/02/28"})
            row(qPrintable(QString("date %1").arg(date)), port + QStringList{"--sell-date", date}, 2, "");
        row("written, output not", write, 9, "RW", "History entry", "full");
        row("history --csv, output not", {"history", "--csv"}, 9, "", "could not be written", "full");
        row("history --limit with --csv, which lists every entry", {"history", "--csv", "--limit", "5"}, 2, "",
            "--limit is not for --csv");
        row("history --deliver with another option", {"history", "--deliver", "--show-passwords"}, 2, "",
            "--deliver takes no other option");
        row("record without the radio's serial number", {"history", "--pdf", "r.pdf"}, 2, "", "--pdf needs --serial");
        row("record of a radio never written", {"history", "--serial", "99999", "--pdf", "r.pdf"}, 1, "",
            "no complete write of a radio whose serial number contains 99999");
        row("radio text with terminal escapes", read, 0, "R", "\\x1b]0;pwned\\x07", "escaping seller");

        // A station's job is checked whole before anything is sent; each refusal names file, line and key.
        const auto job = [&](const char *name, const QByteArray &text, const char *said, const QByteArray &units = {}) {
            row(name, {"station", "--port", "$PORT", "--auto", "--job", WriteJob(text, units)}, 2, "", said);
        };
        job("job: text as true", R"({"seller": true})", "job.json line 1: seller takes a text in quotes, not true");
        job("job: text as number", R"({"dealerCode": 42.5})", "dealerCode takes a text in quotes, not 42.5");
        job("job: password as false", R"({"password": false})", "password takes a text in quotes, not false");
        job("job: text as list", R"({"seller": ["Line 3"]})", R"(seller takes a text in quotes, not ["Line 3"])");
        job("job: text as null", R"({"dealerCode": null})", "dealerCode takes a text in quotes, not null");
        job("job: switch as text", R"({"freqSet": "off"})", "freqSet takes true or false");
        job("job: band as text", R"({"bandCode": "3"})", "bandCode takes a whole number");
        job("job: band out of range, by key", R"({"bandCode": 25})", "bandCode takes a band code from 0 to 19");
        job("job: unknown key", "{\"seller\": \"a\",\n \"colour\": 1}", "job.json line 2: unknown key \"colour\"");
        job("job: key twice", "{\"seller\": \"a\",\n \"seller\": \"b\"}", "seller is named twice (first on line 1)");
        job("units: column twice", R"({"unitsFile": "units.csv"})", "units.csv line 1: the column seller is named twice",
            "serialNumber,seller,seller\n");
        for (const char *serial : {"abc", "12", "2.02612E+15"})
            job(qPrintable(QString("units: serial %1").arg(serial)), R"({"unitsFile": "units.csv"})",
                "units.csv line 2: \"", "serialNumber,seller\n" + QByteArray(serial) + ",x\n");
        job("units: a device", R"({"unitsFile": "/dev/urandom"})", "/dev/urandom is no regular file");
        row("job: a device", {"station", "--port", "$PORT", "--job", "/dev/zero"}, 2, "", "/dev/zero is no regular file");
    }
    void commands()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, befalls);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, heard);
        QFETCH(QByteArray, said);
        SetFaults(befalls.contains(':') ? QStringList{befalls} : QStringList());
        if (befalls == "no platform")
            m_platform.clear();
        if (befalls == "escaping seller")
            m_radio.SetImage(m_radio.Image().replace(128, 16, Field("\x1b]0;pwned\x07", 16)));
        QVERIFY(kelvra::HistoryStore(HistoryPath()).Open()); // as after an earlier run
        kelvra::testing::HistoryScene history(befalls, HistoryPath());
        QByteArray before = m_radio.Image();
        int programs = 0;
        QObject row;
        connect(&m_radio, &radiosim::SimulatedRadio::FrameReceived, &row, [&](const radiosim::ReceivedFrame &frame) {
            // The write's own session begins: another radio is on the cable now.
            if (befalls == "swapped radio" && frame.bytes.startsWith("PROGRAM") && ++programs == 2)
                m_radio.SetImage(before = radiosim::NextUnitImage(before));
        });
        QProcess process;
        if (befalls == "full")
            process.setStandardOutputFile("/dev/full");
        Start(process, arguments, befalls == "display" ? ":77" : "");
        const Run run = Finish(process);
        history.Lift();
        QVERIFY2(run.exitCode == exitCode, run.out + run.err);
        QByteArray requests; // reads always come first
        for (const radiosim::ReceivedFrame &frame : m_radio.Frames()) {
            if (QByteArray("RW").contains(frame.bytes.at(0)) && !requests.contains(frame.bytes.at(0)))
                requests += frame.bytes.at(0);
        }
        QCOMPARE(requests, heard);
        QCOMPARE(m_radio.Image() != before, heard.contains('W'));
        QVERIFY2(run.exitCode == 0 || !run.err.isEmpty(), "a failure says why on standard error");
        QVERIFY2((run.out + run.err).contains(said), run.out + run.err);
        QVERIFY2(!(run.out + run.err).contains('\x1b'), "nothing a radio holds reaches the terminal raw");
        if (exitCode == 5) {
            // A refused write is found by the radio's serial number, and says why.
            const kelvra::HistoryEntry last = kelvra::HistoryStore(HistoryPath()).List({{}, 1, {}, {}}).value(0);
            QCOMPARE(last.serialNumber, QString("2026120500000042"));
            QCOMPARE(last.model, QString("KR350UV"));
            QVERIFY2(last.detail.contains(said), qPrintable(last.detail));
        }
    }

    void namedFields()
    {
        const QString trace = m_dir.filePath("trace.txt");
        const Run read = Command({"read", "--port", "$PORT", "--json", "--trace", trace});
        QCOMPARE(read.exitCode, 0);
        const QJsonObject readJson = QJsonDocument::fromJson(read.out).object();
        // Its entry holds the radio's block, all of it known, and support finds it by the trace.
        const auto readEntry = Entry(readJson["historyId"]);
        QVERIFY(readEntry && readEntry->before.StoredBytes() == radiosim::DemoImage()
                && readEntry->after == readEntry->before);
        const QSet<QString> operationKeys{"operation", "result", "port", "device", "message",
                                          "detail",    "historyId", "radio", "image"};
        QCOMPARE(Keys(readJson), operationKeys);
        QCOMPARE(readJson["image"].toArray().size(), 256);
        QCOMPARE(readJson["image"][16].toString(), QString("%1").arg(quint8(m_radio.Image().at(16)), 2, 16));

        QByteArray expected = m_radio.Image();
        const Run write = Command({"write", "--port", "$PORT", "--json", "--seller", "LINE-7", "--dealer-code",
                                   "D-42", "--freq-set", "off", "--band", "3"});
        QCOMPARE(write.exitCode, 0);
        const QJsonObject writeJson = QJsonDocument::fromJson(write.out).object();
        QCOMPARE(Keys(writeJson), operationKeys + QSet<QString>({"changed", "verified"}));
        QCOMPARE(writeJson["verified"].toBool(), true);
        QCOMPARE(writeJson["changed"].toArray().toVariantList(),
                 (QVariantList{"bandCode", "freqSet", "dealerCode", "seller"}));
        QCOMPARE(writeJson["radio"]["seller"].toString(), QString("LINE-7"));
        // Byte by byte: the band, bit 2 of byte 13, the two fields, and nothing else.
        expected[7] = 3;
        expected[13] = char(quint8(expected.at(13)) & ~0x04);
        expected.replace(80, 16, Field("D-42", 16));
        expected.replace(128, 16, Field("LINE-7", 16));
        QCOMPARE(m_radio.Image().toHex(' '), expected.toHex(' '));
        QVERIFY(!writeJson["image"].toArray().contains(QJsonValue()));
        // The backup holds the five blocks as they were, the outcome as they are; the read before the write is no entry.
        const auto writeEntry = Entry(writeJson["historyId"]);
        QVERIFY(writeEntry && writeEntry->before.StoredBytes() == radiosim::DemoImage().left(160)
                && writeEntry->after.StoredBytes() == expected.left(160));
        QCOMPARE(kelvra::HistoryStore(HistoryPath()).List({}).size(), 2);
        QFile traced(trace);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        QVERIFY(traced.readAll().contains("entry  " + readJson["historyId"].toString().toLatin1() + " complete"));
    }

    // Every output for programs names a value as read --json does, whatever reads it: one row per output.
    void names_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("part"); // a member of the object, or the CSV's header row
        QTest::addColumn<QSet<QString>>("names");
        QSet<QString> radio{"bandCode", "band", "serialNumber", "areaCode", "manufactureCode", "userCode",
                            "producedDate", "maintainedDate", "maintenanceNote", "password", "dealerCode",
                            "stockDate", "sellDate", "seller"};
        for (const char *switched : {"fiveTone", "twoTone", "dtmf", "scramble", "kill", "faint", "factoryMode",
                                     "freqSet"})
            radio << QString("features.") + switched;
        QSet<QString> entry{"historyId", "time",  "operation", "result", "message", "detail",       "port",
                            "device",    "model", "serialNumber", "changed", "bench", "adapterSerial", "restoredFrom"};
        for (const QString &name : radio)
            entry << "before." + name << "after." + name;
        const QStringList write{"write", "--port", "$PORT", "--json", "--seller", "LINE-8", "--freq-set", "off"};
        const QStringList history{"history", "--limit", "1", "--json"};
        const QSet<QString> changed{"seller", "freqSet"}; // a switch by its name among the features
        QTest::newRow("read --json, the radio") << QStringList{"read", "--port", "$PORT", "--json"} << "radio"
                                                << radio + QSet<QString>{"model", "version"};
        QTest::newRow("write --json, the radio") << write << "radio" << radio + QSet<QString>{"model", "version"};
        QTest::newRow("write --json, changed fields") << write << "changed" << changed;
        QTest::newRow("history --json, the write") << history << "" << entry;
        QTest::newRow("history --json, its changed fields") << history << "changed" << changed;
        QTest::newRow("history --csv, the header row") << QStringList{"history", "--csv"} << "header" << entry;
    }
    void names()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, part);
        QFETCH(QSet<QString>, names);
        const Run run = Command(arguments);
        QCOMPARE(run.exitCode, 0);
        const QByteArray first = run.out.split('\n').first().trimmed();
        const QJsonObject json = QJsonDocument::fromJson(first).object();
        const QStringList found = part == "header" ? QString(first).split(',')
            : part == "changed"                    ? json["changed"].toVariant().toStringList()
                                                   : Names(part.isEmpty() ? json : json[part].toObject()).values();
        QCOMPARE(QSet<QString>(found.begin(), found.end()), names);
    }

    void interrupt_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<char>("at");
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("Ctrl+C during the re-read: abandoned, radio as it was")
            << SIGINT << 'R' << false << QByteArray("not changed");
        QTest::newRow("Ctrl+C after the first write block: let finish and verified")
            << SIGINT << 'W' << true << QByteArray("let finish");
        // A dropped SSH session, and Ctrl+\, are Ctrl+C too.
        QTest::newRow("SIGHUP after the first write block") << SIGHUP << 'W' << true << QByteArray("let finish");
        QTest::newRow("SIGQUIT after the first write block") << SIGQUIT << 'W' << true << QByteArray("let finish");
    }
    void interrupt()
    {
        QFETCH(int, signal);
        QFETCH(char, at);
        QFETCH(bool, written);
        QFETCH(QByteArray, said);
        SetFaults({"delay:writeblock:always:150", "delay:readblock:always:40"});
        const QByteArray before = m_radio.Image();
        QProcess process;
        int reads = 0;
        bool sent = false;
        // The third read request is a write's re-read: the read before it is done.
        connect(&m_radio, &radiosim::SimulatedRadio::FrameReceived, &process,
                [&](const radiosim::ReceivedFrame &frame) {
                    const bool hit = frame.bytes.startsWith(at) && (at != 'R' || ++reads == 10);
                    if (hit && !sent)
                        ::kill(pid_t(process.processId()), signal);
                    sent = sent || hit;
                });
        Start(process, {"write", "--port", "$PORT", "--seller", "LINE-7"});
        const Run run = Finish(process);
        QCOMPARE(run.exitCode, 128 + signal);
        QVERIFY2(run.err.contains(said), run.err);
        QCOMPARE(m_radio.Image().mid(128, 16) == Field("LINE-7", 16), written);
        if (!written)
            QCOMPARE(m_radio.Image(), before);
        QVERIFY(m_radio.Frames().constLast().bytes.startsWith(written ? "END" : "R"));
    }

    void history()
    {
        // Nothing yet: a person is told so in a line, a script gets nothing.
        QVERIFY(Command({"history"}).out.endsWith("no entries yet (" + HistoryPath().toUtf8() + ").\n"));
        QVERIFY(Command({"history", "--json"}).out.isEmpty());
        kelvra::HistoryStore store(HistoryPath());
        for (const char *serial : {"SN-1", "SN-2", "SN-12"}) {
            kelvra::HistoryEntry entry = kelvra::NewHistoryEntry(kelvra::HistoryOperation::Write);
            entry.result = kelvra::HistoryResult::Complete;
            entry.serialNumber = serial;
            QVERIFY(store.Record(entry));
        }
        const Run listed = Command({"history", "--serial", "SN-1", "--json"});
        QCOMPARE(listed.exitCode, 0);
        const QList<QByteArray> lines = listed.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(QJsonDocument::fromJson(lines.first())["serialNumber"].toString(), QString("SN-12"));
        // For people, local times with their offset; half an hour off, it says its minutes.
        qputenv("TZ", "Asia/Kolkata");
        const Run latest = Command({"history", "--limit", "1"});
        qunsetenv("TZ");
        QCOMPARE(latest.out.count('\n'), 1);
        QVERIFY2(latest.out.contains(" UTC+5:30  Write"), latest.out);
        QVERIFY(Command({"history", "--csv"}).out.startsWith("historyId,time,operation,")); // no byte-order mark
        QCOMPARE(Command({"history", "--csv", "--json"}).exitCode, 2);

        // A record is of one radio: a part of several radios' numbers names them; a whole number is its radio's.
        const QString pdf = m_dir.filePath("several.pdf");
        const Run several = Command({"history", "--serial", "N-1", "--pdf", pdf});
        QCOMPARE(several.exitCode, 2);
        QVERIFY2(several.err.contains("N-1 is part of the serial numbers of 2 radio(s): SN-1")
                     && several.err.contains("SN-12") && !several.err.contains("SN-2") && !QFileInfo::exists(pdf),
                 several.err);
        QCOMPARE(Command({"history", "--serial", "SN-1", "--pdf", pdf}).exitCode, 0);
    }

    // The record a dealer hands over, as pdftotext reads it from the PDF, in either language.
    void record_data()
    {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("hidden");
        QTest::newRow("English, the password masked")
            << QByteArray("C.UTF-8") << QStringList()
            << QStringList{"KR350UV", "2026120500000042", kelvra::BandTextOfCode(3), "Freq. Set", "D-0042",
                           "2026-11-28", "2026-12-03", "LINE-7", "****", "Write Complete!",
                           QSysInfo::machineHostName()}
            << "7391";
        QTest::newRow("Chinese, the password asked for")
            << QByteArray("zh_CN.UTF-8") << QStringList{"--show-passwords"}
            << QStringList{"频段设置", "经销商代码", "入库时间", "销售时间", "经手人", "7391"} << "****";
    }
    void record()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed (scripts/test.sh installs poppler-utils)");
        QFETCH(QByteArray, lang);
        QFETCH(QStringList, options);
        QFETCH(QStringList, shown);
        QFETCH(QString, hidden);
        const QStringList write{"write", "--port", "$PORT", "--dealer-code", "D-0042", "--seller", "LINE-7"};
        QCOMPARE(Command(write + QStringList{"--password", "7391", "--band", "3"}).exitCode, 0);
        const QString pdf = m_dir.filePath("record.pdf");
        m_lang = QString::fromLatin1(lang);
        const Run run = Command(QStringList{"history", "--serial", "0000042", "--pdf", pdf} + options);
        m_lang.clear();
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), run.err);
        QCOMPARE(kelvra::testing::Mode(pdf), mode_t(0600));
        QProcess text;
        text.start("pdftotext", {pdf, "-"});
        QVERIFY(text.waitForFinished());
        // A long value may wrap in its cell.
        const QString words = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        for (const QString &word : shown)
            QVERIFY2(words.contains(word), qPrintable(word + " is not in:\n" + words));
        QVERIFY2(!words.contains(hidden), qPrintable(words));
    }

    // The history file as a command finds it: damaged, another program's,
    // held open by a window.
    void historyFile_data()
    {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("said"); // part of standard error
        const QStringList history{"history"};
        const QStringList read{"read", "--port", "$PORT"};
        const QStringList write{"write", "--port", "$PORT", "--seller", "LINE-7"};
        QTest::newRow("history, file cut short: set aside, what it held said")
            << "cut short" << history << 1 << QByteArray(" bytes, entries still readable: ");
        QTest::newRow("read, not a database: set aside, said, entered anew")
            << "garbage" << read << 0 << QByteArray("(5000 bytes, entries still readable: 0) and a new one");
        QTest::newRow("history, another program's database: named, left as it was")
            << "foreign" << history << 1 << QByteArray("is another program's database");
        QTest::newRow("write, another program's database: nothing written, left as it was")
            << "foreign" << write << 6 << QByteArray("is another program's database");
        QTest::newRow("history, file of an earlier version: listed, left as it was")
            << "first version" << history << 0 << QByteArray();
        QTest::newRow("reads while a window holds the file: the log does not grow")
            << "held open" << read << 0 << QByteArray();
    }
    void historyFile()
    {
        QFETCH(QString, scene);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, said);
        const QString path = HistoryPath();
        for (const QFileInfo &file : QDir(QFileInfo(path).path()).entryInfoList({"history*"}))
            QVERIFY(QFile::remove(file.filePath()));
        Seed(path, 100);
        if (scene == "cut short")
            QVERIFY(QFile::resize(path, QFileInfo(path).size() * 2 / 3));
        if (scene == "garbage") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(QByteArray(5000, 'x')) == 5000);
        }
        if (scene == "first version")
            QCOMPARE(kelvra::testing::Sqlite3({path, "DROP TRIGGER entry_is_new; UPDATE schema_version SET version = 1"}),
                     QByteArray());
        kelvra::testing::HistoryScene history(scene, path);
        // Read before a window holds it: closing a file drops every lock this process has on it.
        const QByteArray before = Contents(path);
        kelvra::HistoryStore window(path);
        if (scene == "held open")
            QCOMPARE(window.List({}).size(), 100);

        const Run run = Command(arguments);
        QVERIFY2(run.exitCode == exitCode, run.out + run.err);
        QVERIFY2(run.err.contains(said), run.err);
        if (scene == "cut short") {
            // As far as the pages left tell: the newest went with the end of the file.
            const int readable = run.err.mid(run.err.indexOf(said) + said.size()).split(')').value(0).toInt();
            QVERIFY2(readable > 10 && readable < 100 && run.err.contains("; the next read or write starts"), run.err);
            QVERIFY(!QFileInfo::exists(path)); // a listing starts no new file
        }
        if (scene == "garbage")
            QCOMPARE(kelvra::HistoryStore(path).List({}).size(), 1);
        if (scene == "foreign" || scene == "first version")
            QVERIFY(Contents(path) == before); // no table added, no journal changed
        if (scene == "held open") {
            // Folded back as each command closes, the log starts again from its beginning.
            const qint64 once = QFileInfo(path + "-wal").size();
            for (int i = 0; i < 4; ++i)
                QCOMPARE(Command(arguments).exitCode, 0);
            QVERIFY(QFileInfo(path + "-wal").size() < 3 * once);
        }
    }
};

KELVRA_HISTORY_SCENE_MAIN(TstCli)

#include "tst_cli.moc"
