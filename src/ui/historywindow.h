#pragma once

#include "history/fieldview.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

namespace kelvra {

class HistoryListModel;
class HistoryStore;

// The history of reads and writes: entries newest first, filtered by serial
// number, the selected entry's fields before and after, and what can be
// done with it: its old values put into the main window's form, the list
// exported for a spreadsheet, the radio's block saved as a file.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    HistoryWindow(HistoryStore &store, qint16 languageId, QWidget *parent = nullptr);

    // Reads the entries again, keeping the filter: a new one may have come.
    void Reload();
    // The export and the block file, as their buttons run them once a file is chosen.
    bool ExportCsv(const QString &path, bool showPasswords);
    bool SaveBlock(const QString &path);
    // While a read or write runs, the form must not change under it: no values are put into it.
    void SetOperationRunning(bool running);

signals:
    // The selected entry's values from before its operation, for the form;
    // the form's owner checks the radio's serial number before a write.
    void RestoreRequested(const kelvra::RestoreValues &values);

private:
    void ShowSelected();
    void ShowProblem();
    void Restore();
    void ChooseCsvFile();
    void ChooseBlockFile();
    const HistoryEntry *Selected() const;

    HistoryStore &m_store;
    qint16 m_languageId;
    HistoryListModel *m_model = nullptr;
    QLabel *m_notice = nullptr;
    QLineEdit *m_filter = nullptr;
    QTableView *m_list = nullptr;
    QLabel *m_details = nullptr;
    QTableWidget *m_differences = nullptr;
    QCheckBox *m_showPasswords = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_saveBlock = nullptr;
    QLabel *m_status = nullptr;
    bool m_operationRunning = false;
};

} // namespace kelvra
