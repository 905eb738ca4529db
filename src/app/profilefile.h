#pragma once

#include <QString>

namespace kelvra {

// A small INI reader and writer with the habits of the classic private-profile
// functions: section and key names match without regard to case, values are
// read with surrounding blanks removed, and a write touches one line only so
// that comments, other sections and other keys keep their text and order.
// Only a regular file (or a link to one) of at most 64 KiB is read or
// written; a UTF-8 or UTF-16 byte-order mark is understood and kept, and a
// write changes the file in place, so that its owner, mode and links stay.

// The value of key in section, or defaultValue when the file, the section or
// the key is missing or unreadable.
QString GetProfileString(const QString &path, const QString &section, const QString &key,
                         const QString &defaultValue);

// Creates the file (and its folder), the section and the key as needed and
// replaces an existing value. False when the file cannot be written or is
// not one this reader would read; the file is then left as it was.
bool WriteProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value);

} // namespace kelvra
