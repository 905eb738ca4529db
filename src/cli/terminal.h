#pragma once

#include "link/linkactivity.h"
#include "services/interruptsignals.h"

#include <QObject>

namespace kelvra {

// What a command shares with the terminal it runs in: Ctrl+C, SIGTERM,
// SIGHUP (a dropped SSH session) and SIGQUIT as an event on the loop, a
// progress line on standard error while that is a terminal (a script
// reading the output never sees it), and output whose failure is noticed.
class Terminal : public QObject
{
    Q_OBJECT
public:
    explicit Terminal(QObject *parent = nullptr);
    ~Terminal() override;

    void ShowProgress(const kelvra::LinkActivity &activity);
    void ShowProgress(const QString &text);
    // Clears the progress line before anything else is written to the terminal.
    void EndProgress();

    // Control characters other than the line feed are shown escaped (\x1b),
    // so no text a radio holds can steer the operator's terminal.
    static void Out(const QString &text);
    static void Out(const QByteArray &bytes);
    static void Err(const QString &text);

    // Why standard output could not take everything written to it; empty while it could.
    static QString OutputFailure();
    // For output written past Out: the first failure is the one told.
    static void NoteOutputFailure(const QString &why);

signals:
    // signal: SIGINT, SIGTERM, SIGHUP or SIGQUIT, once per delivery.
    void Interrupted(int signal);

private:
    InterruptSignals m_signals;
    bool m_progressShown = false;
    bool m_progressWanted = false;
};

// What the link is doing, in a few words: "write block 2 of 5".
QString ActivityText(const LinkActivity &activity);

// text with its control characters escaped (ESC as \x1b); line feeds too
// unless keepLineFeeds. For texts a radio holds, before they reach a person.
QString Printable(const QString &text, bool keepLineFeeds = false);

// The exit code once the command is done: exitCode, or ExitOutputFailed in
// place of a success when standard output failed, which is said once on
// standard error with historyNote, the sentence on what the history holds.
int ExitWithOutput(int exitCode, const QString &historyNote = QString());

} // namespace kelvra
