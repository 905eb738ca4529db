#pragma once

#include <QString>
#include <QStringList>

namespace kelvra {

// The production line's commands: read, write, history and station. They
// run on a QCoreApplication: no widgets, no display, no platform plugin.

// True when word names a command, so that main() starts no window.
bool IsCommand(const QString &word);

// arguments: the program, the command, then its options. Returns the exit code.
int RunCommand(const QStringList &arguments);

// The commands and exit codes, for the program's own --help.
QString CommandsHelp();

} // namespace kelvra
