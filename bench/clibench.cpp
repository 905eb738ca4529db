// clibench: wall time of `KelvraSet read --port ... --json` against a radio
// that answers at once, from process start to exit, beside two runs of the
// same executable that stop earlier, so the figure can be taken apart:
//   --version          process start, the dynamic linker and Qt's libraries, exit
//   history --limit 1  the same plus the application object, the settings
//                      folder and the translations, with no radio and no history file
// and a program of the same tree that links Qt Core alone (the simulated
// radio's --help), for what loading the window's libraries costs; and the
// read again beside a history of many entries, for what a long history adds,
// and beside a history another program holds open, as a window or a station
// does, with the size its log has reached at the end; and beside a workshop
// server that the read delivers its own entry to, with the time from the
// read's answer to the exit that delivery adds.
// Wall time suffers from whatever else runs on the machine; CPU time (user +
// system of the child) much less, so both are given.
//   clibench [runs] [entries]    (default 40 runs, 100000 entries; 0 entries: no long history)

#include "demoimage.h"
#include "historyfill.h"
#include "simulatedradio.h"
#include "support/privateserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

#include <sys/resource.h>

namespace {

double ChildrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Milliseconds from start to exit, and of CPU, and from the first output to
// exit (what a script still waits once it has the answer: the own entry's
// delivery); negative when the run did not end well.
double TimeRun(const QString &exe, const QStringList &arguments, const QProcessEnvironment &environment,
               double *cpuMs, double *tailMs)
{
    const double cpuBefore = ChildrenCpuMs();
    QProcess process;
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    double outputMs = -1;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        if (outputMs < 0)
            outputMs = double(clock.nsecsElapsed()) / 1e6;
    });
    clock.start();
    process.start(exe, arguments);
    loop.exec();
    const double ms = double(clock.nsecsElapsed()) / 1e6;
    *cpuMs = ChildrenCpuMs() - cpuBefore;
    *tailMs = outputMs < 0 ? 0 : ms - outputMs;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? ms : -1;
}

double LoadAverage()
{
    double load = 0;
    return getloadavg(&load, 1) == 1 ? load : -1;
}

double Median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = qMax(3, QCoreApplication::arguments().value(1, QStringLiteral("40")).toInt());
    const int entries = QCoreApplication::arguments().value(2, QStringLiteral("100000")).toInt();
    QTextStream out(stdout);

    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("KelvraSet"));
    // A portable copy of its own, its history beside it.
    const QString longExe = dir.filePath(QStringLiteral("long/KelvraSet"));
    if (!QFile::copy(QStringLiteral(KELVRA_EXECUTABLE), exe) || !QDir(dir.path()).mkdir(QStringLiteral("long"))
        || !QFile::copy(QStringLiteral(KELVRA_EXECUTABLE), longExe)) {
        out << "cannot copy " << KELVRA_EXECUTABLE << Qt::endl;
        return 1;
    }
    if (entries > 0) {
        out << "filling a history of " << entries << " entries..." << Qt::endl;
        if (!kelvra::bench::Fill(dir.filePath(QStringLiteral("long/history.sqlite")), entries))
            return 1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("xdg")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("xdg")));

    radiosim::SimulatedRadio radio;
    QString error;
    if (!radio.Start(&error)) {
        out << error << Qt::endl;
        return 1;
    }
    radio.SetImage(radiosim::DemoImage());

    struct Kind {
        QString name;
        QString exe;
        QStringList arguments;
    };
    QList<Kind> kinds{
        {QStringLiteral("Qt Core alone (sim --help)"), QStringLiteral(KELVRA_CORE_PROGRAM), {QStringLiteral("--help")}},
        {QStringLiteral("--version"), exe, {QStringLiteral("--version")}},
        {QStringLiteral("history --limit 1"), exe,
         {QStringLiteral("history"), QStringLiteral("--limit"), QStringLiteral("1")}},
        {QStringLiteral("read --port ... --json"), exe,
         {QStringLiteral("read"), QStringLiteral("--port"), radio.DevicePath(), QStringLiteral("--json")}},
    };
    if (entries > 0)
        kinds.insert(kinds.size() - 1, {QStringLiteral("read, %1 entries").arg(entries), longExe, kinds.constLast().arguments});
    // The file made by the program itself, then held open as a window holds it.
    const QString heldExe = dir.filePath(QStringLiteral("held/KelvraSet"));
    const QString heldLog = dir.filePath(QStringLiteral("held/history.sqlite-wal"));
    double cpuMs = 0;
    double tailMs = 0;
    if (!QDir(dir.path()).mkdir(QStringLiteral("held")) || !QFile::copy(exe, heldExe)
        || TimeRun(heldExe, kinds.constLast().arguments, environment, &cpuMs, &tailMs) < 0) {
        out << "cannot start the held history" << Qt::endl;
        return 1;
    }
    QSqlDatabase window = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    window.setDatabaseName(dir.filePath(QStringLiteral("held/history.sqlite")));
    if (!window.open() || !QSqlQuery(window).exec(QStringLiteral("SELECT count(*) FROM entry"))) {
        out << "cannot hold the history" << Qt::endl;
        return 1;
    }
    kinds.insert(kinds.size() - 1, {QStringLiteral("read, history held open"), heldExe, kinds.constLast().arguments});
    // The read delivering its own entry to a workshop's server, one of its own as the tests start one.
    kelvra::testing::PrivateServer server;
    if (!kelvra::testing::ServerTools().isEmpty()) {
        const QString workshopExe = dir.filePath(QStringLiteral("workshop/KelvraSet"));
        QFile ini(dir.filePath(QStringLiteral("workshop/mysetup.ini")));
        if (!server.Init(QStringLiteral(KELVRA_WORKSHOP_SQL)) || !QDir(dir.path()).mkdir(QStringLiteral("workshop"))
            || !QFile::copy(exe, workshopExe) || !ini.open(QIODevice::WriteOnly)
            || ini.write("[history]\nhistoryUrl=" + server.Url().toUtf8() + "\n") < 0) {
            out << "cannot set up the workshop server" << Qt::endl;
            return 1;
        }
        ini.close();
        kinds.insert(kinds.size() - 1, {QStringLiteral("read, workshop server"), workshopExe, kinds.constLast().arguments});
    }
    QList<QList<double>> times(kinds.size());
    QList<QList<double>> cpu(kinds.size());
    QList<QList<double>> tails(kinds.size());
    // Interleaved, so that load and caches fall on every kind alike; the first round warms the caches.
    for (int run = -1; run < runs; ++run) {
        for (int kind = 0; kind < kinds.size(); ++kind) {
            double cpuMs = 0;
            double tailMs = 0;
            const double ms = TimeRun(kinds.at(kind).exe, kinds.at(kind).arguments, environment, &cpuMs, &tailMs);
            if (ms < 0) {
                out << kinds.at(kind).name << " failed" << Qt::endl;
                return 1;
            }
            if (run >= 0) {
                times[kind] << ms;
                cpu[kind] << cpuMs;
                tails[kind] << tailMs;
            }
        }
    }
    const double read = Median(times.constLast());
    const double readCpu = Median(cpu.constLast());
    out << "medians of " << runs << " runs, process start to exit (load average now "
        << QString::number(LoadAverage(), 'f', 2) << "):" << Qt::endl
        << QStringLiteral("  %1 %2 %3 %4 %5 %6").arg(QString(), -28).arg(QStringLiteral("wall"), 9)
               .arg(QStringLiteral("of read"), 8).arg(QStringLiteral("cpu"), 9).arg(QStringLiteral("of read"), 8)
               .arg(QStringLiteral("output to exit"), 17)
        << Qt::endl;
    for (int kind = 0; kind < kinds.size(); ++kind) {
        const double ms = Median(times.at(kind));
        const double cpuMs = Median(cpu.at(kind));
        out << QStringLiteral("  %1 %2 ms %3 % %4 ms %5 % %6 ms")
                   .arg(kinds.at(kind).name, -28)
                   .arg(ms, 6, 'f', 1)
                   .arg(100 * ms / read, 6, 'f', 0)
                   .arg(cpuMs, 6, 'f', 1)
                   .arg(100 * cpuMs / readCpu, 6, 'f', 0)
                   .arg(Median(tails.at(kind)), 14, 'f', 1)
               << Qt::endl;
    }
    out << "log of the held history after " << runs + 2 << " reads: " << QFileInfo(heldLog).size() / 1024 << " KiB"
        << Qt::endl;
    out << "read target: at most 60 ms; " << (read <= 60 ? "met" : "MISSED") << Qt::endl;
    return 0;
}
