#pragma once

#include "history/fieldview.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QRadioButton;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

namespace kelvra {

class HistoryListModel;
class HistoryStore;
class WorkshopReader;

// The history of reads and writes: entries newest first, filtered by serial
// number, the selected entry's fields before and after, and what can be
// done with it: its old values put into the main window's form, the list
// exported for a spreadsheet, the radio's block saved as a file. With a
// workshop's server, the choice between this bench's entries and every
// bench's, and how delivery to the server stands.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    // workshop: the shared server's reader; null when the workshop shares none.
    HistoryWindow(HistoryStore &store, qint16 languageId, WorkshopReader *workshop = nullptr,
                  QWidget *parent = nullptr);

    // Reads the entries again, keeping the filter: a new one may have come.
    void Reload();
    // The export and the block file, as their buttons run them once a file is chosen.
    bool ExportCsv(const QString &path, bool showPasswords);
    bool SaveBlock(const QString &path);
    // One line on how this bench's entries reach the workshop's server.
    void SetDeliveryText(const QString &text);
    // While a read or write runs, the form must not change under it: no values are put into it.
    void SetOperationRunning(bool running);

signals:
    // The selected entry's values from before its operation, for the form;
    // the form's owner checks the radio's serial number before a write.
    void RestoreRequested(const kelvra::RestoreValues &values);

private:
    void ShowSelected();
    void ShowWorkshop(bool whole);
    void ShowUnreachable(const QString &why);
    void ShowWorkshopLine();
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
    WorkshopReader *m_workshop = nullptr;
    QRadioButton *m_thisBench = nullptr;
    QRadioButton *m_wholeWorkshop = nullptr;
    QLabel *m_workshopLine = nullptr;
    QString m_deliveryText;
    QString m_unreachableText;
    bool m_operationRunning = false;
};

} // namespace kelvra
