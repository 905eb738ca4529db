#pragma once

#include <QString>

namespace kelvra {

struct SettingsPlace;

// The local history file: beside the executable for a portable copy that may
// create files there (its log and index need to), else in the data folder.
QString LocalHistoryPath(const SettingsPlace &place, const QString &appDir);

// The shared history server named in mysetup.ini, section [history], key
// historyUrl; empty when the workshop shares none. Only ever read.
QString SharedHistoryUrl(const QString &settingsPath);

// The bench's name in its entries, from section [history], key bench: two
// benches on one computer tell their entries apart by it. Empty: the host's
// name.
QString BenchName(const QString &settingsPath);

} // namespace kelvra
