// The history window's entry pane: the selected entry in words and field by
// field, and what can be done with it.
#include "ui/historywindow.h"

#include "history/historystore.h"
#include "ui/historydiff.h"
#include "ui/historylistmodel.h"
#include "ui/historywidgets.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>

namespace kelvra {

QWidget *HistoryWindow::MakeEntryPane(int digit)
{
    m_details = new QPlainTextEdit;
    m_details->setObjectName(QStringLiteral("details"));
    m_details->setReadOnly(true);
    m_details->setTabChangesFocus(true);
    m_details->setAccessibleName(tr("Entry details"));
    m_details->setMinimumHeight(3 * fontMetrics().height());

    m_differences = new QTableWidget(0, 3);
    m_differences->setObjectName(QStringLiteral("differences"));
    m_differences->setHorizontalHeaderLabels({tr("Field"), tr("Before"), tr("After")});
    m_differences->verticalHeader()->hide();
    m_differences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_differences->setTabKeyNavigation(false);
    // Before and after share what the field's caption leaves, so that both are in view on a narrow pane.
    m_differences->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_differences->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    m_differences->setWordWrap(false);
    m_differences->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_differences->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_differences->setColumnWidth(0, 13 * digit);
    m_differences->setAccessibleName(tr("Differences"));

    m_restore = HistoryButton(tr("&Put these values in the form"), "restore");
    m_print = HistoryButton(tr("P&rint record..."), "printRecord");
    m_saveBlock = HistoryButton(tr("Save &block..."), "saveBlock");

    auto *lower = new QWidget;
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(2);
    lowerLayout->addWidget(BuddyLabel(tr("&Differences:"), m_differences));
    lowerLayout->addWidget(m_differences, 1);
    auto *actions = new QGridLayout;
    actions->addWidget(m_restore, 0, 0, 1, 2);
    actions->addWidget(m_print, 1, 0);
    actions->addWidget(m_saveBlock, 1, 1);
    lowerLayout->addLayout(actions);

    auto *pane = new QSplitter(Qt::Vertical);
    pane->addWidget(m_details);
    pane->addWidget(lower);
    pane->setChildrenCollapsible(false);
    pane->setStretchFactor(0, 1);
    pane->setStretchFactor(1, 3);
    return pane;
}

void HistoryWindow::ShowSelected()
{
    const HistoryEntry *entry = Selected();
    m_restore->setEnabled(!m_operationRunning && entry && RestoreValuesOf(*entry).has_value());
    const bool known = entry && (entry->before.AnyKnown() || entry->after.AnyKnown());
    m_saveBlock->setEnabled(known);
    m_print->setEnabled(known);
    if (!entry) {
        m_details->clear();
        m_differences->setRowCount(0);
        return;
    }
    // Whose values a restoring write took: fetched already, or in this bench's file.
    const HistoryEntry *source = nullptr;
    std::optional<HistoryEntry> stored;
    if (!entry->restoredFrom.isEmpty()) {
        source = m_model->Find(entry->restoredFrom);
        if (!source && (stored = m_store.Fetch(entry->restoredFrom)))
            source = &*stored;
    }
    m_details->setPlainText(EntryDetailsText(*entry, source));
    ShowDifferences(m_differences, *entry, m_languageId);
}

void HistoryWindow::SetOperationRunning(bool running)
{
    m_operationRunning = running;
    ShowSelected();
}

void HistoryWindow::Restore()
{
    if (m_operationRunning)
        return;
    if (const HistoryEntry *entry = Selected()) {
        if (const auto values = RestoreValuesOf(*entry))
            emit RestoreRequested(*values);
    }
}

} // namespace kelvra
