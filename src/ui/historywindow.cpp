#include "ui/historywindow.h"

#include "history/historyfile.h"
#include "history/historystore.h"
#include "lang/messages.h"
#include "ui/historyfilterbar.h"
#include "ui/historylistmodel.h"
#include "ui/historywidgets.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>

namespace kelvra {

namespace {

// Parented at once: the workshop's line is laid out only when there is a workshop.
QLabel *Line(const char *name, QWidget *parent)
{
    auto *line = new QLabel(parent);
    line->setObjectName(QLatin1String(name));
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->hide();
    return line;
}

} // namespace

HistoryWindow::HistoryWindow(HistoryStore &store, qint16 languageId, WorkshopReader *workshop, QWidget *parent)
    : QWidget(parent, Qt::Window), m_store(store), m_languageId(languageId), m_workshop(workshop)
{
    setWindowTitle(tr("History - %1").arg(ProgramName()));
    setObjectName(QStringLiteral("HistoryWindow"));
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int rowHeight = fontMetrics().height() + 6;

    m_notice = Line("notice", this);
    m_filters = new HistoryFilterBar;
    m_emptyLine = Line("emptyLine", this);
    m_workshopLine = Line("workshopLine", this);
    m_status = Line("status", this);

    m_model = new HistoryListModel(store, languageId, this);
    m_list = new QTableView;
    m_list->setObjectName(QStringLiteral("entries"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setTabKeyNavigation(false);
    m_list->setWordWrap(false);
    m_list->verticalHeader()->hide();
    // Fixed sizes: measuring the contents would read every row.
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(rowHeight);
    // Wide enough for the longer of a typical value and the column's heading.
    const std::pair<int, QString> samples[]
        = {{HistoryListModel::TimeColumn, QStringLiteral("2026-12-05 23:59:59 UTC+10:30")},
           {HistoryListModel::OperationColumn, OperationText(HistoryOperation::Write)},
           {HistoryListModel::ResultColumn, ResultText(HistoryResult::Unfinished)},
           {HistoryListModel::SerialColumn, QStringLiteral("2026120500000000")},
           {HistoryListModel::ModelColumn, QStringLiteral("KR350UV")},
           {HistoryListModel::DealerColumn, QStringLiteral("MMMMMMMMMMMM")},
           {HistoryListModel::BenchColumn, QStringLiteral("bench-0000")}};
    for (const auto &[column, sample] : samples) {
        const QString heading = m_model->headerData(column, Qt::Horizontal).toString();
        m_list->setColumnWidth(column, std::max(fontMetrics().horizontalAdvance(sample),
                                                fontMetrics().horizontalAdvance(heading) + 2 * digit)
                                           + 2 * digit);
    }
    m_list->horizontalHeader()->setStretchLastSection(true);
    // The serial number next to the time: on a narrow screen it is in view without scrolling.
    QHeaderView *header = m_list->horizontalHeader();
    header->moveSection(header->visualIndex(HistoryListModel::SerialColumn),
                        header->visualIndex(HistoryListModel::OperationColumn));
    header->moveSection(header->visualIndex(HistoryListModel::DealerColumn),
                        header->visualIndex(HistoryListModel::ModelColumn));
    m_list->horizontalHeader()->setSortIndicator(HistoryListModel::TimeColumn, Qt::DescendingOrder);
    m_list->setSortingEnabled(true);
    m_list->setColumnHidden(HistoryListModel::BenchColumn, true);
    m_list->setAccessibleName(tr("Entries"));
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    // Where the entries would be: saying so lays out the list alone, not the window.
    auto *overlay = new QVBoxLayout(m_list->viewport());
    overlay->addWidget(m_emptyLine);
    overlay->addStretch(1);

    auto *entries = new QWidget;
    auto *entriesLayout = new QVBoxLayout(entries);
    entriesLayout->setContentsMargins(0, 0, 0, 0);
    entriesLayout->setSpacing(2);
    entriesLayout->addWidget(BuddyLabel(tr("E&ntries:"), m_list));
    entriesLayout->addWidget(m_list);
    // The entries and the selected one's differences side by side: a short
    // screen (1366x768 at scale 2) shows a good part of the list and of them.
    auto *panes = new QSplitter(Qt::Horizontal);
    panes->addWidget(entries);
    panes->addWidget(MakeEntryPane(digit));
    panes->setChildrenCollapsible(false);
    panes->setStretchFactor(0, 3);
    panes->setStretchFactor(1, 2);

    m_showPasswords = new QCheckBox(tr("Show pass&words in the export and the record"));
    m_showPasswords->setObjectName(QStringLiteral("showPasswords"));
    auto *exportCsv = HistoryButton(tr("&Export CSV..."), "exportCsv");
    auto *close = HistoryButton(tr("&Close"), "close");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_showPasswords);
    buttons->addStretch(1);
    buttons->addWidget(exportCsv);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(digit, digit / 2, digit, digit / 2);
    layout->setSpacing(4);
    layout->addWidget(m_notice);
    layout->addWidget(m_filters);
    if (m_workshop) {
        m_thisBench = new QRadioButton(tr("Th&is bench"));
        m_thisBench->setObjectName(QStringLiteral("thisBench"));
        m_thisBench->setChecked(true);
        m_wholeWorkshop = new QRadioButton(tr("Whole wor&kshop"));
        m_wholeWorkshop->setObjectName(QStringLiteral("wholeWorkshop"));
        auto *workshopRow = new QHBoxLayout;
        workshopRow->addWidget(m_thisBench);
        workshopRow->addWidget(m_wholeWorkshop);
        workshopRow->addWidget(m_workshopLine, 1);
        layout->addLayout(workshopRow);
        connect(m_wholeWorkshop, &QRadioButton::toggled, this, &HistoryWindow::ShowWorkshop);
        connect(m_model, &HistoryListModel::BusyChanged, this, &HistoryWindow::ShowWorkshopLine);
        connect(m_model, &HistoryListModel::Unreachable, this, &HistoryWindow::ShowUnreachable);
        connect(m_model, &HistoryListModel::TooLong, this, &HistoryWindow::ShowTooLong);
        // The workshop's pages come after the reset: the first is selected as it comes.
        connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
            if (!m_list->currentIndex().isValid())
                m_list->selectRow(0);
        });
        setTabOrder(m_thisBench, m_wholeWorkshop);
        setTabOrder(m_wholeWorkshop, m_filters->First());
    }
    layout->addWidget(panes, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);

    const QList<QWidget *> order{m_filters->Last(), m_list,     m_details, m_differences, m_restore,
                                 m_print,           m_saveBlock, m_showPasswords, exportCsv, close};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connect(m_filters, &HistoryFilterBar::Changed, this, [this] { m_model->SetFilter(m_filters->Filter()); });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        // A question the server gave up on is said until the next one.
        if (m_model->Workshop())
            m_unreachableText.clear();
        ShowStatus(m_model->Problem().reason);
        if (m_model->rowCount() > 0)
            m_list->selectRow(0);
        else
            ShowSelected();
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, &HistoryWindow::ShowEmptyLine);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &HistoryWindow::ShowEmptyLine);
    connect(m_model, &HistoryListModel::BusyChanged, this, &HistoryWindow::ShowEmptyLine);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &HistoryWindow::ShowSelected);
    connect(m_list, &QWidget::customContextMenuRequested, this, &HistoryWindow::ShowSortMenu);
    // The menu key opens the sort menu; Shift+F10 too, as in most programs.
    new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), m_list, [this] {
        ShowSortMenu(m_list->visualRect(m_list->currentIndex()).center());
    }, Qt::WidgetShortcut);
    connect(m_restore, &QPushButton::clicked, this, &HistoryWindow::Restore);
    connect(m_print, &QPushButton::clicked, this, &HistoryWindow::ChoosePrinter);
    connect(m_saveBlock, &QPushButton::clicked, this, &HistoryWindow::ChooseBlockFile);
    connect(exportCsv, &QPushButton::clicked, this, &HistoryWindow::ChooseCsvFile);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

    // Never larger than the screen, whose edge would hide the buttons; room is left for the window's frame.
    const QSize room = screen()->availableGeometry().size() - QSize(2 * digit, 2 * rowHeight);
    resize(QSize(150 * digit, 40 * rowHeight).boundedTo(room));
    Reload();
    m_list->setFocus();
}

void HistoryWindow::Reload()
{
    m_model->SetFilter(m_filters->Filter());
    const QString aside = m_store.TakeSetAside();
    if (!aside.isEmpty()) {
        m_notice->setText(SetAsideNotice(aside));
        m_notice->show();
    }
}

void HistoryWindow::SetDeliveryText(const QString &text)
{
    m_deliveryText = text;
    ShowWorkshopLine();
}

void HistoryWindow::ShowWorkshopLine()
{
    // One line for the workshop: the server being asked, not reached, or how delivery stands.
    QString text = m_model->Busy() ? tr("Asking the workshop server...") : m_unreachableText;
    if (!m_model->Busy() && !m_deliveryText.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + m_deliveryText;
    m_workshopLine->setText(text);
    m_workshopLine->setVisible(!text.isEmpty());
}

void HistoryWindow::ShowEmptyLine()
{
    // Said only once there is nothing to wait for: no page under way, no failure said below.
    QString text;
    if (m_model->rowCount() == 0 && !m_model->Busy() && m_model->Problem().reason.isEmpty()
        && !(m_model->Workshop() && !m_unreachableText.isEmpty()))
        text = !m_model->Filter().Empty() ? tr("No entry matches these filters.")
            : m_model->Workshop()        ? tr("The workshop's history holds no entries yet.")
                                         : tr("The history holds no entries yet.");
    m_emptyLine->setText(text);
    m_emptyLine->setVisible(!text.isEmpty());
    m_list->setAccessibleDescription(text);
}

void HistoryWindow::ShowStatus(const QString &text)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
}

void HistoryWindow::ShowWorkshop(bool whole)
{
    m_list->setColumnHidden(HistoryListModel::BenchColumn, !whole);
    m_filters->SetWorkshop(whole);
    m_unreachableText.clear();
    m_model->SetWorkshop(whole ? m_workshop : nullptr);
    ShowWorkshopLine();
}

void HistoryWindow::ShowUnreachable(const QString &why)
{
    m_thisBench->setChecked(true);
    m_unreachableText = tr("The workshop server cannot be reached (%1); this bench's entries are shown.").arg(why);
    ShowWorkshopLine();
    ShowEmptyLine();
}

void HistoryWindow::ShowTooLong(const QString &why)
{
    m_unreachableText
        = tr("The workshop server gave up on this question (%1): narrow it with a serial number or a range of days.")
              .arg(why);
    ShowWorkshopLine();
    ShowEmptyLine();
}

void HistoryWindow::ShowSortMenu(const QPoint &at)
{
    QMenu menu(this);
    const QHeaderView *header = m_list->horizontalHeader();
    const int sorted = header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    for (int visual = 0; visual < HistoryListModel::ColumnCount; ++visual) {
        const int column = header->logicalIndex(visual);
        if (m_list->isColumnHidden(column))
            continue;
        QAction *action = menu.addAction(tr("Sort by %1").arg(m_model->headerData(column, Qt::Horizontal).toString()));
        action->setCheckable(true);
        action->setChecked(column == sorted);
        connect(action, &QAction::triggered, this, [this, column] {
            // Time newest first, the others from A.
            m_list->sortByColumn(column, column == HistoryListModel::TimeColumn ? Qt::DescendingOrder
                                                                                : Qt::AscendingOrder);
        });
    }
    menu.addSeparator();
    QAction *reverse = menu.addAction(tr("Reverse the order"));
    connect(reverse, &QAction::triggered, this, [this, sorted, order] {
        m_list->sortByColumn(sorted, order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    });
    menu.exec(m_list->viewport()->mapToGlobal(at));
}

const HistoryEntry *HistoryWindow::Selected() const
{
    return m_model->EntryAt(m_list->currentIndex().row());
}

} // namespace kelvra
