#pragma once

#include "history/historyentry.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QStringList>

#include <utility>

namespace kelvra {

// One set of names. Every output for programs (read, write and history
// --json, history --csv, the changed-field lists) names a value as read
// --json does; every output for people names it by the window's caption.

// Values in a fixed order under their names; a name with a dot ("before.seller",
// "features.kill") is a key of an object inside.
using NamedValues = QList<std::pair<QString, QJsonValue>>;

// A radio's fields in an image, as read --json's "radio" has them but for
// the model and version: bandCode, band, serialNumber ... and features.kill;
// null where not known. maskPassword: "****" for a known password.
NamedValues RadioValues(const KnownImage &image, bool maskPassword);

// An entry as history --json and --csv give it: historyId, time (UTC),
// operation, result, message, detail, port, device, adapterSerial, model,
// serialNumber, changed, bench, restoredFrom, before.*, after.*.
NamedValues EntryNamedValues(const HistoryEntry &entry, bool showPasswords);

// The values as one JSON object, dotted names as objects inside.
QJsonObject Nested(const NamedValues &values);

// Stored field ids ("StockDate") under their names ("stockDate"), and the
// window's captions for them in the interface's language.
QStringList JsonNames(const QStringList &fieldIds);
QStringList FieldCaptions(const QStringList &fieldIds, qint16 languageId);
// Those captions as one list for a line, the list separator translated.
QString ChangedFieldsText(const QStringList &fieldIds, qint16 languageId);

// The window's caption for a name of an entry or a radio field ("Serial
// Number", "Time"); the name itself for one it does not know.
QString ItemCaption(const QString &name, qint16 languageId);

} // namespace kelvra
