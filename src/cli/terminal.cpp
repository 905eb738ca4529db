#include "cli/terminal.h"

#include "services/clitext.h"
#include "services/commandoutcome.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace kelvra {

namespace {

QString g_outputFailure;

QString ActivityWords(const LinkActivity &activity)
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
    connect(&m_signals, &InterruptSignals::Interrupted, this, &Terminal::Interrupted);
}

Terminal::~Terminal()
{
    EndProgress();
}

QString ActivityText(const LinkActivity &activity)
{
    const QString text = ActivityWords(activity);
    return activity.resends > 0 ? text + Cli::tr(" (sent again, %1)").arg(activity.resends) : text;
}

void Terminal::ShowProgress(const LinkActivity &activity)
{
    ShowProgress(ActivityText(activity));
}

void Terminal::ShowProgress(const QString &text)
{
    if (!m_progressWanted)
        return;
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
    Out(Printable(text, true).toLocal8Bit());
}

void Terminal::Out(const QByteArray &bytes)
{
    const std::size_t size = std::size_t(bytes.size());
    const bool written = std::fwrite(bytes.constData(), 1, size, stdout) == size;
    if (std::fflush(stdout) != 0 || !written)
        NoteOutputFailure(QString::fromLocal8Bit(std::strerror(errno)));
    // The next line is tried afresh: a pipe's reader may be slow, not gone.
    std::clearerr(stdout);
}

void Terminal::Err(const QString &text)
{
    std::fputs(Printable(text, true).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

QString Terminal::OutputFailure()
{
    return g_outputFailure;
}

void Terminal::NoteOutputFailure(const QString &why)
{
    if (g_outputFailure.isEmpty())
        g_outputFailure = why;
}

QString Printable(const QString &text, bool keepLineFeeds)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
        if (!control || (keepLineFeeds && code == u'\n'))
            shown += ch;
        else
            shown += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
    }
    return shown;
}

int ExitWithOutput(int exitCode, const QString &historyNote)
{
    static bool said = false;
    if (g_outputFailure.isEmpty())
        return exitCode;
    if (!std::exchange(said, true))
        Terminal::Err(Cli::tr("The output could not be written: %1.").arg(g_outputFailure)
                      + (historyNote.isEmpty() ? QString() : QLatin1Char(' ') + historyNote) + QLatin1Char('\n'));
    return exitCode == ExitComplete ? ExitOutputFailed : exitCode;
}

} // namespace kelvra
