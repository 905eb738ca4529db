#pragma once

#include <QString>
#include <QStringList>

namespace kelvra {

// What the command line asks for. It is read before any window exists, so
// --help and --version answer on a machine without a display.
struct CommandLine
{
    bool exit = false;  // print output and end with exitCode instead of starting
    int exitCode = 0;
    QString output;     // for standard output, or standard error on a fault
    QString traceFile;  // --trace FILE; empty without it (an empty FILE is refused)
};

// Read twice: before the application object exists (beforeApplication),
// when anything that may be one of Qt's own options (-platform offscreen) is
// left for the second reading, which sees the arguments without them.
CommandLine ParseCommandLine(const QStringList &arguments, bool beforeApplication);

// The station window asked for where it cannot open: without a display, and
// without -platform naming where it goes. Exit code 2 and what to use
// instead; nothing to do (exit false) where it can open.
CommandLine StationWindowWithoutDisplay(const QStringList &arguments);

} // namespace kelvra
