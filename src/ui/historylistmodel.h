#pragma once

#include "history/historyentry.h"
#include "history/historyproblem.h"

#include <QAbstractTableModel>

#include <optional>

namespace kelvra {

class HistoryStore;

// The history's entries, newest first, fetched from the store a page at a
// time as the view scrolls, so that a long history opens at once.
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
        ChangedColumn,
        ColumnCount
    };

    HistoryListModel(HistoryStore &store, qint16 languageId, QObject *parent = nullptr);

    // Shows only entries whose serial number contains text, from the newest.
    void SetFilter(const QString &text);
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

private:
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
};

} // namespace kelvra
