#include "app/commandline.h"
#include "ui/program.h"
#include "services/tracefile.h"
#include "cli/commands.h"
#include "cli/recordcommand.h"
#include "cli/terminal.h"
#include "history/serverthread.h"
#include "lang/translations.h"
#include "station/stationprogram.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

QStringList Arguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

void QuietQt(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type == QtFatalMsg)
        std::abort();
}

int Finish(const kelvra::CommandLine &commandLine)
{
    commandLine.exitCode == 0 ? kelvra::Terminal::Out(commandLine.output) : kelvra::Terminal::Err(commandLine.output);
    return kelvra::ExitWithOutput(commandLine.exitCode);
}

} // namespace

int main(int argc, char *argv[])
{
    kelvra::IgnoreBrokenPipes();
    QCoreApplication::setApplicationName(QStringLiteral("KelvraSet"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KELVRASET_VERSION));

    // The station window is the station with widgets: it needs a display.
    if (kelvra::AsksForStationWindow(Arguments(argc, argv))) {
        const kelvra::CommandLine refused = kelvra::StationWindowWithoutDisplay(Arguments(argc, argv));
        if (refused.exit) {
            QCoreApplication core(argc, argv);
            const kelvra::InterfaceTranslations translations(QLocale::system());
            return Finish(kelvra::StationWindowWithoutDisplay(Arguments(argc, argv)));
        }
        QApplication app(argc, argv);
        return kelvra::RunStationWindow(QCoreApplication::arguments());
    }

    // A command runs without widgets and without a display.
    if (argc > 1 && kelvra::StandsForCommand(QString::fromLocal8Bit(argv[1]))) {
        if (kelvra::CommandDrawsPages(Arguments(argc, argv))) {
            // Its fonts need a GUI application: one that draws offscreen, whatever display there is,
            // and keeps Qt's own remarks on its surroundings (no XDG_RUNTIME_DIR) out of the terminal.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qInstallMessageHandler(QuietQt);
            QGuiApplication app(argc, argv);
            return kelvra::RunCommand(QCoreApplication::arguments());
        }
        QCoreApplication app(argc, argv);
        return kelvra::EndProcess(kelvra::RunCommand(QCoreApplication::arguments()));
    }

    // --help, --version, mistakes and a missing display are answered before
    // the window's application object exists, because that needs a display;
    // in the interface's language, which needs only the core.
    kelvra::CommandLine commandLine = kelvra::ParseCommandLine(Arguments(argc, argv), true);
    if (commandLine.exit) {
        QCoreApplication core(argc, argv);
        const kelvra::InterfaceTranslations translations(QLocale::system());
        return Finish(kelvra::ParseCommandLine(QCoreApplication::arguments(), true));
    }

    QApplication app(argc, argv);
    // Ties the window to its desktop entry, and so to the installed icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelvraset.KelvraSet"));
    commandLine = kelvra::ParseCommandLine(QCoreApplication::arguments(), false);
    if (commandLine.exit)
        return Finish(commandLine);

    QWidget *window = nullptr;
    // A trace that fails is told in the window too, from the event loop: the
    // failing write happens in the middle of a send to the radio.
    kelvra::OnTraceStopped([&window](const QString &why) {
        QTimer::singleShot(0, qApp, [&window, why] {
            if (window)
                kelvra::ShowNotice(window, why);
        });
    });
    QString error;
    if (!commandLine.traceFile.isEmpty() && !kelvra::StartTraceFile(commandLine.traceFile, &error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 2;
    }

    int exitCode = 0;
    {
        kelvra::Program program(kelvra::ProgramEnvironment::Host());
        window = &program.Window();
        program.Form_Load();
        program.Window().PlaceOnScreen();
        program.Window().show();
        exitCode = QApplication::exec();
        window = nullptr;
    }
    return kelvra::EndProcess(exitCode);
}
