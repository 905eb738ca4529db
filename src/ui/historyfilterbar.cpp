#include "ui/historyfilterbar.h"

#include "ui/historywidgets.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

namespace kelvra {

namespace {

QLineEdit *TextFilter(const char *name, const QString &accessibleName)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setClearButtonEnabled(true);
    edit->setAccessibleName(accessibleName);
    return edit;
}

// A day of the range: greyed until its box is ticked, so that no range is the default.
QDateEdit *DayEdit(const char *name, const QString &accessibleName)
{
    auto *edit = new QDateEdit(QDate::currentDate());
    edit->setObjectName(QLatin1String(name));
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    edit->setAccessibleName(accessibleName);
    // Room for the whole date beside the calendar's button.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("2026-12-31"))
                          + 6 * edit->fontMetrics().horizontalAdvance(QLatin1Char('0')));
    return edit;
}

} // namespace

HistoryFilterBar::HistoryFilterBar(QWidget *parent) : QWidget(parent)
{
    m_serial = TextFilter("filter", tr("Serial number filter"));
    m_dealer = TextFilter("dealerFilter", tr("Dealer code filter"));
    m_bench = TextFilter("benchFilter", tr("Bench filter"));
    m_operation = new QComboBox;
    m_operation->setObjectName(QStringLiteral("operationFilter"));
    m_operation->addItem(tr("Any"));
    for (HistoryOperation operation : {HistoryOperation::Read, HistoryOperation::Write})
        m_operation->addItem(OperationText(operation), int(operation));
    m_result = new QComboBox;
    m_result->setObjectName(QStringLiteral("resultFilter"));
    m_result->addItem(tr("Any"));
    for (HistoryResult result : {HistoryResult::Complete, HistoryResult::Failure, HistoryResult::Unfinished})
        m_result->addItem(ResultText(result), int(result));
    m_fromSet = new QCheckBox(tr("&From:"));
    m_fromSet->setObjectName(QStringLiteral("fromSet"));
    m_from = DayEdit("fromDate", tr("From the day"));
    m_untilSet = new QCheckBox(tr("&To:"));
    m_untilSet->setObjectName(QStringLiteral("untilSet"));
    m_until = DayEdit("untilDate", tr("To the day"));

    auto *texts = new QHBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->addWidget(BuddyLabel(tr("&Serial number:"), m_serial));
    texts->addWidget(m_serial, 3);
    texts->addWidget(BuddyLabel(tr("Dea&ler code:"), m_dealer));
    texts->addWidget(m_dealer, 2);
    texts->addWidget(BuddyLabel(tr("Benc&h:"), m_bench));
    texts->addWidget(m_bench, 2);
    auto *choices = new QHBoxLayout;
    choices->setContentsMargins(0, 0, 0, 0);
    choices->addWidget(BuddyLabel(tr("&Operation:"), m_operation));
    choices->addWidget(m_operation);
    choices->addWidget(BuddyLabel(tr("Res&ult:"), m_result));
    choices->addWidget(m_result);
    choices->addStretch(1);
    for (QWidget *widget : std::initializer_list<QWidget *>{m_fromSet, m_from, m_untilSet, m_until})
        choices->addWidget(widget);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(texts);
    layout->addLayout(choices);

    const QList<QWidget *> order{m_serial, m_dealer, m_bench, m_operation, m_result, m_fromSet, m_from, m_untilSet,
                                 m_until};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    for (QLineEdit *edit : {m_serial, m_dealer, m_bench})
        connect(edit, &QLineEdit::textChanged, this, &HistoryFilterBar::Changed);
    for (QComboBox *box : {m_operation, m_result})
        connect(box, &QComboBox::currentIndexChanged, this, &HistoryFilterBar::Changed);
    for (const auto &[set, day] : {std::pair{m_fromSet, m_from}, std::pair{m_untilSet, m_until}}) {
        connect(set, &QCheckBox::toggled, day, &QWidget::setEnabled);
        connect(set, &QCheckBox::toggled, this, &HistoryFilterBar::Changed);
        connect(day, &QDateEdit::dateChanged, this, &HistoryFilterBar::Changed);
    }
}

HistoryFilter HistoryFilterBar::Filter() const
{
    HistoryFilter filter;
    filter.serial = m_serial->text().trimmed();
    filter.dealerCode = m_dealer->text().trimmed();
    filter.bench = m_bench->text().trimmed();
    if (m_operation->currentIndex() > 0)
        filter.operation = HistoryOperation(m_operation->currentData().toInt());
    if (m_result->currentIndex() > 0)
        filter.result = HistoryResult(m_result->currentData().toInt());
    // Days as this computer counts them: from its midnight to the midnight after the last day.
    if (m_fromSet->isChecked())
        filter.since = m_from->date().startOfDay().toUTC();
    if (m_untilSet->isChecked())
        filter.before = m_until->date().addDays(1).startOfDay().toUTC();
    return filter;
}

void HistoryFilterBar::SetWorkshop(bool workshop)
{
    m_serial->setPlaceholderText(workshop ? tr("the whole number or its last digits") : QString());
}

QWidget *HistoryFilterBar::First() const
{
    return m_serial;
}

QWidget *HistoryFilterBar::Last() const
{
    return m_until;
}

} // namespace kelvra
