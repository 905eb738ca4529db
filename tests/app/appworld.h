#pragma once

#include "support/scriptedmessageboxes.h"
#include "ui/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvra::testing {

// The program started in a temporary folder: app/ holds the program's
// mysetup.ini and ports/, xdg/KelvraSet is the user's configuration folder,
// on a machine with no other serial device; a test answers its boxes.
class AppWorld
{
public:
    static QByteArray NoFile() { return "<no file>"; }

    // appFolder: the name, in bytes, of the program's folder, which app/ leads to.
    explicit AppWorld(const QByteArray &appFolder = "app") : m_appFolder(appFolder)
    {
        QStandardPaths::setTestModeEnabled(true);
        for (const char *folder : {"sys", "dev", "xdg/KelvraSet"})
            QDir(m_dir.path()).mkpath(folder);
        const QByteArray root = QFile::encodeName(m_dir.path()) + '/';
        mkdir((root + appFolder).constData(), 0755);
        // Without app/ the test would check something else; the reason fails it instead.
        if (appFolder != "app") {
            QVERIFY2(symlink(appFolder.constData(), (root + "app").constData()) == 0,
                     qPrintable("app/ cannot lead to the program folder: " + qt_error_string()));
        }
        QDir(AppDir()).mkdir("ports");
    }
    // A program folder made read-only or named in bytes must not keep the world from going.
    ~AppWorld()
    {
        chmod(QFile::encodeName(AppDir()).constData(), 0755);
        const QByteArray root = QFile::encodeName(m_dir.path()) + '/';
        if (m_appFolder != "app" && unlink((root + "app").constData()) == 0)
            rename((root + m_appFolder).constData(), (root + "app").constData());
    }

    QString Path(const QString &name) const { return m_dir.filePath(name); }
    QString AppDir() const { return Path("app"); }
    QString PortsDir() const { return Path("app/ports"); }
    QString SettingsPath() const { return Path("app/mysetup.ini"); }
    QString ConfigDir() const { return Path("xdg/KelvraSet"); }

    // ports/COM<n>, listed while its target exists; a plain file unless one is given.
    void Plug(int n, QString target = QString())
    {
        if (target.isEmpty()) {
            target = Path(QString("cable%1").arg(n));
            QVERIFY(QFile(target).open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(target, PortsDir() + QString("/COM%1").arg(n)));
    }
    void Pull(int n) { QVERIFY(QFile::remove(PortsDir() + QString("/COM%1").arg(n))); }

    void PutSettings(const QByteArray &content, const QString &path = QString())
    {
        QFile file(path.isEmpty() ? SettingsPath() : path);
        QVERIFY(content == NoFile() || (file.open(QIODevice::WriteOnly) && file.write(content) == content.size()));
    }
    // NoFile() unless it is a regular file: reading a FIFO would hang.
    QByteArray Settings(const QString &path = QString()) const
    {
        QFile file(path.isEmpty() ? SettingsPath() : path);
        return QFileInfo(file).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : NoFile();
    }

    // The host's version answer unless one is given; an English system unless another locale is.
    Program &Start(const VersionQuery *version = nullptr,
                   const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedStates))
    {
        m_program.reset(); // one set of translations at a time
        m_program = std::make_unique<Program>(ProgramEnvironment{AppDir(), Path("sys"), Path("dev"), version, &boxes,
                                                                 locale, ConfigDir(), QString()});
        m_program->Form_Load();
        return *m_program;
    }

    ScriptedMessageBoxes boxes;

private:
    QTemporaryDir m_dir;
    QByteArray m_appFolder;
    std::unique_ptr<Program> m_program;
};

} // namespace kelvra::testing
