#pragma once

#include <QString>

namespace kelvra {

// Reading and writing one key of an INI file that people, editors and other
// copies of the program share (the text rules are in profiletext.h).
//
// Only a regular file (or a link to one) of at most 64 KiB is read or
// written. Every read and every read-modify-write holds a lock on the file,
// waiting for another copy's at most half a second, so that concurrent
// copies never see or write a half-written file. A write changes the file in
// place, so that its owner, mode and links stay, and never writes what could
// not be read back: nothing past 64 KiB, nothing in an encoding it cannot
// reproduce, no new file through a dangling link, and no empty file when the
// disk is full.

// The value of key in section, or defaultValue when the file, the section or
// the key is missing, unreadable or locked for too long.
QString GetProfileString(const QString &path, const QString &section, const QString &key,
                         const QString &defaultValue);

// Creates the file (and its folder), the section and the key as needed and
// replaces an existing value, whatever bytes it holds. A file that is no
// text at all is first copied beside itself as <name>.damaged-<UTC time>,
// named in *setAside, and then holds the key alone. False, with the reason
// in *why, when the file cannot be written or is not one this reader would
// read; the file is then left as it was.
bool WriteProfileString(const QString &path, const QString &section, const QString &key,
                        const QString &value, QString *why = nullptr, QString *setAside = nullptr);

} // namespace kelvra
