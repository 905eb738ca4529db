// The link against a model of the radio that keeps its own image and answers
// on its own, on the manual clock: the fuzzer's bytes decide what befalls
// each copy of each request, and when the operator presses again. Whatever
// they decide, the link never waits for nothing, never shows a box while a
// reply is awaited, and the ending tells the truth: "Write Complete!" means
// the radio holds exactly the bytes the write meant, "Read Complete!" that
// the record holds the radio's image, and a failure's detail names what the
// radio took, the radio holding nothing else.
// No answer comes later than 2 s after its copy. The write changes every
// block it sends, so a late answer to a re-read never shows what was meant.
#include "link/radiolink.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "support/fakeserialcontrol.h"
#include "support/manualreplytimer.h"
#include "support/scriptedoperator.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

using namespace kelvra;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

using Image = std::array<quint8, 256>;

QByteArray BlockOf(const Image &image, int block)
{
    return QByteArray(reinterpret_cast<const char *>(image.data()) + 32 * block, 32);
}

// The radio, written from the byte tables: it shares no frame or checksum code with the link.
struct ModelRadio
{
    Image image{};
    bool programMode = false;

    static quint8 Sum(const QByteArray &bytes, int last)
    {
        quint8 sum = 0;
        for (int i = 0; i <= last; ++i)
            sum = quint8(sum + quint8(bytes.at(i)));
        return sum;
    }

    QByteArray BlockReply(int block) const
    {
        QByteArray reply = QByteArray("W\x08\x00\x20", 4) + char(block) + BlockOf(image, block);
        return reply + char(Sum(reply, 36));
    }

    // Acts on a request it heard and returns its answer; empty when it has none.
    // misstore: XORed into the stored block's byte misstore % 32 when not 0.
    QByteArray Act(const QByteArray &frame, quint8 misstore)
    {
        if (frame == "PROGRAM") {
            programMode = true;
            return "\x06";
        }
        if (!programMode)
            return {};
        if (frame == "END") {
            programMode = false;
            return "\x06";
        }
        if (frame == QByteArray(1, '\x02'))
            return QByteArray("IKR350UV\x03", 9) + QByteArray(6, '\0') + '\x06';
        const bool block = frame.size() >= 5 && frame.mid(1, 3) == QByteArray("\x08\x00\x20", 3) && quint8(frame[4]) < 8;
        if (block && frame.size() == 5 && frame[0] == 'R')
            return BlockReply(quint8(frame[4]));
        if (!block || frame.size() != 38 || frame[0] != 'W' || Sum(frame, 36) != quint8(frame[37]))
            return {};
        const int at = 32 * quint8(frame[4]);
        std::copy_n(frame.constData() + 5, 32, image.begin() + at);
        if (misstore)
            image[at + misstore % 32] ^= misstore;
        return "\x06";
    }
};

struct Reply
{
    qint64 at;
    QByteArray bytes;
};

// The bytes a write may change: band, band-setting bit (bit 2 of 13), password, dealer fields.
bool OwnedByWrite(int i, quint8 was, quint8 now)
{
    return i == 7 || (i == 13 && (was ^ now) == 0x04) || (i >= 60 && i < 64) || (i >= 80 && i < 144);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    size_t next = 0;
    // Once the bytes run out, every copy is answered at once.
    auto byte = [&]() -> quint8 { return next < size ? data[next++] : 0; };

    FakeSerialControl control;
    ManualReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    InitRadioInfo(info, QDate(2026, 12, 6), QLocale::c());
    RadioImage image;
    const qint16 comPortNo = 5;
    RadioLink link(control, timer, op, info, image, comPortNo);
    ModelRadio radio;
    for (int i = 0; i < 256; ++i)
        radio.image[i] = quint8(0x21 + (i * 11) % 0x5D);
    radio.image[7] = 3;
    const Image before = radio.image;

    QList<OperationResult> results;
    QObject::connect(&link, &RadioLink::Finished, [&](const OperationResult &r) { results.append(r); });
    op.onMessage = [&](const ScriptedOperator::Message &) {
        require(link.transport().ReplyHandled() && !timer.Enabled());
    };
    op.onGetDataByShow = [&] {
        info.BandCode = 9;
        info.FreqSet = 1 - info.FreqSet;
        info.ProgramPassword = QStringLiteral("4711");
        info.DealerCode = QStringLiteral("D-77");
        info.StockDate = QStringLiteral("2026-12-01");
        info.SellDate = QStringLiteral("2026-12-06");
        info.Seller = QStringLiteral("Mei");
    };

    const bool write = byte() & 1;
    write ? link.Command2_Click() : link.Command1_Click();

    QList<Reply> replies;
    qsizetype heard = 0;
    bool wrote = false;
    Image meant{};
    for (int step = 0; link.OpKind() != Operation::None; ++step) {
        require(step < 5000); // never a livelock
        while (heard < control.writes.size() && control.PortOpen()) {
            const QByteArray frame = control.writes.at(heard++);
            // Only the five requests, for blocks inside the image, writes only to blocks 0-4.
            const QByteArray fixed("\x08\x00\x20", 3);
            require(frame == "PROGRAM" || frame == "END" || frame == QByteArray(1, '\x02')
                    || (frame.size() == 5 && frame[0] == 'R' && frame.mid(1, 3) == fixed && quint8(frame[4]) < 8)
                    || (frame.size() == 38 && frame[0] == 'W' && frame.mid(1, 3) == fixed && quint8(frame[4]) < 5
                        && ModelRadio::Sum(frame, 36) == quint8(frame[37])));
            if (frame.startsWith('W') && !wrote) {
                // What the write means the radio to hold, as the first block goes out.
                wrote = true;
                meant = before;
                std::copy_n(image.data(), 160, meant.begin());
                // The rest of blocks 0-4 goes back as the radio holds it.
                for (int i = 0; i < 160; ++i)
                    require(meant[i] == before[i] || OwnedByWrite(i, before[i], meant[i]));
            }
            if (frame.startsWith('W'))
                require(frame.mid(5, 32) == BlockOf(meant, quint8(frame[4])));
            const quint8 fate = byte();
            const qint64 now = timer.now;
            qint64 delay = (fate & 15);
            QByteArray answer;
            switch (fate >> 4) {
            case 6: delay *= 25; break;
            case 7: delay = std::min(2000, byte() * 8); break;
            case 8: continue; // lost on the line
            case 10: replies.append({now + delay * 20, "\x0A"}); continue;
            case 14: answer = radio.Act(frame, quint8(fate | 1)); break;
            case 15:
                if (fate & 1) {
                    control.Pull();
                    continue;
                }
                if (fate & 2) { // bytes of no kind at all
                    replies.append({now + delay, QByteArray(1 + (fate & 12) * 3, char(byte()))});
                    continue;
                }
                if (write) {
                    // A press never abandons a write, nor reads the model box meanwhile.
                    const qsizetype sent = control.writes.size();
                    op.modelBoxText = QStringLiteral("KR350SV");
                    link.Command1_Click();
                    link.Command2_Click();
                    op.modelBoxText = QStringLiteral("KR350UV");
                    require(control.writes.size() == sent && link.OpKind() == Operation::Write
                            && info.Model == op.modelBoxText);
                } else {
                    link.Command1_Click(); // a read starts afresh
                    continue;
                }
                break;
            }
            if (answer.isEmpty())
                answer = radio.Act(frame, 0);
            if (answer.isEmpty())
                continue;
            if (fate >> 4 == 11 && answer.size() == 38)
                answer = radio.BlockReply((quint8(answer[4]) + 1 + (fate & 6)) % 8);
            if (fate >> 4 == 12)
                answer[answer.size() - 1] = char(answer.at(answer.size() - 1) + 1);
            if (fate >> 4 == 13)
                answer.chop(1 + (fate & 3));
            if (answer.isEmpty())
                continue;
            replies.append({now + delay, answer});
            if (fate >> 4 == 9)
                replies.append({now + std::min<qint64>(2000, delay + byte() * 8), answer});
        }
        if (link.OpKind() == Operation::None)
            break;
        // The next thing to happen: a reply reaching the port, or the timer running out.
        const auto first = std::min_element(replies.begin(), replies.end(),
                                            [](const Reply &a, const Reply &b) { return a.at < b.at; });
        require(first != replies.end() || timer.Enabled()); // never waiting for nothing
        if (first != replies.end() && (!timer.Enabled() || first->at <= timer.Deadline())) {
            timer.now = std::max(timer.now, first->at);
            const QByteArray bytes = first->bytes;
            replies.erase(first);
            control.Deliver(bytes);
        } else {
            timer.Fire();
        }
    }

    // One result per press that started an operation; a read abandoned by a press shows no box.
    require(!op.texts.isEmpty());
    for (qsizetype i = 0; i + 1 < results.size(); ++i)
        require(results.at(i).failure == OperationResult::Failure::Abandoned && results.at(i).message.isEmpty());
    const OperationResult &result = results.constLast();
    require(result.message == op.texts.constLast() && result.success == op.texts.constLast().endsWith(u"Complete!"));
    for (int block = 5; block < 8; ++block)
        require(BlockOf(radio.image, block) == BlockOf(before, block));
    if (!write) {
        require(!result.success || std::equal(radio.image.begin(), radio.image.end(), image.data()));
        return 0;
    }
    if (!wrote) {
        require(!result.success && radio.image == before);
        return 0;
    }
    require(!result.success || (result.Verified() && radio.image == meant));
    for (int block = 0; block < 5; ++block) {
        const QByteArray held = BlockOf(radio.image, block);
        switch (result.blocks[block]) {
        case BlockFate::Verified: require(held == BlockOf(meant, block)); break;
        // A late answer to an earlier read may be what differed: only that it did is claimed.
        case BlockFate::Differs: require(result.detail.contains(QStringLiteral("Block %1,").arg(block))); break;
        default: break;
        }
    }
    return 0;
}
