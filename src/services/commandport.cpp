#include "services/commandport.h"

#include "services/clitext.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace kelvra {

CommandPort::CommandPort(const QStringList &aliasDirs)
    : m_aliasDirs(aliasDirs), m_directory(std::make_unique<PortDirectory>(aliasDirs))
{
}

bool CommandPort::Choose(const QString &text, QString *error)
{
    static const QRegularExpression portName(QStringLiteral("^COM([1-9][0-9]{0,2})$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = portName.match(text);
    if (match.hasMatch()) {
        m_number = match.captured(1).toInt();
        m_name = PortDirectory::PortName(m_number);
        return true;
    }
    if (!text.startsWith(QLatin1Char('/'))) {
        *error = Cli::tr("--port takes a port name such as COM9 or a device path such as "
                                                    "/dev/ttyUSB0, not \"%1\".")
                     .arg(text);
        return false;
    }
    const QString device = QFileInfo(text).canonicalFilePath();
    for (const PortEntry &entry : m_directory->Ports()) {
        if (!device.isEmpty() && QFileInfo(entry.devicePath).canonicalFilePath() == device) {
            m_number = entry.number;
            m_name = entry.name;
            return true;
        }
    }
    m_ownAlias = std::make_unique<QTemporaryDir>();
    if (!m_ownAlias->isValid()
        || !QFile::link(text, m_ownAlias->filePath(PortDirectory::PortName(PathNumber)))) {
        *error = Cli::tr("Cannot reach %1 through a temporary folder: %2")
                     .arg(text, m_ownAlias->errorString());
        return false;
    }
    m_directory = std::make_unique<PortDirectory>(QStringList{m_ownAlias->path()} + m_aliasDirs);
    m_number = PathNumber;
    m_name.clear();
    return true;
}

} // namespace kelvra
