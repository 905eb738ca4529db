#pragma once

#include <QString>
#include <QtGlobal>

namespace kelvra {

// The one thing the program remembers between runs: the last used serial
// port, key comPort of section language in mysetup.ini (see settingsplace.h).

// The saved port number; 0 when the file, section or key is missing or the
// value is not a positive 16-bit whole number (a hand-edited file must not stop start-up).
qint16 ReadSavedComPort(const QString &settingsPath);

// A file that cannot be written is ignored: the next start finds the old value.
void SaveComPort(const QString &settingsPath, qint16 portNo);

} // namespace kelvra
