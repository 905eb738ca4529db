#pragma once

#include "cli/fieldchanges.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

namespace kelvra {

// What a station writes to every radio: a job file (JSON) naming the
// fields for all of them, and optionally a CSV file keyed by serial number
// with values for single radios, which win over the job's. Everything is
// checked when the job is loaded, before any radio is touched.
//
//   {"model": "KR350UV", "dealerCode": "D-0042", "stockDate": "today",
//    "seller": "Line 3", "bandCode": 0, "freqSet": false, "unitsFile": "units.csv"}
//
//   serialNumber,seller,sellDate
//   2026120500000042,王芳,2026-12-24
class StationJob
{
public:
    // False with a sentence naming the file, line and field at fault.
    bool Load(const QString &jobPath, QString *error);

    QString Model() const { return m_model; }
    bool HasUnits() const { return m_unitsPath.size() > 0; }
    // The changes for a radio; false when a units file is given and does
    // not list the serial number.
    bool ChangesFor(const QString &serialNumber, FieldChanges *changes, QString *error) const;

private:
    using Values = QList<QPair<QString, QString>>;
    bool LoadUnits(const QString &path, QString *error);
    bool Check(const Values &values, const QString &where, QString *error) const;
    void Apply(const Values &values, FieldChanges *changes) const;

    QString m_model;
    QString m_unitsPath;
    Values m_job;
    QHash<QString, Values> m_units;
};

// The fields of one CSV record; quotes as spreadsheets write them. False at the end of the text.
bool ReadCsvRecord(const QString &text, qsizetype *pos, QStringList *fields);

} // namespace kelvra
