#include "cli/commandoutcome.h"

#include "cli/clitext.h"

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

QString ExitCodeTable()
{
    return Cli::tr(
        "Exit codes:\n"
        "  0    complete (for a write: written and verified)\n"
        "  2    usage: an unknown command or option, an option given twice, a missing port, a text\n"
        "       longer than its field in GBK bytes, a text that GBK cannot hold, a bad date or band\n"
        "       code, a job or units file that does not check out; nothing was sent\n"
        "  3    the port could not be opened (the reason on standard error)\n"
        "  4    the radio did not answer or answered wrongly, or another radio was connected between\n"
        "       the read and the write; the radio was not changed\n"
        "  5    the radio is another model than --model names, or its model does not offer --band\n"
        "  6    the backup could not be stored, so nothing was written\n"
        "  7    written, but the read-back differs from what was written\n"
        "  8    the write failed after write blocks went out: the radio may be half-written\n"
        "       (the detail names what it took)\n"
        "  9    the output could not be written (a full disk, a closed pipe); standard error says so,\n"
        "       and the history tells what became of the radio (a failure's own code wins over 9)\n"
        "  130  interrupted by Ctrl+C (SIGINT), 143 by SIGTERM, 129 by SIGHUP, 131 by SIGQUIT: the\n"
        "       operation ended cleanly (a write whose blocks had gone out was let finish) and the\n"
        "       port is closed\n");
}

} // namespace kelvra
