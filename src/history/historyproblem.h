#pragma once

#include <QString>

namespace kelvra {

// Why the history could not do what was asked, sorted so that a caller can
// act on the kind and show the reason, which is written for the operator.
enum class HistoryFailure { None, ReadOnly, DiskFull, Locked, Damaged, NewerFile, Foreign, Other };

struct HistoryProblem
{
    HistoryFailure kind = HistoryFailure::None;
    QString reason;
};

} // namespace kelvra
