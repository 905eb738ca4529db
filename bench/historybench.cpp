// historybench: what the history costs. With a history of many entries, the
// time to open the file (integrity check included), to open the history
// window and to filter it by a serial number, each against its target; and
// what one write's entry adds to a write: its durable begin and its finish.
//   historybench [entries] [repeats]      (QT_QPA_PLATFORM=offscreen, or on a display)

#include "historyfill.h"
#include "lang/language.h"
#include "ui/historywindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <ctime>

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

    Report("    the file's part of a filter", MedianMs(repeats, [&] { store->List({Serial(4242)}); }), 0);
    auto *filter = window->findChild<QLineEdit *>(QStringLiteral("filter"));
    auto *list = window->findChild<QTableView *>(QStringLiteral("entries"));
    const std::pair<const char *, QString> filters[] = {
        {"filter by a whole serial number", Serial(4242)},
        {"filter by its last four digits", QStringLiteral("4242")},
        {"filter matching nothing", QStringLiteral("99999999")},
    };
    for (const auto &[what, text] : filters) {
        QList<double> samples;
        for (int i = 0; i < repeats; ++i) {
            filter->clear();
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            filter->setText(text); // as typed or pasted: the list follows at once
            QApplication::processEvents();
            samples << double(timer.nsecsElapsed()) / 1e6;
        }
        Report(what, Median(samples), 50);
        Out() << "    " << list->model()->rowCount() << " entries shown" << Qt::endl;
    }

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
