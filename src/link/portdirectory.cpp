#include "link/portdirectory.h"

#include <QCoreApplication>
#include <QFile>

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <unistd.h>

namespace kelvra {

namespace {

struct DeviceFamily {
    const char *prefix;
    int first;  // number of index 0
    int count;
    bool needsDriver; // virtual families (Bluetooth links) have no driver link
    bool checkUart;   // 8250-style ports exist in sysfs whether or not a UART is fitted
    bool usb;         // has a USB device above it with product, maker and serial number
};

// Keep in step with the table in portdirectory.h.
constexpr DeviceFamily kFamilies[] = {
    {"ttyUSB", 1, 100, true, false, true},     {"ttyACM", 101, 100, true, false, true},
    {"ttyS", 201, 100, true, true, false},     {"ttyAMA", 301, 40, true, false, false},
    {"ttyXRUSB", 341, 40, true, false, true},  {"rfcomm", 381, 40, false, false, false},
    {"ttymxc", 421, 40, true, false, false},   {"ttyO", 461, 40, true, false, false},
    {"ttyGS", 501, 40, true, false, false},    {"ttySAC", 541, 40, true, false, false},
    {"ttyTHS", 581, 40, true, false, false},   {"ttyMSM", 621, 40, true, false, false},
    {"ttyHS", 661, 40, true, false, false},    {"ttyLP", 701, 40, true, false, false},
    {"ttyPS", 741, 40, true, false, false},    {"ttySC", 781, 40, true, false, false},
    {"ttyUL", 821, 40, true, false, false},
};

constexpr int kMaxPort = 999;

// The family and number of a device name: prefix followed by decimal digits only.
const DeviceFamily *Classify(const char *name, int *number)
{
    for (const DeviceFamily &family : kFamilies) {
        const size_t prefixLength = strlen(family.prefix);
        if (strncmp(name, family.prefix, prefixLength) != 0)
            continue;
        const char *digits = name + prefixLength;
        if (*digits == '\0' || strlen(digits) > 3)
            continue;
        int index = 0;
        for (const char *p = digits; *p; ++p) {
            if (*p < '0' || *p > '9') {
                index = -1;
                break;
            }
            index = index * 10 + (*p - '0');
        }
        if (index < 0 || index >= family.count)
            continue;
        *number = family.first + index;
        return &family;
    }
    return nullptr;
}

bool Exists(const QByteArray &path)
{
    return access(path.constData(), F_OK) == 0;
}

// A sysfs attribute, trimmed; empty when absent.
QString ReadAttribute(const QByteArray &path)
{
    const int fd = open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return QString();
    char buffer[256];
    const ssize_t n = read(fd, buffer, sizeof buffer);
    close(fd);
    return n > 0 ? QString::fromUtf8(buffer, int(n)).trimmed() : QString();
}

QByteArray Canonical(const QByteArray &path)
{
    char resolved[PATH_MAX];
    return realpath(path.constData(), resolved) ? QByteArray(resolved) : QByteArray();
}

// "COM<n>" with 1 <= n <= 999 and no leading zero; 0 otherwise.
int AliasNumber(const char *name)
{
    if (strncmp(name, "COM", 3) != 0 || name[3] < '1' || name[3] > '9' || strlen(name) > 6)
        return 0;
    int number = 0;
    for (const char *p = name + 3; *p; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
        number = number * 10 + (*p - '0');
    }
    return number <= kMaxPort ? number : 0;
}

template<typename Visit>
void ForEachEntry(const QByteArray &dirPath, Visit visit)
{
    DIR *dir = opendir(dirPath.constData());
    if (!dir)
        return;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] != '.')
            visit(entry->d_name);
    }
    closedir(dir);
}

} // namespace

PortDirectory::PortDirectory(const QStringList &aliasDirs, const QString &sysTtyRoot, const QString &devRoot)
    : m_aliasDirs(aliasDirs), m_sysRoot(QFile::encodeName(sysTtyRoot))
{
    m_devRoot = Canonical(QFile::encodeName(devRoot));
    if (m_devRoot.isEmpty())
        m_devRoot = QFile::encodeName(devRoot);
}

QString PortDirectory::DefaultAliasDir()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/ports");
}

int PortDirectory::NumberForDevice(const QString &deviceName)
{
    int number = 0;
    return Classify(QFile::encodeName(deviceName).constData(), &number) ? number : 0;
}

QString PortDirectory::PortName(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

QList<PortEntry> PortDirectory::Ports() const
{
    std::map<int, PortEntry> byNumber;
    std::set<QByteArray> aliasTargets;

    for (const QString &folder : m_aliasDirs) {
        const QByteArray aliasDir = QFile::encodeName(folder);
        ForEachEntry(aliasDir, [&](const char *name) {
            const int number = AliasNumber(name);
            if (number == 0 || byNumber.count(number))
                return;
            const QByteArray target = Canonical(aliasDir + '/' + name);
            if (target.isEmpty())
                return; // dangling: listed again once its target is back
            PortEntry entry;
            entry.number = number;
            entry.name = PortName(number);
            entry.devicePath = QFile::decodeName(target);
            entry.isAlias = true;
            if (target.startsWith(m_devRoot + '/')) {
                const QByteArray deviceName = target.mid(m_devRoot.size() + 1);
                int automatic = 0;
                const DeviceFamily *family = Classify(deviceName.constData(), &automatic);
                if (family && family->usb)
                    FillUsbDetails(deviceName, &entry);
            }
            aliasTargets.insert(target);
            byNumber.emplace(number, entry);
        });
    }

    ForEachEntry(m_sysRoot, [&](const char *name) {
        int number = 0;
        const DeviceFamily *family = Classify(name, &number);
        if (!family || byNumber.count(number))
            return;
        const QByteArray sysDir = m_sysRoot + '/' + name;
        if (family->needsDriver && !Exists(sysDir + "/device/driver"))
            return;
        // UART type 0 means no UART behind the port (PORT_UNKNOWN).
        if (family->checkUart && ReadAttribute(sysDir + "/type") == QLatin1String("0"))
            return;
        const QByteArray devicePath = m_devRoot + '/' + name;
        if (aliasTargets.count(devicePath))
            return;
        PortEntry entry;
        entry.number = number;
        entry.name = PortName(number);
        entry.devicePath = QFile::decodeName(devicePath);
        if (family->usb)
            FillUsbDetails(name, &entry);
        byNumber.emplace(number, entry);
    });

    QList<PortEntry> ports;
    ports.reserve(int(byNumber.size()));
    for (auto &[number, entry] : byNumber)
        ports.append(entry);
    return ports;
}

std::optional<PortEntry> PortDirectory::Find(int number) const
{
    for (const PortEntry &entry : Ports()) {
        if (entry.number == number)
            return entry;
    }
    return std::nullopt;
}

void PortDirectory::FillUsbDetails(const QByteArray &ttyName, PortEntry *entry) const
{
    // "device" leads to the USB interface (ACM) or to the USB serial port
    // below it; the USB device with its strings is one or two levels up.
    // The kernel resolves ".." after the link, so no path needs resolving.
    QByteArray dir = m_sysRoot + '/' + ttyName + "/device/..";
    for (int level = 0; level < 3; ++level, dir += "/..") {
        if (Exists(dir + "/idVendor")) {
            entry->description = ReadAttribute(dir + "/product");
            entry->manufacturer = ReadAttribute(dir + "/manufacturer");
            entry->serialNumber = ReadAttribute(dir + "/serial");
            return;
        }
    }
}

} // namespace kelvra
