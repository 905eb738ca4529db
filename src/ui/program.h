#pragma once

// ui/: the main window, a front end. The window (FrmMain and its form
// binding, entry rules, message boxes, the history window) and its wiring to
// one radio link (this file). It stands on services/ (where files live, the
// settings file, the trace file, the history recorder) and on link/,
// history/, record/ and lang/; it may include no other front end (cli/, the
// station window) nor app/, and nothing below includes it.

#include "lang/translations.h"
#include "link/portdirectory.h"
#include "link/qtreplytimer.h"
#include "link/qtserialcontrol.h"
#include "link/radiolink.h"
#include "link/tracing.h"
#include "record/radioimage.h"
#include "record/radioinfo.h"
#include "services/settingsplace.h"
#include "ui/formsource.h"
#include "ui/frmmain.h"
#include "ui/messageboxes.h"
#include "ui/portlist.h"
#include "ui/windowhistory.h"

#include <QLocale>
#include <QObject>
#include <QString>

#include <memory>

namespace kelvra {

class VersionQuery;

// Where the program finds its surroundings. main() takes the real ones;
// tests point every path into a temporary folder and answer every question.
struct ProgramEnvironment
{
    QString appDir;                              // mysetup.ini and ports/ when the user may write it
    QString sysTtyRoot = QStringLiteral("/sys/class/tty");
    QString devRoot = QStringLiteral("/dev");
    const VersionQuery *versionQuery = nullptr;  // the host's when null
    MessageBoxes *messageBoxes = nullptr;        // boxes on the screen when null
    QLocale locale = QLocale::system();
    QString configDir;                           // otherwise here; ports/ is looked for in both
    QString qtTranslationsDir;                   // Qt's own when empty
    bool keepHistory = true;                     // false only to measure what the history costs

    // The running executable's folder, the user's configuration folder and the host's devices.
    static ProgramEnvironment Host();
};

// All program-wide state, from start-up to exit, and the wiring between the
// window, the radio link and the port list.
class Program : public QObject
{
    Q_OBJECT
public:
    explicit Program(const ProgramEnvironment &environment, QObject *parent = nullptr);
    ~Program() override;

    // Runs once, before the window is first shown.
    void Form_Load();
    // Exit: the window closes, and its closing shuts the program down.
    void Command3_Click();
    void Form_Unload();

    FrmMain &Window() { return m_frmMain; }
    RadioLink &Link() { return m_link; }
    PortList &Ports() { return m_portList; }
    QtSerialControl &SerialPort() { return m_serial; }
    ReplyTimer &WaitTimer() { return m_waitTimer; }
    RadioInfo &Info() { return m_radioInfo; }
    RadioImage &Image() { return m_radioImage; }
    qint16 ComPortNo() const { return m_comPortNo; }
    bool UseFixedPortList() const { return m_useFixedPortList; }
    QString SettingsPath() const { return m_settingsPath; }
    // Null when the environment keeps no history.
    WindowHistory *History() { return m_history.get(); }

private:
    void CheckSysType();
    // What became of the settings file, in the status line, each news once.
    void TellSettings(const QString &notice);

    ProgramEnvironment m_environment;
    SettingsPlace m_place;
    // Before the window, so that every text it shows is translated.
    InterfaceTranslations m_translations;
    QString m_settingsPath;
    RadioInfo m_radioInfo;
    RadioImage m_radioImage;
    qint16 m_comPortNo = 0;
    bool m_useFixedPortList = false;
    std::unique_ptr<VersionQuery> m_hostVersion;
    std::unique_ptr<QtMessageBoxes> m_screenBoxes;
    MessageBoxes &m_boxes;
    PortDirectory m_portDirectory;
    QtSerialControl m_serial;
    QtReplyTimer m_waitTimer;
    FrmMain m_frmMain;
    LinkSeams m_seams;
    RadioLink m_link;
    PortList m_portList;
    // Gone before the link it records.
    std::unique_ptr<WindowHistory> m_history;
    // The link's write gate, asking the history's after its own.
    std::unique_ptr<FormSource> m_formSource;
    QString m_settingsNotice; // told at start-up, once the window speaks its language
    QString m_settingsTold;
};

} // namespace kelvra
