#include "ui/program.h"

#include "lang/messages.h"
#include "services/comportsetting.h"
#include "services/historysetting.h"
#include "services/versionquery.h"
#include "ui/statusline.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>

namespace kelvra {

ProgramEnvironment ProgramEnvironment::Host()
{
    ProgramEnvironment environment;
    environment.appDir = ExecutableDir();
    environment.configDir = UserConfigDir();
    return environment;
}

namespace {

std::unique_ptr<VersionQuery> OwnVersionQuery(const ProgramEnvironment &environment)
{
    return environment.versionQuery ? nullptr : std::make_unique<HostVersionQuery>();
}

QString Listed(const QComboBox *list)
{
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries << list->itemText(i);
    return entries.join(QLatin1Char(' '));
}

std::unique_ptr<QtMessageBoxes> OwnMessageBoxes(const ProgramEnvironment &environment)
{
    return environment.messageBoxes ? nullptr : std::make_unique<QtMessageBoxes>();
}

} // namespace

Program::Program(const ProgramEnvironment &environment, QObject *parent)
    : QObject(parent)
    , m_environment(environment)
    , m_place(LocateSettings(environment.appDir, environment.configDir))
    , m_translations(environment.locale, environment.qtTranslationsDir)
    , m_settingsPath(m_place.settingsPath)
    , m_hostVersion(OwnVersionQuery(environment))
    , m_screenBoxes(OwnMessageBoxes(environment))
    , m_boxes(environment.messageBoxes ? *environment.messageBoxes : *m_screenBoxes)
    , m_portDirectory(m_place.aliasDirs, environment.sysTtyRoot, environment.devRoot)
    , m_serial(m_portDirectory)
    , m_frmMain(m_radioInfo, m_boxes)
    , m_seams(m_serial, m_waitTimer, m_frmMain, &m_portDirectory)
    , m_link(m_seams.Control(), m_seams.Timer(), m_seams.Op(), m_radioInfo, m_radioImage, m_comPortNo)
    , m_portList(m_frmMain.Combo2(), m_portDirectory, m_comPortNo, m_settingsPath)
    , m_history(environment.keepHistory
                    ? std::make_unique<WindowHistory>(LocalHistoryPath(m_place, environment.appDir), m_place.readPath,
                                                      m_frmMain, m_link, m_radioInfo, m_portDirectory)
                    : nullptr)
{
    if (m_screenBoxes)
        m_screenBoxes->SetParentWidget(&m_frmMain);
    m_formSource = std::make_unique<FormSource>(m_frmMain, m_link, m_history ? &m_history->Recorder() : nullptr);

    connect(m_frmMain.Command1(), &QPushButton::clicked, &m_link, &RadioLink::Command1_Click);
    connect(m_frmMain.Command2(), &QPushButton::clicked, &m_link, &RadioLink::Command2_Click);
    connect(m_frmMain.Command3(), &QPushButton::clicked, this, &Program::Command3_Click);
    connect(&m_frmMain, &FrmMain::Unload, this, &Program::Form_Unload);
    connect(&m_link, &RadioLink::Busy, this, [this](bool running) {
        m_frmMain.SetBusy(running);
        // A press must never abandon a write: Read and Write wait for its end.
        const bool writing = running && m_link.OpKind() == Operation::Write;
        m_frmMain.Command1()->setEnabled(!writing);
        m_frmMain.Command2()->setEnabled(!writing);
    });
    connect(&m_link, &RadioLink::Activity, this, [this](const LinkActivity &activity) {
        m_frmMain.Label4()->Show(activity, m_link.OpKind() == Operation::Write);
    });
    m_frmMain.SetCloseQuestion([this] { return m_link.LeaveQuestion(); });
    connect(&m_portList, &PortList::SettingsNotice, this, &Program::TellSettings);
}

Program::~Program()
{
    // The port must not outlive the window that owned it, whichever way the program ends.
    Form_Unload();
}

void Program::Form_Load()
{
    InitRadioInfo(m_radioInfo, QDate::currentDate(), m_environment.locale);
    CheckSysType();
    const qint16 saved = ReadSavedComPort(m_place.readPath);
    m_comPortNo = saved;

    if (m_useFixedPortList) {
        m_portList.FillFixedList();
        // Only a number that names an entry can stay selected.
        if (m_comPortNo > PortList::FixedPortCount)
            m_comPortNo = 0;
    } else {
        const qint16 first = m_portList.EnumComPorts(m_frmMain.Combo2());
        if (first < 1)
            m_comPortNo = 0;
        else if (!(m_comPortNo >= 1 && m_portList.InComPorts(m_comPortNo)))
            m_comPortNo = first;
    }

    if (m_comPortNo != 0) {
        m_portList.SelectPort(m_comPortNo);
        // A saved port that is not plugged in yet is still the dealer's
        // choice: it stays in the file, and the refresh returns to it.
        if (saved < 1 || m_comPortNo == saved)
            SaveComPort(m_settingsPath, m_comPortNo, &m_settingsNotice);
    }
    m_portList.SetSavedPort(saved);
    // Where the settings are and what start-up made of them: the first thing support asks.
    qCDebug(lcTrace).noquote() << TraceStamp() << "start" << QCoreApplication::applicationVersion() << "settings"
                               << m_settingsPath << "saved" << saved << "ports" << Listed(m_frmMain.Combo2())
                               << "selected" << m_frmMain.Combo2()->currentText();

    m_frmMain.FillMasterBandList();
    m_frmMain.ApplyLanguage(m_environment.locale);
    m_frmMain.ShowByData();
    TellSettings(m_settingsNotice);

    if (!m_useFixedPortList)
        m_portList.ReShowComPortTimer().start();
}

void Program::CheckSysType()
{
    const VersionQuery &query = m_hostVersion ? *m_hostVersion : *m_environment.versionQuery;
    OsVersion version;
    if (!query.Query(&version)) {
        m_boxes.Show(UnknownSystemText(), MessageBoxes::Buttons::Ok, Operator::Icon::None);
        m_useFixedPortList = false;
        return;
    }
    m_useFixedPortList = UsesFixedPortList(version);
}

void Program::TellSettings(const QString &notice)
{
    // The operator never sees standard error; a file the port cannot be kept in is said where he looks.
    if (notice.isEmpty() || notice == m_settingsTold)
        return;
    m_settingsTold = notice;
    m_frmMain.Label4()->ShowNotice(notice);
}

void Program::Command3_Click()
{
    m_frmMain.close();
}

void Program::Form_Unload()
{
    m_portList.ReShowComPortTimer().stop();
    // Whatever runs ends here, without "END" and without a box.
    m_link.Abandon();
    m_link.CloseCommPort();
    // An abandoned read or write must not resend or report once the window is gone.
    m_waitTimer.Disable();
    if (m_history)
        m_history->Close();
}

} // namespace kelvra
