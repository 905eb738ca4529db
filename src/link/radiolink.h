#pragma once

#include "link/failuredetail.h"
#include "link/frames.h"
#include "link/linkactivity.h"
#include "link/operationresult.h"
#include "link/operatorseam.h"
#include "link/sequencestate.h"
#include "link/serialcontrol.h"
#include "link/transport.h"
#include "link/writegate.h"

#include <QObject>
#include <QString>

#include <optional>

namespace kelvra {

class RadioImage;
class ReplyTimer;
struct RadioInfo;

// What the Read and Write buttons do: one operation at a time, moved on one
// step per recognised reply, ending in a message box that says how it went.
// A write ends in "Write Complete!" only once every block it sent has been
// read back holding what was written.
class RadioLink : public QObject
{
    Q_OBJECT
public:
    // comPortNo is read at every press, so the window may change it at will.
    RadioLink(SerialControl &control, ReplyTimer &timer, Operator &op, RadioInfo &info, RadioImage &image,
              const qint16 &comPortNo, QObject *parent = nullptr);

    Operation OpKind() const { return m_opKind; }
    Step SeqState() const { return m_seqState; }
    qint32 BlockAddress() const { return m_frames.BlockAddress(); }
    const QString &RadioModel() const { return m_frames.RadioModel(); }
    // The record the operations read into and write from; its model is the one a write is for.
    const RadioInfo &Info() const { return m_info; }
    const Transport &transport() const { return m_transport; }
    // Asked before every write's first block; none by default. The gate must
    // outlive the link or be unset first.
    void SetWriteGate(WriteGate *gate) { m_gate = gate; }

    // The Read and Write presses. A press during a read abandons it; a press
    // during a write does nothing, so no radio is left half-written.
    void Command1_Click();
    void Command2_Click();
    // Ends the operation under way without a box and without "END" (the
    // window is closing); Finished reports it abandoned.
    void Abandon();
    // Empty unless a write runs; else what leaving now would leave in the radio.
    QString LeaveSituation() const;
    // Empty unless a write runs; else the question to ask before the window
    // closes: the situation, then whether to close anyway.
    QString LeaveQuestion() const;

    void MSComm1_OnComm(kelvra::SerialControl::CommEvent event);
    void WaitTimer_Timer();

    void StepSequence();
    // why and detail: what ended a failed operation, in words when the link knows them.
    void FinishOperation(bool success, OperationResult::Failure why = OperationResult::Failure::None,
                         const QString &detail = QString());
    void ReadComplete();
    void WriteComplete();
    void CloseCommPort();

signals:
    // An operation started (true) or ended (false); the end comes before its message box.
    void Busy(bool running);
    // Every copy of a frame as it goes out.
    void Activity(const kelvra::LinkActivity &activity);
    // Once per press that started an operation, however it ended: before the
    // box that ends it (after "Model Error"), and without one when abandoned.
    void Finished(const kelvra::OperationResult &result);

private:
    void StartOperation(Operation kind);
    // An expiry with no reply under way, or a repeat reply: the frame once more, or given up.
    void ResendOrGiveUp();
    // The write's own steps, from the model check to "END".
    bool StepWrite();
    // The step before the first write block goes out.
    bool BeginWrites();
    bool CheckBlock(int block);
    static int RereadCount();
    bool WriteBlocksSent() const;
    void WriteRefused();
    void GiveUp();
    QString UnansweredRequest() const;
    // why, and for a write that has begun sending blocks, what the radio took.
    QString Detail(const QString &why, failuredetail::WriteEnd end = failuredetail::WriteEnd::Stopped) const;
    // What the read-back under check showed where the write sends the radio's own bytes back.
    QString OtherBytesFound() const;
    OperationResult ResultSoFar() const;
    // Emits Finished, then shows the box unless it is empty.
    void Report(OperationResult result, const QString &message, Operator::Icon icon, const QString &detail);
    LinkActivity ActivityOf(int resends) const;
    // A write frame about to reach the radio: what the radio holds in its block is open.
    void Forget(const QByteArray &frame);

    SerialControl &m_control;
    ReplyTimer &m_timer;
    Operator &m_operator;
    RadioInfo &m_info;
    RadioImage &m_image;
    WriteGate *m_gate = nullptr;

    Operation m_opKind = Operation::None;
    Step m_seqState = Step::Idle;
    Transport m_transport;
    Frames m_frames;
    // A write's progress: the re-read under way, what became of each block
    // it sends, and the block its read-back has reached.
    int m_reread = 0;
    WriteFates m_fates{};
    int m_checked = 0;
    bool m_rewritten = false; // the block under check was written a second time
    // The read-back under check, when it differs in bytes the write does not own.
    QByteArray m_otherBytes;
    std::array<qint64, 8> m_readSentAt{}; // when the last read of each block went out
    ImageBlocks m_rereadResent; // blocks whose re-read went out more than once
    // A write its gate refused: once "END" is through, it ends with this.
    std::optional<WriteGate::Answer> m_refused;
    // What this operation learned of the radio's bytes, block by block.
    RadioImage m_learned;
    ImageBlocks m_learnedBlocks;
};

} // namespace kelvra
