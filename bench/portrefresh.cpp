// portrefresh: what the one-second port refresh costs, and what an idle
// KelvraSet window costs in all, on this machine's own serial devices.
//   portrefresh [ticks] [idle seconds]
// Run it with QT_QPA_PLATFORM=offscreen or on a display.

#include "link/portdirectory.h"
#include "ui/portlist.h"
#include "ui/program.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <ctime>

using namespace kelvra;

namespace {

double CpuSeconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

template<typename Tick>
double MicrosecondsPerTick(int ticks, Tick tick)
{
    const double start = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < ticks; ++i)
        tick(i);
    return (CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - start) * 1e6 / ticks;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int ticks = args.size() > 1 ? args.at(1).toInt() : 2000;
    const int idleSeconds = args.size() > 2 ? args.at(2).toInt() : 10;

    // The host's devices plus three pinned cables, as a bench PC might have.
    QTemporaryDir appDir;
    const QString portsDir = appDir.filePath(QStringLiteral("ports"));
    QDir().mkpath(portsDir);
    for (int n : {7, 8, 9})
        QFile::link(QStringLiteral("/dev/null"), portsDir + QStringLiteral("/COM%1").arg(n));

    PortDirectory directory(portsDir);
    QComboBox combo;
    qint16 comPortNo = 0;
    PortList ports(&combo, directory, comPortNo, appDir.filePath(QStringLiteral("mysetup.ini")));
    ports.EnumComPorts(&combo);
    comPortNo = 7;
    ports.SelectPort(7);
    combo.show();

    Out() << "ports listed: " << combo.count() << Qt::endl;
    const double listing = MicrosecondsPerTick(ticks, [&](int) { directory.Ports(); });
    Out() << "device listing alone:          " << listing << " us CPU per tick" << Qt::endl;
    const double unchanged = MicrosecondsPerTick(ticks, [&](int) { ports.ReShowComPortTimer_Timer(); });
    Out() << "refresh, nothing changed:      " << unchanged << " us CPU per tick" << Qt::endl;
    const QString flapping = portsDir + QStringLiteral("/COM5");
    const double changed = MicrosecondsPerTick(ticks, [&](int i) {
        if (i % 2)
            QFile::remove(flapping);
        else
            QFile::link(QStringLiteral("/dev/null"), flapping);
        ports.ReShowComPortTimer_Timer();
    });
    QFile::remove(flapping);
    Out() << "refresh, a port every tick:    " << changed << " us CPU per tick (incl. making the link)"
          << Qt::endl;
    combo.hide();

    if (idleSeconds > 0) {
        ProgramEnvironment environment = ProgramEnvironment::Host();
        environment.appDir = appDir.path();
        Program program(environment);
        program.Form_Load();
        program.Window().show();
        QTimer::singleShot(1000, &app, [&] {
            const double cpuStart = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
            const double wallStart = CpuSeconds(CLOCK_MONOTONIC);
            QTimer::singleShot(idleSeconds * 1000, &app, [&, cpuStart, wallStart] {
                const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
                const double wall = CpuSeconds(CLOCK_MONOTONIC) - wallStart;
                Out() << "idle window: " << cpu * 1e3 << " ms CPU in " << wall << " s = " << 100.0 * cpu / wall
                      << " % of one core" << Qt::endl;
                app.quit();
            });
        });
        app.exec();
    }
    return 0;
}
