#pragma once

#include <QList>
#include <QString>

namespace kelvra {

class PortDirectory;

// The ports a front end offers to choose from, the main window's port list
// and the station window's alike: each port present that a number names
// ("COM<n>", aliases included), in ascending number, with a tooltip naming
// its device and, where known, the adapter's description, maker and serial
// number. Both lists follow the devices at the same pace.
struct PortChoice
{
    QString text;
    QString toolTip;
    friend bool operator==(const PortChoice &a, const PortChoice &b)
    {
        return a.text == b.text && a.toolTip == b.toolTip;
    }
};

constexpr int PortRefreshIntervalMs = 1000;

QList<PortChoice> PortChoices(const PortDirectory &directory);

// The port number of a list entry: the characters after "COM" as a 16-bit
// whole number; 0 when they are not one.
qint16 PortNumberOfEntry(const QString &entry);

} // namespace kelvra
