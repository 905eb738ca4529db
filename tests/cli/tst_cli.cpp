// The commands as a factory's script runs them: the executable in a folder
// of its own, against the simulated radio over a pseudo-terminal. Each exit
// code is checked together with what the radio heard and holds afterwards,
// and the history with the entry each command names.

#include "cliworld.h"
#include "support/historyscene.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>

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
        // A fault of the radio's, a history scene, "swapped radio", "escaping seller", "escaped read" (a radio
        // whose seller and serial number hold terminal escapes, read before), "display" (one that cannot be
        // opened), "no platform" (no QT_QPA_PLATFORM), or "full" (standard output on /dev/full).
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
        for (const char *date : {"2026-02-28x", "2026-02-28T10:00", "2026/02/28", " 2026-02-28 "})
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
        row("radio text with terminal escapes, read --json", read + QStringList{"--json"}, 0, "R",
            "\"seller\":\"\\u001b]0;pwned\\u0007\"", "escaping seller");
        // The history shows the serial number an earlier read took from such a radio.
        row("radio text with terminal escapes, history", {"history"}, 0, "", "  \\x1b]0;pwned\\x07  ", "escaped read");
        row("radio text with terminal escapes, history --json", {"history", "--json"}, 0, "",
            "\"serialNumber\":\"\\u001b]0;pwned\\u0007\"", "escaped read");

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
        // Files past the limit, holes that take no disk: refused before any byte of them is parsed.
        const QString big = m_dir.filePath("big.json");
        QFile hole(big);
        QVERIFY(hole.open(QIODevice::WriteOnly) && hole.resize(16 * 1024 * 1024 + 1));
        const QString tooLarge = big + " is larger than 16 MB";
        row("job: larger than a job is", {"station", "--port", "$PORT", "--auto", "--job", big}, 2, "",
            qPrintable(tooLarge));
        job("units: larger than a units file is", QString(R"({"unitsFile": "%1"})").arg(big).toUtf8(),
            qPrintable(tooLarge));
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
        if (befalls.startsWith("escap"))
            m_radio.SetImage(m_radio.Image().replace(128, 16, Field("\x1b]0;pwned\x07", 16)));
        if (befalls == "escaped read") {
            m_radio.SetImage(m_radio.Image().replace(16, 16, Field("\x1b]0;pwned\x07", 16)));
            QCOMPARE(Command({"read", "--port", "$PORT"}).exitCode, 0);
            m_radio.ClearFrames();
        }
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
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("signal");
        QTest::addColumn<char>("at"); // the first frame of this kind; for a write's R, its re-read
        QTest::addColumn<bool>("written");
        QTest::addColumn<QByteArray>("said");
        const QStringList write{"write", "--port", "$PORT", "--seller", "LINE-7"};
        QTest::newRow("Ctrl+C during the re-read: abandoned, radio as it was")
            << write << SIGINT << 'R' << false << QByteArray("not changed");
        QTest::newRow("Ctrl+C after the first write block: let finish and verified")
            << write << SIGINT << 'W' << true << QByteArray("let finish");
        // A dropped SSH session, and Ctrl+\, are Ctrl+C too.
        QTest::newRow("SIGHUP after the first write block") << write << SIGHUP << 'W' << true << QByteArray("let finish");
        QTest::newRow("SIGQUIT after the first write block") << write << SIGQUIT << 'W' << true << QByteArray("let finish");
        QTest::newRow("SIGHUP during a read: ended, entered as failed")
            << QStringList{"read", "--port", "$PORT"} << SIGHUP << 'R' << false
            << QByteArray("Interrupted: the read was ended, the port closed");
    }
    void interrupt()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, signal);
        QFETCH(char, at);
        QFETCH(bool, written);
        QFETCH(QByteArray, said);
        SetFaults({"delay:writeblock:always:150", "delay:readblock:always:40"});
        const QByteArray before = m_radio.Image();
        QProcess process;
        int reads = 0;
        bool sent = false;
        // The tenth read request is a write's re-read: the read before it is done.
        const int first = arguments.first() == "write" ? 10 : 3;
        connect(&m_radio, &radiosim::SimulatedRadio::FrameReceived, &process,
                [&](const radiosim::ReceivedFrame &frame) {
                    const bool hit = frame.bytes.startsWith(at) && (at != 'R' || ++reads == first);
                    if (hit && !sent)
                        ::kill(pid_t(process.processId()), signal);
                    sent = sent || hit;
                });
        Start(process, arguments);
        const Run run = Finish(process);
        QCOMPARE(run.exitCode, 128 + signal);
        QVERIFY2(run.err.contains(said), run.err);
        QCOMPARE(m_radio.Image().mid(128, 16) == Field("LINE-7", 16), written);
        if (!written)
            QCOMPARE(m_radio.Image(), before);
        QVERIFY(m_radio.Frames().constLast().bytes.startsWith(written ? "END" : "R"));
        // Whatever the signal cut short has its outcome in the history: none is left unfinished.
        const kelvra::HistoryEntry last = kelvra::HistoryStore(HistoryPath()).List({{}, 1, {}, {}}).value(0);
        QCOMPARE(kelvra::ResultWord(last.result), QString(written ? "complete" : "failure"));
    }
};

KELVRA_HISTORY_SCENE_MAIN(TstCli)

#include "tst_cli.moc"
