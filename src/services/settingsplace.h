#pragma once

// services/: what every front end shares, without widgets, below them all
// and above link/ and history/: where files live (this file), the settings
// file, the trace file, the history recorder, and the radio link driven
// without a form (CommandLink: its port, an operator answered by values, the
// fields a write changes, what an operation came to), the ports offered for
// choosing, and Ctrl+C and its kin as events. It may include link/,
// history/, record/ and lang/, never a front end nor production/.

#include <QString>
#include <QStringList>

namespace kelvra {

// Where mysetup.ini and the ports/ aliases live. A copy of the program in a
// folder its user may write keeps them beside itself, as a portable copy
// always has; an installed one (/usr/bin, /usr/local/bin, the build's
// installation folder, or any folder its user may not write) keeps them in
// the user's configuration folder. A mysetup.ini in the configuration folder
// is the one read and written wherever the program is; without one, the file
// beside the executable is read even where it cannot be written, so that an
// administrator can set a default there.
struct SettingsPlace
{
    QString readPath;      // the mysetup.ini start-up reads
    QString settingsPath;  // the mysetup.ini a chosen port is saved to
    QStringList aliasDirs; // every ports/ folder, the one that wins first
    QString ownAliasDir;   // where a new alias belongs
    bool portable = false; // a copy that keeps its files beside itself (the history too)
};

// appDir is the executable's folder, configDir the user's configuration
// folder (may be empty: then only appDir counts).
SettingsPlace LocateSettings(const QString &appDir, const QString &configDir);

// ~/.config/KelvraSet, whichever program asks.
QString UserConfigDir();

// The running executable's folder, found by the bytes of its name.
QString ExecutableDir();

} // namespace kelvra
