#include "cli/terminal.h"
#include "cli/clitext.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvra {

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

QString ActivityText(const LinkActivity &activity)
{
    using Kind = LinkActivity::Kind;
    switch (activity.kind) {
    case Kind::Program:
        return QStringLiteral("PROGRAM");
    case Kind::Identify:
        return Cli::tr("identification");
    case Kind::ReadBlock:
        return Cli::tr("read block %1 of %2").arg(activity.ordinal).arg(activity.count);
    case Kind::WriteBlock:
        return Cli::tr("write block %1 of %2").arg(activity.ordinal).arg(activity.count);
    case Kind::CheckBlock:
        return Cli::tr("read back block %1 of %2").arg(activity.ordinal).arg(activity.count);
    case Kind::End:
        return QStringLiteral("END");
    }
    return QString();
}

} // namespace

Terminal::Terminal(QObject *parent) : QObject(parent), m_progressWanted(isatty(STDERR_FILENO) == 1)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    m_signals = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(m_signals, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[1], bytes, sizeof bytes);
        emit Interrupted();
    });
    struct sigaction action{};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

Terminal::~Terminal()
{
    EndProgress();
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
}

void Terminal::ShowProgress(const LinkActivity &activity)
{
    if (!m_progressWanted)
        return;
    QString text = ActivityText(activity);
    if (activity.resends > 0)
        text += Cli::tr(" (sent again, %1)").arg(activity.resends);
    // Back to the line's start and erase what stood there.
    std::fprintf(stderr, "\r%s\033[K", text.toLocal8Bit().constData());
    std::fflush(stderr);
    m_progressShown = true;
}

void Terminal::EndProgress()
{
    if (!m_progressShown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_progressShown = false;
}

void Terminal::Out(const QString &text)
{
    Out(text.toLocal8Bit());
}

void Terminal::Out(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Terminal::Err(const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

} // namespace kelvra
