#pragma once

#include "history/historyentry.h"
#include "history/historyproblem.h"

#include <QAbstractTableModel>

#include <optional>

namespace kelvra {

class HistoryStore;
class WorkshopReader;
struct WorkshopPage;

// The history's entries, newest first, fetched a page at a time as the view
// scrolls, so that a long history opens at once: this bench's from the
// store, or, given a workshop's reader, every bench's from the server, whose
// pages come later, from the reader's thread, while the window goes on.
class HistoryListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
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

    // Shows only entries whose serial number contains text (for the
    // workshop: ends with it), from the newest.
    void SetFilter(const QString &text);
    // The workshop's entries from reader; null: this bench's from the store.
    void SetWorkshop(WorkshopReader *reader);
    bool Workshop() const { return m_reader != nullptr; }
    // A page has been asked of the server and not yet answered.
    bool Busy() const { return m_busy; }
    const QString &Filter() const { return m_filter; }
    const HistoryEntry *EntryAt(int row) const;
    // Why the last page could not be read; kind None when it could.
    const HistoryProblem &Problem() const { return m_problem; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

signals:
    void BusyChanged(bool busy);
    // The server could not be asked: why, in words a person acts on.
    void Unreachable(const QString &why);

private:
    void Answered(const WorkshopPage &page);
    void AskWorkshop();
    void SetBusy(bool busy);
    struct Row
    {
        HistoryEntry entry;
        mutable std::optional<QString> dealerCode; // decoded when first shown
    };
    QString Text(const Row &row, int column) const;
    QList<HistoryEntry> NextPage();

    HistoryStore &m_store;
    qint16 m_languageId;
    QString m_filter;
    QList<Row> m_rows;
    bool m_more = true;
    HistoryProblem m_problem;
    WorkshopReader *m_reader = nullptr;
    QMetaObject::Connection m_answers;
    bool m_busy = false;
};

} // namespace kelvra
