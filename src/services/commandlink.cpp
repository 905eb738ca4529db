#include "services/commandlink.h"

#include "history/entrynames.h"
#include "history/fieldview.h"
#include "history/historystore.h"
#include "record/catalogue.h"
#include "services/clitext.h"
#include "services/commandport.h"
#include "services/fieldchanges.h"

#include <QCoreApplication>

namespace kelvra {

CommandLink::CommandLink(const CommandPort &port, HistoryStore &store, QObject *parent)
    : QObject(parent), m_serial(port.Directory()), m_operator(m_info, m_image), m_comPortNo(qint16(port.Number())),
      m_seams(m_serial, m_timer, m_operator, &port.Directory()),
      m_link(m_seams.Control(), m_seams.Timer(), m_seams.Op(), m_info, m_image, m_comPortNo), m_store(store),
      m_recorder(store, m_link, &port.Directory())
{
    qRegisterMetaType<kelvra::CommandOutcome>();
    connect(&m_recorder, &HistoryRecorder::NotRecorded, this,
            [this](const HistoryProblem &problem) { m_historyProblem = problem.reason; });
    connect(&m_link, &RadioLink::Activity, this, &CommandLink::OnActivity);
    connect(&m_link, &RadioLink::Finished, this, &CommandLink::OnFinished);
}

void CommandLink::Read()
{
    Start(Phase::Read, Operation::Read);
}

void CommandLink::Write(const FieldChanges &changes, const QString &model)
{
    m_changes = &changes;
    m_model = model;
    m_recorder.HoldNextRead();
    Start(Phase::ReadBeforeWrite, Operation::Write);
}

void CommandLink::ReadFirst()
{
    m_recorder.HoldNextRead();
    Start(Phase::Read, Operation::Read);
}

void CommandLink::WriteAfterRead(const FieldChanges &changes, const QString &model)
{
    // The read just delivered: the link's record and image are the radio's.
    const CommandOutcome read = m_outcome;
    m_changes = &changes;
    m_model = model;
    m_outcome = CommandOutcome();
    m_outcome.operation = Operation::Write;
    m_outcome.before = read.image;
    m_outcome.model = read.model;
    m_interrupted = false;
    m_phase = Phase::WritePending;
    StartWrite();
}

void CommandLink::RecordRead(CommandOutcome &outcome)
{
    m_historyProblem.clear();
    m_recorder.RecordHeldRead(outcome.refusal);
    NoteHistory(outcome);
}

void CommandLink::NoteHistory(CommandOutcome &outcome)
{
    outcome.historyId = m_recorder.LastEntryUuid();
    outcome.historyProblem = std::exchange(m_historyProblem, QString());
    outcome.historySetAside = m_store.TakeSetAside();
}

void CommandLink::Start(Phase phase, Operation operation)
{
    m_outcome = CommandOutcome();
    m_outcome.operation = operation;
    m_interrupted = false;
    m_blocksIn = 0;
    m_phase = phase;
    m_operator.TakeShown();
    m_link.Command1_Click();
}

void CommandLink::StartWrite()
{
    if (m_phase != Phase::WritePending)
        return;
    m_outcome.refusal = BandRefusal();
    if (m_interrupted || !m_outcome.refusal.isEmpty()) {
        m_outcome.image = m_outcome.before;
        RecordRead(m_outcome);
        Deliver();
        return;
    }
    m_phase = Phase::Write;
    m_operator.SetWrite(m_changes, m_model.isEmpty() ? m_info.Model : m_model);
    m_operator.TakeShown();
    m_link.Command2_Click();
}

QString CommandLink::BandRefusal() const
{
    // A model named was weighed against the band before anything was sent,
    // and the write's own model check holds the radio to it.
    const std::optional<int> band = m_changes && m_model.isEmpty() ? m_changes->BandCode() : std::nullopt;
    const int modelIndex = int(ListedModels().indexOf(NormalizeModel(m_info.Model)));
    if (!band || ModelBandCodes(modelIndex).contains(*band))
        return QString();
    return Cli::tr("The radio is a %1, which does not offer band code %2 (%3).")
        .arg(DisplayModel(m_info.Model))
        .arg(*band)
        .arg(BandTextOfCode(*band));
}

void CommandLink::Interrupt()
{
    if (m_phase == Phase::Idle)
        return;
    const bool again = m_interrupted;
    m_interrupted = true;
    if (m_phase == Phase::WritePending)
        return; // the write will not start
    if (m_outcome.writeBegun && !again)
        return;
    m_link.Abandon();
}

void CommandLink::OnActivity(const LinkActivity &activity)
{
    if (m_phase == Phase::Write && activity.kind == LinkActivity::Kind::WriteBlock)
        m_outcome.writeBegun = true;
    if (m_phase != Phase::Write) {
        if (activity.kind == LinkActivity::Kind::ReadBlock)
            m_blocksIn = qMax(m_blocksIn, activity.block);
        else if (activity.kind == LinkActivity::Kind::End)
            m_blocksIn = RadioImage::BlockCount;
    }
    emit Progress(activity);
}

void CommandLink::OnFinished(const OperationResult &result)
{
    m_outcome.result = result;
    m_outcome.detail = result.detail;
    const QStringList shown = m_operator.TakeShown();
    if (m_outcome.detail.isEmpty())
        m_outcome.detail = shown.join(QLatin1Char('\n'));
    if (!m_link.RadioModel().isEmpty())
        m_outcome.model = m_link.RadioModel();
    NoteHistory(m_outcome);

    if (m_phase == Phase::Write) {
        m_outcome.image = ImageAfterWrite();
        m_outcome.changed = JsonNames(ChangedFieldIds(m_outcome.before, m_outcome.image));
    } else {
        KnownImage known;
        for (int block = 0; block < m_blocksIn; ++block)
            known.SetBlock(block, m_image);
        m_outcome.image = known;
        if (m_phase == Phase::ReadBeforeWrite && result.success) {
            m_outcome.before = known;
            m_phase = Phase::WritePending;
            QMetaObject::invokeMethod(this, &CommandLink::StartWrite, Qt::QueuedConnection);
            return;
        }
        if (m_phase == Phase::ReadBeforeWrite)
            RecordRead(m_outcome);
    }
    QMetaObject::invokeMethod(this, &CommandLink::Deliver, Qt::QueuedConnection);
}

KnownImage CommandLink::ImageAfterWrite() const
{
    // Blocks 5 to 7 are never written; of the others only a block read back
    // holding what was written is known, and the image holds what was written.
    KnownImage after = m_outcome.before;
    if (!m_outcome.writeBegun)
        return after;
    for (int block = 0; block < int(m_outcome.result.blocks.size()); ++block) {
        if (m_outcome.result.blocks[std::size_t(block)] == BlockFate::Verified)
            after.SetBlock(block, m_image);
        else
            after.Forget(block * RadioImage::BlockSize, RadioImage::BlockSize);
    }
    return after;
}

void CommandLink::Deliver()
{
    m_outcome.interrupted = m_interrupted;
    m_phase = Phase::Idle;
    emit Done(m_outcome);
}

} // namespace kelvra
