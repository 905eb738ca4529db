#include "services/commandoutcome.h"

namespace kelvra {

int ExitCodeOf(const CommandOutcome &outcome)
{
    using Failure = OperationResult::Failure;
    if (outcome.interrupted)
        return ExitInterrupted;
    if (!outcome.refusal.isEmpty())
        return ExitOtherModel;
    if (outcome.result.success)
        return ExitComplete;
    switch (outcome.result.failure) {
    case Failure::PortNotOpened:
        return ExitPortNotOpened;
    case Failure::ModelMismatch:
        return ExitOtherModel;
    case Failure::ReadBackDiffers:
        return ExitReadBackDiffers;
    case Failure::Abandoned:
        return ExitInterrupted;
    case Failure::BackupFailed:
        return ExitBackupFailed;
    case Failure::WrongRadio: // refused before any write block, as a radio that answers wrongly
    case Failure::None:
    case Failure::NoAnswer:
    case Failure::RepeatAsked:
    case Failure::WrongBlock:
    case Failure::BadReply:
    case Failure::PortLost:
    case Failure::PortRefused:
        break;
    }
    // Once a write block went out the radio may hold it, acknowledged or not.
    return outcome.writeBegun ? ExitHalfWritten : ExitNoAnswer;
}

QString OutcomeMessage(const CommandOutcome &outcome)
{
    return outcome.refusal.isEmpty() ? outcome.result.message : outcome.refusal;
}

} // namespace kelvra
