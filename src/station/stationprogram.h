#pragma once

// station/: the station window, a front end for the production line beside
// the main window (ui/) and the commands (cli/). It shows the station engine
// (production/): the job, one panel per port, Start and Stop, where the run
// report went. It stands on production/ and services/ (where files live, the
// settings file, the trace file, the ports offered for choosing, the
// signals that end a run) and the rooms below them; it includes no other
// front end nor app/, and nothing below includes it.

#include <QLocale>
#include <QString>
#include <QStringList>

namespace kelvra {

// Where the station window finds its surroundings. Host() takes the real
// ones; tests point every path into a temporary folder.
struct StationEnvironment
{
    QStringList aliasDirs;                       // where COM<n> aliases are, the one that wins first
    QString sysTtyRoot = QStringLiteral("/sys/class/tty");
    QString devRoot = QStringLiteral("/dev");
    QString historyPath;                         // the history every radio goes into
    QString settingsPath;                        // the mysetup.ini read: dateFormat, historyUrl, bench
    QLocale locale = QLocale::system();

    // The running executable's settings, aliases and history, as the station command's.
    static StationEnvironment Host();
};

// True when the command line asks for the station window: "station" with
// --window, and no --help (the command's help tells of --window).
bool AsksForStationWindow(const QStringList &arguments);

// KelvraSet station --window [--job FILE] [--port PORT ...] [--trace FILE],
// on an application object with widgets: the window until it is closed, or
// until a signal has ended its run. Returns the exit code: 0, 2 for a
// mistake in the options, 128 plus the signal's number after a signal.
int RunStationWindow(const QStringList &arguments);

} // namespace kelvra
