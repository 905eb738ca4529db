#include "production/stationtally.h"

#include "services/clitext.h"

#include <algorithm>

namespace kelvra {

int StationTally::Add(const StationAttempt &attempt)
{
    ++m_attempts;
    qsizetype index = attempt.serial.isEmpty() ? -1 : m_bySerial.value(attempt.serial, -1);
    if (index < 0) {
        index = m_radios.size();
        m_radios.append(Radio());
        if (!attempt.serial.isEmpty())
            m_bySerial.insert(attempt.serial, index);
    }
    Radio &radio = m_radios[index];
    ++radio.attempts;
    radio.passed = attempt.Passed();
    radio.exitCode = ExitCodeOf(attempt.outcome);
    radio.lastAttempt = m_attempts;
    return radio.attempts;
}

int StationTally::Passed() const
{
    return int(std::count_if(m_radios.begin(), m_radios.end(), [](const Radio &radio) { return radio.passed; }));
}

int StationTally::ExitCode() const
{
    const Radio *latest = nullptr;
    for (const Radio &radio : m_radios) {
        if (!radio.passed && (!latest || radio.lastAttempt > latest->lastAttempt))
            latest = &radio;
    }
    return latest ? latest->exitCode : ExitComplete;
}

QString TallyText(const StationTally &tally)
{
    return Cli::tr("radios %1, passed %2, failed %3 (attempts %4).")
        .arg(tally.Radios())
        .arg(tally.Passed())
        .arg(tally.Failed())
        .arg(tally.Attempts());
}

} // namespace kelvra
