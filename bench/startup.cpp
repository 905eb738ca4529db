// startup: how long KelvraSet takes from process start to its first shown
// window, and its peak memory, each as a ratio to a minimal Qt Widgets window
// measured in the same run, and KelvraSet with its history against KelvraSet
// without one. Children alternate so that load and caches fall on all alike.
//   startup [runs]          (QT_QPA_PLATFORM=offscreen, or on a display)

#include "ui/program.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QWidget>

#include <sys/resource.h>

#include <algorithm>

using namespace kelvra;

namespace {

// Runs in the child: builds the window, waits until it is on screen, and
// reports its peak memory so far.
int ShowAndReport(int argc, char *argv[], bool kelvraSet, bool history)
{
    QApplication app(argc, argv);
    QTemporaryDir appDir; // no mysetup.ini or ports of the user's
    std::unique_ptr<Program> program;
    std::unique_ptr<QWidget> minimal;
    QWidget *window = nullptr;
    if (kelvraSet) {
        ProgramEnvironment environment = ProgramEnvironment::Host();
        environment.appDir = appDir.path();
        environment.keepHistory = history;
        program = std::make_unique<Program>(environment);
        program->Form_Load();
        program->Window().PlaceOnScreen();
        window = &program->Window();
    } else {
        // The smallest window that says something: without text Qt never
        // loads its fonts, which any real window must.
        minimal = std::make_unique<QLabel>(QStringLiteral("Hello"));
        minimal->setWindowTitle(QStringLiteral("KelvraSet"));
        minimal->resize(621, 525);
        window = minimal.get();
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window))
        return 1;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    QTextStream(stdout) << usage.ru_maxrss << Qt::endl;
    return 0;
}

struct Sample
{
    double ms = 0;
    long maxRssKb = 0;
};

Sample RunChild(const QString &self, const QString &mode)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Without it Qt warns on every start, which says nothing about start-up.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    static QTemporaryDir runtimeDir; // private to its owner, as Qt wants it
    if (!environment.contains(QStringLiteral("XDG_RUNTIME_DIR")))
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir.path());
    child.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    child.start(self, {mode});
    child.waitForReadyRead(30000);
    Sample sample;
    sample.ms = double(clock.nsecsElapsed()) / 1e6;
    child.waitForFinished(30000);
    // The child's own peak so far, as it reported it once shown.
    sample.maxRssKb = child.readAllStandardOutput().trimmed().toLong();
    return sample;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("minimal") || mode.startsWith(QLatin1String("kelvraset")))
        return ShowAndReport(argc, argv, mode != QLatin1String("minimal"), mode == QLatin1String("kelvraset"));

    QCoreApplication app(argc, argv);
    const int runs = mode.toInt() > 0 ? mode.toInt() : 15;
    const QString self = QCoreApplication::applicationFilePath();
    const QString modes[] = {QStringLiteral("minimal"), QStringLiteral("kelvraset"),
                             QStringLiteral("kelvraset-without-history")};
    QList<double> ms[3];
    long rss[3] = {};
    for (const QString &child : modes) // warm the file cache
        RunChild(self, child);
    for (int i = 0; i < runs; ++i) {
        for (int m = 0; m < 3; ++m) {
            const Sample sample = RunChild(self, modes[m]);
            ms[m] << sample.ms;
            rss[m] = std::max(rss[m], sample.maxRssKb);
        }
    }
    QTextStream out(stdout);
    out << "start-up to first shown window, median of " << runs << " runs:\n"
        << "  minimal Qt Widgets window  " << Median(ms[0]) << " ms, peak " << rss[0] << " kB\n"
        << "  KelvraSet                  " << Median(ms[1]) << " ms, peak " << rss[1] << " kB\n"
        << "  KelvraSet without history  " << Median(ms[2]) << " ms, peak " << rss[2] << " kB\n"
        << "  ratio to minimal           time " << Median(ms[1]) / Median(ms[0]) << ", memory "
        << double(rss[1]) / double(rss[0]) << "\n"
        << "  with history / without     time " << Median(ms[1]) / Median(ms[2]) << ", memory "
        << double(rss[1]) / double(rss[2]) << "\n";
    return 0;
}
