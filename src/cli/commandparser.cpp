#include "cli/commandparser.h"

#include "cli/report.h"
#include "cli/terminal.h"
#include "link/tracing.h"
#include "services/clitext.h"
#include "services/commandoutcome.h"
#include "services/tracefile.h"

#include <QCoreApplication>
#include <QJsonObject>

namespace kelvra {

CommandParser::CommandParser(const QString &usage, const QString &about) : m_usage(usage), m_about(about)
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption({{QStringLiteral("h"), QStringLiteral("help")},
                        Cli::tr("Show this help and the exit codes.")});
}

void CommandParser::Add(const QString &name, const QString &description, const QString &valueName)
{
    m_parser.addOption(valueName.isEmpty() ? QCommandLineOption(name, description)
                                           : QCommandLineOption(name, description, valueName));
}

void CommandParser::AddPortOptions()
{
    Add(QStringLiteral("port"),
        Cli::tr("The radio's port: COM<n> as the window lists it (aliases included) or a device path."),
        QStringLiteral("PORT"));
    Add(QStringLiteral("json"),
        Cli::tr("Print one JSON object per operation instead of lines for people."));
    Add(QStringLiteral("trace"),
        QCoreApplication::translate("CommandLine",
                                    "Append a timestamped trace of every frame sent and received, every expiry "
                                    "and every ending to <file>, for support."),
        QCoreApplication::translate("CommandLine", "file"));
}

bool CommandParser::Parse(const QStringList &arguments, int *exitCode)
{
    m_arguments = arguments;
    m_json = AsksForJson(arguments);
    // The program's name and the command stand before the options.
    const QStringList options = QStringList{arguments.value(0)} + arguments.mid(2);
    if (!m_parser.parse(options)) {
        *exitCode = Refuse(m_parser.errorText() + QLatin1Char('\n')
                           + Cli::tr("See: KelvraSet %1 --help")
                                 .arg(arguments.value(1)));
        return false;
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        Terminal::Out(HelpText());
        *exitCode = ExitComplete;
        return false;
    }
    if (!m_parser.positionalArguments().isEmpty()) {
        *exitCode = Refuse(Cli::tr("Unknown argument: %1")
                               .arg(m_parser.positionalArguments().constFirst()));
        return false;
    }
    QStringList seen;
    for (QString name : m_parser.optionNames()) {
        if (name == QLatin1String("h"))
            name = QStringLiteral("help");
        if (seen.contains(name) && !m_repeatable.contains(name)) {
            *exitCode = Refuse(Cli::tr("--%1 is given more than once; give each option once.").arg(name));
            return false;
        }
        seen << name;
    }
    return true;
}

bool CommandParser::AsksForJson(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(2)) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == QLatin1String("--json") || argument == QLatin1String("-json"))
            return true;
    }
    return false;
}

bool CommandParser::RequirePort(int *exitCode) const
{
    if (!m_parser.value(QStringLiteral("port")).isEmpty())
        return true;
    *exitCode = Refuse(Cli::tr("--port is missing: name the port (COM9) or the device "
                                                          "(/dev/ttyUSB0) the radio is on."));
    return false;
}

bool CommandParser::StartTrace(int *exitCode) const
{
    if (!m_parser.isSet(QStringLiteral("trace")))
        return true;
    const QString file = m_parser.value(QStringLiteral("trace"));
    QString error = QCoreApplication::translate("CommandLine", "--trace needs a file name.");
    if (file.isEmpty() || !StartTraceFile(file, &error)) {
        *exitCode = Refuse(error);
        return false;
    }
    // What support asks after the system: which command, with what.
    qCDebug(lcTrace).noquote() << TraceStamp() << "start" << QCoreApplication::applicationVersion() << "command"
                               << m_arguments.mid(1).join(QLatin1Char(' '));
    return true;
}

int CommandParser::RefuseUsage(const QString &why, bool json)
{
    Terminal::Err(why + QLatin1Char('\n'));
    if (json)
        Terminal::Out(JsonLine({{QStringLiteral("result"), QStringLiteral("usage")},
                                {QStringLiteral("message"), why}}));
    return ExitUsage;
}

QString CommandParser::HelpText() const
{
    QString help = m_parser.helpText();
    // Qt's first lines name the program without the command; ours replace them.
    help = help.mid(help.indexOf(QLatin1String("\n\n")) + 2);
    return Cli::tr("Usage: KelvraSet %1").arg(m_usage) + QStringLiteral("\n")
        + m_about + QStringLiteral("\n\n") + help + m_notes + QLatin1Char('\n') + ExitCodeTable();
}

QString ExitCodeTable()
{
    return Cli::tr(
        "Exit codes:\n"
        "  0    complete (for a write: written and verified)\n"
        "  1    history: the history file cannot be read, is another program's database, or was\n"
        "       found damaged and set aside; with --pdf, also when it holds no complete write of\n"
        "       that radio\n"
        "  2    usage: an unknown command or option, an option given twice, a missing port, a text\n"
        "       longer than its field in GBK bytes, a text that GBK cannot hold or that holds a\n"
        "       control character, a bad date or band code, a job or units file that does not check\n"
        "       out, a --serial for history --pdf that several radios' numbers hold; nothing was sent\n"
        "  3    the port could not be opened (the reason on standard error); for history --workshop\n"
        "       and --deliver: the workshop server cannot be reached\n"
        "  4    the radio did not answer or answered wrongly, or another radio was connected between\n"
        "       the read and the write; the radio was not changed\n"
        "  5    the radio is another model than --model names, or its model does not offer --band\n"
        "  6    the backup could not be stored, so nothing was written\n"
        "  7    written, but the read-back differs from what was written\n"
        "  8    the write failed after write blocks went out: the radio may be half-written\n"
        "       (the detail names what it took)\n"
        "  9    the output could not be written (a full disk, a closed pipe), or a station's run\n"
        "       report lacks radios; standard error says so, and the history tells what became of\n"
        "       the radio (a failure's own code wins over 9)\n"
        "  130  interrupted by Ctrl+C (SIGINT), 143 by SIGTERM, 129 by SIGHUP, 131 by SIGQUIT: the\n"
        "       operation ended cleanly (a write whose blocks had gone out was let finish) and the\n"
        "       port is closed\n");
}

} // namespace kelvra
