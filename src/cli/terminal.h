#pragma once

#include "link/linkactivity.h"

#include <QObject>
#include <QSocketNotifier>

namespace kelvra {

// What a command shares with the terminal it runs in: Ctrl+C and SIGTERM
// as an event on the loop, and a progress line on standard error while
// that is a terminal (a script reading the output never sees it).
class Terminal : public QObject
{
    Q_OBJECT
public:
    explicit Terminal(QObject *parent = nullptr);
    ~Terminal() override;

    void ShowProgress(const kelvra::LinkActivity &activity);
    // Clears the progress line before anything else is written to the terminal.
    void EndProgress();

    static void Out(const QString &text);
    static void Out(const QByteArray &bytes);
    static void Err(const QString &text);

signals:
    void Interrupted();

private:
    QSocketNotifier *m_signals = nullptr;
    bool m_progressShown = false;
    bool m_progressWanted = false;
};

} // namespace kelvra
