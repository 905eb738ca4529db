#include "ui/historylistmodel.h"

#include "history/entrynames.h"
#include "history/historycsv.h"
#include "history/historystore.h"
#include "history/workshopreader.h"

#include <QCoreApplication>
#include <QTimeZone>

namespace kelvra {

namespace {

// A screenful and then some: the first page is all that opening the window reads.
constexpr int PageSize = 200;

// Each column's name, for its caption.
const char *const ColumnNames[] = {"time", "operation", "result", "serialNumber",
                                   "model", "dealerCode", "bench", "changed"};

} // namespace

HistoryListModel::HistoryListModel(HistoryStore &store, qint16 languageId, QObject *parent)
    : QAbstractTableModel(parent), m_store(store), m_languageId(languageId)
{
}

void HistoryListModel::SetFilter(const HistoryFilter &filter)
{
    m_filter = filter;
    m_filter.serial = m_filter.serial.trimmed();
    Reset();
}

void HistoryListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= ColumnCount)
        return;
    const HistoryOrder wanted{HistoryKey(column), order == Qt::AscendingOrder};
    if (wanted.key == m_order.key && wanted.ascending == m_order.ascending)
        return;
    m_order = wanted;
    Reset();
}

void HistoryListModel::Reset()
{
    // The first page comes within the reset, so that the view sees rows at
    // once; the workshop's comes when the server answers.
    beginResetModel();
    m_rows.clear();
    m_more = !m_reader;
    m_problem = {};
    if (!m_reader)
        m_rows = NextPage();
    endResetModel();
    if (m_reader)
        AskWorkshop();
}

void HistoryListModel::SetWorkshop(WorkshopReader *reader)
{
    disconnect(m_answers);
    m_reader = reader;
    SetBusy(false);
    if (m_reader)
        m_answers = connect(m_reader, &WorkshopReader::Answered, this, &HistoryListModel::Answered);
    Reset();
}

void HistoryListModel::AskWorkshop()
{
    WorkshopQuery query{m_filter, PageSize, m_order, std::nullopt};
    if (!m_rows.isEmpty())
        query.after = m_rows.last();
    m_reader->Ask(query);
    SetBusy(true);
}

void HistoryListModel::Answered(const WorkshopPage &page)
{
    SetBusy(false);
    if (page.tooLong) {
        m_more = false;
        emit TooLong(page.why);
        return;
    }
    if (!page.reached) {
        m_more = false;
        emit Unreachable(page.why);
        return;
    }
    m_more = page.more;
    Append(page.entries);
}

void HistoryListModel::Append(const QList<HistoryEntry> &entries)
{
    if (entries.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + entries.size() - 1));
    m_rows += entries;
    endInsertRows();
}

void HistoryListModel::SetBusy(bool busy)
{
    if (std::exchange(m_busy, busy) != busy)
        emit BusyChanged(busy);
}

QList<HistoryEntry> HistoryListModel::NextPage()
{
    HistoryQuery query{m_filter, PageSize, m_order, std::nullopt};
    if (!m_rows.isEmpty())
        query.after = m_rows.last();
    m_problem = {};
    const QList<HistoryEntry> page = m_store.List(query, &m_problem);
    m_more = page.size() == PageSize;
    return page;
}

const HistoryEntry *HistoryListModel::EntryAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows.at(row) : nullptr;
}

const HistoryEntry *HistoryListModel::Find(const QString &uuid) const
{
    for (const HistoryEntry &entry : m_rows) {
        if (entry.uuid == uuid)
            return &entry;
    }
    return nullptr;
}

int HistoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int HistoryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool HistoryListModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_more && !m_busy;
}

void HistoryListModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    if (m_reader)
        AskWorkshop();
    else
        Append(NextPage());
}

QString HistoryListModel::Text(const HistoryEntry &entry, int column) const
{
    switch (column) {
    case TimeColumn:
        return LocalTimeText(entry.time);
    case OperationColumn:
        return OperationText(entry.operation);
    case ResultColumn:
        return ResultText(entry.result);
    case SerialColumn:
        return entry.serialNumber;
    case ModelColumn:
        return entry.model;
    case BenchColumn:
        return entry.bench;
    case DealerColumn:
        return DealerCodeText(entry).value_or(UnknownValueText());
    case ChangedColumn:
        return ChangedFieldsText(entry.changedFields, m_languageId);
    default:
        return QString();
    }
}

QVariant HistoryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return Text(m_rows.at(index.row()), index.column());
    return QVariant();
}

QVariant HistoryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return ItemCaption(QLatin1String(ColumnNames[section]), m_languageId);
    if (role == Qt::ToolTipRole && section == TimeColumn)
        return QCoreApplication::translate("History", "This computer's local time (%1), with its offset from UTC")
            .arg(QString::fromUtf8(QTimeZone::systemTimeZoneId()));
    if (role == Qt::ToolTipRole)
        return QCoreApplication::translate("History", "Click to sort; in the list, the menu key sorts too");
    return QVariant();
}

} // namespace kelvra
