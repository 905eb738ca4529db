// The history window offscreen over a real history file: its filters and
// orders as the operator sets them, a write's differences, the name of the
// entry a restoring write took its values from, and the files it writes
// (the CSV export, a radio's block, the record as PDF), each its owner's alone.
#include "history/historycsv.h"
#include "history/historystore.h"
#include "lang/language.h"
#include "record/imagecodec.h"
#include "record/radioinfo.h"
#include "ui/historylistmodel.h"
#include "ui/historywindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvra;

namespace {

// An entry of a radio whose block holds its serial number and dealer code, at noon UTC of a day in December.
HistoryEntry Entry(HistoryOperation operation, HistoryResult result, const QString &serial, const QString &dealer,
                   const QString &bench, int day)
{
    RadioImage image{};
    PutImageText(image, 16, serial, 16);
    PutImageText(image, 80, dealer, 16);
    HistoryEntry entry = NewHistoryEntry(operation);
    entry.result = result;
    entry.serialNumber = serial;
    entry.bench = bench;
    entry.time = QDateTime(QDate(2026, 12, day), QTime(12, 0), Qt::UTC);
    entry.before = entry.after = KnownImage(image);
    return entry;
}

} // namespace

class TestHistoryWindow : public QObject
{
    Q_OBJECT

private slots:
    // The history window's filters, combined, and its order, as the operator
    // sets them; the last digits of the serial numbers it then lists.
    void historyList_data()
    {
        QTest::addColumn<QStringList>("texts"); // serial number, dealer code, bench
        QTest::addColumn<int>("operation");     // index in its box: 0 any, 1 read, 2 write
        QTest::addColumn<int>("result");        // 0 any, 1 complete, 2 failure, 3 unfinished
        QTest::addColumn<QList<int>>("days");   // from and to, in December; none: every day
        QTest::addColumn<int>("column");        // its heading clicked; -1: the time, newest first
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("listed");    // or the line that says why nothing is
        const auto row = [](const char *name, const QStringList &texts, int operation, int result,
                            const QList<int> &days, int column, int clicks, const char *listed) {
            QTest::newRow(name) << texts << operation << result << days << column << clicks << QString(listed);
        };
        row("nothing filtered: newest first", {"", "", ""}, 0, 0, {}, -1, 0, "44 33 22 11");
        row("serial number, any part of it", {"0003", "", ""}, 0, 0, {}, -1, 0, "33");
        row("dealer code, any part of it", {"", "0042", ""}, 0, 0, {}, -1, 0, "33 11");
        row("dealer code in Chinese", {"", "经销", ""}, 0, 0, {}, -1, 0, "44");
        row("bench, operation and result", {"", "", "2"}, 2, 2, {}, -1, 0, "33");
        row("a range of days", {"", "", ""}, 0, 0, {2, 3}, -1, 0, "33 22");
        row("sorted by serial number, from the first", {"", "", ""}, 0, 0, {}, HistoryListModel::SerialColumn, 1,
            "11 22 33 44");
        row("sorted by dealer code, from the last", {"", "", ""}, 0, 0, {}, HistoryListModel::DealerColumn, 2,
            "44 22 33 11");
        row("sorted by result, filtered by dealer code", {"", "D-00", ""}, 0, 0, {}, HistoryListModel::ResultColumn,
            2, "33 22 11");
        row("nothing matches", {"", "X-1", ""}, 0, 0, {}, -1, 0, "No entry matches these filters.");
    }
    void historyList()
    {
        QFETCH(QStringList, texts);
        QFETCH(int, operation);
        QFETCH(int, result);
        QFETCH(QList<int>, days);
        QFETCH(int, column);
        QFETCH(int, clicks);
        QFETCH(QString, listed);
        QTemporaryDir dir;
        HistoryStore store(dir.filePath("history.sqlite"));
        const auto complete = HistoryResult::Complete;
        for (HistoryEntry entry :
             {Entry(HistoryOperation::Read, complete, "2026120500000011", "D-0042", "Bench 1", 1),
              Entry(HistoryOperation::Write, complete, "2026120500000022", "D-0099", "Bench 2", 2),
              Entry(HistoryOperation::Write, HistoryResult::Failure, "2026120500000033", "D-0042", "Bench 2", 3),
              Entry(HistoryOperation::Read, complete, "2026120500000044", "经销商", "Bench 1", 4)})
            QVERIFY(store.Record(entry));

        HistoryWindow window(store, LanguageEnglish);
        window.show();
        for (const char *name : {"filter", "dealerFilter", "benchFilter"})
            window.findChild<QLineEdit *>(name)->setText(texts.takeFirst());
        window.findChild<QComboBox *>("operationFilter")->setCurrentIndex(operation);
        window.findChild<QComboBox *>("resultFilter")->setCurrentIndex(result);
        for (int i = 0; i < days.size(); ++i) {
            window.findChild<QDateEdit *>(i == 0 ? "fromDate" : "untilDate")->setDate(QDate(2026, 12, days.at(i)));
            window.findChild<QCheckBox *>(i == 0 ? "fromSet" : "untilSet")->setChecked(true);
        }
        auto *list = window.findChild<QTableView *>("entries");
        // A click on the column's heading sorts by it from the first, the next the other way.
        for (QHeaderView *header = list->horizontalHeader(); clicks-- > 0;) {
            list->scrollTo(list->model()->index(0, column));
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
        }
        if (QTest::currentDataTag() == QByteArray("nothing filtered: newest first")) {
            // On 1366x768 at scale 2, below a title bar: eight entries and the differences before and after.
            window.resize(QSize(683, 364 - window.style()->pixelMetric(QStyle::PM_TitleBarHeight)));
            QCoreApplication::processEvents();
            QVERIFY(list->viewport()->height() >= 8 * list->rowHeight(0));
            auto *differences = window.findChild<QTableWidget *>("differences");
            QVERIFY(differences->columnViewportPosition(2) + differences->columnWidth(2)
                    <= differences->viewport()->width());
            QVERIFY(differences->viewport()->height() >= 2 * differences->rowHeight(0));
        }
        QStringList shown;
        for (int row = 0; row < list->model()->rowCount(); ++row)
            shown << list->model()->index(row, HistoryListModel::SerialColumn).data().toString().right(2);
        auto *empty = window.findChild<QLabel *>("emptyLine");
        QCOMPARE(empty->isVisible() ? empty->text() : shown.join(' '), listed);
    }

    // A write of values put back from the history names their entry by its
    // time, bench and radio; its record prints to a PDF of its owner's alone.
    void historyRestoreAndRecord()
    {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath("history.sqlite"));
        const auto write = [](const char *bench, int day) {
            return Entry(HistoryOperation::Write, HistoryResult::Complete, "2026120500000042", "D-0042", bench, day);
        };
        HistoryEntry source = write("Bench 7", 1), restoring = write("Bench 3", 2);
        restoring.restoredFrom = source.uuid;
        QVERIFY(store.Record(source) && store.Record(restoring));
        HistoryWindow window(store, LanguageEnglish);
        window.show();
        QCOMPARE(window.findChild<QPlainTextEdit *>("details")->toPlainText().split('\n').constLast(),
                 "Form filled from the entry of " + LocalTimeText(source.time) + " at Bench 7, radio "
                     + source.serialNumber + " (" + source.uuid + ").");

        const QString pdf = dir.filePath("record.pdf");
        QPrinter printer;
        printer.setOutputFileName(pdf);
        QVERIFY(window.PrintRecord(printer));
        QCOMPARE(QFile::permissions(pdf) & 0x7077, QFile::ReadOwner | QFile::WriteOwner); // owner, group, others
    }

    // The history window over a real file: the filter, a write's differences,
    // the CSV and block files it writes. Its old values reach the form and the
    // radio in the end-to-end suite.
    void historyWindow()
    {
        QTemporaryDir dir;
        HistoryStore store(dir.filePath("history.sqlite"));
        RadioInfo radio;
        InitRadioInfo(radio, QDate(2024, 3, 5), QLocale::c());
        radio.SerialNumber = QString("2026120500000042");
        radio.DealerCode = QString("=SUM(A1)");
        radio.ProgramPassword = QString("7391");
        RadioImage image;
        EncodeRadioInfo(radio, image);
        PutImageText(image, 16, FieldText(radio.SerialNumber), 16);
        HistoryEntry write = NewHistoryEntry(HistoryOperation::Write);
        write.serialNumber = FieldText(radio.SerialNumber);
        write.before = KnownImage(image);
        write.before.Forget(160, 96); // a write's backup: the blocks it re-read and sends
        PutImageText(image, 80, QString("经销商,\"甲\""), 16);
        write.after = KnownImage(image);
        write.result = HistoryResult::Complete;
        HistoryEntry read = NewHistoryEntry(HistoryOperation::Read);
        read.serialNumber = "2026120500000077";
        read.result = HistoryResult::Failure;
        read.after.Set(0, image.data(), 64); // a read cut short
        QVERIFY(store.Record(write) && store.Record(read));

        HistoryWindow window(store, LanguageEnglish);
        window.show();
        auto *list = window.findChild<QTableView *>("entries");
        auto *differences = window.findChild<QTableWidget *>("differences");
        auto *restore = window.findChild<QPushButton *>("restore");
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(list->model()->index(0, 3).data().toString(), read.serialNumber); // newest first
        QVERIFY(!restore->isEnabled()); // the cut-short read knows no dealer fields

        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
        QTest::keyClicks(QApplication::focusWidget(), "0042");
        QCOMPARE(list->model()->rowCount(), 1);
        QCOMPARE(list->model()->index(0, 5).data().toString(), QString("经销商,\"甲\""));
        QStringList changed;
        for (int row = 0; row < differences->rowCount(); ++row) {
            if (differences->item(row, 0)->font().bold())
                changed << differences->item(row, 0)->text() + ": " + differences->item(row, 1)->text() + " > "
                               + differences->item(row, 2)->text();
        }
        QCOMPARE(changed, QStringList{"Dealer Code: =SUM(A1) > 经销商,\"甲\""});

        QVERIFY(restore->isEnabled());

        // Both files hold passwords: made for their owner alone, an old one replaced too.
        const auto ownersAlone = [](const QString &path) {
            return QFile::permissions(path) == (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        };
        const QString csv = dir.filePath("history.csv");
        for (bool passwords : {false, true}) {
            QVERIFY(window.ExportCsv(csv, passwords));
            QVERIFY(ownersAlone(csv));
            QCOMPARE(window.findChild<QLabel *>("status")->text(), "Exported to " + csv + ", readable by you alone.");
            QFile file(csv);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY(bytes.startsWith("\xEF\xBB\xBF") && bytes.count("\r\n") == 2);
            QVERIFY(bytes.contains(QString(",'=SUM(A1),\"经销商,\"\"甲\"\"\",").toUtf8()));
            QCOMPARE(bytes.contains(",7391,7391,"), passwords);
            QCOMPARE(bytes.contains(",****,****,"), !passwords);
        }

        const QString bin = dir.filePath("block.bin");
        QVERIFY(QFile(bin).open(QIODevice::WriteOnly)); // as the umask leaves it, readable by all
        QVERIFY(window.SaveBlock(bin));
        QVERIFY(ownersAlone(bin));
        QFile block(bin);
        QVERIFY(block.open(QIODevice::ReadOnly));
        QCOMPARE(block.readAll(), QByteArray(reinterpret_cast<const char *>(write.before.Filled(0xFF).data()), 256));
    }
};

QTEST_MAIN(TestHistoryWindow)
#include "tst_historywindow.moc"
