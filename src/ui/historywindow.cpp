#include "ui/historywindow.h"

#include "history/historycsv.h"
#include "history/historyfile.h"
#include "history/historystore.h"
#include "lang/messages.h"
#include "ui/historydiff.h"
#include "ui/historylistmodel.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSaveFile>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QTableWidget>

namespace kelvra {

namespace {

// A byte the history does not know goes into a block file as the value of
// erased memory, which the radio's texts read as their end.
constexpr quint8 UnknownByteInFile = 0xFF;

// Both files hold the radios' programming passwords, as the history and
// the trace do: the file (an old one replaced too) is its owner's alone
// before a byte is written.
bool OpenPrivately(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly) && file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

QString Where(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QLabel *BuddyLabel(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

HistoryWindow::HistoryWindow(HistoryStore &store, qint16 languageId, WorkshopReader *workshop, QWidget *parent)
    : QWidget(parent, Qt::Window), m_store(store), m_languageId(languageId), m_workshop(workshop)
{
    setWindowTitle(tr("History - %1").arg(ProgramName()));
    setObjectName(QStringLiteral("HistoryWindow"));

    m_notice = new QLabel;
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setWordWrap(true);
    m_notice->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice->hide();

    m_filter = new QLineEdit;
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setClearButtonEnabled(true);
    m_filter->setAccessibleName(tr("Serial number filter"));

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
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    // Wide enough for the longer of a typical value and the column's heading.
    const std::pair<int, QString> samples[]
        = {{HistoryListModel::TimeColumn, QStringLiteral("2026-12-05 23:59:59")},
           {HistoryListModel::OperationColumn, OperationText(HistoryOperation::Write)},
           {HistoryListModel::ResultColumn, ResultText(HistoryResult::Unfinished)},
           {HistoryListModel::SerialColumn, QStringLiteral("2026120500000000")},
           {HistoryListModel::ModelColumn, QStringLiteral("KR350UV")},
           {HistoryListModel::DealerColumn, QStringLiteral("MMMMMMMMMMMM")},
           {HistoryListModel::BenchColumn, QStringLiteral("bench-0000")}};
    for (const auto &[column, sample] : samples) {
        const QString heading = m_model->headerData(column, Qt::Horizontal).toString();
        m_list->setColumnWidth(
            column,
            std::max(fontMetrics().horizontalAdvance(sample), fontMetrics().horizontalAdvance(heading)) + 3 * digit);
    }
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnHidden(HistoryListModel::BenchColumn, true);
    m_list->setAccessibleName(tr("Entries"));

    m_details = new QLabel;
    m_details->setObjectName(QStringLiteral("details"));
    m_details->setWordWrap(true);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_details->setAccessibleName(tr("Entry details"));

    m_differences = new QTableWidget(0, 3);
    m_differences->setObjectName(QStringLiteral("differences"));
    m_differences->setHorizontalHeaderLabels({tr("Field"), tr("Before"), tr("After")});
    m_differences->verticalHeader()->hide();
    m_differences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_differences->setTabKeyNavigation(false);
    m_differences->horizontalHeader()->setStretchLastSection(true);
    m_differences->setWordWrap(false);
    m_differences->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_differences->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_differences->setColumnWidth(0, 24 * digit);
    m_differences->setColumnWidth(1, 45 * digit);
    m_differences->setAccessibleName(tr("Differences"));

    m_showPasswords = new QCheckBox(tr("Show pass&words in the export"));
    m_showPasswords->setObjectName(QStringLiteral("showPasswords"));
    m_restore = new QPushButton(tr("&Put these values in the form"));
    m_restore->setObjectName(QStringLiteral("restore"));
    auto *exportCsv = new QPushButton(tr("&Export CSV..."));
    exportCsv->setObjectName(QStringLiteral("exportCsv"));
    m_saveBlock = new QPushButton(tr("Save &block..."));
    m_saveBlock->setObjectName(QStringLiteral("saveBlock"));
    auto *close = new QPushButton(tr("&Close"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);

    m_workshopLine = new QLabel;
    m_workshopLine->setObjectName(QStringLiteral("workshopLine"));
    m_workshopLine->setWordWrap(true);
    m_workshopLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_workshopLine->hide();

    auto *lower = new QWidget;
    auto *lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->addWidget(m_details);
    lowerLayout->addWidget(BuddyLabel(tr("&Differences:"), m_differences));
    lowerLayout->addWidget(m_differences);
    auto *upper = new QWidget;
    auto *upperLayout = new QVBoxLayout(upper);
    upperLayout->setContentsMargins(0, 0, 0, 0);
    upperLayout->addWidget(BuddyLabel(tr("E&ntries:"), m_list));
    upperLayout->addWidget(m_list);
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(upper);
    splitter->addWidget(lower);
    splitter->setChildrenCollapsible(false);

    auto *filterRow = new QHBoxLayout;
    if (m_workshop) {
        m_thisBench = new QRadioButton(tr("Th&is bench"));
        m_thisBench->setObjectName(QStringLiteral("thisBench"));
        m_thisBench->setChecked(true);
        m_wholeWorkshop = new QRadioButton(tr("Whole wor&kshop"));
        m_wholeWorkshop->setObjectName(QStringLiteral("wholeWorkshop"));
        filterRow->addWidget(m_thisBench);
        filterRow->addWidget(m_wholeWorkshop);
        filterRow->addSpacing(2 * digit);
        connect(m_wholeWorkshop, &QRadioButton::toggled, this, &HistoryWindow::ShowWorkshop);
        connect(m_model, &HistoryListModel::BusyChanged, this, &HistoryWindow::ShowWorkshopLine);
        connect(m_model, &HistoryListModel::Unreachable, this, &HistoryWindow::ShowUnreachable);
        // The workshop's pages come after the reset: the newest is selected as it comes.
        connect(m_model, &QAbstractItemModel::rowsInserted, this, [this] {
            if (!m_list->currentIndex().isValid())
                m_list->selectRow(0);
        });
    }
    filterRow->addWidget(BuddyLabel(tr("&Serial number:"), m_filter));
    filterRow->addWidget(m_filter, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_showPasswords);
    buttons->addStretch(1);
    for (QPushButton *button : {m_restore, exportCsv, m_saveBlock, close}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_notice);
    layout->addLayout(filterRow);
    layout->addWidget(m_workshopLine);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_status);

    if (m_workshop) {
        setTabOrder(m_thisBench, m_wholeWorkshop);
        setTabOrder(m_wholeWorkshop, m_filter);
    }
    setTabOrder(m_filter, m_list);
    setTabOrder(m_list, m_differences);
    setTabOrder(m_differences, m_showPasswords);
    setTabOrder(m_showPasswords, m_restore);
    setTabOrder(m_restore, exportCsv);
    setTabOrder(exportCsv, m_saveBlock);
    setTabOrder(m_saveBlock, close);

    connect(m_filter, &QLineEdit::textChanged, m_model, &HistoryListModel::SetFilter);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        ShowProblem();
        if (m_model->rowCount() > 0)
            m_list->selectRow(0);
        else
            ShowSelected();
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &HistoryWindow::ShowSelected);
    connect(m_restore, &QPushButton::clicked, this, &HistoryWindow::Restore);
    connect(exportCsv, &QPushButton::clicked, this, &HistoryWindow::ChooseCsvFile);
    connect(m_saveBlock, &QPushButton::clicked, this, &HistoryWindow::ChooseBlockFile);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

    // Never larger than the screen, whose edge would hide the buttons; room is left for the window's frame.
    const QSize room = screen()->availableGeometry().size() - QSize(4 * digit, 4 * fontMetrics().height());
    resize(QSize(125 * digit, 50 * fontMetrics().height()).boundedTo(room));
    Reload();
    m_list->setFocus();
}

void HistoryWindow::Reload()
{
    m_model->SetFilter(m_filter->text());
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

void HistoryWindow::ShowWorkshop(bool whole)
{
    m_list->setColumnHidden(HistoryListModel::BenchColumn, !whole);
    // The server reads serial numbers backwards: it finds a number by its end.
    m_filter->setPlaceholderText(whole ? tr("the whole number or its last digits") : QString());
    m_unreachableText.clear();
    m_model->SetWorkshop(whole ? m_workshop : nullptr);
    ShowWorkshopLine();
}

void HistoryWindow::ShowUnreachable(const QString &why)
{
    m_thisBench->setChecked(true);
    m_unreachableText = tr("The workshop server cannot be reached (%1); this bench's entries are shown.").arg(why);
    ShowWorkshopLine();
}

void HistoryWindow::ShowProblem()
{
    const HistoryProblem &problem = m_model->Problem();
    m_status->setText(problem.reason);
}

const HistoryEntry *HistoryWindow::Selected() const
{
    return m_model->EntryAt(m_list->currentIndex().row());
}

void HistoryWindow::ShowSelected()
{
    const HistoryEntry *entry = Selected();
    m_restore->setEnabled(!m_operationRunning && entry && RestoreValuesOf(*entry).has_value());
    m_saveBlock->setEnabled(entry && (entry->before.AnyKnown() || entry->after.AnyKnown()));
    if (!entry) {
        m_details->clear();
        m_differences->setRowCount(0);
        return;
    }
    m_details->setText(EntryDetailsText(*entry));
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

bool HistoryWindow::ExportCsv(const QString &path, bool showPasswords)
{
    QSaveFile file(path);
    HistoryProblem problem;
    bool written = OpenPrivately(file);
    if (written && m_model->Workshop()) {
        // The workshop's entries as far as they have been fetched: the server is not asked again here.
        WriteHistoryCsvHeader(m_languageId, file);
        for (int row = 0; row < m_model->rowCount(); ++row)
            WriteHistoryCsvRow(*m_model->EntryAt(row), showPasswords, m_languageId, file);
    } else if (written) {
        written = WriteHistoryCsv(m_store, m_model->Filter(), showPasswords, m_languageId, file, &problem);
    }
    written = written && file.commit();
    m_status->setText(written ? tr("Exported to %1, readable by you alone.").arg(Where(path))
                              : tr("Cannot export to %1: %2")
                                    .arg(QDir::toNativeSeparators(path),
                                         problem.reason.isEmpty() ? file.errorString() : problem.reason));
    return written;
}

bool HistoryWindow::SaveBlock(const QString &path)
{
    const HistoryEntry *entry = Selected();
    if (!entry)
        return false;
    // The block as it was before the operation: for a write, its backup.
    const KnownImage &image = entry->before.AnyKnown() ? entry->before : entry->after;
    const RadioImage bytes = image.Filled(UnknownByteInFile);
    QSaveFile file(path);
    const bool written = OpenPrivately(file)
        && file.write(reinterpret_cast<const char *>(bytes.data()), RadioImage::Size) == RadioImage::Size
        && file.commit();
    const int unknown = RadioImage::Size - image.KnownCount();
    if (!written)
        m_status->setText(tr("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), file.errorString()));
    else if (unknown > 0)
        m_status->setText(
            tr("Saved %1, readable by you alone; %n byte(s) were not known and are saved as FF.", nullptr, unknown)
                .arg(Where(path)));
    else
        m_status->setText(tr("Saved %1, readable by you alone.").arg(Where(path)));
    return written;
}

void HistoryWindow::ChooseCsvFile()
{
    const QString path
        = QFileDialog::getSaveFileName(this, tr("Export CSV"), QStringLiteral("history.csv"), tr("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (!ExportCsv(path, m_showPasswords->isChecked()))
        QMessageBox::warning(this, ProgramName(), m_status->text());
}

void HistoryWindow::ChooseBlockFile()
{
    const HistoryEntry *entry = Selected();
    if (!entry)
        return;
    // The serial number comes from the radio: nothing in it may name another folder.
    QString serial = entry->serialNumber;
    serial.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString name = QStringLiteral("%1-%2.bin")
                             .arg(serial.isEmpty() ? QStringLiteral("radio") : serial,
                                  entry->time.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = QFileDialog::getSaveFileName(this, tr("Save block"), name, tr("Block files (*.bin)"));
    if (!path.isEmpty() && !SaveBlock(path))
        QMessageBox::warning(this, ProgramName(), m_status->text());
}

} // namespace kelvra
