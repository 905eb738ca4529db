#pragma once

#include <QString>

namespace kelvra {

// How this bench writes dates into radios: mysetup.ini, section [radio], key
// dateFormat, in Qt's date format syntax ("yyyy-MM-dd"). Empty when the
// bench names none: dates then follow the host's short date format. Only
// ever read; a job's own dateFormat wins over it.
QString BenchDateFormat(const QString &settingsPath);

} // namespace kelvra
