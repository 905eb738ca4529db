#include "record/imagecodec.h"
#include "record/radioinfo.h"

#include <QtTest>

using namespace kelvra;

class TestRadioInfo : public QObject
{
    Q_OBJECT

private slots:
    void fixedTextCutsAndPads_data()
    {
        QTest::addColumn<QString>("assigned");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("visible");
        const QString nul(QChar(u'\0'));
        QTest::newRow("19 characters keep 16") << "ABCDEFGHIJKLMNOPQRS" << "ABCDEFGHIJKLMNOP" << "ABCDEFGHIJKLMNOP";
        QTest::newRow("2 characters padded") << "AB" << "AB              " << "AB";
        QTest::newRow("NUL ends the visible text") << "12" + nul + "  x" << "12" + nul + "  x          " << "12";
        QTest::newRow("blanks before a NUL survive") << " A " + nul << " A " + nul + QString(12, ' ') << " A ";
        // U+20000 is two UTF-16 units; keeping only its first would corrupt it.
        QTest::newRow("no half surrogate at the cut") << QString(15, 'x') + QString::fromUcs4(U"\U00020000")
                                                      << QString(15, 'x') + ' ' << QString(15, 'x');
    }

    void fixedTextCutsAndPads()
    {
        QFETCH(QString, assigned);
        QFETCH(QString, stored);
        QFETCH(QString, visible);
        FixedText<16> field;
        field = assigned;
        QCOMPARE(field.text(), stored);
        QCOMPARE(FieldText(field), visible);
    }

    void defaultsFollowTheGivenDay_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("batch");
        QTest::newRow("en_US") << QDate(2026, 12, 5) << QLocale(QLocale::English, QLocale::UnitedStates)
                               << "2026120500000001" << "12-1-E-1";
        QTest::newRow("zh_CN, one-digit month and day") << QDate(2027, 3, 7) << QLocale(QLocale::Chinese, QLocale::China)
                                                        << "2027030700000001" << "03-1-E-1";
    }

    void defaultsFollowTheGivenDay()
    {
        QFETCH(QDate, day);
        QFETCH(QLocale, locale);
        QFETCH(QString, serial);
        QFETCH(QString, batch);
        RadioInfo info;
        InitRadioInfo(info, day, locale);

        QCOMPARE(info.SerialNumber.text(), serial);
        QCOMPARE(info.ManufactureCode.text(), batch);
        QCOMPARE(FieldText(info.ProductionDate), locale.toString(day, QLocale::ShortFormat));
        QVERIFY(info.ProductionDate.text().contains(QChar(u'\0')));
        QCOMPARE(info.ProgramPassword.text(), QChar(u'\0') + QStringLiteral("   "));
        for (const QString &empty : {info.DealerCode.text(), info.MaintenanceNote.text(), info.Seller.text()})
            QCOMPARE(FieldText(empty), QString());
        QCOMPARE((QList<qint16>{info.FiveTone, info.TwoTone, info.Dtmf, info.Scramble, info.Kill, info.Faint,
                                info.FactoryMode, info.FreqSet, info.BandCode}),
                 (QList<qint16>{1, 1, 1, 0, 0, 0, 0, 0, 0}));
    }
};

QTEST_GUILESS_MAIN(TestRadioInfo)
#include "tst_radioinfo.moc"
