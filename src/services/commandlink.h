#pragma once

#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "link/tracing.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "services/clioperator.h"
#include "services/commandoutcome.h"
#include "services/historyrecorder.h"

#include <QObject>

namespace kelvra {

class CommandPort;
class FieldChanges;
class HistoryStore;

// The window's radio link, built for a command: the real serial port and
// reply timer (traced while tracing is on), the operator answered by
// options, and the history. A write reads the radio first, for its model
// and serial number; that read goes into the history only when the write
// does not follow, so a command leaves one entry.
class CommandLink : public QObject
{
    Q_OBJECT
public:
    // store: the history every operation goes into.
    CommandLink(const CommandPort &port, HistoryStore &store, QObject *parent = nullptr);

    // The name the bench's entries carry; empty: the host's.
    void SetBenchName(const QString &name) { m_recorder.SetBenchName(name); }

    void Read();
    // model: the model the radio must be; empty for whichever served model the read finds.
    void Write(const FieldChanges &changes, const QString &model);
    // The two halves of Write, for a caller that looks at the radio in
    // between: a read held back from the history, then either the write, on
    // the radio that read found and without reading it again, or the read's
    // own entry, which fills outcome's historyId.
    void ReadFirst();
    void WriteAfterRead(const FieldChanges &changes, const QString &model);
    void RecordRead(CommandOutcome &outcome);
    // Ctrl+C. Before any write block went out the operation is abandoned
    // at once: the radio is as it was. After, the write is let run to its
    // end, a few hundred milliseconds: a radio left with some new blocks
    // and some old is the one outcome worse than either. A second call
    // abandons it all the same.
    void Interrupt();
    bool Running() const { return m_phase != Phase::Idle; }
    // While a write runs, what leaving now would leave in the radio; empty otherwise.
    QString LeaveSituation() const { return m_phase == Phase::Write ? m_link.LeaveSituation() : QString(); }
    // The write blocks have gone out and the write is being let finish.
    bool Finishing() const { return m_interrupted && m_outcome.writeBegun; }

signals:
    // Queued after the link has finished the operation, so a slot may start the next.
    void Done(const kelvra::CommandOutcome &outcome);
    void Progress(const kelvra::LinkActivity &activity);

private:
    enum class Phase { Idle, Read, ReadBeforeWrite, WritePending, Write };

    void Start(Phase phase, Operation operation);
    void StartWrite();
    void OnActivity(const LinkActivity &activity);
    void OnFinished(const OperationResult &result);
    void Deliver();
    // The history's word on the operation just recorded.
    void NoteHistory(CommandOutcome &outcome);
    // Empty when the band named is one the radio's model offers.
    QString BandRefusal() const;
    KnownImage ImageAfterWrite() const;

    QtSerialControl m_serial;
    QtReplyTimer m_timer;
    RadioInfo m_info;
    RadioImage m_image;
    CliOperator m_operator;
    qint16 m_comPortNo;
    LinkSeams m_seams;
    RadioLink m_link;
    // Built before anything else hears the link's end, so the entry is stored first.
    HistoryStore &m_store;
    HistoryRecorder m_recorder;
    QString m_historyProblem; // why the last entry could not be stored

    Phase m_phase = Phase::Idle;
    CommandOutcome m_outcome;
    const FieldChanges *m_changes = nullptr;
    QString m_model;
    int m_blocksIn = 0; // a read's blocks stored so far, in order from block 0
    bool m_interrupted = false;
};

} // namespace kelvra

Q_DECLARE_METATYPE(kelvra::CommandOutcome)
