#include "services/interruptsignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvra {

namespace {

int g_signalPipe[2] = {-1, -1};

// SIGHUP is a dropped SSH session, SIGQUIT a harder Ctrl+C: either would
// otherwise end the process between two write blocks.
constexpr int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void OnSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[0], &byte, 1);
}

} // namespace

InterruptSignals::InterruptSignals(QObject *parent) : QObject(parent)
{
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        const ssize_t n = ::read(g_signalPipe[1], bytes, sizeof bytes);
        for (ssize_t i = 0; i < n; ++i)
            emit Interrupted(bytes[i]);
    });
    struct sigaction action{};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : HandledSignals)
        sigaction(signal, &action, nullptr);
}

InterruptSignals::~InterruptSignals()
{
    for (const int signal : HandledSignals)
        ::signal(signal, SIG_DFL);
    delete m_notifier;
    for (int &end : g_signalPipe) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

int ExitCodeOfSignal(int signal)
{
    return 128 + signal;
}

} // namespace kelvra
