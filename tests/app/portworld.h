#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>

namespace kelvra::testing {

// A machine in a temporary folder: the executable's folder with mysetup.ini
// and ports/, a sysfs tty tree and a /dev, so that serial devices can be
// plugged and pulled without hardware.
class PortWorld
{
public:
    PortWorld()
    {
        QDir root(m_root.path());
        root.mkpath(QStringLiteral("app/ports"));
        root.mkpath(QStringLiteral("sys"));
        root.mkpath(QStringLiteral("dev"));
    }

    QString AppDir() const { return m_root.filePath(QStringLiteral("app")); }
    QString PortsDir() const { return m_root.filePath(QStringLiteral("app/ports")); }
    QString SysRoot() const { return m_root.filePath(QStringLiteral("sys")); }
    QString DevRoot() const { return m_root.filePath(QStringLiteral("dev")); }
    QString SettingsPath() const { return m_root.filePath(QStringLiteral("app/mysetup.ini")); }

    // A USB adapter ttyUSB<k>, listed as COM<k+1>. Laid out as the kernel
    // does: the tty's device link leads to the USB interface, whose parent
    // is the USB device with its strings.
    void PlugUsb(int k, const QByteArray &product = QByteArray(), const QByteArray &serial = QByteArray())
    {
        const QString name = QStringLiteral("ttyUSB%1").arg(k);
        const QString usbDevice = QStringLiteral("devices/usb%1").arg(k);
        const QString usbInterface = usbDevice + QStringLiteral("/1-1:1.0");
        QDir sys(SysRoot());
        QVERIFY(sys.mkpath(usbInterface + QStringLiteral("/driver")));
        QVERIFY(sys.mkpath(name));
        QVERIFY(QFile::link(sys.filePath(usbInterface), sys.filePath(name + QStringLiteral("/device"))));
        if (!product.isEmpty()) {
            Put(sys.filePath(usbDevice + QStringLiteral("/idVendor")), "0403");
            Put(sys.filePath(usbDevice + QStringLiteral("/product")), product);
            Put(sys.filePath(usbDevice + QStringLiteral("/manufacturer")), "Bench Cables");
            Put(sys.filePath(usbDevice + QStringLiteral("/serial")), serial);
        }
        Put(QDir(DevRoot()).filePath(name), QByteArray());
    }

    void PullUsb(int k)
    {
        const QString name = QStringLiteral("ttyUSB%1").arg(k);
        QDir sys(SysRoot());
        QVERIFY(QDir(sys.filePath(name)).removeRecursively());
        QVERIFY(QDir(sys.filePath(QStringLiteral("devices/usb%1").arg(k))).removeRecursively());
        QFile::remove(QDir(DevRoot()).filePath(name));
    }

    // ports/COM<n> pointing at target.
    void AddAlias(int n, const QString &target)
    {
        QVERIFY(QFile::link(target, AliasPath(n)));
    }
    void RemoveAlias(int n) { QVERIFY(QFile::remove(AliasPath(n))); }
    QString AliasPath(int n) const { return QDir(PortsDir()).filePath(QStringLiteral("COM%1").arg(n)); }

    // A plain file that an alias can point at.
    QString MakeTarget(const QString &name)
    {
        const QString path = m_root.filePath(name);
        Put(path, QByteArray());
        return path;
    }

    void PutSettings(const QByteArray &content) { Put(SettingsPath(), content); }
    static QByteArray NoFile() { return QByteArrayLiteral("<no file>"); }
    // The settings file's bytes, or NoFile().
    QByteArray Settings() const
    {
        QFile file(SettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : NoFile();
    }

private:
    static void Put(const QString &path, const QByteArray &content)
    {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
        file.write(content);
    }

    QTemporaryDir m_root;
};

} // namespace kelvra::testing
