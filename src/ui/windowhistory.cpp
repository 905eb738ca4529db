#include "ui/windowhistory.h"

#include "history/historydelivery.h"
#include "history/historyfile.h"
#include "history/workshopreader.h"
#include "link/radiolink.h"
#include "record/radioinfo.h"
#include "services/historysetting.h"
#include "ui/frmmain.h"
#include "ui/historywindow.h"
#include "ui/messageboxes.h"

#include <QEvent>
#include <QTimer>
#include <QWindow>

namespace kelvra {

WindowHistory::WindowHistory(const QString &path, const QString &settingsPath, FrmMain &window, RadioLink &link,
                             RadioInfo &info, const PortDirectory &directory, QObject *parent)
    : QObject(parent), m_settingsPath(settingsPath), m_window(window), m_link(link), m_info(info), m_store(path),
      m_recorder(m_store, link, &directory)
{
    connect(&m_recorder, &HistoryRecorder::Recorded, this, &WindowHistory::EntryRecorded);
    connect(&m_recorder, &HistoryRecorder::NotRecorded, this,
            [this](const HistoryProblem &problem) { TellProblem(problem.reason); });
    connect(&m_window, &FrmMain::HistoryRequested, this, &WindowHistory::ShowWindow);
    m_recorder.SetBenchName(BenchName(settingsPath));
    connect(&m_link, &RadioLink::Busy, this, [this](bool running) {
        if (m_historyWindow)
            m_historyWindow->SetOperationRunning(running);
    });
    m_window.installEventFilter(this);
}

WindowHistory::~WindowHistory()
{
    Close();
}

bool WindowHistory::eventFilter(QObject *watched, QEvent *event)
{
    // The show event comes before the window reaches the screen, its first
    // expose after, and the paint right after the expose.
    if (watched == &m_window && event->type() == QEvent::Show) {
        m_window.removeEventFilter(this);
        if (QWindow *handle = m_window.windowHandle())
            handle->installEventFilter(this);
    } else if (event->type() == QEvent::Expose && watched == m_window.windowHandle()
               && m_window.windowHandle()->isExposed()) {
        watched->removeEventFilter(this);
        QTimer::singleShot(0, this, &WindowHistory::Open);
    }
    return QObject::eventFilter(watched, event);
}

void WindowHistory::Open()
{
    // Opened now, the first write does not pay for it, and a damaged file is said at once.
    HistoryProblem problem;
    if (!m_store.Open(&problem))
        TellProblem(problem.reason);
    TellSetAside();
    StartDelivery();
}

void WindowHistory::StartDelivery()
{
    const SharedServer &server = Server();
    if (!server.IsValid()) {
        if (!server.error.isEmpty())
            ShowNotice(&m_window, tr("%1 The history is kept on this computer only.").arg(server.error));
        return;
    }
    m_delivery = std::make_unique<HistoryDelivery>(m_store.Path(), server);
    connect(m_delivery.get(), &HistoryDelivery::StatusChanged, this, &WindowHistory::ShowDelivery);
    m_delivery->Start();
}

void WindowHistory::ShowDelivery(const DeliveryStatus &status)
{
    m_deliveryStatus = status;
    if (m_historyWindow)
        m_historyWindow->SetDeliveryText(DeliveryStatusText(status, Server().key));
}

const SharedServer &WindowHistory::Server()
{
    // Read when first needed: the history window may be asked for before delivery starts.
    if (!m_server)
        m_server = SharedServer::FromUrl(SharedHistoryUrl(m_settingsPath));
    return *m_server;
}

void WindowHistory::ShowWindow()
{
    if (!m_historyWindow) {
        if (Server().IsValid())
            m_workshop = std::make_unique<WorkshopReader>(m_store.Path(), Server());
        m_historyWindow = std::make_unique<HistoryWindow>(m_store, m_window.LanguageId(), m_workshop.get(), &m_window);
        connect(m_historyWindow.get(), &HistoryWindow::RestoreRequested, this, &WindowHistory::Restore);
        if (m_deliveryStatus)
            ShowDelivery(*m_deliveryStatus);
        m_historyWindow->SetOperationRunning(m_link.OpKind() != Operation::None);
    } else if (!m_historyWindow->isVisible()) {
        // Another copy of the program may have written to the file meanwhile.
        m_historyWindow->Reload();
    }
    m_historyWindow->show();
    m_historyWindow->raise();
    m_historyWindow->activateWindow();
}

void WindowHistory::Restore(const RestoreValues &values)
{
    // Through the record, so that the model's band list is the one the band is chosen from.
    if (!values.model.isEmpty())
        m_info.Model = values.model;
    m_info.DealerCode = values.dealerCode;
    m_info.StockDate = values.stockDate;
    m_info.SellDate = values.sellDate;
    m_info.Seller = values.seller;
    m_info.ProgramPassword = values.password;
    m_info.BandCode = qint16(values.bandCode);
    m_info.FreqSet = values.freqSet;
    m_window.ShowByData();
    m_recorder.SetRestoreSource(values);
    m_window.activateWindow();
}

void WindowHistory::EntryRecorded()
{
    m_problemTold = false;
    TellSetAside();
    if (m_delivery)
        m_delivery->Nudge();
    if (m_historyWindow && m_historyWindow->isVisible())
        m_historyWindow->Reload();
}

void WindowHistory::TellProblem(const QString &reason)
{
    if (std::exchange(m_problemTold, true) || !m_window.isVisible())
        return;
    ShowNotice(&m_window, tr("The history of reads and writes cannot be kept. %1\nReads go on without it; a write "
                             "is refused until the radio's values can be backed up first.")
                              .arg(reason));
}

void WindowHistory::TellSetAside()
{
    const QString aside = m_store.TakeSetAside();
    if (!aside.isEmpty() && m_window.isVisible())
        ShowNotice(&m_window, SetAsideNotice(aside));
}

void WindowHistory::Close()
{
    if (m_historyWindow)
        m_historyWindow->close();
    if (m_delivery)
        m_delivery->Stop();
}

} // namespace kelvra
