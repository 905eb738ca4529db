#pragma once

#include <QStringList>

namespace kelvra {

// KelvraSet station: programs one radio after another, StationRun's loop
// told on the terminal. Returns the exit code.
int StationCommand(const QStringList &arguments);

} // namespace kelvra
