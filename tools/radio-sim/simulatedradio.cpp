#include "simulatedradio.h"

#include "aliasowner.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

namespace radiosim {

namespace {

qint64 MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

bool MakeRaw(int fd)
{
    termios tio{};
    if (tcgetattr(fd, &tio) != 0)
        return false;
    cfmakeraw(&tio);
    cfsetispeed(&tio, B115200);
    cfsetospeed(&tio, B115200);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

QString ErrnoText(const char *what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(strerror(errno)));
}

} // namespace

SimulatedRadio::SimulatedRadio(QObject *parent)
    : QObject(parent), m_image(kImageSize, '\xFF'), m_model(QByteArrayLiteral("KR350UV"))
{
    qRegisterMetaType<radiosim::ReceivedFrame>();
}

SimulatedRadio::~SimulatedRadio()
{
    RemoveAlias();
    Stop();
    if (m_timerFd >= 0)
        ::close(m_timerFd);
}

bool SimulatedRadio::Start(QString *error)
{
    if (Running())
        return true;
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        if (error)
            *error = ErrnoText("openpty");
        return false;
    }
    const char *name = ttyname(slave);
    if (!name || !MakeRaw(slave) || !MakeRaw(master)) {
        if (error)
            *error = ErrnoText("setting up the pseudo-terminal");
        ::close(master);
        ::close(slave);
        return false;
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    fcntl(master, F_SETFD, FD_CLOEXEC);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    if (m_timerFd < 0) {
        m_timerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (m_timerFd < 0) {
            if (error)
                *error = ErrnoText("timerfd_create");
            ::close(master);
            ::close(slave);
            return false;
        }
        auto *timer = new QSocketNotifier(m_timerFd, QSocketNotifier::Read, this);
        connect(timer, &QSocketNotifier::activated, this, [this] {
            quint64 expirations = 0;
            [[maybe_unused]] const ssize_t got = ::read(m_timerFd, &expirations, sizeof expirations);
            PumpLine();
        });
    }
    m_master = master;
    m_slave = slave;
    m_devicePath = QFile::decodeName(name);
    m_startNs = MonotonicNs();
    m_programMode = false;
    m_parser.Reset();
    m_frameCount = 0;
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimulatedRadio::OnReadable);
    return true;
}

qint64 SimulatedRadio::ElapsedNs() const
{
    return m_startNs ? MonotonicNs() - m_startNs : 0;
}

bool SimulatedRadio::MakeAlias(const QString &portsDir, int comNumber, QString *error, bool replace)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!Running())
        return fail(QStringLiteral("the radio is not started"));
    if (!QDir().mkpath(portsDir))
        return fail(QStringLiteral("cannot create the folder %1").arg(portsDir));
    RemoveAlias();
    const QString path = QDir(portsDir).absoluteFilePath(QStringLiteral("COM%1").arg(comNumber));
    const QByteArray native = QFile::encodeName(path);
    // symlink() claims the name only when it is free, so two radios starting
    // together cannot both take it; a name in use is looked at and retried.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (symlink(QFile::encodeName(m_devicePath).constData(), native.constData()) == 0) {
            m_aliasPath = path;
            return true;
        }
        if (errno != EEXIST)
            return fail(ErrnoText("symlink"));
        struct stat st{};
        if (lstat(native.constData(), &st) != 0)
            continue;
        if (!S_ISLNK(st.st_mode))
            return fail(QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(path));
        const AliasOwner owner = OwnerOfAlias(native);
        if (owner.kind != AliasOwner::Kind::Ended && !replace)
            return fail(RefusalText(owner, path, comNumber));
        if (unlink(native.constData()) != 0 && errno != ENOENT)
            return fail(ErrnoText("removing the old alias"));
        m_displacedTarget = owner.kind == AliasOwner::Kind::Ended ? QByteArray() : owner.target;
    }
    return fail(QStringLiteral("%1 keeps being made by another program").arg(path));
}

void SimulatedRadio::RemoveAlias()
{
    if (m_aliasPath.isEmpty())
        return;
    const QByteArray native = QFile::encodeName(m_aliasPath);
    if (QFile::symLinkTarget(m_aliasPath) == m_devicePath && unlink(native.constData()) == 0
        && !m_displacedTarget.isEmpty()) {
        [[maybe_unused]] const int putBack = symlink(m_displacedTarget.constData(), native.constData());
    }
    m_aliasPath.clear();
    m_displacedTarget.clear();
}

void SimulatedRadio::HangUp()
{
    if (Stop())
        emit HungUp();
}

bool SimulatedRadio::Stop()
{
    if (!Running())
        return false;
    delete m_notifier;
    m_notifier = nullptr;
    ::close(m_master);
    ::close(m_slave);
    m_master = -1;
    m_slave = -1;
    m_outgoing.clear();
    m_lineFreeNs = 0;
    m_programMode = false;
    if (m_timerFd >= 0) {
        const itimerspec disarm{};
        timerfd_settime(m_timerFd, 0, &disarm, nullptr);
    }
    return true;
}

void SimulatedRadio::SetImage(const QByteArray &image)
{
    m_image = image.left(kImageSize).leftJustified(kImageSize, '\xFF');
}

void SimulatedRadio::SetModelBytes(const QByteArray &model)
{
    m_model = model.left(kModelSize).leftJustified(kModelSize, '\0');
}

void SimulatedRadio::OnReadable()
{
    QByteArray received;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || errno != EAGAIN) {
            // Only happens if the slave side vanished under us: stop listening
            // rather than wake up for ever on a dead descriptor.
            m_notifier->setEnabled(false);
        }
        break;
    }
    const qint64 arrivedNs = ElapsedNs();
    for (const QByteArray &frame : m_parser.Feed(received)) {
        if (!Running())
            return;
        Handle(frame, arrivedNs);
    }
}

void SimulatedRadio::Handle(const QByteArray &frame, qint64 arrivedNs)
{
    const ReceivedFrame received{arrivedNs, frame};
    m_frames.append(received);
    emit FrameReceived(received);
    ++m_frameCount;
    if (m_hangUpAfter > 0 && m_frameCount >= m_hangUpAfter) {
        HangUp();
        return;
    }

    const Request request = KindOf(frame);
    if (request == Request::Unknown || (request != Request::Program && !m_programMode))
        return;
    const bool blockRequest = request == Request::ReadBlock || request == Request::WriteBlock;
    const int block = blockRequest ? quint8(frame.at(4)) : -1;
    if (request == Request::ReadBlock && block >= kImageSize / kBlockSize)
        return;
    if (request == Request::WriteBlock
        && (block >= kImageSize / kBlockSize || Checksum(frame, 0, 36) != quint8(frame.at(37)))) {
        return;
    }

    const FaultPlan::Verdict verdict = m_faults.Admit(request, block);
    if (verdict == FaultPlan::Verdict::Ignore)
        return;
    // On a paced line the request is only complete once its last byte would
    // have arrived; a pseudo-terminal delivers it at once.
    qint64 readyNs = arrivedNs + qint64(m_replyDelayMs + m_faults.DelayMs(request, block)) * 1000000;
    if (m_paced)
        readyNs += frame.size() * kByteWireNs;
    if (verdict == FaultPlan::Verdict::Repeat) {
        const QByteArray repeat(1, kRepeat);
        Transmit(repeat, readyNs, repeat);
        return;
    }
    const QByteArray reply = m_faults.Spoil(request, block, Answer(request, frame));
    const int gapMs = m_faults.SplitMs(request, block, int(reply.size()));
    if (gapMs < 0) {
        Transmit(reply, readyNs, reply);
        return;
    }
    const qsizetype half = reply.size() / 2;
    Transmit(reply.left(half), readyNs, QByteArray());
    Transmit(reply.mid(half), readyNs + qint64(gapMs) * 1000000, reply);
}

QByteArray SimulatedRadio::Answer(Request request, const QByteArray &frame)
{
    switch (request) {
    case Request::Program:
        m_programMode = true;
        break;
    case Request::Identify:
        return IdentifyReply(m_model, BandCode());
    case Request::ReadBlock:
        return BlockReply(m_image, quint8(frame.at(4)));
    case Request::WriteBlock: {
        const int block = quint8(frame.at(4));
        m_image.replace(block * kBlockSize, kBlockSize, frame.mid(5, kBlockSize));
        m_image[block * kBlockSize] = char(m_image.at(block * kBlockSize) ^ m_faults.StoreMask(request, block));
        break;
    }
    case Request::End:
        m_programMode = false;
        break;
    case Request::Any:
    case Request::Unknown:
        return QByteArray();
    }
    return QByteArray(1, kAck);
}

void SimulatedRadio::Transmit(const QByteArray &bytes, qint64 readyNs, const QByteArray &reply)
{
    if (bytes.isEmpty())
        return;
    if (!m_paced && readyNs <= ElapsedNs() && m_outgoing.isEmpty()) {
        WriteToLine(bytes);
        if (!reply.isEmpty())
            emit ReplySent(reply);
        return;
    }
    Outgoing out;
    out.bytes = bytes;
    out.reply = reply;
    out.byteNs = m_paced ? kByteWireNs : 0;
    out.startNs = m_paced ? std::max(readyNs, m_lineFreeNs) : readyNs;
    m_lineFreeNs = out.startNs + bytes.size() * out.byteNs;
    // Without pacing a reply held back less than the one before it overtakes it.
    auto at = m_outgoing.end();
    while (!m_paced && at != m_outgoing.begin() && (at - 1)->startNs > out.startNs && (at - 1)->sent == 0)
        --at;
    m_outgoing.insert(at, out);
    PumpLine();
}

void SimulatedRadio::PumpLine()
{
    const qint64 now = ElapsedNs();
    while (!m_outgoing.isEmpty()) {
        Outgoing &out = m_outgoing.first();
        int due = 0;
        if (now >= out.startNs) {
            due = out.byteNs == 0 ? int(out.bytes.size())
                                  : int(std::min<qint64>(out.bytes.size(), (now - out.startNs) / out.byteNs));
        }
        if (due > out.sent) {
            WriteToLine(out.bytes.mid(out.sent, due - out.sent));
            out.sent = due;
        }
        if (out.sent < out.bytes.size()) {
            // Wake for a chunk of bytes rather than each byte, but always
            // exactly at the reply's last byte, which is what the program waits for.
            const qint64 chunk = out.byteNs == 0 ? 0 : std::max<qint64>(1, kChunkNs / out.byteNs);
            const qint64 last = std::min<qint64>(out.bytes.size(), out.sent + chunk);
            const qint64 nextNs = out.startNs + last * out.byteNs;
            const qint64 at = m_startNs + nextNs;
            itimerspec when{};
            when.it_value.tv_sec = time_t(at / 1000000000LL);
            when.it_value.tv_nsec = long(at % 1000000000LL);
            timerfd_settime(m_timerFd, TFD_TIMER_ABSTIME, &when, nullptr);
            return;
        }
        const QByteArray done = out.reply;
        m_outgoing.removeFirst();
        if (!done.isEmpty())
            emit ReplySent(done);
        if (!Running())
            return;
    }
}

void SimulatedRadio::WriteToLine(const QByteArray &bytes)
{
    qsizetype offset = 0;
    while (Running() && offset < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + offset, size_t(bytes.size() - offset));
        if (n > 0)
            offset += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            break; // the program's side stopped reading: the rest is lost, as on a wire
    }
}

} // namespace radiosim
