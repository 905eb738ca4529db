#include "app/comportsetting.h"
#include "app/profilefile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kelvra;

class TestProfileFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString Path() const { return m_dir.filePath(QStringLiteral("mysetup.ini")); }

    void Put(const QByteArray &content)
    {
        QFile file(Path());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    QByteArray Content() const
    {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private slots:
    void init()
    {
        QFile::remove(Path());
    }

    void readFindsTheValue_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");

        QTest::newRow("plain") << QByteArray("[language]\ncomPort=3\n") << "3";
        QTest::newRow("blanks around everything") << QByteArray(" [ language ] \n  comPort =  12  \n") << "12";
        QTest::newRow("names ignore case") << QByteArray("[LANGUAGE]\nCOMPORT=4\n") << "4";
        QTest::newRow("CRLF, no final newline") << QByteArray("[language]\r\ncomPort=5") << "5";
        QTest::newRow("quotes are not part of it") << QByteArray("[language]\ncomPort=\"6\"\n") << "6";
        QTest::newRow("key of another section") << QByteArray("[other]\ncomPort=7\n[language]\nx=1\n") << "dflt";
        QTest::newRow("only the first section counts") << QByteArray("[language]\na=1\n[language]\ncomPort=8\n") << "dflt";
        QTest::newRow("commented out") << QByteArray("[language]\n;comPort=9\n") << "dflt";
        QTest::newRow("no section") << QByteArray("comPort=9\n") << "dflt";
        QTest::newRow("empty value is a value") << QByteArray("[language]\ncomPort=\n") << "";
        QTest::newRow("missing file") << QByteArray() << "dflt";
    }

    void readFindsTheValue()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);
        if (!content.isNull())
            Put(content);
        QCOMPARE(GetProfileString(Path(), QStringLiteral("language"), QStringLiteral("comPort"), QStringLiteral("dflt")),
                 value);
    }

    void writeChangesOneLineOnly_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("no file") << QByteArray() << QByteArray("[language]\ncomPort=5\n");
        QTest::newRow("empty file") << QByteArray("") << QByteArray("[language]\ncomPort=5\n");
        QTest::newRow("replaces the value, keeps the rest")
            << QByteArray("; bench PC 3\n[view]\nzoom=2\n\n[language]\nlang=zh\ncomPort = 3 \nextra=1\n[z]\nk=v\n")
            << QByteArray("; bench PC 3\n[view]\nzoom=2\n\n[language]\nlang=zh\ncomPort=5\nextra=1\n[z]\nk=v\n");
        QTest::newRow("adds the key at the end of its section")
            << QByteArray("[language]\nlang=zh\n\n[view]\nzoom=2\n")
            << QByteArray("[language]\nlang=zh\ncomPort=5\n\n[view]\nzoom=2\n");
        QTest::newRow("adds the section after other content")
            << QByteArray("[view]\nzoom=2") << QByteArray("[view]\nzoom=2\n\n[language]\ncomPort=5\n");
        QTest::newRow("keeps CRLF and bytes it does not own")
            << QByteArray("[\xc9\xe8\xd6\xc3]\r\nname=\xb2\xe2\r\n[language]\r\ncomPort=1\r\n")
            << QByteArray("[\xc9\xe8\xd6\xc3]\r\nname=\xb2\xe2\r\n[language]\r\ncomPort=5\r\n");
        QTest::newRow("keeps a missing final newline")
            << QByteArray("[language]\ncomPort=1") << QByteArray("[language]\ncomPort=5");
    }

    void writeChangesOneLineOnly()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            Put(before);
        QVERIFY(WriteProfileString(Path(), QStringLiteral("language"), QStringLiteral("comPort"), QStringLiteral("5")));
        QCOMPARE(Content(), after);
    }

    void unwritablePlaceIsReported()
    {
        // A settings path below a plain file can never be created, even by root.
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = blocker.fileName() + QStringLiteral("/mysetup.ini");
        QVERIFY(!WriteProfileString(path, QStringLiteral("language"), QStringLiteral("comPort"), QStringLiteral("5")));
        SaveComPort(path, 5); // must not throw or stop
        QCOMPARE(ReadSavedComPort(path), qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
