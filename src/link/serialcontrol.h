#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

namespace kelvra {

// The serial port as the radio link needs it: open and close by port number,
// a receive event raised once a threshold of bytes is buffered, one read that
// takes everything, clearing both directions, and writing raw bytes.
// The product uses QtSerialControl; tests may substitute their own.
class SerialControl : public QObject
{
    Q_OBJECT
public:
    enum class CommEvent {
        Receive = 2, // at least the receive threshold of bytes is buffered
        Lost,        // the device failed or vanished (cable pulled); the port is already closed
    };
    Q_ENUM(CommEvent)

    using QObject::QObject;
    ~SerialControl() override = default;

    virtual bool PortOpen() const = 0;
    // Opens COM<portNo> at 115200 baud, no parity, 8 data bits, 1 stop bit, no flow
    // control, raw bytes, receive threshold 1. On failure returns false and
    // fills *reason with words a dealer can act on.
    virtual bool Open(int portNo, QString *reason) = 0;
    virtual void Close() = 0;
    virtual void SetReceiveThreshold(int bytes) = 0;
    virtual void ClearTransmitBuffer() = 0;
    virtual void ClearReceiveBuffer() = 0;
    // False when the bytes could not be handed to the device.
    virtual bool Write(const QByteArray &bytes) = 0;
    // Everything buffered; the buffer is empty afterwards.
    virtual QByteArray Input() = 0;
    // Bytes received and not read yet, those the driver still holds included.
    virtual int InBufferCount() const = 0;
    // The device behind the port opened last (an alias resolved), for telling
    // the operator where to look; empty where there is no such thing.
    virtual QString DevicePath() const = 0;

signals:
    // Delivered on the event loop. For Receive, raised once the buffer holds at
    // least the threshold; for Lost, once, after the port has been closed.
    void OnComm(kelvra::SerialControl::CommEvent event);
};

} // namespace kelvra
