#include "station/stationprogram.h"

#include "lang/translations.h"
#include "services/historysetting.h"
#include "services/settingsplace.h"
#include "services/tracefile.h"
#include "station/stationwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

namespace kelvra {

StationEnvironment StationEnvironment::Host()
{
    const SettingsPlace place = LocateSettings(ExecutableDir(), UserConfigDir());
    StationEnvironment environment;
    environment.aliasDirs = place.aliasDirs;
    environment.historyPath = LocalHistoryPath(place, ExecutableDir());
    environment.settingsPath = place.readPath;
    return environment;
}

bool AsksForStationWindow(const QStringList &arguments)
{
    const QStringList options = arguments.mid(2);
    return arguments.value(1) == QLatin1String("station") && options.contains(QLatin1String("--window"))
        && !options.contains(QLatin1String("--help")) && !options.contains(QLatin1String("-h"));
}

int RunStationWindow(const QStringList &arguments)
{
    const StationEnvironment environment = StationEnvironment::Host();
    // Before the window, so that every text it shows is translated.
    const InterfaceTranslations translations(environment.locale);

    QCommandLineParser parser;
    const QCommandLineOption window(QStringLiteral("window"));
    const QCommandLineOption job(QStringLiteral("job"), QString(), QStringLiteral("FILE"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("PORT"));
    const QCommandLineOption trace(QStringLiteral("trace"), QString(), QStringLiteral("FILE"));
    parser.addOptions({window, job, port, trace});
    // Past the program's name and "station".
    QString problem;
    if (!parser.parse(QStringList{arguments.value(0)} + arguments.mid(2)))
        problem = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        problem = StationWindow::tr("Unexpected %1: the station window takes --job FILE, --port PORT and --trace FILE.")
                      .arg(parser.positionalArguments().constFirst());
    else if (parser.values(job).size() > 1 || parser.values(trace).size() > 1)
        problem = StationWindow::tr("--job and --trace are each given once.");
    else if (parser.isSet(trace) && parser.value(trace).isEmpty())
        problem = StationWindow::tr("--trace needs a file name.");
    else if (parser.isSet(trace))
        StartTraceFile(parser.value(trace), &problem);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 2;
    }

    // Ties the window to its own desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.kelvraset.KelvraSet.Station"));
    StationWindow station(environment);
    // The failing write happens in the middle of a send to a radio: said from the event loop.
    OnTraceStopped([&station](const QString &why) {
        QTimer::singleShot(0, &station, [&station, why] { station.Say(why); });
    });
    station.WantPorts(parser.values(port));
    if (parser.isSet(job))
        station.OpenJob(parser.value(job));
    station.PlaceOnScreen();
    station.show();
    // Opened from the desktop entry, the station asks for its job first.
    if (!parser.isSet(job))
        QTimer::singleShot(0, &station, &StationWindow::AskForJob);
    QApplication::exec();
    OnTraceStopped(nullptr);
    return station.ExitCode();
}

} // namespace kelvra
