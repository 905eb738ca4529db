#pragma once

// cli/: the commands, a front end without widgets. read and write drive the
// services' radio link; station tells the station engine (production/) on a
// terminal; history lists the history. Everything that prints lives here.
// It may include production/, services/ and the rooms below them, never
// ui/, the station window nor app/.

#include <QString>
#include <QStringList>

namespace kelvra {

// The production line's commands: read, write, history and station. They
// run on a QCoreApplication: no widgets, no display, no platform plugin.

// True when word, the first argument, stands where a command does: any
// word that is not an option. main() then starts no window, so a mistyped
// command is said as one, with or without a display.
bool StandsForCommand(const QString &word);

// What is said of a word in the command's place that names no command.
QString UnknownCommandText(const QString &word);

// arguments: the program, the command, then its options. Returns the exit code.
int RunCommand(const QStringList &arguments);

// The commands and exit codes, for the program's own --help.
QString CommandsHelp();

} // namespace kelvra
