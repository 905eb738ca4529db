#include "app/commandline.h"

#include "cli/commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

namespace kelvra {

namespace {

// The options that the application object takes for itself (some with a value).
bool MayBeQtOption(const QString &name)
{
    static const QStringList names{
        QStringLiteral("platform"),  QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),    QStringLiteral("qwindowgeometry"),    QStringLiteral("geometry"),
        QStringLiteral("qwindowtitle"), QStringLiteral("title"),           QStringLiteral("qwindowicon"),
        QStringLiteral("icon"),      QStringLiteral("reverse"),            QStringLiteral("session"),
        QStringLiteral("display"),   QStringLiteral("name"),               QStringLiteral("style"),
        QStringLiteral("stylesheet"), QStringLiteral("widgetcount"),       QStringLiteral("qmljsdebugger"),
        QStringLiteral("nograb"),    QStringLiteral("dograb"),             QStringLiteral("sync"),
        QStringLiteral("testability")};
    return names.contains(name);
}

// Without a display the window's platform plugin would abort the program;
// said instead, with the commands that need none.
bool DisplayReachable()
{
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    if (platforms.isEmpty())
        return x11 || wayland;
    for (const QString &platform : platforms.split(QLatin1Char(';'))) {
        if (platform.startsWith(QLatin1String("xcb")) ? x11
            : platform.startsWith(QLatin1String("wayland")) ? wayland
                                                            : true) // offscreen, eglfs, vnc: no display of that kind
            return true;
    }
    return false;
}

void RefuseWithoutDisplay(CommandLine &result, const QString &why)
{
    if (DisplayReachable())
        return;
    result.exit = true;
    result.exitCode = 2;
    result.output = why + QLatin1Char('\n');
}

QString WindowNeedsDisplay()
{
    return QCoreApplication::translate("CommandLine",
                                       "The window needs a display, and none is set (DISPLAY and WAYLAND_DISPLAY are "
                                       "empty). Without one, use a command: read, write, history or station; see "
                                       "KelvraSet --help.");
}

} // namespace

CommandLine ParseCommandLine(const QStringList &arguments, bool beforeApplication)
{
    QCommandLineParser parser;
    // Qt's own options are single-dash words; read them as such, not as letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "Reads and writes the information block of KR350 radios over a serial cable."));
    // Qt's own help options would promise Qt's options under --help-all, which
    // this help, given before any application object exists, cannot list.
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("CommandLine", "Print the options, the commands and the exit codes, and exit."));
    const QCommandLineOption helpAll(QStringLiteral("help-all"),
                                     QCoreApplication::translate("CommandLine", "The same as --help."));
    parser.addOption(help);
    parser.addOption(helpAll);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QCoreApplication::translate("CommandLine",
                                    "Append a timestamped trace of every frame sent and received, every expiry "
                                    "and every ending to <file>, for support."),
        QCoreApplication::translate("CommandLine", "file"));
    parser.addOption(trace);

    CommandLine result;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (beforeApplication && !unknown.isEmpty() && std::all_of(unknown.begin(), unknown.end(), MayBeQtOption)) {
            // Left to the second reading; -platform names where the window goes.
            if (!unknown.contains(QLatin1String("platform")))
                RefuseWithoutDisplay(result, WindowNeedsDisplay());
            return result;
        }
        result.exit = true;
        result.exitCode = 2;
        result.output = parser.errorText() + QLatin1Char('\n');
        return result;
    }
    if (parser.isSet(help) || parser.isSet(helpAll)) {
        result.exit = true;
        // Asked before the application object exists, the parser does not know the program's name.
        result.output = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                  QFileInfo(arguments.value(0)).fileName())
            + QLatin1Char('\n') + CommandsHelp();
    } else if (parser.isSet(version)) {
        result.exit = true;
        result.output = QCoreApplication::applicationName() + QLatin1Char(' ')
            + QCoreApplication::applicationVersion() + QLatin1Char('\n');
    } else if (!parser.positionalArguments().isEmpty()) {
        result.exit = true;
        result.exitCode = 2;
        result.output = UnknownCommandText(parser.positionalArguments().constFirst()) + QLatin1Char('\n');
    }
    result.traceFile = parser.value(trace);
    // "--trace=" would otherwise trace nowhere without a word.
    if (!result.exit && parser.isSet(trace) && result.traceFile.isEmpty()) {
        result.exit = true;
        result.exitCode = 2;
        result.output = QCoreApplication::translate("CommandLine", "--trace needs a file name.") + QLatin1Char('\n');
    }
    if (!result.exit && beforeApplication)
        RefuseWithoutDisplay(result, WindowNeedsDisplay());
    return result;
}

CommandLine StationWindowWithoutDisplay(const QStringList &arguments)
{
    CommandLine result;
    if (!arguments.contains(QLatin1String("-platform")))
        RefuseWithoutDisplay(result, QCoreApplication::translate(
                                         "CommandLine", "The station window needs a display, and none is set (DISPLAY "
                                                        "and WAYLAND_DISPLAY are empty). Without one, run the station "
                                                        "on the terminal: KelvraSet station without --window."));
    return result;
}

} // namespace kelvra
