#pragma once

#include "radiofaults.h"
#include "radioframes.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace radiosim {

struct ReceivedFrame {
    qint64 elapsedNs = 0; // since Start(), when the frame's last byte arrived
    QByteArray bytes;
};

// A radio on the master side of a pseudo-terminal: the program opens the
// slave side as its serial port. Runs on the caller's event loop.
class SimulatedRadio : public QObject
{
    Q_OBJECT
public:
    // 10 bits per byte (start, 8 data, stop) at 115200 baud.
    static constexpr qint64 kByteWireNs = 10 * 1000000000LL / 115200;
    // A paced line hands bytes over in chunks of about this long, as a UART
    // driver does; a byte is never released before its wire time.
    static constexpr qint64 kChunkNs = 500000;

    explicit SimulatedRadio(QObject *parent = nullptr);
    ~SimulatedRadio() override;

    bool Start(QString *error);
    bool Running() const { return m_master >= 0; }
    // The slave side, /dev/pts/N; empty before Start().
    QString DevicePath() const { return m_devicePath; }

    // portsDir/COM<comNumber> -> DevicePath(); creates portsDir. Takes over
    // an alias whose pseudo-terminal has gone; refuses one that leads
    // anywhere else (another radio, a pinned cable), naming its owner, unless
    // replace is set.
    bool MakeAlias(const QString &portsDir, int comNumber, QString *error, bool replace = false);
    QString AliasPath() const { return m_aliasPath; }
    // The link text of the alias that replace displaced; empty if none.
    QByteArray DisplacedTarget() const { return m_displacedTarget; }
    // Removes the alias made by MakeAlias, if it still points at this radio,
    // and puts back the one it displaced.
    void RemoveAlias();

    // Closes the pseudo-terminal: the program's side sees a hang-up, the
    // way a pulled cable looks, and bytes not yet read are gone. The radio
    // stays stopped; Start() makes a new line with a new device path.
    void HangUp();

    // 256 bytes; shorter images are padded with FF, longer ones cut.
    void SetImage(const QByteArray &image);
    QByteArray Image() const { return m_image; }
    // Bytes 1..7 of the identification; shorter ones are padded with 00.
    void SetModelBytes(const QByteArray &model);
    QByteArray ModelBytes() const { return m_model; }
    // The band code is image byte 7; the identification reports it.
    void SetBandCode(quint8 code) { m_image[7] = char(code); }
    quint8 BandCode() const { return quint8(m_image.at(7)); }
    bool InProgramMode() const { return m_programMode; }

    void SetFaults(const QList<FaultRule> &rules) { m_faults = FaultPlan(rules); }
    void AddFault(const FaultRule &rule) { m_faults.Add(rule); }
    void SetReplyDelay(int milliseconds) { m_replyDelayMs = milliseconds; }
    // Makes the line as slow as a real one: a request counts as heard once
    // its own bytes would have crossed at 115200 baud, and reply bytes are
    // released at their wire time instead of all at once.
    void SetLinePacing(bool paced) { m_paced = paced; }
    // Hangs up on receiving the n-th frame, without answering it; 0 never.
    void SetHangUpAfterFrames(int frames) { m_hangUpAfter = frames; }

    const QList<ReceivedFrame> &Frames() const { return m_frames; }
    void ClearFrames() { m_frames.clear(); }
    // Since Start(), on the clock that stamps the frames.
    qint64 ElapsedNs() const;

signals:
    void FrameReceived(const radiosim::ReceivedFrame &frame);
    // A whole reply has been handed to the line.
    void ReplySent(const QByteArray &reply);
    void HungUp();

private:
    // A reply on its way: released whole at startNs, or byte by byte, byte i
    // once its wire time startNs + (i + 1) * byteNs has passed.
    struct Outgoing {
        QByteArray bytes;
        qint64 startNs = 0;
        qint64 byteNs = 0;
        int sent = 0;
        QByteArray reply; // the whole reply, once these bytes end it; empty for a first half
    };

    bool Stop();
    void OnReadable();
    void Handle(const QByteArray &frame, qint64 arrivedNs);
    QByteArray Answer(Request request, const QByteArray &frame);
    // bytes: reply, or a part of it that ends it when reply is given.
    void Transmit(const QByteArray &bytes, qint64 readyNs, const QByteArray &reply);
    void PumpLine();
    void WriteToLine(const QByteArray &bytes);

    int m_master = -1;
    int m_slave = -1; // held so the master never sees the line drop between the program's opens
    QString m_devicePath;
    QString m_aliasPath;
    QByteArray m_displacedTarget;
    QSocketNotifier *m_notifier = nullptr;
    qint64 m_startNs = 0; // CLOCK_MONOTONIC at Start()
    int m_timerFd = -1;   // releases queued bytes at their due time, to the nanosecond
    FrameParser m_parser;
    QList<ReceivedFrame> m_frames;
    QByteArray m_image;
    QByteArray m_model;
    bool m_programMode = false;
    FaultPlan m_faults;
    int m_replyDelayMs = 0;
    bool m_paced = false;
    int m_hangUpAfter = 0;
    int m_frameCount = 0;
    QList<Outgoing> m_outgoing;
    qint64 m_lineFreeNs = 0;
};

} // namespace radiosim

Q_DECLARE_METATYPE(radiosim::ReceivedFrame)
