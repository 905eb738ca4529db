#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kelvra {

// Reading the files a station's job is made of, so that every mistake in
// them can be named by file, line and key before any radio is touched.

// A regular file of at most a few megabytes, without its UTF-8 byte-order
// mark: nothing such as /dev/zero or a huge file is read until memory runs out.
bool ReadJobText(const QString &path, QByteArray *text, QString *error);

// The line (from 1) on which byte offset lies.
int LineAt(const QByteArray &text, qsizetype offset);

// The keys of a JSON object's own members, in order, each with its line;
// duplicates included, which a JSON reader would silently merge. text must
// be a well-formed JSON object.
struct JsonKey {
    QString key;
    int line = 0;
};
QList<JsonKey> ObjectKeys(const QByteArray &text);

// The fields of one CSV record; quotes as spreadsheets write them. False at
// the end of the text. *line counts the lines passed, quoted line breaks included.
bool ReadCsvRecord(const QString &text, qsizetype *pos, QStringList *fields, int *line = nullptr);

} // namespace kelvra
