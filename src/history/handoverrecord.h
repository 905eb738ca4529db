#pragma once

#include "history/historyentry.h"

#include <QDateTime>
#include <QString>

namespace kelvra {

// The record a dealer hands over with a radio: what the write left in it
// (model, serial number, band, Freq. Set, dealer code, stock and sell dates,
// seller, the password masked unless asked), when and at which bench it was
// written, and where and when the record was printed. Rich text for a
// QTextDocument, to print or to save as PDF, in the interface's language.
QString HandoverRecordHtml(const HistoryEntry &entry, qint16 languageId, bool showPassword,
                           const QString &printedOn, const QDateTime &printedAt);

// Its title, for the PDF's metadata and the print job's name.
QString HandoverRecordTitle(const HistoryEntry &entry);

} // namespace kelvra
