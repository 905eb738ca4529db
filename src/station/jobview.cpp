#include "station/jobview.h"

#include "history/fieldview.h"
#include "lang/captions.h"
#include "production/stationjob.h"
#include "record/catalogue.h"
#include "services/fieldchanges.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

namespace kelvra {

namespace {

// Caption and value pairs side by side, so that a job fits a short screen.
constexpr int PairsPerRow = 2;

const FieldChanges::Name *NameOf(const QString &key)
{
    for (const FieldChanges::Name &name : FieldChanges::Names()) {
        if (key == QLatin1String(name.key))
            return &name;
    }
    return nullptr;
}

QString Caption(const QString &key, qint16 languageId)
{
    const FieldChanges::Name *name = NameOf(key);
    const ImageField *field = name ? FindImageField(QLatin1String(name->record)) : nullptr;
    return field ? FieldCaption(*field, languageId) : key;
}

QString Shown(const QString &key, const QString &value, const FieldChanges &dates, const QDate &today)
{
    if (key == QLatin1String("bandCode"))
        return BandTextOfCode(value.toInt());
    if (key == QLatin1String("freqSet"))
        return value == QLatin1String("on") ? JobView::tr("on") : JobView::tr("off");
    // The line's screen is no place for the programming password.
    if (key == QLatin1String("password"))
        return QStringLiteral("****");
    if ((key == QLatin1String("stockDate") || key == QLatin1String("sellDate")) && value == QLatin1String("today"))
        return JobView::tr("today (%1)").arg(dates.DateText(today));
    return value;
}

} // namespace

JobView::JobView(qint16 languageId, QWidget *parent) : QWidget(parent), m_languageId(languageId)
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *fileCaption = new QLabel(tr("Job:"), this);
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("jobFile"));
    m_file->setTextFormat(Qt::PlainText);
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileCaption->setBuddy(m_file);
    layout->addWidget(fileCaption, 0, 0);
    layout->addWidget(m_file, 0, 1);
    layout->setColumnStretch(1, 1);
    m_fields = new QWidget(this);
    layout->addWidget(m_fields, 1, 0, 1, 2);
}

void JobView::Show(const StationJob &job, const QDate &today)
{
    m_file->setText(QDir::toNativeSeparators(QFileInfo(job.Path()).absoluteFilePath()));
    m_file->setToolTip(m_file->text());
    delete m_fields;
    m_fields = new QWidget(this);
    m_fields->setObjectName(QStringLiteral("jobFields"));
    m_grid = new QGridLayout(m_fields);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setHorizontalSpacing(12);
    m_rows = 0;
    static_cast<QGridLayout *>(layout())->addWidget(m_fields, 1, 0, 1, 2);

    const FieldChanges dates(job.DateFormat());
    AddRow(CaptionText(*FindCaption("Label1_0"), m_languageId), job.Model().isEmpty() ? tr("any model") : job.Model());
    for (const QString &key : job.Fields())
        AddRow(Caption(key, m_languageId), Shown(key, job.Value(key), dates, today));
    if (job.HasUnits()) {
        QStringList columns;
        for (const QString &key : job.UnitFields())
            columns << Caption(key, m_languageId);
        const QString units = QFileInfo(job.UnitsPath()).fileName();
        AddRow(tr("Units file"), columns.isEmpty()
                                     ? tr("%1: %2 radios; no other is written").arg(units).arg(job.UnitCount())
                                     : tr("%1: %2 radios, each with its %3; no other is written")
                                           .arg(units)
                                           .arg(job.UnitCount())
                                           .arg(columns.join(QStringLiteral(", "))));
    }
    AddRow(tr("Dates"), job.DateFormat().isEmpty()
                            ? tr("the host's short date (today %1)").arg(dates.DateText(today))
                            : tr("%1 (today %2)").arg(job.DateFormat(), dates.DateText(today)));
    m_fields->show();
}

void JobView::ShowNone(const QString &why)
{
    m_file->setText(why);
    m_file->setToolTip(QString());
    m_fields->hide();
}

void JobView::AddRow(const QString &caption, const QString &value)
{
    const int row = m_rows / PairsPerRow;
    const int column = (m_rows % PairsPerRow) * 2;
    ++m_rows;
    auto *captionLabel = new QLabel(tr("%1:").arg(caption), m_fields);
    auto *valueLabel = new QLabel(value, m_fields);
    valueLabel->setTextFormat(Qt::PlainText);
    captionLabel->setBuddy(valueLabel);
    m_grid->addWidget(captionLabel, row, column);
    m_grid->addWidget(valueLabel, row, column + 1);
    m_grid->setColumnStretch(column + 1, 1);
}

} // namespace kelvra
