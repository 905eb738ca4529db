#pragma once

#include "link/serialcontrol.h"

class QSerialPort;

namespace kelvra {

class PortDirectory;

// The serial control over a real device: ports are looked up by number in
// the PortDirectory, opened at 115200 8N1 without flow control, and a device
// that fails or vanishes is closed at once and reported once as Lost.
class QtSerialControl : public SerialControl
{
    Q_OBJECT
public:
    explicit QtSerialControl(const PortDirectory &directory, QObject *parent = nullptr);
    ~QtSerialControl() override;

    bool PortOpen() const override;
    bool Open(int portNo, QString *reason) override;
    void Close() override;
    void SetReceiveThreshold(int bytes) override;
    void ClearTransmitBuffer() override;
    void ClearReceiveBuffer() override;
    bool Write(const QByteArray &bytes) override;
    QByteArray Input() override;
    int InBufferCount() const override;

    QString DevicePath() const override { return m_devicePath; }

private:
    void OnReadyRead();
    void OnError(int error);
    void DeliverLoss(quint64 generation);

    const PortDirectory &m_directory;
    QSerialPort *m_port; // a child; Qt::SerialPort stays out of this header
    QString m_devicePath;
    int m_threshold = 1;
    bool m_lost = false;    // failed, close and Lost on their way
    quint64 m_generation = 0; // counts opens and closes: a late Lost never hits a newer open
};

} // namespace kelvra
