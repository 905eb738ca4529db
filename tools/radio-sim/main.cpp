// kelvraset-radio-sim: a simulated radio on a pseudo-terminal, reachable from
// KelvraSet as a COM port through an alias, for trying the tool with no
// radio attached.

#include "services/settingsplace.h"
#include "demoimage.h"
#include "simulatedradio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace radiosim;

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString Stamp(qint64 ns)
{
    return QStringLiteral("%1 ms").arg(double(ns) / 1e6, 10, 'f', 3);
}

// The folder of the KelvraSet executable: beside this one (installed
// together), in the build tree, then on PATH.
QString FindKelvraSetDir()
{
    const QString here = QCoreApplication::applicationDirPath();
    const QStringList candidates = {here, here + QStringLiteral("/../../src/app"), here + QStringLiteral("/../.."),
                                    here + QStringLiteral("/../src/app")};
    for (const QString &dir : candidates) {
        const QFileInfo exe(dir + QStringLiteral("/KelvraSet"));
        if (exe.isFile() && exe.isExecutable())
            return exe.canonicalPath();
    }
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("KelvraSet"));
    return onPath.isEmpty() ? QString() : QFileInfo(onPath).canonicalPath();
}

const char kHelp[] = R"(
Emulates the radio side of the programming cable on a pseudo-terminal and
makes it appear to KelvraSet as a COM port.

Radio contents:
  Without --demo or --image the radio's 256-byte block is erased (all FF).
  --demo loads a sold demo radio: model KR350UV, band code 0, area 0595,
  serial 2026120500000042, a dealer code in GBK, stock and sale dates,
  seller and password 1234. --band overrides image byte 7, which the
  identification reports as the band code.

Port alias:
  A symbolic link COM<n> -> /dev/pts/<k> is put where KelvraSet looks for
  it: into the folder ports beside the KelvraSet executable (found beside
  this program, in the build tree or on PATH) when you may write there, else
  into ~/.config/KelvraSet/ports. --alias-dir names the folder yourself.
  Choose COM<n> in KelvraSet's port list. The alias is removed on exit
  (Ctrl+C, SIGTERM or SIGHUP). An alias is taken over only when it leads to
  a pseudo-terminal that has gone (a killed simulator left it). One that leads
  to a live pseudo-terminal is not taken over without --replace, and the
  other simulator is named; nor is one that leads anywhere else, such as a
  cable pinned to that number, plugged in or not.

A line of radios:
  kill -USR1 <pid> makes the radio the next unit off the line: its serial
  number counts on by one (2026120500000042 becomes ...43), the rest stays.
  The pid is printed at start.

Faults (--fault, repeatable): fault[:request[@block][:times[:value]]]
  fault:   ignore       the request is lost on the line: not stored, not answered
           repeat       answered with 0A (send again) instead of acted on
           wronglead    the reply's first byte is value (default 00)
           wrongblock   a block reply names block value (default 8), checksum right
           badchecksum  a block reply's checksum is off by one
           tooshort     the reply lacks its last value bytes (default 1)
           toolong      value bytes (default 1) of 00 follow the reply
           stray        value bytes (default 1) of 55 come before the reply
           delay        the reply comes value ms late (default 400, at most 60000);
                        delays add to --delay and to each other
           misstore     a write block is acknowledged, but its first byte is
                        stored XOR value (default ff)
           split        the reply's first half goes out, the rest value ms
                        later (default 6); with --delay 296, a reply that
                        straddles a 300 ms wait
  request: any program identify readblock writeblock end    (default any)
  @block:  after readblock or writeblock: only requests for that block
  times:   how many matching requests (copies included) it hits, or always
           (default 1); a rule for one copy leaves the others as they are
  Examples: --fault ignore:identify:2   --fault repeat:readblock
            --fault badchecksum:readblock:always   --fault stray:any:1:3
            --fault delay:writeblock@1:1:450 --fault ignore:writeblock@2
            --fault wrongblock:readblock@0:1:1   --fault delay:readblock:always:480
            --fault misstore:writeblock@3:2   --fault split:readblock:always:6
)";

bool Fail(const QString &message)
{
    QTextStream(stderr) << "kelvraset-radio-sim: " << message << Qt::endl;
    return false;
}

int Quit(const QString &message, int status)
{
    Fail(message);
    return status;
}

bool Configure(const QCommandLineParser &args, SimulatedRadio *radio)
{
    if (args.isSet(QStringLiteral("demo")) && args.isSet(QStringLiteral("image")))
        return Fail(QStringLiteral("--demo and --image exclude each other"));
    if (args.isSet(QStringLiteral("demo")))
        radio->SetImage(DemoImage());
    if (args.isSet(QStringLiteral("image"))) {
        QFile file(args.value(QStringLiteral("image")));
        if (!file.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        const QByteArray image = file.readAll();
        if (image.size() != kImageSize)
            return Fail(QStringLiteral("%1 holds %2 bytes, not 256").arg(file.fileName()).arg(image.size()));
        radio->SetImage(image);
    }
    const QString fill = args.value(QStringLiteral("model-fill"));
    if (fill != QLatin1String("00") && fill != QLatin1String("ff"))
        return Fail(QStringLiteral("--model-fill takes 00 or ff"));
    const QByteArray model = args.value(QStringLiteral("model")).toLatin1();
    if (model.size() > kModelSize)
        return Fail(QStringLiteral("--model takes at most 7 characters"));
    radio->SetModelBytes(model.leftJustified(kModelSize, fill == QLatin1String("ff") ? '\xFF' : '\0'));
    if (args.isSet(QStringLiteral("band"))) {
        bool ok = false;
        const int band = args.value(QStringLiteral("band")).toInt(&ok, 0);
        if (!ok || band < 0 || band > 255)
            return Fail(QStringLiteral("--band takes 0 to 255"));
        radio->SetBandCode(quint8(band));
    }

    QList<FaultRule> rules;
    for (const QString &text : args.values(QStringLiteral("fault"))) {
        FaultRule rule;
        QString error;
        if (!FaultRule::Parse(text, &rule, &error))
            return Fail(error);
        rules.append(rule);
    }
    if (args.isSet(QStringLiteral("silent")))
        rules.append({Fault::Ignore, Request::Any, -1, -1});
    if (args.isSet(QStringLiteral("no-end-ack")))
        rules.append({Fault::Ignore, Request::End, -1, -1});
    radio->SetFaults(rules);
    for (const FaultRule &rule : rules)
        Out() << "fault: " << rule.ToString() << Qt::endl;

    bool ok = true;
    radio->SetReplyDelay(args.value(QStringLiteral("delay")).toInt(&ok));
    if (!ok)
        return Fail(QStringLiteral("--delay takes milliseconds"));
    radio->SetHangUpAfterFrames(args.value(QStringLiteral("hang-up-after")).toInt(&ok));
    if (!ok)
        return Fail(QStringLiteral("--hang-up-after takes a frame count"));
    radio->SetLinePacing(args.isSet(QStringLiteral("pace")));
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kelvraset-radio-sim"));

    QCommandLineParser args;
    args.setApplicationDescription(QString::fromLatin1(kHelp));
    args.addHelpOption();
    args.addOptions({
        {QStringLiteral("demo"), QStringLiteral("Load the demo radio.")},
        {QStringLiteral("image"), QStringLiteral("Load the 256-byte block from FILE."), QStringLiteral("FILE")},
        {QStringLiteral("model"), QStringLiteral("Model identifier sent in the identification (default KR350UV)."),
         QStringLiteral("TEXT"), QStringLiteral("KR350UV")},
        {QStringLiteral("model-fill"), QStringLiteral("Byte padding a model shorter than 7: 00 or ff (default 00)."),
         QStringLiteral("00|ff"), QStringLiteral("00")},
        {QStringLiteral("band"), QStringLiteral("Band code, image byte 7 (0 to 255)."), QStringLiteral("N")},
        {QStringLiteral("alias-dir"),
         QStringLiteral("Folder for the COM alias (default: where KelvraSet looks, see above)."),
         QStringLiteral("DIR")},
        {QStringLiteral("com"), QStringLiteral("Port number of the alias (default 9)."), QStringLiteral("N"),
         QStringLiteral("9")},
        {QStringLiteral("no-alias"), QStringLiteral("Make no alias; only print the device path.")},
        {QStringLiteral("replace"),
         QStringLiteral("Take over an alias that leads elsewhere, even another simulator's; put it back on exit.")},
        {QStringLiteral("fault"), QStringLiteral("Inject a fault, see above."), QStringLiteral("RULE")},
        {QStringLiteral("silent"), QStringLiteral("Never reply (ignore:any:always).")},
        {QStringLiteral("no-end-ack"), QStringLiteral("Never acknowledge END (ignore:end:always).")},
        {QStringLiteral("delay"), QStringLiteral("Delay every reply by MS milliseconds (per request: --fault delay)."),
         QStringLiteral("MS"),
         QStringLiteral("0")},
        {QStringLiteral("pace"), QStringLiteral("Pace the line at 115200 baud, 10 bits per byte.")},
        {QStringLiteral("hang-up-after"), QStringLiteral("Hang up on the N-th frame received, as a pulled cable."),
         QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("save-image"), QStringLiteral("Write the radio's block to FILE on exit."),
         QStringLiteral("FILE")},
    });
    args.process(app);

    SimulatedRadio radio;
    if (!Configure(args, &radio))
        return 2;

    // Signals are caught before the alias exists, so that no signal can end
    // the radio and leave its alias behind.
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return Quit(QStringLiteral("socketpair failed"), 1);
    QSocketNotifier stopper(g_signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&stopper, &QSocketNotifier::activated, &app, [&radio] {
        char signal = 0;
        if (::read(g_signalPipe[1], &signal, 1) == 1 && signal == SIGUSR1) {
            radio.SetImage(NextUnitImage(radio.Image()));
            Out() << "next unit: serial " << radio.Image().mid(16, 16) << Qt::endl;
            return;
        }
        QCoreApplication::quit();
    });
    struct sigaction action{};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        sigaction(signal, &action, nullptr);

    QString error;
    if (!radio.Start(&error))
        return Quit(error, 1);
    Out() << "radio on " << radio.DevicePath() << Qt::endl;

    if (!args.isSet(QStringLiteral("no-alias"))) {
        QString dir = args.value(QStringLiteral("alias-dir"));
        if (dir.isEmpty()) {
            // KelvraSet always looks in the user's configuration folder too.
            const QString kelvraDir = FindKelvraSetDir();
            const QString configDir = kelvra::UserConfigDir();
            dir = kelvraDir.isEmpty() ? configDir + QStringLiteral("/ports")
                                      : kelvra::LocateSettings(kelvraDir, configDir).ownAliasDir;
        }
        bool ok = false;
        const int com = args.value(QStringLiteral("com")).toInt(&ok);
        if (!ok || com < 1 || com > 999)
            return Quit(QStringLiteral("--com takes 1 to 999"), 2);
        if (!radio.MakeAlias(dir, com, &error, args.isSet(QStringLiteral("replace"))))
            return Quit(error, 1);
        if (!radio.DisplacedTarget().isEmpty())
            Out() << "took COM" << com << " over from " << QFile::decodeName(radio.DisplacedTarget())
                  << "; it is put back on exit" << Qt::endl;
        Out() << "alias " << radio.AliasPath() << " -> " << radio.DevicePath() << Qt::endl
              << "choose COM" << com << " in KelvraSet; Ctrl+C ends" << Qt::endl;
    }
    Out() << "radio pid " << getpid() << ": kill -USR1 " << getpid() << " makes the next radio" << Qt::endl;

    QObject::connect(&radio, &SimulatedRadio::FrameReceived, &radio, [](const ReceivedFrame &frame) {
        Out() << Stamp(frame.elapsedNs) << "  <- " << RequestName(KindOf(frame.bytes)).leftJustified(10) << ' '
              << Hex(frame.bytes) << Qt::endl;
    });
    QObject::connect(&radio, &SimulatedRadio::ReplySent, &radio, [&radio](const QByteArray &reply) {
        Out() << Stamp(radio.ElapsedNs()) << "  -> " << QString().leftJustified(10) << ' ' << Hex(reply)
              << Qt::endl;
    });
    QObject::connect(&radio, &SimulatedRadio::HungUp, &app, [] {
        Out() << "hung up; Ctrl+C ends" << Qt::endl;
    });

    const int status = app.exec();
    if (args.isSet(QStringLiteral("save-image"))) {
        QFile file(args.value(QStringLiteral("save-image")));
        if (!file.open(QIODevice::WriteOnly) || file.write(radio.Image()) != kImageSize)
            Fail(QStringLiteral("cannot write %1").arg(file.fileName()));
    }
    radio.RemoveAlias();
    Out() << "alias removed, bye" << Qt::endl;
    return status;
}
