#pragma once

#include "history/knownimage.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kelvra {

enum class HistoryOperation { Read, Write };
// Unfinished: a write whose backup is stored and whose outcome is not yet known.
enum class HistoryResult { Complete, Failure, Unfinished };

// One read or write of one radio, as the history keeps it. Once its result is
// Complete or Failure the entry never changes again.
struct HistoryEntry
{
    qint64 seq = 0; // order of recording in the local file; 0 until stored
    QString uuid;   // identifies the entry everywhere, a shared server included
    QDateTime time; // UTC, to the millisecond
    HistoryOperation operation = HistoryOperation::Read;
    HistoryResult result = HistoryResult::Unfinished;
    QString message;       // the text of the closing message box
    QString detail;        // why it failed, and what a half-finished write left behind
    QString portName;      // "COM7"
    QString devicePath;    // "/dev/ttyUSB0"
    QString adapterSerial; // the USB adapter's serial number, where known
    QString model;
    QString serialNumber;
    KnownImage before;         // the radio's bytes before the operation, as far as known
    KnownImage after;          // and after it
    QStringList changedFields; // ids from ImageFields(), filled by the store from the images
    QString bench;             // the host's name
    QString restoredFrom;      // uuid of the entry whose values were put into the form, if any
};

// A new entry of this operation: a fresh uuid, the time now and this host.
HistoryEntry NewHistoryEntry(HistoryOperation operation);

// "2026-12-05T08:30:01.123Z"
QString HistoryTimeText(const QDateTime &time);
QDateTime HistoryTimeFromText(const QString &text);

// The stored words: "read", "write"; "complete", "failure", "unfinished".
QString OperationWord(HistoryOperation operation);
QString ResultWord(HistoryResult result);
bool OperationFromWord(const QString &word, HistoryOperation &operation);
bool ResultFromWord(const QString &word, HistoryResult &result);

// What a person reads, in the interface's language.
QString OperationText(HistoryOperation operation);
QString ResultText(HistoryResult result);

} // namespace kelvra
