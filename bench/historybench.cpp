// historybench: what the history costs. With a history of many entries, the
// time to open the file (integrity check included), to open the history
// window, to filter it (serial number, dealer code, bench, operation, days)
// and to sort it by a column, each against its target; and
// what one write's entry adds to a write: its durable begin and its finish.
//   historybench [entries] [repeats]      (QT_QPA_PLATFORM=offscreen, or on a display)

#include "historyfill.h"
#include "lang/language.h"
#include "ui/historylistmodel.h"
#include "ui/historywindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>
#include <functional>
#include <tuple>

using namespace kelvra;
using namespace kelvra::bench;

namespace {

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

double Median(QList<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples.at(samples.size() / 2);
}

template <typename Step>
double MedianMs(int repeats, Step step)
{
    QList<double> samples;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        samples << double(timer.nsecsElapsed()) / 1e6;
    }
    return Median(samples);
}

template <typename Step>
double MedianCpuMs(int repeats, Step step)
{
    QList<double> samples;
    for (int i = 0; i < repeats; ++i) {
        timespec start{}, end{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        step();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
        samples << double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6;
    }
    return Median(samples);
}

// The offscreen platform says so at every window shown.
void Quiet(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (!message.contains(QLatin1String("propagateSizeHints")))
        QTextStream(stderr) << message << Qt::endl;
    if (type == QtFatalMsg)
        abort();
}

void Report(const char *what, double ms, double targetMs)
{
    Out() << QStringLiteral("%1 %2 ms").arg(QLatin1String(what), -44).arg(ms, 8, 'f', 2);
    if (targetMs > 0)
        Out() << QStringLiteral("   target %1 ms, ratio %2").arg(targetMs).arg(ms / targetMs, 0, 'f', 2);
    Out() << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(Quiet);
    QApplication app(argc, argv);
    const int entries = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    const int repeats = argc > 2 ? QByteArray(argv[2]).toInt() : 9;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("history.sqlite"));
    Out() << "filling a history of " << entries << " entries..." << Qt::endl;
    if (!Fill(path, entries))
        return 1;
    Out() << "file of " << QFileInfo(path).size() / (1024 * 1024) << " MiB" << Qt::endl;

    auto store = std::make_unique<HistoryStore>(path);
    Report("open the file (checked)",
           MedianMs(repeats,
                    [&] {
                        store = std::make_unique<HistoryStore>(path);
                        store->Open();
                    }),
           0);
    Report("open the file (a command's: pages as read)", MedianMs(repeats, [&] {
               HistoryStore command(path, HistoryStore::Check::AsRead);
               command.Open();
           }),
           0);

    std::unique_ptr<HistoryWindow> window;
    const auto openWindow = [&] {
        window = std::make_unique<HistoryWindow>(*store, LanguageEnglish);
        window->show();
        QApplication::processEvents(); // laid out and painted
    };
    // The first also loads fonts and styles, as the first window of a run does.
    Report("open the history window, the first time", MedianMs(1, openWindow), 300);
    Report("open the history window", MedianMs(repeats, openWindow), 300);

    Report("    the file's part of a filter", MedianMs(repeats, [&] {
               HistoryQuery query;
               query.filter.serial = Serial(4242);
               store->List(query);
           }),
           0);
    auto *list = window->findChild<QTableView *>(QStringLiteral("entries"));
    // Each step as the operator takes it, from the whole list newest first: the list follows at once.
    const auto measure = [&](const char *what, const std::function<void()> &step, const std::function<void()> &undo) {
        QList<double> samples;
        for (int i = 0; i < repeats; ++i) {
            undo();
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            step();
            QApplication::processEvents();
            samples << double(timer.nsecsElapsed()) / 1e6;
        }
        Report(what, Median(samples), 50);
        Out() << "    " << list->model()->rowCount() << " entries shown" << Qt::endl;
        undo();
    };
    const auto field = [&](const char *name) { return window->findChild<QLineEdit *>(QLatin1String(name)); };
    const std::tuple<const char *, const char *, QString> typed[] = {
        {"filter by a whole serial number", "filter", Serial(4242)},
        {"filter by its last four digits", "filter", QStringLiteral("4242")},
        {"filter matching nothing", "filter", QStringLiteral("99999999")},
        {"filter by a dealer code", "dealerFilter", QStringLiteral("Q")},
        {"filter by a bench", "benchFilter", QStringLiteral("bench-7")},
    };
    for (const auto &[what, name, text] : typed)
        measure(
            what, [&, name = name, text = text] { field(name)->setText(text); },
            [&, name = name] { field(name)->clear(); });
    auto *operation = window->findChild<QComboBox *>(QStringLiteral("operationFilter"));
    measure("filter by a bench, then writes only", [&] { operation->setCurrentIndex(2); },
            [&] {
                operation->setCurrentIndex(0);
                field("benchFilter")->setText(QStringLiteral("bench-7"));
            });
    field("benchFilter")->clear();
    auto *fromSet = window->findChild<QCheckBox *>(QStringLiteral("fromSet"));
    auto *from = window->findChild<QDateEdit *>(QStringLiteral("fromDate"));
    auto *untilSet = window->findChild<QCheckBox *>(QStringLiteral("untilSet"));
    auto *until = window->findChild<QDateEdit *>(QStringLiteral("untilDate"));
    from->setDate(QDate(2019, 3, 1));
    until->setDate(QDate(2019, 3, 31));
    fromSet->setChecked(true);
    measure("filter by a month's days", [&] { untilSet->setChecked(true); }, [&] { untilSet->setChecked(false); });
    fromSet->setChecked(false);
    const std::pair<const char *, int> sorts[] = {
        {"sort by serial number", HistoryListModel::SerialColumn},
        {"sort by dealer code", HistoryListModel::DealerColumn},
        {"sort by result", HistoryListModel::ResultColumn},
    };
    for (const auto &[what, column] : sorts)
        measure(what, [&, column = column] { list->sortByColumn(column, Qt::AscendingOrder); },
                [&] { list->sortByColumn(HistoryListModel::TimeColumn, Qt::DescendingOrder); });
    list->sortByColumn(HistoryListModel::SerialColumn, Qt::AscendingOrder);
    measure("sort by serial number, the next page", [&] { list->scrollToBottom(); }, [&] { list->scrollToTop(); });
    list->sortByColumn(HistoryListModel::TimeColumn, Qt::DescendingOrder);

    // What a write's history adds, in processor time and in all: the rest is the disk's own sync.
    const auto writeEntry = [&] {
        HistoryEntry entry = Sample(1);
        store->BeginWrite(entry);
        entry.result = HistoryResult::Complete;
        store->Finish(entry);
    };
    Report("a write's entry: begin (on disk) and finish", MedianMs(repeats, writeEntry), 0);
    Report("    of which processor time", MedianCpuMs(repeats, writeEntry), 0);
    const auto readEntry = [&] {
        HistoryEntry entry = Sample(0);
        store->Record(entry);
    };
    Report("a read's entry", MedianMs(repeats, readEntry), 0);
    Report("    of which processor time", MedianCpuMs(repeats, readEntry), 0);
    return 0;
}
