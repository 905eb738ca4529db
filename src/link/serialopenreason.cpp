#include "link/serialopenreason.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace kelvra::serialopen {

namespace {

// Every reason text, in one place, collected for translation.
namespace text {
constexpr char kNoPortSelected[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "No serial port is selected. Pick the port of the programming cable in the port list.");
constexpr char kNoPortFound[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "No serial port was found. Plug the programming cable in; its port appears in the port list within a "
    "second.");
constexpr char kNotPresent[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1 is not present: no serial device or port alias has this number. Plug the programming cable "
    "in, or pick another port.");
constexpr char kDeviceMissing[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: the device %2 is not there. Plug the programming cable in again, or pick another port.");
constexpr char kNoHardware[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: the device %2 does not answer (%3). The adapter was unplugged or the port has no hardware "
    "behind it; pick another port.");
constexpr char kNotSerial[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is not a serial device. A port alias must point at a serial device such as /dev/ttyUSB0.");
constexpr char kNotMember[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: access to %2 is denied. The device belongs to the group %3, and this user is not a member of "
    "it. Join the group %3%4; it takes effect at the next login.");
constexpr char kDialoutElsewhere[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    " (uucp on Arch)");
constexpr char kModeDenies[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: access to %2 is denied. Its permissions %3 (owner %4, group %5) do not let this user read "
    "and write it. Ask the administrator to give the group %5 read and write access and to make this "
    "user a member of it.");
constexpr char kRootOnly[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: access to %2 is denied. Its permissions %3 (owner %4, group %5) let only the administrator use "
    "it. Ask the administrator for a udev rule that gives the device to the group dialout, as the README's "
    "section \"Serial ports on Linux\" shows.");
constexpr char kLockedBy[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is in use by the program %3 (process %4), which holds the lock file %5. Close that "
    "program and try again.");
constexpr char kStaleLock[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is locked by the lock file %3 of process %4, which no longer runs. Delete that lock file "
    "and try again.");
constexpr char kBusyBy[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is in use by the program %3 (process %4). Close that program and try again.");
constexpr char kBusy[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 is in use by another program. Close that program and try again.");
constexpr char kOther[] = QT_TRANSLATE_NOOP(
    "SerialOpenReason",
    "COM%1: %2 could not be opened: %3.");
} // namespace text

QString Text(const char *literal)
{
    return QCoreApplication::translate("SerialOpenReason", literal);
}

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

QString ProgramOf(const QString &procRoot, qint64 pid)
{
    QFile comm(QStringLiteral("%1/%2/comm").arg(procRoot).arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// Lock files are named after the device: LCK..ttyUSB0, and for devices in
// a subfolder of /dev (pts/3) with the slash made an underscore.
QStringList LockNames(const QString &devicePath)
{
    QStringList names{QStringLiteral("LCK..") + QFileInfo(devicePath).fileName()};
    if (devicePath.startsWith(QLatin1String("/dev/"))) {
        QString relative = devicePath.mid(5);
        relative.replace(QLatin1Char('/'), QLatin1Char('_'));
        names.append(QStringLiteral("LCK..") + relative);
    }
    names.removeDuplicates();
    return names;
}

// The process with devicePath open, other than by way of the lock file.
std::optional<LockHolder> ProcessUsing(const QByteArray &devicePath)
{
    DIR *proc = opendir("/proc");
    if (!proc)
        return std::nullopt;
    std::optional<LockHolder> found;
    while (!found) {
        const dirent *entry = readdir(proc);
        if (!entry)
            break;
        char *end = nullptr;
        const long pid = strtol(entry->d_name, &end, 10);
        if (*end != '\0' || pid <= 0)
            continue;
        const QByteArray fdDir = QByteArray("/proc/") + entry->d_name + "/fd";
        DIR *fds = opendir(fdDir.constData());
        if (!fds)
            continue;
        while (const dirent *fd = readdir(fds)) {
            char target[4096];
            const ssize_t n = readlink((fdDir + '/' + fd->d_name).constData(), target, sizeof target - 1);
            if (n > 0 && QByteArray(target, int(n)) == devicePath) {
                found = LockHolder{QString(), pid, ProgramOf(QStringLiteral("/proc"), pid)};
                break;
            }
        }
        closedir(fds);
    }
    closedir(proc);
    return found;
}

} // namespace

QString NoPortSelected()
{
    return Text(text::kNoPortSelected);
}

QString NoPortFound()
{
    return Text(text::kNoPortFound);
}

QString NotPresent(int portNo)
{
    return Text(text::kNotPresent).arg(portNo);
}

QString DeviceMissing(int portNo, const QString &devicePath)
{
    return Text(text::kDeviceMissing).arg(portNo).arg(devicePath);
}

bool MayOpen(const QString &devicePath)
{
    struct stat st{};
    if (stat(QFile::encodeName(devicePath).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    // /dev/tty, /dev/console and /dev/ptmx (major 5) and the virtual consoles
    // tty0 to tty63 (major 4 below ttyS0's minor 64) are people's terminals:
    // opening one would set the user's own screen to raw 115200 baud.
    const unsigned int major = major(st.st_rdev);
    return major != 5 && !(major == 4 && minor(st.st_rdev) < 64);
}

QString NotSerialDevice(int portNo, const QString &devicePath)
{
    return Text(text::kNotSerial).arg(portNo).arg(devicePath);
}

DeviceAccess AccessOf(const QString &devicePath)
{
    DeviceAccess access;
    struct stat st{};
    if (stat(QFile::encodeName(devicePath).constData(), &st) != 0)
        return access;
    access.mode = st.st_mode & 07777;
    access.ownerUid = st.st_uid;
    access.groupGid = st.st_gid;
    if (const passwd *owner = getpwuid(st.st_uid))
        access.ownerName = QString::fromLocal8Bit(owner->pw_name);
    else
        access.ownerName = QString::number(st.st_uid);
    if (const group *grp = getgrgid(st.st_gid))
        access.groupName = QString::fromLocal8Bit(grp->gr_name);
    else
        access.groupName = QString::number(st.st_gid);
    access.processUid = geteuid();
    access.processGroups.append(getegid());
    const int count = getgroups(0, nullptr);
    if (count > 0) {
        QList<gid_t> groups(count);
        const int got = getgroups(count, groups.data());
        for (int i = 0; i < got; ++i)
            access.processGroups.append(groups.at(i));
    }
    return access;
}

QString AccessProblem(int portNo, const QString &devicePath, const DeviceAccess &access)
{
    constexpr uint kReadWrite = 06;
    if (access.processUid == 0)
        return QString();
    uint shift = 0; // others
    if (access.processUid == access.ownerUid)
        shift = 6;
    else if (access.processGroups.contains(access.groupGid))
        shift = 3;
    if (((access.mode >> shift) & kReadWrite) == kReadWrite)
        return QString();

    const bool groupWouldDo = ((access.mode >> 3) & kReadWrite) == kReadWrite;
    if (shift == 0 && groupWouldDo) {
        const QString hint = access.groupName == QLatin1String("dialout") ? Text(text::kDialoutElsewhere) : QString();
        return Text(text::kNotMember).arg(portNo).arg(devicePath, access.groupName, hint);
    }
    QString symbolic;
    for (int bit = 8; bit >= 0; --bit)
        symbolic += (access.mode >> bit) & 1 ? QLatin1Char("xwr"[bit % 3]) : QLatin1Char('-');
    // Giving root's group access would open the device to far more than this program.
    const QString advice = access.groupGid == 0 ? Text(text::kRootOnly) : Text(text::kModeDenies);
    return advice.arg(portNo).arg(devicePath, symbolic, access.ownerName, access.groupName);
}

QStringList DefaultLockDirs()
{
    return {QStringLiteral("/run/lock"),     QStringLiteral("/var/lock"),        QStringLiteral("/var/lock/lockdev"),
            QStringLiteral("/etc/locks"),    QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
            QStringLiteral("/tmp"),          QStringLiteral("/var/tmp")};
}

std::optional<LockHolder> FindLock(const QString &devicePath, const QStringList &lockDirs, const QString &procRoot)
{
    for (const QString &dir : lockDirs) {
        for (const QString &name : LockNames(devicePath)) {
            QFile file(dir + QLatin1Char('/') + name);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            // Either "pid\nprogram\nhost\n" or a ten-column decimal pid.
            bool ok = false;
            const qint64 pid = file.readLine(64).trimmed().toLongLong(&ok);
            if (!ok || pid <= 0)
                continue;
            return LockHolder{file.fileName(), pid, ProgramOf(procRoot, pid)};
        }
    }
    return std::nullopt;
}

QString LockProblem(int portNo, const QString &devicePath, const LockHolder &lock)
{
    if (lock.program.isEmpty())
        return Text(text::kStaleLock).arg(portNo).arg(devicePath, lock.lockFile).arg(lock.pid);
    return Text(text::kLockedBy).arg(portNo).arg(devicePath, lock.program).arg(lock.pid).arg(lock.lockFile);
}

QString Explain(int portNo, const QString &devicePath, const QString &libraryError)
{
    const QByteArray native = QFile::encodeName(devicePath);
    struct stat st{};
    if (stat(native.constData(), &st) != 0)
        return DeviceMissing(portNo, devicePath);
    if (!MayOpen(devicePath))
        return NotSerialDevice(portNo, devicePath);

    const QString access = AccessProblem(portNo, devicePath, AccessOf(devicePath));
    if (!access.isEmpty())
        return access;
    if (const auto lock = FindLock(devicePath, DefaultLockDirs()))
        return LockProblem(portNo, devicePath, *lock);

    // Only reached once the serial library has failed: a second open tells
    // EBUSY (exclusive use) and a missing UART apart from the rest.
    const int fd = open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EBUSY) {
            if (const auto holder = ProcessUsing(native)) {
                return Text(text::kBusyBy).arg(portNo).arg(devicePath, holder->program).arg(holder->pid);
            }
            return Text(text::kBusy).arg(portNo).arg(devicePath);
        }
        if (error == EIO || error == ENXIO || error == ENODEV)
            return Text(text::kNoHardware).arg(portNo).arg(devicePath, ErrnoText(error));
        return Text(text::kOther).arg(portNo).arg(devicePath, ErrnoText(error));
    }
    const bool serial = isatty(fd);
    close(fd);
    if (!serial)
        return NotSerialDevice(portNo, devicePath);
    return Text(text::kOther).arg(portNo).arg(devicePath, libraryError);
}

} // namespace kelvra::serialopen
