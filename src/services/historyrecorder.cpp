#include "services/historyrecorder.h"

#include "history/historystore.h"
#include "lang/messages.h"
#include "link/portdirectory.h"
#include "link/radiolink.h"
#include "link/tracing.h"
#include "record/catalogue.h"
#include "record/radioinfo.h"

namespace kelvra {

KnownImage KnownBlocks(const RadioImage &bytes, ImageBlocks blocks)
{
    KnownImage image;
    for (int block = 0; block < RadioImage::BlockCount; ++block) {
        if (blocks.test(std::size_t(block)))
            image.SetBlock(block, bytes);
    }
    return image;
}

namespace {

// Support lines up a trace with the history by the entry's uuid.
void Trace(const QString &details)
{
    qCDebug(lcTrace).noquote().nospace() << TraceStamp() << " entry  " << details;
}

} // namespace

HistoryRecorder::HistoryRecorder(HistoryStore &store, RadioLink &link, const PortDirectory *directory,
                                 QObject *parent)
    : QObject(parent), m_store(store), m_link(link), m_directory(directory)
{
    m_link.SetWriteGate(this);
    connect(&m_link, &RadioLink::Busy, this, [this](bool running) {
        // Looked up while the port is open: a pulled cable takes its adapter along.
        const auto port = running && m_directory ? m_directory->Find(m_link.transport().PortNo()) : std::nullopt;
        if (running)
            m_adapterSerial = port ? port->serialNumber : QString();
    });
    connect(&m_link, &RadioLink::Finished, this, &HistoryRecorder::Record);
}

HistoryRecorder::~HistoryRecorder()
{
    m_link.SetWriteGate(nullptr);
}

void HistoryRecorder::Describe(HistoryEntry &entry, int portNo, const QString &devicePath) const
{
    entry.portName = PortDirectory::PortName(portNo);
    entry.devicePath = devicePath;
    entry.adapterSerial = m_adapterSerial;
    entry.serialNumber = SerialNumberOf(entry.before);
    if (!m_benchName.isEmpty())
        entry.bench = m_benchName;
    if (entry.operation == HistoryOperation::Write && m_restore)
        entry.restoredFrom = m_restore->sourceUuid;
}

std::optional<QString> HistoryRecorder::ExpectedSerial() const
{
    if (m_restore)
        return m_restore->serialNumber;
    if (m_held && m_held->success)
        return SerialNumberOf(KnownBlocks(m_held->radioBytes, m_held->knownBlocks));
    return std::nullopt;
}

WriteGate::Answer HistoryRecorder::MayWrite(const RadioImage &radio, ImageBlocks read)
{
    HistoryEntry entry = NewHistoryEntry(HistoryOperation::Write);
    entry.model = m_link.RadioModel();
    entry.before = KnownBlocks(radio, read);
    Describe(entry, m_link.transport().PortNo(), m_link.transport().DevicePath());
    const std::optional<QString> expected = ExpectedSerial();
    if (expected && *expected != entry.serialNumber) {
        const auto named = [](const QString &serial) {
            return serial.isEmpty() ? tr("one without a serial number") : serial;
        };
        return {OperationResult::Failure::WrongRadio,
                m_restore ? tr("The values in the form are those of radio %1, taken from the history, but the radio "
                               "connected is %2. Nothing was written. Connect radio %1, or read this radio to fill the "
                               "form with its own values.")
                                .arg(*expected, named(entry.serialNumber))
                          : tr("The radio read before this write was %1, but the radio connected now is %2: the radio "
                               "was changed in between. Nothing was written.")
                                .arg(named(*expected), named(entry.serialNumber))};
    }
    HistoryProblem problem;
    if (!m_store.BeginWrite(entry, &problem))
        return {OperationResult::Failure::BackupFailed,
                tr("The radio's current values could not be backed up in the history before writing. %1 Nothing "
                   "was written: the radio was not changed.")
                    .arg(problem.reason)};
    m_begun = entry;
    m_lastUuid = entry.uuid;
    Trace(entry.uuid + QStringLiteral(" backup"));
    return {};
}

void HistoryRecorder::Record(const OperationResult &result)
{
    if (std::exchange(m_holdNext, false) && result.kind == Operation::Read) {
        m_held = result;
        m_lastUuid.clear();
        return;
    }
    // The write the held read was for has ended.
    Store(result, std::exchange(m_held, std::nullopt));
}

void HistoryRecorder::RecordHeldRead(const QString &reason)
{
    if (m_held)
        Store(*std::exchange(m_held, std::nullopt), std::nullopt, reason);
}

void HistoryRecorder::Store(const OperationResult &result, const std::optional<OperationResult> &held,
                            const QString &reason)
{
    const std::optional<HistoryEntry> begun = std::exchange(m_begun, std::nullopt);
    m_lastUuid.clear();
    // The history could not take the backup a moment ago; the write's failure says so.
    if (result.failure == OperationResult::Failure::BackupFailed)
        return;

    // A write that ended before it learned a byte, on the radio its read identified.
    const bool asRead = !begun && held && held->success && result.knownBlocks.none()
        && (result.radioModel.isEmpty() || result.radioModel == held->radioModel);
    const KnownImage learned = asRead ? KnownBlocks(held->radioBytes, held->knownBlocks)
                                      : KnownBlocks(result.radioBytes, result.knownBlocks);
    HistoryEntry entry
        = begun ? *begun
                : NewHistoryEntry(result.kind == Operation::Write ? HistoryOperation::Write : HistoryOperation::Read);
    if (!begun) {
        // Nothing was written: what the operation learned, the radio held before it too.
        entry.before = learned;
        entry.model = asRead && result.radioModel.isEmpty() ? held->radioModel : result.radioModel;
        Describe(entry, result.portNo, result.devicePath);
    }
    entry.after = learned;
    entry.result = result.success ? HistoryResult::Complete : HistoryResult::Failure;
    entry.message = result.message;
    entry.detail = reason.isEmpty() ? result.detail : reason;
    // The box before "Write Failure!" said why; the entry keeps it.
    if (result.failure == OperationResult::Failure::ModelMismatch && entry.detail.isEmpty())
        entry.detail = ModelErrorText(DisplayModel(m_link.Info().Model), DisplayModel(result.radioModel))
                           .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (result.failure == OperationResult::Failure::Abandoned)
        entry.detail = tr("Ended early, by another press, by closing the window or by interrupting the command; no "
                          "message was shown.")
            + (result.detail.isEmpty() ? QString() : QLatin1Char('\n') + result.detail);

    HistoryProblem problem;
    const bool stored = begun ? m_store.Finish(entry, &problem) : m_store.Record(entry, &problem);
    // A write's entry holds its backup even when its outcome could not be added.
    if (stored || begun)
        m_lastUuid = entry.uuid;
    if (result.success
        && (result.kind == Operation::Read || (m_restore && entry.restoredFrom == m_restore->sourceUuid)))
        m_restore.reset();
    m_adapterSerial.clear();
    if (stored) {
        Trace(entry.uuid + QLatin1Char(' ') + ResultWord(entry.result));
        emit Recorded(entry);
    } else {
        Trace(QStringLiteral("not stored: ") + problem.reason);
        emit NotRecorded(problem);
    }
}

} // namespace kelvra
