#pragma once

#include "link/radiolink.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "support/fakeserialcontrol.h"
#include "support/manualreplytimer.h"
#include "support/scriptedoperator.h"

#include <QByteArray>

#include <functional>
#include <optional>

namespace kelvra {

// The radio's side of the dialogue, written from the byte tables with its own
// checksum so that a fault shared with the link's frame code cannot hide.
struct TestRadio
{
    RadioImage image;
    QByteArray model = "KR350UV";
    quint8 band = 3;
    // Overrides the answer to a request; an empty answer is silence.
    std::function<std::optional<QByteArray>(const QByteArray &request)> script;
    QList<int> blocksWritten;

    static quint8 Sum(const QByteArray &bytes)
    {
        quint32 sum = 0;
        for (char b : bytes)
            sum += quint8(b);
        return quint8(sum);
    }

    QByteArray BlockReply(int block) const
    {
        QByteArray reply("W\x08\x00\x20", 4);
        reply.append(char(block));
        reply.append(reinterpret_cast<const char *>(image.data()) + 32 * block, 32);
        reply.append(char(Sum(reply)));
        return reply;
    }

    QByteArray IdentifyReply() const
    {
        QByteArray reply(16, '\0');
        reply[0] = 'I';
        reply.replace(1, model.size(), model);
        reply[8] = char(band);
        reply[15] = 0x06;
        return reply;
    }

    QByteArray Answer(const QByteArray &request)
    {
        if (script) {
            if (const auto answer = script(request))
                return *answer;
        }
        if (request == "PROGRAM" || request == "END")
            return QByteArray(1, 0x06);
        if (request == QByteArray(1, 0x02))
            return IdentifyReply();
        if (request.size() == 5 && request.startsWith("R\x08\x00\x20"))
            return BlockReply(quint8(request.at(4)));
        if (request.size() == 38 && request.at(0) == 'W' && Sum(request.left(37)) == quint8(request.at(37))) {
            const int block = quint8(request.at(4));
            std::copy_n(request.constData() + 5, 32, reinterpret_cast<char *>(image.data()) + 32 * block);
            blocksWritten.append(block);
            return QByteArray(1, 0x06);
        }
        return {};
    }
};

// A fresh program state with every seam faked, as the suites' fixture.
struct LinkWorld
{
    FakeSerialControl control;
    ManualReplyTimer timer;
    ScriptedOperator op;
    RadioInfo info;
    RadioImage image;
    qint16 comPortNo = 3;
    RadioLink link{control, timer, op, info, image, comPortNo};
    TestRadio radio;
    int answered = 0;
    // Boxes shown while a reply was still awaited or the timer could expire.
    int boxesWhileWaiting = 0;

    LinkWorld()
    {
        InitRadioInfo(info, QDate(2026, 12, 5), QLocale::c());
        op.onMessage = [this](const ScriptedOperator::Message &) {
            if (timer.Enabled() || !link.transport().ReplyHandled())
                ++boxesWhileWaiting;
        };
    }

    // The radio answers every request written since the last call, one at a time.
    void Pump()
    {
        while (answered < control.writes.size()) {
            const QByteArray reply = radio.Answer(control.writes.at(answered++));
            if (!reply.isEmpty())
                control.Deliver(reply);
        }
    }

    void Press(bool write) { write ? link.Command2_Click() : link.Command1_Click(); }

    // The radio stays silent to the requests that match.
    void SilenceTo(std::function<bool(const QByteArray &)> matches)
    {
        radio.script = [matches](const QByteArray &r) -> std::optional<QByteArray> {
            return matches(r) ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
        };
    }

    // With the radio behaving again, a new press runs to its completion.
    bool PressAgainCompletes(bool write)
    {
        radio.script = nullptr;
        control.refuseWrites = false;
        answered = int(control.writes.size());
        Press(write);
        Pump();
        return op.texts().last() == (write ? QLatin1String("Write Complete!") : QLatin1String("Read Complete!"));
    }
};

inline QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

} // namespace kelvra
