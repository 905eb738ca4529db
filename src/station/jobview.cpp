#include "station/jobview.h"

#include "history/entrynames.h"
#include "production/stationjob.h"
#include "record/catalogue.h"
#include "services/fieldchanges.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QResizeEvent>

namespace kelvra {

namespace {

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

// The job's fields side by side, as many to a row as the width takes, and
// a row broken only between two of them: a caption stays with its value in
// any language.
class FieldFlow : public QWidget
{
public:
    explicit FieldFlow(QWidget *parent) : QWidget(parent)
    {
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }
    void Show(const QList<QPair<QString, QString>> &fields)
    {
        qDeleteAll(findChildren<QLabel *>(Qt::FindDirectChildrenOnly));
        for (const auto &[caption, value] : fields) {
            auto *label = new QLabel(QStringLiteral("<b>%1</b> %2").arg(caption.toHtmlEscaped(), value.toHtmlEscaped()),
                                     this);
            label->show();
        }
        updateGeometry();
        Arrange(width(), true);
    }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return Arrange(width, false); }
    QSize sizeHint() const override { return {width(), heightForWidth(width())}; }
    // As tall as the rows at the width it has: the window's layout then
    // leaves the rest to the panels.
    QSize minimumSizeHint() const override
    {
        int widest = 0;
        for (const QLabel *label : findChildren<QLabel *>(Qt::FindDirectChildrenOnly))
            widest = qMax(widest, label->sizeHint().width());
        return {widest, heightForWidth(qMax(width(), widest))};
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        if (Arrange(width(), true) != Arrange(event->oldSize().width(), false))
            updateGeometry();
    }

private:
    // The height the fields take at width; place: move them there too.
    int Arrange(int width, bool place) const
    {
        const int gap = fontMetrics().averageCharWidth() * 3;
        int x = 0;
        int y = 0;
        int row = 0;
        for (QLabel *label : findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            const QSize size = label->sizeHint();
            if (x > 0 && x + size.width() > width) {
                x = 0;
                y += row;
                row = 0;
            }
            if (place)
                label->setGeometry(x, y, size.width(), size.height());
            x += size.width() + gap;
            row = qMax(row, size.height());
        }
        return y + row;
    }
};

JobView::JobView(qint16 languageId, QWidget *parent) : QWidget(parent), m_languageId(languageId)
{
    auto *fileCaption = new QLabel(tr("Job:"), this);
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("jobFile"));
    m_file->setTextFormat(Qt::PlainText);
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileCaption->setBuddy(m_file);
    m_fields = new FieldFlow(this);
    m_fields->setObjectName(QStringLiteral("jobFields"));
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(fileCaption, 0, 0);
    layout->addWidget(m_file, 0, 1);
    layout->addWidget(m_fields, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);
}

void JobView::Show(const StationJob &job, const QDate &today)
{
    m_file->setText(QDir::toNativeSeparators(QFileInfo(job.Path()).absoluteFilePath()));
    m_file->setToolTip(m_file->text());
    QList<QPair<QString, QString>> fields;
    const auto add = [&fields](const QString &caption, const QString &value) {
        fields.append({tr("%1:").arg(caption), value});
    };
    const FieldChanges dates(job.DateFormat());
    add(ItemCaption(QStringLiteral("model"), m_languageId), job.Model().isEmpty() ? tr("any model") : job.Model());
    for (const QString &key : job.Fields())
        add(ItemCaption(key, m_languageId), Shown(key, job.Value(key), dates, today));
    if (job.HasUnits()) {
        QStringList columns;
        for (const QString &key : job.UnitFields())
            columns << ItemCaption(key, m_languageId);
        const QString units = QFileInfo(job.UnitsPath()).fileName();
        add(tr("Units file"), columns.isEmpty()
                                  ? tr("%1: %2 radios; no other is written").arg(units).arg(job.UnitCount())
                                  : tr("%1: %2 radios, each with its %3; no other is written")
                                        .arg(units)
                                        .arg(job.UnitCount())
                                        .arg(columns.join(QStringLiteral(", "))));
    }
    add(tr("Dates"), job.DateFormat().isEmpty() ? tr("the host's short date (today %1)").arg(dates.DateText(today))
                                                : tr("%1 (today %2)").arg(job.DateFormat(), dates.DateText(today)));
    m_fields->Show(fields);
    m_fields->show();
}

void JobView::ShowNone(const QString &why)
{
    m_file->setText(why);
    m_file->setToolTip(QString());
    m_fields->hide();
}

} // namespace kelvra
