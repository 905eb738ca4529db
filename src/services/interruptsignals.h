#pragma once

#include <QObject>

class QSocketNotifier;

namespace kelvra {

// Ctrl+C, SIGTERM, SIGHUP (a dropped SSH session, a closed terminal) and
// SIGQUIT as events on the loop, for whatever must end cleanly on them: a
// command between two write blocks, a station window with radios under way.
// One at a time per process; while it lives, the signals no longer end the
// process, and at its end they do again.
class InterruptSignals : public QObject
{
    Q_OBJECT
public:
    explicit InterruptSignals(QObject *parent = nullptr);
    ~InterruptSignals() override;

signals:
    // signal: SIGINT, SIGTERM, SIGHUP or SIGQUIT, once per delivery.
    void Interrupted(int signal);

private:
    QSocketNotifier *m_notifier = nullptr;
};

// The exit code of a program ended by signal: 128 plus its number, as a shell reports it.
int ExitCodeOfSignal(int signal);

} // namespace kelvra
