#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Why a serial port could not be opened, in words a dealer can act on. The
// serial library reports access denied, a busy port and a held lock alike;
// these functions look at the device, the lock files and the processes to
// tell them apart.
namespace kelvra::serialopen {

QString NoPortSelected();
// No serial device or alias is there at all.
QString NoPortFound();
QString NotPresent(int portNo);
QString DeviceMissing(int portNo, const QString &devicePath);
QString NotSerialDevice(int portNo, const QString &devicePath);
// A character device that may be a serial line: not a terminal or console of a person.
bool MayOpen(const QString &devicePath);

// Called after the serial library refused devicePath (already canonical);
// libraryError is its own message, the last resort.
QString Explain(int portNo, const QString &devicePath, const QString &libraryError);

// Who may open the device and who is asking.
struct DeviceAccess {
    uint mode = 0; // permission bits of st_mode
    uint ownerUid = 0;
    uint groupGid = 0;
    QString ownerName;
    QString groupName;
    uint processUid = 0;
    QList<uint> processGroups; // effective and supplementary group ids
};
DeviceAccess AccessOf(const QString &devicePath);
// Empty when the process may read and write the device.
QString AccessProblem(int portNo, const QString &devicePath, const DeviceAccess &access);

struct LockHolder {
    QString lockFile;
    qint64 pid = 0;
    QString program; // empty when no such process runs
};
QStringList DefaultLockDirs();
// The first lock file for the device in lockDirs that names a process.
std::optional<LockHolder> FindLock(const QString &devicePath, const QStringList &lockDirs,
                                   const QString &procRoot = QStringLiteral("/proc"));
QString LockProblem(int portNo, const QString &devicePath, const LockHolder &lock);

} // namespace kelvra::serialopen
