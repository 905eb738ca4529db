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
// Whether devicePath is a serial line, decided without opening it, since
// opening a device can have effects of its own: a tty with hardware behind
// it, or the far end of a pseudo-terminal. Consoles and /dev/tty are not.
bool IsSerialLine(const QString &devicePath);

// Called after the serial library refused devicePath (already canonical);
// libraryError is its own message, the last resort.
QString Explain(int portNo, const QString &devicePath, const QString &libraryError);

// Who may open the device, who is asking, and what the group database says
// of the asker: a user added to a group gets it at the next login only.
struct DeviceAccess {
    uint mode = 0; // permission bits of st_mode
    uint ownerUid = 0;
    uint groupGid = 0;
    QString ownerName;
    QString groupName;
    uint processUid = 0;
    QList<uint> processGroups; // effective and supplementary group ids
    bool serialLine = true;
    QString userName;          // of processUid, from the user database
    uint userPrimaryGroup = 0; // likewise
    QStringList groupMembers;  // of the device's group, from the group database
};
DeviceAccess AccessOf(const QString &devicePath);
// Empty when the process may read and write the device. Advice to join a
// group is given for serial lines only, and names the documentation.
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
