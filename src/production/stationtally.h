#pragma once

#include "services/commandoutcome.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>

namespace kelvra {

// One try at programming a radio.
struct StationAttempt
{
    CommandOutcome outcome; // as a write's, whatever stopped it on the way
    QString serial;         // empty when no serial number was read
    int attempt = 1;        // the how-many-th try at this serial number
    qint64 elapsedMs = 0;
    QString port;           // the port as the station names it: COM9, or the device path given
    QDateTime finished;     // UTC
    bool Passed() const { return outcome.Complete(); }
};

// The station's count by radio: a radio done twice is one radio with two
// attempts, and its last attempt says whether it passed. A try that read no
// serial number is a radio of its own: nothing tells it from another.
class StationTally
{
public:
    // Returns the attempt's number for its radio.
    int Add(const StationAttempt &attempt);
    int Radios() const { return int(m_radios.size()); }
    int Passed() const;
    int Failed() const { return Radios() - Passed(); }
    int Attempts() const { return m_attempts; }
    // 0 when every radio passed, else the exit code of the latest attempt among the radios that failed.
    int ExitCode() const;

private:
    struct Radio {
        int attempts = 0;
        bool passed = false;
        int exitCode = 0;
        int lastAttempt = 0; // the station's attempt count when it was last tried
    };
    QList<Radio> m_radios;
    QHash<QString, qsizetype> m_bySerial;
    int m_attempts = 0;
};

// "radios 3, passed 2, failed 1 (attempts 4)."
QString TallyText(const StationTally &tally);

} // namespace kelvra

Q_DECLARE_METATYPE(kelvra::StationAttempt)
