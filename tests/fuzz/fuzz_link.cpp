// Arbitrary replies, expiries, presses and pulled cables thrown at whole read
// and write operations: the link must never crash, never send a frame the
// radio does not know, never write outside blocks 0 to 4, never store a block
// that was not asked for, and never show a box while a reply is still awaited.
#include "link/radiolink.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "support/fakeserialcontrol.h"
#include "support/manualreplytimer.h"
#include "support/scriptedoperator.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace kelvra;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

quint8 sum(const QByteArray &frame, int last)
{
    quint32 total = 0;
    for (int i = 0; i <= last; ++i)
        total += quint8(frame.at(i));
    return quint8(total);
}

void requireKnownFrame(const QByteArray &f)
{
    if (f == "PROGRAM" || f == "END" || f == QByteArray(1, '\x02'))
        return;
    if (f.size() == 5 && f.startsWith(QByteArray("R\x08\x00\x20", 4))) {
        require(quint8(f.at(4)) < 8);
        return;
    }
    require(f.size() == 38 && f.startsWith(QByteArray("W\x08\x00\x20", 4)));
    require(quint8(f.at(4)) <= 4);
    require(sum(f, 36) == quint8(f.at(37)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FakeSerialControl control;
    ManualReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    InitRadioInfo(info, QDate(2026, 12, 6), QLocale::c());
    RadioImage image;
    const qint16 comPortNo = 1;
    RadioLink link(control, timer, op, info, image, comPortNo);

    const auto nothingAwaited = [&] { require(link.transport().ReplyHandled() && !timer.Enabled()); };
    op.onMessage = [&](const ScriptedOperator::Message &) { nothingAwaited(); };
    op.onGetDataByShow = nothingAwaited;

    size_t i = 0;
    auto next = [&]() -> uint8_t { return i < size ? data[i++] : 0; };
    // The block of the last read request, -1 before any.
    auto askedBlock = [&] {
        for (auto frame = control.writes.crbegin(); frame != control.writes.crend(); ++frame) {
            if (frame->startsWith('R'))
                return int(quint8(frame->at(4)));
        }
        return -1;
    };
    while (i < size) {
        const uint8_t command = next();
        const RadioImage before = image;
        const int asked = askedBlock();
        switch (command % 16) {
        case 0: link.Command1_Click(); break;
        case 1: link.Command2_Click(); break;
        case 2: timer.Fire(); break;
        case 3: control.Pull(); break;
        case 4: op.modelBoxText = QString::fromLatin1(command & 0x80 ? "KR350SU" : "KR350UV"); break;
        case 5:
        case 6: {
            // Bytes as they come: a whole buffer of the awaited length, or any length.
            const int len = command % 16 == 6 ? control.threshold : next() % 40;
            QByteArray bytes;
            for (int k = 0; k < len && i < size; ++k)
                bytes.append(char(next()));
            control.Deliver(bytes);
            break;
        }
        default: {
            // A well-formed reply of the awaited kind, so operations get deep.
            QByteArray reply;
            if (control.threshold == 16) {
                static const char *const models[] = {"KR350UV", "KR350SU", "KR350SV", "KR350U_", "KR350_U", "XR12345"};
                reply = QByteArray("I") + models[next() % 6] + char(next()) + QByteArray(6, '\0') + '\x06';
            } else if (control.threshold == 38) {
                reply = QByteArray("W\x08\x00\x20", 4) + char(next() % 9);
                for (int k = 0; k < 32; ++k)
                    reply.append(char(next()));
                reply.append(char(sum(reply, 36)));
            } else {
                reply = QByteArray(1, next() % 5 == 0 ? '\x0A' : '\x06');
            }
            control.Deliver(reply);
            break;
        }
        }
        // A block reply lands only where a read asked for it (blocks 0-4 may
        // also change when a write encodes the window's fields).
        for (int block = 5; block < RadioImage::BlockCount; ++block) {
            const int at = block * RadioImage::BlockSize;
            require(block == asked
                    || std::equal(image.data() + at, image.data() + at + RadioImage::BlockSize, before.data() + at));
        }
        require(link.BlockAddress() >= -32 && link.BlockAddress() <= 256);
        require(timer.Enabled() == !link.transport().ReplyHandled() || !control.PortOpen());
    }
    for (const QByteArray &frame : control.writes)
        requireKnownFrame(frame);
    return 0;
}
