#include "ui/historylistmodel.h"

#include "history/fieldview.h"
#include "history/historycsv.h"
#include "history/historystore.h"
#include "history/workshopreader.h"
#include "lang/captions.h"

#include <QCoreApplication>

namespace kelvra {

namespace {

// A screenful and then some: the first page is all that opening the window reads.
constexpr int PageSize = 200;

QString DealerCode(const HistoryEntry &entry)
{
    static const auto dealer = FindImageField(QStringLiteral("DealerCode"));
    for (const KnownImage *image : {&entry.after, &entry.before}) {
        if (image->AllKnown(dealer->offset, dealer->width))
            return *FieldValues(*image)[std::size_t(dealer - ImageFields().data())];
    }
    return UnknownValueText();
}

} // namespace

HistoryListModel::HistoryListModel(HistoryStore &store, qint16 languageId, QObject *parent)
    : QAbstractTableModel(parent), m_store(store), m_languageId(languageId)
{
}

void HistoryListModel::SetFilter(const QString &text)
{
    // The first page comes within the reset, so that the view sees rows at
    // once; the workshop's comes when the server answers.
    beginResetModel();
    m_filter = text.trimmed();
    m_rows.clear();
    m_more = !m_reader;
    m_problem = {};
    if (!m_reader) {
        for (const HistoryEntry &entry : NextPage())
            m_rows.append(Row{entry, std::nullopt});
    }
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
    SetFilter(m_filter);
}

void HistoryListModel::AskWorkshop()
{
    WorkshopQuery query{m_filter, QDateTime(), QString(), PageSize};
    if (!m_rows.isEmpty()) {
        query.beforeTime = m_rows.last().entry.time;
        query.beforeUuid = m_rows.last().entry.uuid;
    }
    m_reader->Ask(query);
    SetBusy(true);
}

void HistoryListModel::Answered(const WorkshopPage &page)
{
    SetBusy(false);
    if (!page.reached) {
        m_more = false;
        emit Unreachable(page.why);
        return;
    }
    m_more = page.more;
    if (page.entries.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + page.entries.size() - 1));
    for (const HistoryEntry &entry : page.entries)
        m_rows.append(Row{entry, std::nullopt});
    endInsertRows();
}

void HistoryListModel::SetBusy(bool busy)
{
    if (std::exchange(m_busy, busy) != busy)
        emit BusyChanged(busy);
}

QList<HistoryEntry> HistoryListModel::NextPage()
{
    const qint64 before = m_rows.isEmpty() ? 0 : m_rows.last().entry.seq;
    m_problem = {};
    const QList<HistoryEntry> page = m_store.List({m_filter, before, PageSize}, &m_problem);
    m_more = page.size() == PageSize;
    return page;
}

const HistoryEntry *HistoryListModel::EntryAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows.at(row).entry : nullptr;
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
    if (m_reader) {
        AskWorkshop();
        return;
    }
    const QList<HistoryEntry> page = NextPage();
    if (page.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_rows.size()), int(m_rows.size() + page.size() - 1));
    for (const HistoryEntry &entry : page)
        m_rows.append(Row{entry, std::nullopt});
    endInsertRows();
}

QString HistoryListModel::Text(const Row &row, int column) const
{
    const HistoryEntry &entry = row.entry;
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
        if (!row.dealerCode)
            row.dealerCode = DealerCode(entry);
        return *row.dealerCode;
    case ChangedColumn: {
        QStringList captions;
        for (const QString &id : entry.changedFields) {
            const ImageField *field = FindImageField(id);
            captions << (field ? FieldCaption(*field, m_languageId) : id);
        }
        return captions.join(QCoreApplication::translate("History", ", "));
    }
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
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case TimeColumn:
        return QCoreApplication::translate("History", "Time");
    case OperationColumn:
        return QCoreApplication::translate("History", "Operation");
    case ResultColumn:
        return QCoreApplication::translate("History", "Result");
    case SerialColumn:
        return FieldCaption(*FindImageField(QStringLiteral("SerialNumber")), m_languageId);
    case ModelColumn:
        return CaptionText(*FindCaption("Label1_0"), m_languageId);
    case DealerColumn:
        return FieldCaption(*FindImageField(QStringLiteral("DealerCode")), m_languageId);
    case BenchColumn:
        return QCoreApplication::translate("History", "Bench");
    case ChangedColumn:
        return QCoreApplication::translate("History", "Changed fields");
    default:
        return QVariant();
    }
}

} // namespace kelvra
