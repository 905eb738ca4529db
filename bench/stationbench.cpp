// stationbench: `KelvraSet station` over several simulated radios at once,
// each a kelvraset-radio-sim of its own on its own pseudo-terminal, paced at
// 115200 baud, the next radio made by SIGUSR1 as on a line. The station runs
// on one port, on every port, and, for comparison, as one station process
// per port (what no single event loop can beat: the bound for what threads
// would bring), the same number of radios per port each time:
//   - wall time per radio and port, several ports against one (the ports must
//     not wait for each other: at most 1.15 times);
//   - the station's CPU time per radio (user + system of its process);
//   - radios per hour, against the floor the wire sets: the bytes one radio
//     takes, each way, at ten bits a byte.
// Each radio is started by a line naming its port on the station's input, once
// its simulator has made the next radio, so no fixed pause falls into the figures.
// The sessions alternate for a few rounds; the medians are reported, the
// failures of every round counted.
//   stationbench [radios per port] [ports] [rounds] [history folder]
//   (default 25, 4, 3, a temporary folder)

#include "demoimage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <memory>
#include <utility>
#include <vector>

#include <sys/resource.h>

namespace {

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

double ChildrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// One simulated radio: its process, and what its log says.
struct Radio {
    std::unique_ptr<QProcess> process;
    QByteArray pending;   // log after its last line break
    qint64 wireBytes = 0; // every byte of every frame, both ways
};

struct Session {
    double wallMs = -1;
    double cpuMs = 0;
    int failed = 0;
};

class Bench
{
public:
    Bench(const QString &dir, const QString &historyDir, int perPort)
        : m_dir(dir), m_perPort(perPort)
    {
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/xdg"));
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), historyDir);
        m_environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    }

    bool StartRadios(int count)
    {
        for (int i = 1; i <= count; ++i) {
            Radio &radio = m_radios.emplace_back();
            radio.process = std::make_unique<QProcess>();
            radio.process->setProcessEnvironment(m_environment);
            QObject::connect(radio.process.get(), &QProcess::readyReadStandardOutput, [this, i] { OnLog(i); });
            // Serial numbers of a range of each port's own, 20261205<port>000000 on:
            // a serial number on two ports at once would be refused.
            const QString image = m_dir + QStringLiteral("/radio%1.bin").arg(i);
            const QByteArray serial = "20261205" + QByteArray::number(i).rightJustified(2, '0') + "000000";
            QFile file(image);
            if (!file.open(QIODevice::WriteOnly) || file.write(radiosim::DemoImage().replace(16, 16, serial)) != 256)
                return false;
            file.close();
            radio.process->start(QStringLiteral(KELVRA_RADIO_SIM),
                                 {QStringLiteral("--image"), image, QStringLiteral("--pace"),
                                  QStringLiteral("--alias-dir"),
                                  m_dir + QStringLiteral("/xdg/KelvraSet/ports"), QStringLiteral("--com"),
                                  QString::number(i)});
            const QString alias = m_dir + QStringLiteral("/xdg/KelvraSet/ports/COM%1").arg(i);
            QElapsedTimer clock;
            clock.start();
            while (!QFile::exists(alias) && clock.elapsed() < 5000)
                radio.process->waitForReadyRead(100);
            if (!QFile::exists(alias))
                return false;
        }
        return true;
    }

    void StopRadios()
    {
        for (Radio &radio : m_radios) {
            radio.process->terminate();
            radio.process->waitForFinished(3000);
        }
    }

    // m_perPort radios on each of ports 1 to ports: in one station, or
    // (apart) in a station of its own per port, which no single event loop
    // could beat: the bound for what threads would bring.
    Session Run(int ports, const QString &job, bool apart = false)
    {
        m_done.assign(std::size_t(ports), 0);
        m_awaiting.assign(std::size_t(ports), 0);
        for (Radio &radio : m_radios)
            radio.wireBytes = 0;
        Session session;
        std::vector<std::unique_ptr<QProcess>> stations;
        QEventLoop loop;
        QElapsedTimer clock;
        int running = 0;
        const double cpuBefore = ChildrenCpuMs();
        for (int first = 1; first <= ports; first += apart ? 1 : ports) {
            QStringList arguments{QStringLiteral("station"), QStringLiteral("--job"), job, QStringLiteral("--json")};
            for (int port = first; port <= (apart ? first : ports); ++port)
                arguments << QStringLiteral("--port") << QStringLiteral("COM%1").arg(port);
            QProcess *station = stations.emplace_back(std::make_unique<QProcess>()).get();
            station->setProcessEnvironment(m_environment);
            QObject::connect(station, &QProcess::readyReadStandardOutput, &loop,
                             [&, station] { OnStationOutput(station, ports, clock, session, stations); });
            QObject::connect(station, &QProcess::finished, &loop, [&] {
                if (--running == 0)
                    loop.quit();
            });
            station->start(QStringLiteral(KELVRA_EXECUTABLE), arguments);
            running += station->waitForStarted();
        }
        m_stations = &stations;
        m_apart = apart;
        QTimer::singleShot(600000, &loop, &QEventLoop::quit);
        // A station's own start (the history checked, the ports found) is not a radio's.
        QTimer::singleShot(500, &loop, [&] {
            clock.start();
            for (const auto &station : stations)
                station->write("\n");
        });
        loop.exec();
        for (const auto &station : stations) {
            if (station->state() != QProcess::NotRunning) {
                station->kill();
                station->waitForFinished();
                session.wallMs = -1;
            }
            if (station->exitCode() != 0)
                Out() << "  station: " << station->readAllStandardError().right(2000) << Qt::endl;
        }
        session.cpuMs = ChildrenCpuMs() - cpuBefore;
        m_stations = nullptr;
        return session;
    }

    qint64 WireBytes(int port) const { return m_radios.at(std::size_t(port - 1)).wireBytes; }

private:
    QProcess *StationOf(int port) const { return m_stations->at(std::size_t(m_apart ? port - 1 : 0)).get(); }

    void OnStationOutput(QProcess *station, int ports, const QElapsedTimer &clock, Session &session,
                         const std::vector<std::unique_ptr<QProcess>> &stations)
    {
        QByteArray &pending = m_pending[station];
        pending += station->readAllStandardOutput();
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QJsonObject line = QJsonDocument::fromJson(pending.left(end)).object();
            pending.remove(0, end + 1);
            const int port = line.value(QStringLiteral("port")).toString().mid(3).toInt();
            if (line.value(QStringLiteral("operation")) != QLatin1String("write") || port < 1 || port > ports)
                continue;
            if (line.value(QStringLiteral("result")) != QLatin1String("complete")) {
                ++session.failed;
                Out() << "  failed on COM" << port << ": " << line.value(QStringLiteral("message")).toString() << ' '
                      << line.value(QStringLiteral("detail")).toString() << Qt::endl;
            }
            if (++m_done[std::size_t(port - 1)] < m_perPort) {
                // The next radio off the line; the port is told once the simulator has made it.
                m_awaiting[std::size_t(port - 1)] = 1;
                ::kill(pid_t(m_radios[std::size_t(port - 1)].process->processId()), SIGUSR1);
            } else if (std::all_of(m_done.begin(), m_done.end(), [this](int done) { return done >= m_perPort; })) {
                session.wallMs = double(clock.nsecsElapsed()) / 1e6;
                for (const auto &each : stations)
                    each->closeWriteChannel();
            }
        }
    }

    void OnLog(int port)
    {
        Radio &radio = m_radios[std::size_t(port - 1)];
        radio.pending += radio.process->readAllStandardOutput();
        static const QRegularExpression hexByte(QStringLiteral("^[0-9A-F]{2}$"));
        for (qsizetype end = radio.pending.indexOf('\n'); end >= 0; end = radio.pending.indexOf('\n')) {
            const QString line = QString::fromLatin1(radio.pending.left(end));
            radio.pending.remove(0, end + 1);
            // "  <- readblock  52 00 ..." and "  -> 06": frames each way, in hex.
            const qsizetype arrow = qMax(line.indexOf(QLatin1String("<- ")), line.indexOf(QLatin1String("-> ")));
            if (arrow >= 0) {
                for (const QString &token : line.mid(arrow + 3).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    radio.wireBytes += hexByte.match(token).hasMatch();
            } else if (line.startsWith(QLatin1String("next unit")) && m_stations
                       && std::exchange(m_awaiting[std::size_t(port - 1)], char(0))) {
                StationOf(port)->write(QStringLiteral("COM%1\n").arg(port).toLatin1());
            }
        }
    }

    QString m_dir;
    int m_perPort;
    QProcessEnvironment m_environment;
    std::vector<Radio> m_radios;
    std::vector<int> m_done;
    std::vector<char> m_awaiting; // a port waits for its simulator to make the next radio
    const std::vector<std::unique_ptr<QProcess>> *m_stations = nullptr; // of the session under way
    bool m_apart = false;
    QHash<QProcess *, QByteArray> m_pending; // each station's output after its last line break
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int perPort = qMax(2, args.value(1, QStringLiteral("25")).toInt());
    const int ports = qMax(2, args.value(2, QStringLiteral("4")).toInt());
    const int rounds = qMax(1, args.value(3, QStringLiteral("3")).toInt());
    QTemporaryDir dir;
    const QString historyDir = args.size() > 4 ? args.at(4) : dir.filePath(QStringLiteral("data"));
    QDir().mkpath(dir.filePath(QStringLiteral("xdg/KelvraSet/ports")));
    const QString job = dir.filePath(QStringLiteral("job.json"));
    QFile jobFile(job);
    if (!jobFile.open(QIODevice::WriteOnly)
        || jobFile.write(R"({"model": "KR350UV", "dealerCode": "D-0042", "stockDate": "today",
                             "dateFormat": "yyyy-MM-dd", "seller": "Line 3", "freqSet": false})")
            < 0) {
        Out() << "cannot write " << job << Qt::endl;
        return 1;
    }
    jobFile.close();

    Bench bench(dir.path(), historyDir, perPort);
    if (!bench.StartRadios(ports)) {
        Out() << "the simulated radios did not start" << Qt::endl;
        return 1;
    }
    Out() << "station over simulated radios paced at 115200 baud, " << perPort << " radios per port, "
          << rounds << " rounds, history in " << historyDir << Qt::endl;
    // One port and several in turn, so that the machine's other load falls on both alike.
    QList<Session> ones;
    QList<Session> manys;
    QList<Session> aparts;
    qint64 bytesPerRadio = 0;
    for (int round = 0; round < rounds; ++round) {
        ones << bench.Run(1, job);
        bytesPerRadio = bench.WireBytes(1) / perPort;
        manys << bench.Run(ports, job);
        aparts << bench.Run(ports, job, true);
    }
    bench.StopRadios();
    const auto median = [](QList<Session> sessions) {
        std::sort(sessions.begin(), sessions.end(),
                  [](const Session &a, const Session &b) { return a.wallMs < b.wallMs; });
        Session middle = sessions.at(sessions.size() / 2);
        middle.failed = 0;
        for (const Session &session : sessions)
            middle.failed += session.wallMs < 0 ? 1000000 : session.failed;
        return middle;
    };
    const Session one = median(ones);
    const Session many = median(manys);
    const Session apart = median(aparts);
    if (one.failed >= 1000000 || many.failed >= 1000000 || apart.failed >= 1000000) {
        Out() << "a station run did not finish" << Qt::endl;
        return 1;
    }
    double load = 0;
    getloadavg(&load, 1);
    const double wireMs = double(bytesPerRadio) * 10 * 1000 / 115200;
    Out() << QStringLiteral("%1 %2 %3 %4 %5 %6")
                 .arg(QStringLiteral("ports"), -6)
                 .arg(QStringLiteral("radios"), 7)
                 .arg(QStringLiteral("failed"), 7)
                 .arg(QStringLiteral("ms per radio and port"), 22)
                 .arg(QStringLiteral("CPU ms per radio"), 17)
                 .arg(QStringLiteral("radios per hour"), 16)
          << Qt::endl;
    for (const auto &[signedCount, session] : {std::pair{1, one}, std::pair{ports, many}, std::pair{-ports, apart}}) {
        const int count = qAbs(signedCount);
        Out() << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(signedCount < 0 ? QStringLiteral("%1 apart").arg(count) : QString::number(count), -6)
                     .arg(count * perPort, 7)
                     .arg(session.failed, 7)
                     .arg(session.wallMs / perPort, 22, 'f', 1)
                     .arg(session.cpuMs / (count * perPort), 17, 'f', 2)
                     .arg(3600e3 * count * perPort / session.wallMs, 16, 'f', 0)
              << Qt::endl;
    }
    const double ratio = many.wallMs / one.wallMs;
    Out() << "wire time per radio: " << QString::number(wireMs, 'f', 1) << " ms (" << bytesPerRadio
          << " bytes), the floor: " << QString::number(3600e3 / wireMs, 'f', 0) << " radios per hour and port"
          << Qt::endl
          << ports << " ports against 1: " << QString::number(ratio, 'f', 3) << " times the wall time per radio"
          << " (target at most 1.15: " << (ratio <= 1.15 ? "met" : "MISSED") << "); " << ports
          << " stations of one port each, apart: " << QString::number(apart.wallMs / one.wallMs, 'f', 3)
          << " times; load average " << QString::number(load, 'f', 2) << Qt::endl;
    return one.failed + many.failed + apart.failed == 0 ? 0 : 1;
}
