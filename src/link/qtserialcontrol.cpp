#include "link/qtserialcontrol.h"

#include "link/portdirectory.h"
#include "link/serialopenreason.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <linux/serial.h>
#include <sys/ioctl.h>

namespace kelvra {

namespace {

// USB adapters hold received bytes for up to 16 ms unless told otherwise;
// every round trip of the protocol would pay it. Drivers that do not know
// the flag (pseudo-terminals among them) refuse, which is harmless.
bool EnableLowLatency(int fd)
{
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return false;
    if (serial.flags & ASYNC_LOW_LATENCY)
        return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ioctl(fd, TIOCSSERIAL, &serial) == 0;
}

} // namespace

QtSerialControl::QtSerialControl(const PortDirectory &directory, QObject *parent)
    : SerialControl(parent), m_directory(directory), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &QtSerialControl::OnReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { OnError(error); });
}

QtSerialControl::~QtSerialControl()
{
    Close();
}

bool QtSerialControl::PortOpen() const
{
    return m_port->isOpen() && !m_lost;
}

bool QtSerialControl::Open(int portNo, QString *reason)
{
    Close();
    m_threshold = 1;
    m_devicePath.clear();
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return false;
    };

    if (portNo <= 0)
        return fail(m_directory.Ports().isEmpty() ? serialopen::NoPortFound() : serialopen::NoPortSelected());
    const std::optional<PortEntry> entry = m_directory.Find(portNo);
    if (!entry) {
        // A dangling alias is not listed, but naming its target helps more.
        for (const QString &folder : m_directory.AliasDirs()) {
            const QFileInfo alias(folder + QLatin1Char('/') + PortDirectory::PortName(portNo));
            if (alias.isSymLink())
                return fail(serialopen::DeviceMissing(portNo, alias.symLinkTarget()));
        }
        return fail(serialopen::NotPresent(portNo));
    }
    // One device, one lock file, whichever alias reached it.
    const QString device = QFileInfo(entry->devicePath).canonicalFilePath();
    if (device.isEmpty())
        return fail(serialopen::DeviceMissing(portNo, entry->devicePath));
    if (!serialopen::IsSerialLine(device))
        return fail(serialopen::NotSerialDevice(portNo, device));

    m_port->setPortName(device);
    m_port->setBaudRate(QSerialPort::Baud115200);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite))
        return fail(serialopen::Explain(portNo, device, m_port->errorString()));
    // Some adapters hand over bytes left from before the open.
    m_port->clear(QSerialPort::AllDirections);
    EnableLowLatency(int(m_port->handle()));
    m_devicePath = device;
    return true;
}

void QtSerialControl::Close()
{
    ++m_generation;
    m_lost = false;
    if (m_port->isOpen())
        m_port->close();
}

void QtSerialControl::SetReceiveThreshold(int bytes)
{
    m_threshold = qMax(1, bytes);
}

void QtSerialControl::ClearTransmitBuffer()
{
    if (PortOpen())
        m_port->clear(QSerialPort::Output);
}

void QtSerialControl::ClearReceiveBuffer()
{
    // Only what has been fetched: bytes still with the driver came at the
    // moment of the clear (a resend at the expiry), and may well be the
    // reply to a copy that was given up a moment too soon.
    if (PortOpen())
        m_port->skip(m_port->bytesAvailable());
}

bool QtSerialControl::Write(const QByteArray &bytes)
{
    if (!PortOpen() || m_port->write(bytes) != bytes.size())
        return false;
    // Hand the bytes to the driver now rather than at the next loop pass.
    m_port->flush();
    return PortOpen();
}

QByteArray QtSerialControl::Input()
{
    return PortOpen() ? m_port->readAll() : QByteArray();
}

int QtSerialControl::InBufferCount() const
{
    if (!PortOpen())
        return 0;
    // Bytes the event loop has not fetched yet count too: at a busy moment
    // they are the part of a reply that decides whether one is arriving.
    int pending = 0;
    if (ioctl(int(m_port->handle()), FIONREAD, &pending) != 0)
        pending = 0;
    return int(m_port->bytesAvailable()) + pending;
}

void QtSerialControl::OnReadyRead()
{
    if (PortOpen() && m_port->bytesAvailable() >= m_threshold)
        emit OnComm(CommEvent::Receive);
}

void QtSerialControl::OnError(int error)
{
    if (!PortOpen())
        return;
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
        break;
    default:
        return;
    }
    // A hung-up descriptor stays readable for ever; each pass would report
    // the error again. The port counts as closed from here on, and is closed
    // from the event loop rather than inside the serial library's own
    // notification, which still touches its buffer after reporting.
    m_lost = true;
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(this, [this, generation] { DeliverLoss(generation); }, Qt::QueuedConnection);
}

void QtSerialControl::DeliverLoss(quint64 generation)
{
    if (generation != m_generation)
        return;
    Close();
    emit OnComm(CommEvent::Lost);
}

} // namespace kelvra
