#pragma once

#include "history/knownimage.h"
#include "link/operationresult.h"

#include <QString>
#include <QStringList>

namespace kelvra {

// What a command's read or write came to, for its output and its exit code.
struct CommandOutcome
{
    Operation operation = Operation::Read; // what the command was asked to do
    // The operation that ended the command: a write's own, or the read
    // before it when that failed.
    OperationResult result;
    QString detail;     // the result's detail, or the boxes shown before it ("Model Error")
    QString refusal;    // why the command stopped between its read and its write
    QString model;      // as the radio reported it; empty until it answered
    KnownImage before;  // a write: the radio as read before it
    KnownImage image;   // the radio as it is now, as far as known
    QStringList changed; // a write: fields whose value the radio now holds differently, by JSON name
    bool writeBegun = false; // write blocks went out: the radio may hold some of them
    bool interrupted = false;
    QString historyId;  // the history's entry for the operation, once recorded
    QString historyProblem; // why the operation could not be recorded
    QString historySetAside; // where a history file found damaged was set aside

    bool Complete() const { return refusal.isEmpty() && result.success; }
    bool Verified() const { return operation == Operation::Write && Complete() && result.Verified(); }
};

// The exit codes, each saying what became of the radio.
enum ExitCode {
    ExitComplete = 0,
    ExitUsage = 2,          // nothing was sent
    ExitPortNotOpened = 3,
    ExitNoAnswer = 4,       // the radio was not changed (also: another radio than the one read)
    ExitOtherModel = 5,
    ExitBackupFailed = 6,   // nothing was written
    ExitReadBackDiffers = 7,
    ExitHalfWritten = 8,
    // Standard output could not take the output; what became of the radio
    // is in the history. A failure's own code wins over it.
    ExitOutputFailed = 9,
    ExitInterrupted = 130, // SIGINT; SIGTERM, SIGHUP and SIGQUIT give 143, 129 and 131
};

int ExitCodeOf(const CommandOutcome &outcome);

// The closing box's text, or why the command stopped before its write.
QString OutcomeMessage(const CommandOutcome &outcome);

} // namespace kelvra
