// Times whole reads and writes through the product's serial control over a
// pseudo-terminal against the simulated radio, answering at once and paced
// at 115200 baud, and sets each against the wire time of its bytes; then
// what the history adds to a write, and how much of that is the disk's sync.

#include "history/historystore.h"
#include "link/operatorseam.h"
#include "link/portdirectory.h"
#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "services/historyrecorder.h"
#include "demoimage.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "simulatedradio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <numeric>
#include <vector>

using namespace kelvra;

namespace {

// Bytes both ways of a fault-free dialogue: requests, then replies.
constexpr int ReadWireBytes = (7 + 1 + 8 * 5 + 3) + (1 + 16 + 8 * 38 + 1);            // 373
// A write re-reads five blocks, writes them and reads them back.
constexpr int WriteWireBytes = (7 + 1 + 5 * 5 + 5 * 38 + 5 * 5 + 3) + (1 + 16 + 5 * 38 + 5 + 5 * 38 + 1); // 654
constexpr double ByteWireMs = 10.0 * 1000.0 / 115200.0;

// Message boxes cost the operator's time, not the link's: none are shown.
class SilentOperator : public Operator
{
public:
    void ShowMessage(const QString &text, Icon, const QString &) override
    {
        lastMessage = text;
        if (onMessage)
            onMessage();
    }
    void ShowByData() override {}
    void GetDataByShow() override {}
    QString ModelBoxText() const override { return QStringLiteral("KR350UV"); }

    QString lastMessage;
    std::function<void()> onMessage;
};

struct Stats
{
    double min = 0, median = 0, mean = 0, p95 = 0;
};

Stats Summarise(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    Stats s;
    s.min = ms.front();
    s.median = ms[ms.size() / 2];
    s.mean = std::accumulate(ms.begin(), ms.end(), 0.0) / double(ms.size());
    s.p95 = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    return s;
}

class Bench
{
public:
    bool Start(QString *error)
    {
        if (!m_dir.isValid()) {
            *error = QStringLiteral("no temporary folder");
            return false;
        }
        if (!m_radio.Start(error) || !m_radio.MakeAlias(m_directory.AliasDir(), PortNo, error))
            return false;
        m_radio.SetImage(radiosim::DemoImage());
        m_radio.SetModelBytes("KR350UV");
        InitRadioInfo(m_info);
        return true;
    }

    void SetPaced(bool paced) { m_radio.SetLinePacing(paced); }

    // From the radio's last reply byte on the line to the next request
    // heard: the program's share of each round trip, pty included.
    void WatchTurnarounds()
    {
        QObject::connect(&m_radio, &radiosim::SimulatedRadio::ReplySent, &m_radio,
                         [this] { m_replyDoneNs = m_radio.ElapsedNs(); });
        QObject::connect(&m_radio, &radiosim::SimulatedRadio::FrameReceived, &m_radio,
                         [this](const radiosim::ReceivedFrame &frame) {
                             if (m_replyDoneNs > 0) {
                                 m_turnaroundNs += frame.elapsedNs - m_replyDoneNs;
                                 ++m_turnarounds;
                             }
                             m_replyDoneNs = 0;
                         });
    }
    double MeanTurnaroundUs()
    {
        const double us = m_turnarounds ? double(m_turnaroundNs) / double(m_turnarounds) / 1e3 : 0.0;
        m_turnaroundNs = m_turnarounds = 0;
        return us;
    }

    // Milliseconds from the press to the ending (the message box not shown),
    // or a negative value when the operation did not end as expected.
    double RunOnce(bool write)
    {
        bool done = false;
        QEventLoop loop;
        m_operator.onMessage = [&] {
            done = true;
            loop.quit();
        };
        QElapsedTimer clock;
        clock.start();
        write ? m_link.Command2_Click() : m_link.Command1_Click();
        if (!done)
            loop.exec();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        const QString expected = write ? QStringLiteral("Write Complete!") : QStringLiteral("Read Complete!");
        return m_operator.lastMessage == expected ? ms : -1.0;
    }

    QString LastMessage() const { return m_operator.lastMessage; }

    enum class History { None, Synced, Unsynced };
    // None: no gate and no entries. Synced: the product's history, every
    // commit on disk before it returns. Unsynced: the same with SQLite's sync
    // turned off, so that the difference is what the disk's sync costs.
    void SetHistory(History history, const QString &path)
    {
        if (!m_store) {
            m_store = std::make_unique<HistoryStore>(path);
            m_store->Open();
        }
        QSqlQuery(QSqlDatabase::database(m_store->ConnectionName()))
            .exec(history == History::Unsynced ? QStringLiteral("PRAGMA synchronous=OFF")
                                               : QStringLiteral("PRAGMA synchronous=FULL"));
        if (history == History::None)
            m_recorder.reset();
        else if (!m_recorder)
            m_recorder = std::make_unique<HistoryRecorder>(*m_store, m_link, &m_directory);
    }

private:
    static constexpr int PortNo = 909;

    QTemporaryDir m_dir;
    radiosim::SimulatedRadio m_radio;
    PortDirectory m_directory{m_dir.filePath(QStringLiteral("ports"))};
    QtSerialControl m_control{m_directory};
    QtReplyTimer m_timer;
    SilentOperator m_operator;
    RadioInfo m_info;
    RadioImage m_image;
    qint16 m_comPortNo = PortNo;
    RadioLink m_link{m_control, m_timer, m_operator, m_info, m_image, m_comPortNo};
    qint64 m_replyDoneNs = 0;
    qint64 m_turnaroundNs = 0;
    qint64 m_turnarounds = 0;
    std::unique_ptr<HistoryStore> m_store;
    std::unique_ptr<HistoryRecorder> m_recorder;
};

// The three kinds of write in turn, so that load and caches fall on each alike.
int CompareHistory(Bench &bench, int runs, const QString &folder, QTextStream &out)
{
    using History = Bench::History;
    const QString path = folder + QStringLiteral("/history.sqlite");
    const History kinds[] = {History::None, History::Synced, History::Unsynced};
    std::vector<double> times[3];
    for (int i = -1; i < runs; ++i) { // -1: warm-up, the file opened and its pages read
        for (int k = 0; k < 3; ++k) {
            bench.SetHistory(kinds[k], path);
            const double ms = bench.RunOnce(true);
            if (ms < 0) {
                fprintf(stderr, "kelvra-bench: history run ended with \"%s\"\n", qPrintable(bench.LastMessage()));
                return 1;
            }
            if (i >= 0)
                times[k].push_back(ms);
        }
    }
    const Stats none = Summarise(times[0]), synced = Summarise(times[1]), unsynced = Summarise(times[2]);
    auto line = [](const char *what, const Stats &s) {
        return QStringLiteral("  %1 median %2 ms  p95 %3 ms\n")
            .arg(QLatin1String(what), -24)
            .arg(s.median, 7, 'f', 3)
            .arg(s.p95, 7, 'f', 3);
    };
    out << "\nwrite, instant, " << runs << " runs each, history in " << folder << " ("
        << QStorageInfo(folder).fileSystemType() << ")\n"
        << line("without history", none) << line("with history", synced) << line("with history, no sync", unsynced)
        << QStringLiteral("  history adds %1 ms, of which the disk's sync (two commits) %2 ms; the rest %3 ms\n")
               .arg(synced.median - none.median, 0, 'f', 3)
               .arg(synced.median - unsynced.median, 0, 'f', 3)
               .arg(unsynced.median - none.median, 0, 'f', 3)
        << "target: at most 2 ms more than without, besides the disk's own sync\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    // kelvra-bench [instant iterations] [paced iterations] [history folder]
    const int instantRuns = args.size() > 1 ? qMax(1, args.at(1).toInt()) : 300;
    const int pacedRuns = args.size() > 2 ? qMax(1, args.at(2).toInt()) : 40;
    const auto historyDir = args.size() > 3
        ? std::make_unique<QTemporaryDir>(args.at(3) + QStringLiteral("/kelvra-bench-XXXXXX"))
        : std::make_unique<QTemporaryDir>();

    Bench bench;
    QString error;
    if (!bench.Start(&error)) {
        fprintf(stderr, "kelvra-bench: cannot start the simulated radio: %s\n", qPrintable(error));
        return 2;
    }
    bench.WatchTurnarounds();

    out << "operation  line     runs   min ms  median ms  mean ms  p95 ms  wire ms  median/wire  turnaround us\n";
    for (const bool paced : {false, true}) {
        bench.SetPaced(paced);
        for (const bool write : {false, true}) {
            const int runs = paced ? pacedRuns : instantRuns;
            bench.RunOnce(write); // warm-up: first open, page faults
            bench.MeanTurnaroundUs();
            std::vector<double> times;
            times.reserve(std::size_t(runs));
            for (int i = 0; i < runs; ++i) {
                const double ms = bench.RunOnce(write);
                if (ms < 0) {
                    fprintf(stderr, "kelvra-bench: run %d ended with \"%s\"\n", i, qPrintable(bench.LastMessage()));
                    return 1;
                }
                times.push_back(ms);
            }
            const Stats s = Summarise(times);
            const double wire = (write ? WriteWireBytes : ReadWireBytes) * ByteWireMs;
            out << QStringLiteral("%1  %2  %3  %4  %5  %6  %7  %8  %9  %10\n")
                       .arg(write ? QStringLiteral("write    ") : QStringLiteral("read     "))
                       .arg(paced ? QStringLiteral("115200 ") : QStringLiteral("instant"))
                       .arg(runs, 5)
                       .arg(s.min, 7, 'f', 3)
                       .arg(s.median, 9, 'f', 3)
                       .arg(s.mean, 7, 'f', 3)
                       .arg(s.p95, 6, 'f', 3)
                       .arg(wire, 7, 'f', 2)
                       .arg(s.median / wire, 11, 'f', 3)
                       .arg(bench.MeanTurnaroundUs(), 13, 'f', 1);
            out.flush();
        }
    }
    out << "targets: instant read and write at most 3 ms; paced read at most 1.05 x its wire time ("
        << ReadWireBytes << " bytes, " << QString::number(ReadWireBytes * ByteWireMs, 'f', 1)
        << " ms), paced write likewise (" << WriteWireBytes << " bytes, "
        << QString::number(WriteWireBytes * ByteWireMs, 'f', 1) << " ms)\n";
    bench.SetPaced(false);
    return CompareHistory(bench, instantRuns, historyDir->path(), out);
}
