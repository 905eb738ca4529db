#pragma once

#include "history/historydelivery.h"
#include "history/historystore.h"
#include "history/sharedserver.h"
#include "services/historyrecorder.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace kelvra {

class FrmMain;
class HistoryWindow;
class PortDirectory;
class RadioLink;
class WorkshopReader;
struct RadioInfo;

// The history as the main window keeps it: the file, opened once the window
// is first on screen and never on the way there, a recorder on the window's
// link, delivery to a workshop's server, the history window when asked for,
// and an entry's values put into the form.
class WindowHistory : public QObject
{
    Q_OBJECT
public:
    // settingsPath: the mysetup.ini that may name a shared server.
    WindowHistory(const QString &path, const QString &settingsPath, FrmMain &window, RadioLink &link,
                  RadioInfo &info, const PortDirectory &directory, QObject *parent = nullptr);
    ~WindowHistory() override;

    HistoryStore &Store() { return m_store; }
    HistoryRecorder &Recorder() { return m_recorder; }
    // Null until first asked for.
    HistoryWindow *Window() const { return m_historyWindow.get(); }

    void ShowWindow();
    // The form's writable fields take the values, and the next write goes only to their radio.
    void Restore(const RestoreValues &values);
    // The main window closes: the history window goes and delivery stops.
    void Close();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Open();
    void StartDelivery();
    // The workshop's server that mysetup.ini names.
    const SharedServer &Server();
    void ShowDelivery(const DeliveryStatus &status);
    void EntryRecorded();
    // A history that cannot be kept is said once, until an entry is stored again.
    void TellProblem(const QString &reason);
    void TellSetAside();

    QString m_settingsPath;
    FrmMain &m_window;
    RadioLink &m_link;
    RadioInfo &m_info;
    HistoryStore m_store;
    HistoryRecorder m_recorder;
    std::optional<SharedServer> m_server;
    std::unique_ptr<HistoryDelivery> m_delivery;
    std::optional<DeliveryStatus> m_deliveryStatus;
    // Before the window, which reads through it, so that it goes after it.
    std::unique_ptr<WorkshopReader> m_workshop;
    std::unique_ptr<HistoryWindow> m_historyWindow;
    bool m_problemTold = false;
};

} // namespace kelvra
