// Settings files that a person, an editor or another program made: start-up
// must neither hang nor crash on them, and must leave them as they were or
// change only the port, in the file's own encoding, owner, mode and links.
#include "appworld.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QStringEncoder>

#include <sys/stat.h>
#include <unistd.h>

using namespace kelvra;
using kelvra::testing::AppWorld;

namespace {

QByteArray Utf16(const char *text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(QString::fromLatin1(text));
}

// What must survive besides the text: the kind of file, its mode, owner and links.
QString Describe(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st{};
    if (lstat(native.constData(), &st) != 0)
        return "missing";
    if (S_ISLNK(st.st_mode))
        return "link to " + QFile::symLinkTarget(path);
    const char *kind = S_ISREG(st.st_mode) ? "file" : S_ISFIFO(st.st_mode) ? "fifo" : "other";
    return QString("%1 %2 uid %3 links %4").arg(kind).arg(st.st_mode & 07777, 0, 8).arg(st.st_uid).arg(st.st_nlink);
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void hostileFiles_data()
    {
        QTest::addColumn<QString>("kind");        // file, zero, fifo or foreign (another owner, a second link)
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("selected");    // COM2 and COM3 are present; COM3 only when 3 is read
        QTest::addColumn<QByteArray>("after");    // empty: as before

        const QByteArray huge = "[language]\ncomPort=3\n" + QByteArray(1 << 20, ';');
        const QByteArray bom = "\xEF\xBB\xBF";
        const auto le = QStringConverter::Utf16LE;
        QTest::newRow("link to /dev/zero") << "zero" << QByteArray() << "COM2" << QByteArray();
        QTest::newRow("FIFO") << "fifo" << QByteArray() << "COM2" << QByteArray();
        QTest::newRow("huge file") << "file" << huge << "COM2" << QByteArray();
        QTest::newRow("UTF-8 BOM, port read") << "file" << bom + "[language]\ncomPort=3\n" << "COM3" << QByteArray();
        QTest::newRow("UTF-8 BOM, port added") << "file" << bom + "[language]\nui=zh\n" << "COM2"
                                               << bom + "[language]\nui=zh\ncomPort=2\n";
        QTest::newRow("UTF-16 BE BOM, port read")
            << "file" << Utf16("[language]\r\ncomPort=3\r\n", QStringConverter::Utf16BE) << "COM3" << QByteArray();
        QTest::newRow("UTF-16 LE BOM, port added") << "file" << Utf16("; x\r\n[language]\r\nui=zh\r\n", le) << "COM2"
                                                   << Utf16("; x\r\n[language]\r\nui=zh\r\ncomPort=2\r\n", le);
        QTest::newRow("CRLF, GBK sections kept byte for byte")
            << "file" << QByteArray("; bench\r\n[\xc9\xe8]\r\nk=\xb2\r\n[language]\r\nui=zh\r\n") << "COM2"
            << QByteArray("; bench\r\n[\xc9\xe8]\r\nk=\xb2\r\n[language]\r\nui=zh\r\ncomPort=2\r\n");
        // As after a run with sudo: the rewrite must not take the file from its owner.
        QTest::newRow("a run as root over the user's file: owner, mode, second link kept")
            << "foreign" << QByteArray("[language]\ncomPort=none\n; end\n") << "COM2"
            << QByteArray("[language]\ncomPort=2\n; end\n");
    }

    void hostileFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, content);
        QFETCH(QString, selected);
        QFETCH(QByteArray, after);
        AppWorld world;
        world.Plug(2);
        world.Plug(3);
        const QString path = world.SettingsPath();
        const QString secondLink = world.Path("config/linked.ini");
        if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (kind == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        else
            world.PutSettings(content);
        if (kind == "foreign") {
            if (geteuid() == 0)
                QCOMPARE(chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
            QCOMPARE(link(QFile::encodeName(path).constData(), QFile::encodeName(secondLink).constData()), 0);
        }
        const QString before = Describe(path);

        QElapsedTimer clock;
        clock.start();
        Program &program = world.Start();
        QVERIFY2(clock.elapsed() < 2000, "start-up stalled on the settings file");

        QCOMPARE(program.Window().Combo2()->currentText(), selected);
        QCOMPARE(Describe(path), before);
        if (kind == "file" || kind == "foreign")
            QCOMPARE(world.Settings(), after.isEmpty() ? content : after);
        if (kind == "foreign") {
            QFile linked(secondLink);
            QVERIFY(linked.open(QIODevice::ReadOnly));
            QCOMPARE(linked.readAll(), after);
        }
    }
};

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
