#pragma once

#include "app/program.h"
#include "support/scriptedmessageboxes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace kelvra::testing {

// The program started in a temporary folder that holds its mysetup.ini and
// ports/ (and config/ as the user's configuration folder), on a machine with
// no other serial device; a test answers its boxes.
class AppWorld
{
public:
    static QByteArray NoFile() { return "<no file>"; }

    AppWorld()
    {
        QStandardPaths::setTestModeEnabled(true);
        for (const char *folder : {"ports", "sys", "dev", "config"})
            QDir(m_dir.path()).mkdir(folder);
    }

    QString Path(const QString &name) const { return m_dir.filePath(name); }
    QString PortsDir() const { return Path("ports"); }
    QString SettingsPath() const { return Path("mysetup.ini"); }

    // ports/COM<n>, listed while its target exists; a plain file unless one is given.
    void Plug(int n, QString target = QString())
    {
        if (target.isEmpty()) {
            target = Path(QString("cable%1").arg(n));
            QVERIFY(QFile(target).open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(target, Path(QString("ports/COM%1").arg(n))));
    }
    void Pull(int n) { QVERIFY(QFile::remove(Path(QString("ports/COM%1").arg(n)))); }

    void PutSettings(const QByteArray &content)
    {
        QFile file(SettingsPath());
        QVERIFY(content == NoFile() || (file.open(QIODevice::WriteOnly) && file.write(content) == content.size()));
    }
    // NoFile() unless it is a regular file: reading a FIFO would hang.
    QByteArray Settings() const
    {
        QFile file(SettingsPath());
        return QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : NoFile();
    }

    // The host's version answer unless one is given.
    Program &Start(const VersionQuery *version = nullptr)
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        m_program = std::make_unique<Program>(ProgramEnvironment{m_dir.path(), Path("sys"), Path("dev"), version,
                                                                 &boxes, english, Path("config"), QString()});
        m_program->Form_Load();
        return *m_program;
    }

    ScriptedMessageBoxes boxes;

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Program> m_program;
};

} // namespace kelvra::testing
