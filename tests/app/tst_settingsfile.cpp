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

QByteArray Utf16(const char *port, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode("; x\r\n[language]\r\ncomPort=" + QString::fromLatin1(port) + "\r\n");
}

// What must survive besides the text: the kind of file, its mode, owner and links.
QString Describe(const QString &path)
{
    struct stat st{};
    lstat(QFile::encodeName(path).constData(), &st);
    return QString("mode %1 uid %2 links %3 to %4")
        .arg(st.st_mode, 0, 8).arg(st.st_uid).arg(st.st_nlink).arg(QFile::symLinkTarget(path));
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
        const auto le = QStringConverter::Utf16LE, be = QStringConverter::Utf16BE;
        QTest::newRow("link to /dev/zero") << "zero" << QByteArray() << "COM2" << QByteArray();
        QTest::newRow("FIFO") << "fifo" << QByteArray() << "COM2" << QByteArray();
        QTest::newRow("huge file") << "file" << huge << "COM2" << QByteArray();
        // 03 is read as 3 and written back shorter, in the file's own encoding.
        QTest::newRow("UTF-8 BOM: read, rewritten with its mark")
            << "file" << bom + "[language]\ncomPort=03\n" << "COM3" << bom + "[language]\ncomPort=3\n";
        QTest::newRow("UTF-16 BE BOM: read, rewritten in UTF-16 BE") << "file" << Utf16("03", be) << "COM3"
                                                                     << Utf16("3", be);
        QTest::newRow("UTF-16 LE BOM: read, rewritten in UTF-16 LE") << "file" << Utf16("03", le) << "COM3"
                                                                     << Utf16("3", le);
        QTest::newRow("CRLF, GBK sections kept byte for byte, port added")
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
        const QByteArray native = QFile::encodeName(path);
        if (kind == "zero")
            QVERIFY(QFile::link("/dev/zero", path));
        else if (kind == "fifo")
            QCOMPARE(mkfifo(native.constData(), 0644), 0);
        else
            world.PutSettings(content);
        if (kind == "foreign") {
            if (geteuid() == 0)
                QCOMPARE(chown(native.constData(), 65534, 65534), 0);
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
            QCOMPARE(link(native.constData(), QFile::encodeName(world.Path("config/linked.ini")).constData()), 0);
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
    }
};

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
