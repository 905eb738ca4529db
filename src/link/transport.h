#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <optional>

namespace kelvra {

class ReplyTimer;
class SerialControl;

// One frame at a time over the serial port: keeps the last frame, times its
// reply, sends it again on request (at most twice), and keeps count of the
// answers the radio still owes to the copies it was sent.
class Transport
{
public:
    // The radio needs time to enter programming mode; every later reply is quick.
    static constexpr std::chrono::milliseconds LongReplyWait{1500};
    static constexpr std::chrono::milliseconds ReplyWait{300};
    static constexpr int MaxResends = 2;
    // Added to the answer time the radio showed before a held frame goes out:
    // room for the scheduling at both ends, not for a slower radio.
    static constexpr std::chrono::milliseconds HoldMargin{50};
    // No radio answers a copy later than this after it was sent; an answer
    // still missing then was lost.
    static constexpr std::chrono::milliseconds LatestAnswer{2000};
    // A reply under way when its wait runs out is given the time its whole
    // length takes on the line (115200 baud, ten bits a byte) and this much
    // more: room for the scheduling at both ends and a USB adapter's 16 ms.
    static constexpr std::chrono::milliseconds ReplyTailMargin{20};
    static constexpr int LineBaud = 115200;
    static constexpr int BitsPerByte = 10;

    enum class Resend { Sent, GivenUp, Failed };
    // Received bytes are the awaited reply, or answers owed to copies of the
    // frame before it (dropped); taking the last of those may send the next
    // frame, which the serial layer may refuse.
    enum class Received { Reply, Owed, Refused };
    // What came back to the outstanding frame other than its reply, in rising
    // order of what it tells about the radio: why the frame was given up.
    enum class Heard { Nothing, Repeat, BadReply, OtherBlock };

    Transport(SerialControl &control, ReplyTimer &timer, const qint16 &comPortNo);

    // Closes the port first if it is open. False, with the reason, when the
    // selected port cannot be opened.
    bool OpenCommPort(QString *reason);
    void CloseCommPort();

    // False when the serial layer refused the bytes; no reply is awaited then.
    // While the radio still owes answers to copies of the last frame, the new
    // one is held back until they are in, or until the radio has had as long
    // to answer the last copy as it took for any copy so far: replies carry no
    // sequence number, so an owed answer would otherwise pass for the new frame's.
    bool SendFrame(qint16 expectedReplyLen, const QByteArray &frame, bool longWait);
    // The next frame goes out no sooner than at, on the timer's clock.
    void NotBefore(qint64 at) { m_notBefore = at; }
    // At an expiry: true when bytes of a reply are in and the wait has been
    // stretched, once, for the rest of it, which then raises the receive
    // event as any reply does. Whether the reply came just before or just
    // after the expiry then no longer depends on when the event loop ran.
    bool LetReplyFinish();
    // For a held frame: the owed answers are given up and the frame goes out.
    Resend ResendFrame();
    // Counts bytes read as answers to the copies sent.
    Received Receive(const QByteArray &bytes);

    // No reply is awaited from now on: received bytes are dropped and the
    // timer is stopped. Called before anything that may show a message box.
    void EndWait();

    // block: the block that a well-formed block reply named instead of the one asked for.
    void NoteHeard(Heard what, int block = -1);
    Heard HeardSoFar() const { return m_heard; }
    int OtherBlock() const { return m_otherBlock; }

    // Called after each copy of a frame went out, with the copies sent before it.
    void OnTransmit(std::function<void(int resends)> handler) { m_transmitted = std::move(handler); }

    bool ReplyHandled() const { return m_replyHandled; }
    const QByteArray &LastFrame() const { return m_lastFrame; }
    qint16 ExpectedReplyLen() const { return m_expectedReplyLen; }
    // The port the last open was for, and its device once opened: where the
    // operation runs, whatever has been selected since.
    int PortNo() const { return m_portNo; }
    const QString &DevicePath() const { return m_devicePath; }

private:
    struct Frame {
        qint16 expectedReplyLen = 0;
        QByteArray bytes;
        bool longWait = false;
    };

    bool Start(const Frame &frame);
    bool Transmit();
    void ArmHold();
    void NoteAnswer();
    // Bytes too few to raise the receive event (a repeat request or a cut
    // reply to a block read) were still the answer to a copy.
    void TakeLeftover();
    // Copies of the last frame whose answers have not come yet.
    int Owed() const { return qMax(0, int(m_sentAt.size()) - m_answers); }

    SerialControl &m_control;
    ReplyTimer &m_timer;
    const qint16 &m_comPortNo;
    int m_portNo = 0;
    QString m_devicePath;

    QByteArray m_lastFrame;
    qint16 m_expectedReplyLen = 0;
    qint16 m_resendCount = 0;
    int m_wait = 0; // the last frame's reply wait, ms
    bool m_replyHandled = true;
    bool m_tailWait = false; // the wait under way was stretched for a reply arriving
    // The radio answers every copy it hears, each in its own time.
    QList<qint64> m_sentAt; // when each copy of the last frame went out, on the timer's clock
    int m_answers = 0;
    qint64 m_longestAnswer = -1; // the longest a copy of the last frame took to be answered; -1 none yet
    std::optional<Frame> m_held;
    qint64 m_holdBound = 0;
    qint64 m_notBefore = 0;
    Heard m_heard = Heard::Nothing;
    int m_otherBlock = -1;
    std::function<void(int)> m_transmitted;
};

} // namespace kelvra
