#include "production/stationjob.h"

#include "production/jobtext.h"
#include "record/catalogue.h"
#include "services/clitext.h"
#include "services/radiosetting.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace kelvra {

namespace {

bool Refuse(QString *error, const QString &why)
{
    *error = why;
    return false;
}

// A value as the job file spells it: true, 42.5, null, ["Line 3"].
QString JsonText(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

bool IsFieldKey(const QString &key)
{
    const auto &names = FieldChanges::Names();
    return std::any_of(names.begin(), names.end(), [&key](const FieldChanges::Name &name) {
        return key == QLatin1String(name.key);
    });
}

QString FieldKeys()
{
    QStringList keys;
    for (const FieldChanges::Name &name : FieldChanges::Names())
        keys << QLatin1String(name.key);
    return keys.join(QStringLiteral(", "));
}

// The value's text for FieldChanges, once its JSON type is the field's.
bool ValueText(const QString &key, const QJsonValue &value, const QString &where, QString *text, QString *error)
{
    if (key == QLatin1String("freqSet")) {
        if (!value.isBool())
            return Refuse(error, Cli::tr("%1: freqSet takes true or false, not %2.").arg(where, JsonText(value)));
        *text = value.toBool() ? QStringLiteral("on") : QStringLiteral("off");
        return true;
    }
    if (key == QLatin1String("bandCode")) {
        const double number = value.toDouble(-1);
        if (!value.isDouble() || number != std::floor(number) || number < 0 || number > 1000)
            return Refuse(error, Cli::tr("%1: bandCode takes a whole number from 0 to 19, not %2.")
                                     .arg(where, JsonText(value)));
        *text = QString::number(int(number));
        return true;
    }
    if (!value.isString())
        return Refuse(error, Cli::tr("%1: %2 takes a text in quotes, not %3.").arg(where, key, JsonText(value)));
    *text = value.toString();
    return true;
}

} // namespace

bool StationJob::IsSerialNumber(const QString &text)
{
    static const QRegularExpression serial(QStringLiteral("^[0-9A-Za-z]{16}$"));
    return serial.match(text).hasMatch();
}

bool StationJob::Load(const QString &jobPath, const QString &settingsPath, QString *error)
{
    m_path = jobPath;
    m_dateFormat = BenchDateFormat(settingsPath);
    QByteArray text;
    if (!ReadJobText(jobPath, &text, error))
        return false;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Refuse(error, Cli::tr("%1 line %2: no JSON: %3")
                                 .arg(jobPath)
                                 .arg(LineAt(text, parseError.offset))
                                 .arg(parseError.errorString()));
    if (!document.isObject())
        return Refuse(error, Cli::tr("%1 holds no JSON object ({...}).").arg(jobPath));
    const QJsonObject job = document.object();
    const QList<JsonKey> members = ObjectKeys(text);
    // Dates are checked in the job's format wherever it stands in the file.
    const auto format = std::find_if(members.begin(), members.end(),
                                     [](const JsonKey &member) { return member.key == QLatin1String("dateFormat"); });
    QString formatWhere = Cli::tr("%1 ([radio] dateFormat)").arg(settingsPath);
    if (format != members.end()) {
        const QJsonValue value = job.value(format->key);
        formatWhere = Cli::tr("%1 line %2").arg(jobPath).arg(format->line);
        if (!value.isString())
            return Refuse(error, Cli::tr("%1: dateFormat takes a date format in quotes such as \"yyyy-MM-dd\", not %2.")
                                     .arg(formatWhere, JsonText(value)));
        m_dateFormat = value.toString();
    }
    if (const QString problem = m_dateFormat.isEmpty() ? QString() : FieldChanges::DateFormatProblem(m_dateFormat);
        !problem.isEmpty())
        return Refuse(error, QStringLiteral("%1: %2").arg(formatWhere, problem));
    QHash<QString, int> lines;
    for (const JsonKey &member : members) {
        const QString &key = member.key;
        const QJsonValue value = job.value(key);
        const QString where = Cli::tr("%1 line %2").arg(jobPath).arg(member.line);
        if (lines.contains(key))
            return Refuse(error,
                          Cli::tr("%1: %2 is named twice (first on line %3).").arg(where, key).arg(lines.value(key)));
        lines.insert(key, member.line);
        if (key == QLatin1String("model")) {
            m_model = value.toString();
            if (!value.isString() || !ListedModels().contains(m_model))
                return Refuse(error, Cli::tr("%1: model takes %2, not %3.")
                                         .arg(where, ListedModels().join(QStringLiteral(", ")), JsonText(value)));
        } else if (key == QLatin1String("dateFormat")) {
            // Taken above.
        } else if (key == QLatin1String("unitsFile")) {
            if (!value.isString() || value.toString().isEmpty())
                return Refuse(error, Cli::tr("%1: unitsFile takes the name of a CSV file in quotes, not %2.")
                                         .arg(where, JsonText(value)));
            m_unitsPath = QDir::cleanPath(QFileInfo(jobPath).dir().filePath(value.toString()));
        } else if (IsFieldKey(key)) {
            QString fieldText;
            if (!ValueText(key, value, where, &fieldText, error) || !Check({{key, fieldText}}, where, error))
                return false;
            m_job << qMakePair(key, fieldText);
        } else {
            return Refuse(error, Cli::tr("%1: unknown key \"%2\"; a job takes model, unitsFile, dateFormat, %3.")
                                     .arg(where, key, FieldKeys()));
        }
    }
    if (m_job.isEmpty() && m_unitsPath.isEmpty())
        return Refuse(error, Cli::tr("%1 names no field to write.").arg(jobPath));
    // The model may come after the band in the file.
    if (!Check(m_job, Cli::tr("%1 line %2").arg(jobPath).arg(lines.value(QStringLiteral("bandCode"))), error))
        return false;
    return m_unitsPath.isEmpty() || LoadUnits(m_unitsPath, error);
}

bool StationJob::LoadUnits(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!ReadJobText(path, &bytes, error))
        return false;
    const QString text = QString::fromUtf8(bytes);
    qsizetype pos = 0;
    int line = 1;
    QStringList header;
    if (!ReadCsvRecord(text, &pos, &header, &line) || header.value(0).trimmed() != QLatin1String("serialNumber"))
        return Refuse(error, Cli::tr("%1 line 1: the first line names the columns, serialNumber first.").arg(path));
    for (int column = 1; column < header.size(); ++column) {
        const QString name = header.at(column).trimmed();
        if (m_unitColumns.contains(name) || name == QLatin1String("serialNumber"))
            return Refuse(error, Cli::tr("%1 line 1: the column %2 is named twice.").arg(path, name));
        if (!IsFieldKey(name))
            return Refuse(error,
                          Cli::tr("%1 line 1: unknown column \"%2\"; the columns are serialNumber and any of %3.")
                              .arg(path, name, FieldKeys()));
        m_unitColumns << name;
    }
    QStringList fields;
    for (int first = line; ReadCsvRecord(text, &pos, &fields, &line); first = line) {
        const QString where = Cli::tr("%1 line %2").arg(path).arg(first);
        const QString serial = fields.value(0).trimmed();
        if (serial.isEmpty() && fields.join(QString()).trimmed().isEmpty())
            continue;
        if (!IsSerialNumber(serial))
            return Refuse(error, Cli::tr("%1: \"%2\" is no serial number, which is 16 letters or digits such as "
                                         "2026120500000042. A spreadsheet may have shown it as a number such as "
                                         "2.02612E+15: keep that column as text.")
                                     .arg(where, serial));
        if (fields.size() > header.size())
            return Refuse(error, Cli::tr("%1: %2 cells, but the first line names %3 columns.")
                                     .arg(where)
                                     .arg(fields.size())
                                     .arg(header.size()));
        if (m_units.contains(serial))
            return Refuse(error, Cli::tr("%1: serial number %2 is listed twice.").arg(where, serial));
        Values values;
        // An empty cell leaves the job's value for that radio.
        for (int column = 1; column < fields.size(); ++column) {
            if (!fields.at(column).isEmpty())
                values << qMakePair(m_unitColumns.at(column - 1), fields.at(column));
        }
        if (!Check(values, where, error))
            return false;
        m_units.insert(serial, values);
    }
    return true;
}

bool StationJob::Check(const Values &values, const QString &where, QString *error) const
{
    FieldChanges changes(m_dateFormat);
    for (const auto &[key, value] : values) {
        QString why;
        if (!changes.Set(key, value, &why, FieldChanges::Naming::Key))
            return Refuse(error, QStringLiteral("%1: %2").arg(where, why));
    }
    const int modelIndex = int(ListedModels().indexOf(m_model));
    if (modelIndex >= 0 && changes.BandCode() && !ModelBandCodes(modelIndex).contains(*changes.BandCode()))
        return Refuse(error,
                      Cli::tr("%1: the %2 does not offer band code %3.").arg(where, m_model).arg(*changes.BandCode()));
    return true;
}

QStringList StationJob::Fields() const
{
    FieldChanges changes(m_dateFormat);
    QString checkedAtLoad;
    for (const auto &[key, value] : m_job)
        changes.Set(key, value, &checkedAtLoad);
    return changes.Named();
}

QString StationJob::Value(const QString &key) const
{
    for (const auto &[name, value] : m_job) {
        if (name == key)
            return value;
    }
    return QString();
}

bool StationJob::ChangesFor(const QString &serialNumber, FieldChanges *changes, QString *error) const
{
    QString checkedAtLoad;
    for (const auto &[key, value] : m_job)
        changes->Set(key, value, &checkedAtLoad);
    if (m_unitsPath.isEmpty())
        return true;
    const auto unit = m_units.constFind(serialNumber);
    if (unit == m_units.constEnd())
        return Refuse(error, Cli::tr("Serial number %1 is not in %2; the radio was not written.")
                                 .arg(serialNumber, m_unitsPath));
    for (const auto &[key, value] : *unit)
        changes->Set(key, value, &checkedAtLoad);
    return true;
}

} // namespace kelvra
