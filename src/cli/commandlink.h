#pragma once

#include "cli/clioperator.h"
#include "cli/commandoutcome.h"
#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"

#include <QObject>

namespace kelvra {

class CommandPort;
class FieldChanges;

// The window's radio link, built for a command: the real serial port and
// reply timer, and the operator answered by options. A write reads the
// radio first, because it sends block 3 back whole and only a read brings
// it. Every operation of a link built with recorded set goes into the
// history; a station's probes run on one built without.
class CommandLink : public QObject
{
    Q_OBJECT
public:
    CommandLink(const CommandPort &port, bool recorded, QObject *parent = nullptr);

    void Read();
    // model: the model the radio must be; empty for whichever served model the read finds.
    void Write(const FieldChanges &changes, const QString &model);
    // The same, on the radio just read through another link, without reading it again.
    void WriteAfterRead(const RadioImage &read, const QString &readModel, const FieldChanges &changes,
                        const QString &model);
    // Ctrl+C. Before any write block went out the operation is abandoned
    // at once: the radio is as it was. After, the write is let run to its
    // end, a few hundred milliseconds: a radio left with some new blocks
    // and some old is the one outcome worse than either. A second call
    // abandons it all the same.
    void Interrupt();
    bool Running() const { return m_phase != Phase::Idle; }
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
    // Empty when the band named is one the radio's model offers.
    QString BandRefusal() const;
    KnownImage ImageAfterWrite() const;
    QString LastHistoryId() const;

    QtSerialControl m_serial;
    QtReplyTimer m_timer;
    RadioInfo m_info;
    RadioImage m_image;
    CliOperator m_operator;
    qint16 m_comPortNo;
    RadioLink m_link;

    Phase m_phase = Phase::Idle;
    CommandOutcome m_outcome;
    const FieldChanges *m_changes = nullptr;
    QString m_model;
    int m_blocksIn = 0; // a read's blocks stored so far, in order from block 0
    bool m_interrupted = false;
};

} // namespace kelvra

Q_DECLARE_METATYPE(kelvra::CommandOutcome)
