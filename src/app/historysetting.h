#pragma once

#include <QString>

namespace kelvra {

// The shared history server named in mysetup.ini, section [history], key
// historyUrl; empty when the workshop shares none. Only ever read.
QString SharedHistoryUrl(const QString &settingsPath);

} // namespace kelvra
