#pragma once

#include "production/stationtally.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace kelvra {

// A station run's report for the line's records: station-<UTC time>.csv
// beside the job file, one row per radio with the names of the JSON output:
//
//   port,serialNumber,model,result,reason,time,durationSeconds,attempts,historyId
//
// A radio is known by its serial number; its row is its latest attempt, with
// the number of attempts in all. A try that read no serial number is a row of
// its own. The file is written anew after every attempt, through a file
// beside it that replaces it whole, so that it is complete whenever the
// station stops and a full disk leaves the last complete report, never half
// a row. It holds no password: it is made with the process's umask.
class RunReport
{
public:
    // Names the file in folder after start, taking a name no other report
    // has, and writes its header. False, with why, when it cannot be made
    // (Path() stays empty) or written (the next Add tries again).
    bool Create(const QString &folder, const QDateTime &start, QString *why);
    // The radio's row with attempts, written at once. False, with why, when
    // the file could not be written; it then keeps its last complete content.
    bool Add(const StationAttempt &attempt, int attempts, QString *why);

    QString Path() const { return m_path; }
    int Rows() const { return int(m_rows.size()); }

private:
    bool Write(QString *why);

    QString m_path;
    QList<QStringList> m_rows;
    QHash<QString, qsizetype> m_bySerial;
};

} // namespace kelvra
