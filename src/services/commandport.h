#pragma once

#include "link/portdirectory.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace kelvra {

// The port a command names: COM<n> as the window numbers it, aliases
// included, or a device path. A device the directory lists is used under
// its number; any other path is reached through an alias of this run's own,
// so that it is opened, checked and explained exactly as a listed port is.
class CommandPort
{
public:
    // The number a path the directory does not list is reached under.
    static constexpr int PathNumber = 999;

    explicit CommandPort(const QStringList &aliasDirs);

    // False when text is neither a port name nor a path.
    bool Choose(const QString &text, QString *error);

    const PortDirectory &Directory() const { return *m_directory; }
    int Number() const { return m_number; }
    // "COM9"; empty for a path the directory does not list.
    QString Name() const { return m_name; }

private:
    QStringList m_aliasDirs;
    std::unique_ptr<PortDirectory> m_directory;
    std::unique_ptr<QTemporaryDir> m_ownAlias;
    int m_number = 0;
    QString m_name;
};

} // namespace kelvra
