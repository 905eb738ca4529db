#pragma once

#include <QString>

class QComboBox;

namespace kelvra {

// The list's first entry whose text equals text exactly (case-sensitive), else
// the first entry, else the empty text when the list has no entry.
QString MatchListItem(const QComboBox *list, const QString &text);

} // namespace kelvra
