#pragma once

#include "link/frames.h"
#include "link/sequencestate.h"
#include "link/serialcontrol.h"
#include "link/transport.h"

#include <QObject>
#include <QString>

namespace kelvra {

class Operator;
class RadioImage;
class ReplyTimer;
struct RadioInfo;

// What the Read and Write buttons do: one operation at a time, moved on one
// step per recognised reply, ending in a message box that says how it went.
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
    const Transport &transport() const { return m_transport; }

    // The Read and Write presses. A press during an operation abandons it.
    void Command1_Click();
    void Command2_Click();

    void MSComm1_OnComm(kelvra::SerialControl::CommEvent event);
    void WaitTimer_Timer();

    void StepSequence();
    // detail: why a failure happened, when the serial layer told us.
    void FinishOperation(bool success, const QString &detail = QString());
    void ReadComplete();
    void WriteComplete();
    void CloseCommPort();

signals:
    // An operation started (true) or ended (false); the end comes before its message box.
    void Busy(bool running);

private:
    void StartOperation(Operation kind);
    void WriteRefused();
    QString UnansweredRequest() const;
    // why, and for a write that has begun sending blocks, what the radio took.
    QString Detail(const QString &why) const;

    SerialControl &m_control;
    ReplyTimer &m_timer;
    Operator &m_operator;
    RadioInfo &m_info;
    RadioImage &m_image;

    Operation m_opKind = Operation::None;
    Step m_seqState = Step::Idle;
    Transport m_transport;
    Frames m_frames;
};

} // namespace kelvra
