#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QtGlobal>

namespace kelvra {

// The one thing the program remembers between runs: the last used serial
// port, key comPort of section language in mysetup.ini (see settingsplace.h).

// Where a port that could not be saved is reported (standard error by default).
Q_DECLARE_LOGGING_CATEGORY(lcSettings)

// The saved port number; 0 when the file, section or key is missing or the
// value is not a positive 16-bit whole number (a hand-edited file must not stop start-up).
qint16 ReadSavedComPort(const QString &settingsPath);

// A file that cannot be written does not stop anything: the next start finds
// the old value. The failure and its reason are reported as a warning, and
// in *notice for the operator, which also says where a file that held no
// text was set aside before a new one took the port.
bool SaveComPort(const QString &settingsPath, qint16 portNo, QString *notice = nullptr);

} // namespace kelvra
