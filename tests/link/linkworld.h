#pragma once

// The world of the link suites: a radio whose side is written from the byte
// tables, a fresh program state with every seam faked, and what may befall a
// request the radio leaves unanswered.

#include "link/radiolink.h"
#include "record/imagecodec.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "support/fakeserialcontrol.h"
#include "support/manualreplytimer.h"
#include "support/scriptedoperator.h"

#include <QTest>

namespace kelvra::testing {

// Summed here on its own, so that a fault shared with the link's frame code cannot hide.
inline char Sum(const QByteArray &bytes)
{
    quint8 sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    return char(sum);
}

// Block frames both ways: lead, 08 00 20, block number, then in a 38-byte
// frame the block's 32 bytes and the checksum.
inline QByteArray BlockHeader(char lead, int block)
{
    return lead + QByteArray("\x08\x00\x20", 3) + char(block);
}

inline QByteArray BlockFrame(char lead, int block, const RadioImage &image)
{
    QByteArray frame = BlockHeader(lead, block);
    frame.append(reinterpret_cast<const char *>(image.data()) + 32 * block, 32);
    return frame + Sum(frame);
}

// The radio's side of the dialogue, written from the byte tables.
struct TestRadio
{
    RadioImage image;
    QByteArray model = "KR350UV";
    quint8 band = 3;
    int misstore = -1; // the next write of this block is stored with its first byte flipped

    // Printable bytes that vary: nothing ends a text early, and a misplaced block shows.
    TestRadio()
    {
        for (int i = 0; i < RadioImage::Size; ++i)
            image[i] = quint8(0x20 + (i * 7) % 0x5F);
    }

    QByteArray Answer(const QByteArray &request)
    {
        if (request == "PROGRAM" || request == "END")
            return "\x06";
        if (request == "\x02")
            return 'I' + model.leftJustified(7, '\0', true) + char(band) + QByteArray(6, '\0') + '\x06';
        const int block = quint8(request.at(4));
        if (request.at(0) == 'R')
            return BlockFrame('W', block, image);
        // A block is written only when its frame is whole and its checksum right.
        RadioImage written = image;
        std::copy_n(request.constData() + 5, 32, written.data() + 32 * block);
        if (request != BlockFrame('W', block, written))
            return {};
        if (block == misstore) {
            written[32 * block] ^= 0xFF;
            misstore = -1;
        }
        image = written;
        return "\x06";
    }
};

// A fresh program state with every seam faked and the radio at the far end.
struct LinkWorld
{
    FakeSerialControl control;
    ManualReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    // Just ahead of the radio: a block stored past the image's end spoils test
    // data, not the link, so the test reports it instead of crashing.
    RadioImage image;
    TestRadio radio;
    qint16 comPortNo = 3;
    RadioLink link{control, timer, op, info, image, comPortNo};
    QByteArray silentTo; // the radio ignores requests that start with these bytes
    int spared = 0;      // once it has answered this many of them
    qsizetype answered = 0;
    QStringList details; // of every box, in turn
    // An answer owed to an earlier copy of lateFor, due at lateAt: it comes
    // then, or just ahead of the radio's answer to the next copy sent sooner.
    QByteArray late;
    QByteArray lateFor;
    qint64 lateAt = 0;

    LinkWorld()
    {
        InitRadioInfo(info, QDate(2026, 12, 5), QLocale::c());
        // An expiry or a reply would be handled under a box's nested event loop.
        op.onMessage = [this](const ScriptedOperator::Message &m) {
            details.append(m.detail);
            QVERIFY2(!timer.Enabled() && link.transport().ReplyHandled(), qPrintable(m.text));
        };
    }

    void Press(bool write) { write ? link.Command2_Click() : link.Command1_Click(); }

    // The radio answers every request written since the last call, one at a time.
    void Pump()
    {
        while (answered < control.writes.size()) {
            const QByteArray request = control.writes.at(answered++);
            if (request == lateFor && !late.isEmpty())
                control.Deliver(std::exchange(late, QByteArray()));
            if (silentTo.isEmpty() || !request.startsWith(silentTo) || spared-- > 0)
                control.Deliver(radio.Answer(request));
        }
    }

    // A press that runs until the radio leaves a request starting with silent
    // unanswered; returns that request.
    QByteArray RunUntilSilent(bool write, const QByteArray &silent)
    {
        silentTo = silent;
        Press(write);
        Pump();
        return control.writes.isEmpty() ? QByteArray() : control.writes.constLast();
    }

    // The radio answers at once from now on, until a box ends the operation;
    // the clock moves on only at expiries, and to a late answer due before one.
    void Finish()
    {
        silentTo.clear();
        for (Pump(); op.texts.isEmpty(); Pump()) {
            if (!late.isEmpty() && timer.Enabled() && timer.Deadline() >= lateAt) {
                timer.now = qMax(timer.now, lateAt);
                control.Deliver(std::exchange(late, QByteArray()));
            } else if (!timer.Fire()) {
                return;
            }
        }
    }
};

// What befalls an unanswered request: T the timer expires, R a repeat reply
// (too short to be noticed while a block is awaited), B a block reply for
// block 1, P the cable is pulled, X the port refuses writes from now on, O it
// refuses to open, A the radio answers one copy after all, N the operator
// presses again, Q the radio answers one copy while the band question is
// open, D the clock moves on 500 ms, K a late acknowledgement comes for the
// frame just sent, which the radio lost, F the radio's copy of the requested
// block gets its first byte flipped, M the window holds the radio's own
// values and the radio stores the next write of the block with its first
// byte flipped, L the radio's answer to the request as it holds the block
// now comes 1.5 s late.
inline void Befall(LinkWorld &w, char event, const QByteArray &request, bool write)
{
    switch (event) {
    case 'T': QVERIFY(w.timer.Fire()); break;
    case 'R': w.control.Deliver("\x0A"); break;
    case 'B': w.control.Deliver(w.radio.Answer(BlockHeader('R', 1))); break;
    case 'P': w.control.Pull(); break;
    case 'X': w.control.refuseWrites = true; break;
    case 'A': w.control.Deliver(w.radio.Answer(request)); break;
    case 'O': w.control.openFailure = QStringLiteral("in use"); break;
    case 'N': w.Press(write); break;
    case 'D': w.timer.now += 500; break;
    case 'K': w.control.Deliver("\x06"); break;
    case 'Q': w.op.onGetDataByShow = [&w, request] { w.control.Deliver(w.radio.Answer(request)); }; break;
    case 'F': w.radio.image[32 * request.at(4)] ^= 0xFF; break;
    case 'M':
        w.radio.misstore = request.at(4);
        w.op.onGetDataByShow = [&w] { DecodeRadioInfo(w.radio.image, w.info); };
        break;
    case 'L':
        w.late = w.radio.Answer(request);
        w.lateFor = request;
        w.lateAt = w.timer.now + 1500;
        break;
    }
}


} // namespace kelvra::testing
