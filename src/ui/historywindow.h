#pragma once

#include "history/fieldview.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPrinter;
class QRadioButton;
class QPushButton;
class QTableView;
class QTableWidget;

namespace kelvra {

class HistoryFilterBar;
class HistoryListModel;
class HistoryStore;
class WorkshopReader;

// The history of reads and writes as a tool: entries filtered and sorted by
// any column, the selected entry's fields before and after beside them, and
// what can be done with it: its old values put into the main window's form,
// its record printed to hand over with the radio, the list exported for a
// spreadsheet, the radio's block saved as a file. With a workshop's server,
// the choice between this bench's entries and every bench's, and how
// delivery to the server stands.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    // workshop: the shared server's reader; null when the workshop shares none.
    HistoryWindow(HistoryStore &store, qint16 languageId, WorkshopReader *workshop = nullptr,
                  QWidget *parent = nullptr);

    // Reads the entries again, keeping the filters and the order: a new one may have come.
    void Reload();
    // The export, the block file and the record, as their buttons run them
    // once a file or printer is chosen.
    bool ExportCsv(const QString &path, bool showPasswords);
    bool SaveBlock(const QString &path);
    bool PrintRecord(QPrinter &printer);
    // One line on how this bench's entries reach the workshop's server.
    void SetDeliveryText(const QString &text);
    // While a read or write runs, the form must not change under it: no values are put into it.
    void SetOperationRunning(bool running);

signals:
    // The selected entry's values from before its operation, for the form;
    // the form's owner checks the radio's serial number before a write.
    void RestoreRequested(const kelvra::RestoreValues &values);

private:
    QWidget *MakeEntryPane(int digit);
    void ShowSelected();
    void ShowWorkshop(bool whole);
    void ShowUnreachable(const QString &why);
    void ShowTooLong(const QString &why);
    void ShowWorkshopLine();
    void ShowEmptyLine();
    void ShowStatus(const QString &text);
    void ShowSortMenu(const QPoint &at);
    void Restore();
    void ChooseCsvFile();
    void ChooseBlockFile();
    void ChoosePrinter();
    const HistoryEntry *Selected() const;

    HistoryStore &m_store;
    qint16 m_languageId;
    HistoryListModel *m_model = nullptr;
    QLabel *m_notice = nullptr;
    HistoryFilterBar *m_filters = nullptr;
    QLabel *m_emptyLine = nullptr;
    QTableView *m_list = nullptr;
    QPlainTextEdit *m_details = nullptr;
    QTableWidget *m_differences = nullptr;
    QCheckBox *m_showPasswords = nullptr;
    QPushButton *m_restore = nullptr;
    QPushButton *m_print = nullptr;
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
