#pragma once

#include "services/fieldchanges.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kelvra {

// What a station writes to every radio: a job file (JSON) naming the
// fields for all of them, and optionally a CSV file keyed by serial number
// with values for single radios, which win over the job's. Everything is
// checked when the job is loaded, before any radio is touched: each value's
// JSON type and whether the radio can hold it, unknown and repeated keys and
// columns, the form of every serial number, and the date format.
//
//   {"model": "KR350UV", "dealerCode": "D-0042", "stockDate": "today",
//    "seller": "Line 3", "bandCode": 0, "freqSet": false, "unitsFile": "units.csv",
//    "dateFormat": "yyyy-MM-dd"}
//
//   serialNumber,seller,sellDate
//   2026120500000042,王芳,2026-12-24
class StationJob
{
public:
    // False with a sentence naming the file, the line and the key at fault.
    // settingsPath: the bench's mysetup.ini, whose [radio] dateFormat says how
    // dates are written when the job does not say (none: the host's short date).
    bool Load(const QString &jobPath, const QString &settingsPath, QString *error);

    QString Path() const { return m_path; }
    QString Model() const { return m_model; }
    // The format dates are written in; empty: the host's short date.
    QString DateFormat() const { return m_dateFormat; }
    // The job's own fields, written to every radio, by key in byte-map order.
    QStringList Fields() const;
    // The job's own values by key, as the file gives them (freqSet on or off).
    QString Value(const QString &key) const;
    bool HasUnits() const { return !m_unitsPath.isEmpty(); }
    QString UnitsPath() const { return m_unitsPath; }
    qsizetype UnitCount() const { return m_units.size(); }
    // The units file's columns after serialNumber.
    QStringList UnitFields() const { return m_unitColumns; }
    // The changes for a radio; false when a units file is given and does
    // not list the serial number.
    bool ChangesFor(const QString &serialNumber, FieldChanges *changes, QString *error) const;

    // A radio's serial number as the factory gives it: 16 letters or digits.
    static bool IsSerialNumber(const QString &text);

private:
    using Values = QList<QPair<QString, QString>>;
    bool LoadUnits(const QString &path, QString *error);
    bool Check(const Values &values, const QString &where, QString *error) const;

    QString m_path;
    QString m_model;
    QString m_dateFormat;
    QString m_unitsPath;
    Values m_job;
    QStringList m_unitColumns;
    QHash<QString, Values> m_units;
};

} // namespace kelvra
