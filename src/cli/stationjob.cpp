#include "cli/stationjob.h"
#include "cli/clitext.h"

#include "record/catalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace kelvra {

namespace {

bool Refuse(QString *error, const QString &why)
{
    *error = why;
    return false;
}

// A job file or units list is a few kilobytes; anything near this is not one.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

bool ReadText(const QString &path, QString *text, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes)
        return Refuse(error, Cli::tr("%1 cannot be read: %2").arg(path, file.errorString()));
    *text = QString::fromUtf8(file.readAll());
    if (text->startsWith(QChar(0xFEFF)))
        text->remove(0, 1);
    return true;
}

QString ValueText(const QJsonValue &value)
{
    if (value.isBool())
        return value.toBool() ? QStringLiteral("on") : QStringLiteral("off");
    if (value.isDouble())
        return QString::number(value.toDouble());
    return value.toString();
}

} // namespace

bool ReadCsvRecord(const QString &text, qsizetype *pos, QStringList *fields)
{
    fields->clear();
    qsizetype i = *pos;
    if (i >= text.size())
        return false;
    QString field;
    bool quoted = false;
    for (; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (quoted) {
            if (ch == QLatin1Char('"') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                field += text.at(++i);
            else if (ch == QLatin1Char('"'))
                quoted = false;
            else
                field += ch;
        } else if (ch == QLatin1Char('"')) {
            quoted = true;
        } else if (ch == QLatin1Char(',')) {
            *fields << field;
            field.clear();
        } else if (ch == QLatin1Char('\n') || ch == QLatin1Char('\r')) {
            if (ch == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            ++i;
            break;
        } else {
            field += ch;
        }
    }
    *fields << field;
    *pos = i;
    return true;
}

bool StationJob::Load(const QString &jobPath, QString *error)
{
    QString text;
    if (!ReadText(jobPath, &text, error))
        return false;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (!document.isObject())
        return Refuse(error, Cli::tr("%1 is no JSON object: %2").arg(jobPath, parseError.errorString()));
    const QJsonObject job = document.object();
    for (auto it = job.begin(); it != job.end(); ++it) {
        if (it.key() == QLatin1String("model"))
            m_model = it.value().toString();
        else if (it.key() == QLatin1String("unitsFile"))
            m_unitsPath = QFileInfo(jobPath).dir().filePath(it.value().toString());
        else
            m_job << qMakePair(it.key(), ValueText(it.value()));
    }
    if (job.contains(QLatin1String("model")) && !ListedModels().contains(m_model))
        return Refuse(error, Cli::tr("%1: model takes %2, not \"%3\".")
                                 .arg(jobPath, ListedModels().join(QStringLiteral(", ")), m_model));
    if (m_job.isEmpty() && m_unitsPath.isEmpty())
        return Refuse(error, Cli::tr("%1 names no field to write.").arg(jobPath));
    if (!Check(m_job, jobPath, error))
        return false;
    return m_unitsPath.isEmpty() || LoadUnits(m_unitsPath, error);
}

bool StationJob::LoadUnits(const QString &path, QString *error)
{
    QString text;
    if (!ReadText(path, &text, error))
        return false;
    qsizetype pos = 0;
    QStringList header;
    if (!ReadCsvRecord(text, &pos, &header) || header.value(0).trimmed() != QLatin1String("serialNumber"))
        return Refuse(error, Cli::tr("%1: the first line names the columns, serialNumber first.").arg(path));
    QStringList fields;
    for (int line = 2; ReadCsvRecord(text, &pos, &fields); ++line) {
        const QString serial = fields.value(0).trimmed();
        if (serial.isEmpty())
            continue;
        Values values;
        // An empty cell leaves the job's value for that radio.
        for (int column = 1; column < header.size() && column < fields.size(); ++column) {
            if (!fields.at(column).isEmpty())
                values << qMakePair(header.at(column).trimmed(), fields.at(column));
        }
        const QString where = Cli::tr("%1 line %2").arg(path).arg(line);
        if (m_units.contains(serial))
            return Refuse(error, Cli::tr("%1: serial number %2 is listed twice.").arg(where, serial));
        if (!Check(values, where, error))
            return false;
        m_units.insert(serial, values);
    }
    return true;
}

bool StationJob::Check(const Values &values, const QString &where, QString *error) const
{
    FieldChanges changes;
    for (const auto &[key, value] : values) {
        QString why;
        if (!changes.Set(key, value, &why))
            return Refuse(error, QStringLiteral("%1: %2").arg(where, why));
    }
    const int modelIndex = int(ListedModels().indexOf(m_model));
    if (modelIndex >= 0 && changes.BandCode() && !ModelBandCodes(modelIndex).contains(*changes.BandCode()))
        return Refuse(error,
                      Cli::tr("%1: the %2 does not offer band code %3.").arg(where, m_model).arg(*changes.BandCode()));
    return true;
}

void StationJob::Apply(const Values &values, FieldChanges *changes) const
{
    QString checkedAtLoad;
    for (const auto &[key, value] : values)
        changes->Set(key, value, &checkedAtLoad);
}

bool StationJob::ChangesFor(const QString &serialNumber, FieldChanges *changes, QString *error) const
{
    Apply(m_job, changes);
    if (m_unitsPath.isEmpty())
        return true;
    const auto unit = m_units.constFind(serialNumber);
    if (unit == m_units.constEnd())
        return Refuse(error, Cli::tr("Serial number %1 is not in %2; the radio was not written.")
                                 .arg(serialNumber, m_unitsPath));
    Apply(*unit, changes);
    return true;
}

} // namespace kelvra
