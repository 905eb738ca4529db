#pragma once

#include "history/historyentry.h"
#include "history/historyproblem.h"
#include "history/historyquery.h"

#include <QAbstractTableModel>

#include <optional>

namespace kelvra {

class HistoryStore;
class WorkshopReader;
struct WorkshopPage;

// The history's entries, filtered and sorted by the file or the server
// itself, fetched a page at a time as the view scrolls, so that a long
// history opens at once: this bench's from the store, or, given a workshop's
// reader, every bench's from the server, whose pages come later, from the
// reader's thread, while the window goes on.
class HistoryListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // In the order of HistoryKey: each column sorts by its own key.
    enum Column {
        TimeColumn,
        OperationColumn,
        ResultColumn,
        SerialColumn,
        ModelColumn,
        DealerColumn,
        BenchColumn,
        ChangedColumn,
        ColumnCount
    };

    HistoryListModel(HistoryStore &store, qint16 languageId, QObject *parent = nullptr);

    // The entries that pass the filter, from the first in the order; the
    // workshop's server matches the serial number by its end.
    void SetFilter(const HistoryFilter &filter);
    const HistoryFilter &Filter() const { return m_filter; }
    const HistoryOrder &Order() const { return m_order; }
    // The workshop's entries from reader; null: this bench's from the store.
    void SetWorkshop(WorkshopReader *reader);
    bool Workshop() const { return m_reader != nullptr; }
    // A page has been asked of the server and not yet answered.
    bool Busy() const { return m_busy; }
    const HistoryEntry *EntryAt(int row) const;
    // An entry fetched so far, by its uuid; null when none is.
    const HistoryEntry *Find(const QString &uuid) const;
    // Why the last page could not be read; kind None when it could.
    const HistoryProblem &Problem() const { return m_problem; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    void BusyChanged(bool busy);
    // The server could not be asked: why, in words a person acts on.
    void Unreachable(const QString &why);
    // The server was asked but gave up before it answered.
    void TooLong(const QString &why);

private:
    void Reset();
    void Answered(const WorkshopPage &page);
    void AskWorkshop();
    void SetBusy(bool busy);
    void Append(const QList<HistoryEntry> &entries);
    QString Text(const HistoryEntry &entry, int column) const;
    QList<HistoryEntry> NextPage();

    HistoryStore &m_store;
    qint16 m_languageId;
    HistoryFilter m_filter;
    HistoryOrder m_order;
    QList<HistoryEntry> m_rows;
    bool m_more = true;
    HistoryProblem m_problem;
    WorkshopReader *m_reader = nullptr;
    QMetaObject::Connection m_answers;
    bool m_busy = false;
};

} // namespace kelvra
