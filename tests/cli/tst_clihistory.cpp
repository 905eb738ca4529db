// The history as the commands show it to a person, a script and a dealer:
// the listing, the record to hand over, and the history file as a command
// finds it on the disk. The executable in a folder of its own, its history
// beside it, the simulated radio over a pseudo-terminal.

#include "cliworld.h"
#include "record/catalogue.h"
#include "support/historyscene.h"

#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTest>

using kelvra::testing::Contents;

namespace {

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

class TstCliHistory : public CliWorld
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUp(); }
    void init() { Reset(); }

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

    // The record a dealer hands over, as pdftotext reads it from the PDF, in either
    // language; or, where it cannot be written, what standard error says.
    void record_data()
    {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("file"); // in the suite's folder
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("hidden");
        QTest::newRow("English, the password masked")
            << QByteArray("C.UTF-8") << QStringList() << "record.pdf" << 0
            << QStringList{"KR350UV", "2026120500000042", kelvra::BandTextOfCode(3), "Freq. Set", "D-0042",
                           "2026-11-28", "2026-12-03", "LINE-7", "****", "Write Complete!",
                           QSysInfo::machineHostName()}
            << "7391";
        QTest::newRow("Chinese, the password asked for")
            << QByteArray("zh_CN.UTF-8") << QStringList{"--show-passwords"} << "record.pdf" << 0
            << QStringList{"频段设置", "经销商代码", "入库时间", "销售时间", "经手人", "7391"} << "****";
        QTest::newRow("into a folder that does not exist: said, output failed")
            << QByteArray("C.UTF-8") << QStringList() << "none/record.pdf" << 9
            << QStringList{"Cannot write " + m_dir.filePath("none/record.pdf") + ": "} << "";
    }
    void record()
    {
        QFETCH(QByteArray, lang);
        QFETCH(QStringList, options);
        QFETCH(QString, file);
        QFETCH(int, exitCode);
        QFETCH(QStringList, shown);
        QFETCH(QString, hidden);
        if (exitCode == 0 && QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed (scripts/test.sh installs poppler-utils)");
        const QStringList write{"write", "--port", "$PORT", "--dealer-code", "D-0042", "--seller", "LINE-7"};
        QCOMPARE(Command(write + QStringList{"--password", "7391", "--band", "3"}).exitCode, 0);
        const QString pdf = m_dir.filePath(file);
        m_lang = QString::fromLatin1(lang);
        const Run run = Command(QStringList{"history", "--serial", "0000042", "--pdf", pdf} + options);
        m_lang.clear();
        QVERIFY2(run.exitCode == exitCode && run.err.isEmpty() == (exitCode == 0), run.out + run.err);
        if (exitCode != 0) {
            for (const QString &part : shown)
                QVERIFY2(run.err.contains(part.toUtf8()), run.err);
            QVERIFY(!QFileInfo::exists(pdf));
            return;
        }
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
    // held open by a window, in a folder it may not write.
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
        QTest::newRow("history, file in a read-only folder: listed")
            << "read-only folder" << QStringList{"history", "--limit", "100"} << 0 << QByteArray();
    }
    void historyFile()
    {
        QFETCH(QString, scene);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, said);
        // A folder the command may not write is no portable copy's: its history is the user's.
        const QString path = scene == "read-only folder" ? m_dir.filePath("xdg/KelvraSet/history.sqlite") : HistoryPath();
        // Acting as nobody, the command must reach its executable.
        const QFile::Permissions reachable = scene == "read-only folder" ? QFile::Permissions(0x7711)
                                                                          : QFile::Permissions(0x7700);
        QVERIFY(QFile::setPermissions(m_dir.path(), reachable) && QFile::setPermissions(m_dir.filePath("app"), reachable));
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
        if (scene == "read-only folder")
            QVERIFY2(run.out.count("  Read    Complete  ") == 100, run.out.right(300));
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

KELVRA_HISTORY_SCENE_MAIN(TstCliHistory)

#include "tst_clihistory.moc"
