#pragma once

// The commands as a script runs them: the executable copied into a folder of
// its own (a portable copy, its history beside it), against the simulated
// radio over a pseudo-terminal as COM9. The suites of the commands and of the
// station each build one.

#include "demoimage.h"
#include "history/historystore.h"
#include "simulatedradio.h"

#include <QDir>
#include <QFile>
#include <QJsonValue>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <unistd.h>

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline QByteArray Field(const QByteArray &text, int width)
{
    return text.leftJustified(width, '\0');
}

class CliWorld : public QObject
{
protected:
    QTemporaryDir m_dir;
    QString m_exe;
    int m_jobs = 0;
    radiosim::SimulatedRadio m_radio;
    QString m_lang; // LANG for the command; empty: as the suite runs
    // A plugin that needs a display would fail under it: the commands load none. Empty: none named.
    QString m_platform;

    QString HistoryPath() const { return m_dir.filePath("app/history.sqlite"); }
    std::optional<kelvra::HistoryEntry> Entry(const QJsonValue &historyId)
    {
        return kelvra::HistoryStore(HistoryPath()).Fetch(historyId.toString());
    }

    // Starts the command; the radio answers from this process's event loop.
    // display: what DISPLAY holds, one where no window can open.
    void Start(QProcess &process, QStringList arguments, const QString &display = QString())
    {
        arguments.replaceInStrings("$PORT", m_radio.DevicePath());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", m_dir.filePath("xdg"));
        environment.insert("XDG_DATA_HOME", m_dir.filePath("xdg"));
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        if (!m_lang.isNull())
            environment.insert("LANG", m_lang);
        environment.remove("QT_QPA_PLATFORM");
        if (!m_platform.isEmpty())
            environment.insert("QT_QPA_PLATFORM", m_platform);
        process.setProcessEnvironment(environment);
        // While the suite acts as another user, the command is that user wholly: Qt refuses to run set-uid.
        process.setChildProcessModifier([] {
            if (geteuid() != getuid() && (setresgid(getegid(), getegid(), getegid()) != 0
                                          || setresuid(geteuid(), geteuid(), geteuid()) != 0))
                _exit(127);
        });
        process.start(m_exe, arguments);
        QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
    }
    Run Finish(QProcess &process)
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, 20000); }();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
    Run Command(const QStringList &arguments)
    {
        QProcess process;
        Start(process, arguments);
        return Finish(process);
    }
    // A job file, and beside it a units file when units is given, in a folder of the row's own.
    QString WriteJob(const QByteArray &job, const QByteArray &units = QByteArray())
    {
        const QString dir = m_dir.filePath(QString("job%1").arg(++m_jobs));
        QDir().mkpath(dir);
        for (const auto &[name, text] : {std::pair{"job.json", job}, std::pair{"units.csv", units}}) {
            QFile file(dir + '/' + name);
            if (!text.isEmpty() && file.open(QIODevice::WriteOnly))
                file.write(text);
        }
        return dir + "/job.json";
    }
    void SetFaults(const QStringList &texts)
    {
        QList<radiosim::FaultRule> rules;
        for (const QString &text : texts) {
            radiosim::FaultRule rule;
            QString error;
            QVERIFY2(radiosim::FaultRule::Parse(text, &rule, &error), qPrintable(error));
            rules << rule;
        }
        m_radio.SetFaults(rules);
    }

    // For initTestCase: the executable and the radio in place.
    void SetUp()
    {
        QVERIFY(QDir(m_dir.path()).mkpath("app/ports"));
        m_exe = m_dir.filePath("app/KelvraSet");
        QVERIFY(QFile::copy(KELVRA_EXECUTABLE, m_exe));
        QString error;
        QVERIFY2(m_radio.Start(&error), qPrintable(error));
        QVERIFY2(m_radio.MakeAlias(m_dir.filePath("app/ports"), 9, &error), qPrintable(error));
    }
    // For init: the demonstration radio, no faults, no settings file.
    void Reset()
    {
        m_lang = QString();
        m_platform = "xcb";
        QFile::remove(m_dir.filePath("app/mysetup.ini"));
        m_radio.SetImage(radiosim::DemoImage());
        m_radio.SetModelBytes("KR350UV");
        m_radio.SetFaults({});
        m_radio.ClearFrames();
    }
};
