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

        QTest::newRow("19 characters keep 16") << QStringLiteral("ABCDEFGHIJKLMNOPQRS")
                                               << QStringLiteral("ABCDEFGHIJKLMNOP")
                                               << QStringLiteral("ABCDEFGHIJKLMNOP");
        QTest::newRow("2 characters padded") << QStringLiteral("AB")
                                             << QStringLiteral("AB              ")
                                             << QStringLiteral("AB");
        QTest::newRow("NUL ends the visible text")
            << QStringLiteral("12") + QChar(u'\0') + QStringLiteral("  x")
            << QStringLiteral("12") + QChar(u'\0') + QStringLiteral("  x          ")
            << QStringLiteral("12");
        QTest::newRow("blanks before a NUL survive")
            << QStringLiteral(" A ") + QChar(u'\0')
            << QStringLiteral(" A ") + QChar(u'\0') + QString(12, QLatin1Char(' '))
            << QStringLiteral(" A ");
        // U+20000 is two UTF-16 units; keeping only its first would corrupt it.
        QTest::newRow("no half surrogate at the cut")
            << QString(15, QLatin1Char('x')) + QString::fromUcs4(U"\U00020000")
            << QString(15, QLatin1Char('x')) + QLatin1Char(' ')
            << QString(15, QLatin1Char('x'));
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

    void defaultsFollowTheGivenDay()
    {
        RadioInfo info;
        const QDate day(2026, 12, 5);
        const QLocale locale(QLocale::English, QLocale::UnitedStates);
        InitRadioInfo(info, day, locale);

        QCOMPARE(info.SerialNumber.text(), QStringLiteral("2026120500000001"));
        QCOMPARE(info.ManufactureCode.text(), QStringLiteral("12-1-E-1"));
        QCOMPARE(FieldText(info.ProductionDate), locale.toString(day, QLocale::ShortFormat));
        QVERIFY(info.ProductionDate.text().contains(QChar(u'\0')));
        QCOMPARE(FieldText(info.DealerCode), QString());
        QCOMPARE(FieldText(info.ProgramPassword), QString());
        QCOMPARE(FieldText(info.MaintenanceNote), QString());
        QCOMPARE(info.ProgramPassword.text(), QChar(u'\0') + QStringLiteral("   "));
        QCOMPARE(info.MaintenanceNote.text().size(), 64);

        QCOMPARE((QList<qint16>{info.FiveTone, info.TwoTone, info.Dtmf, info.Scramble, info.Kill,
                                info.Faint, info.FactoryMode, info.FreqSet, info.BandCode}),
                 (QList<qint16>{1, 1, 1, 0, 0, 0, 0, 0, 0}));
    }

    void singleDigitMonthsAndDaysArePadded()
    {
        RadioInfo info;
        InitRadioInfo(info, QDate(2027, 3, 7), QLocale(QLocale::Chinese, QLocale::China));
        QCOMPARE(info.SerialNumber.text(), QStringLiteral("2027030700000001"));
        QCOMPARE(info.ManufactureCode.text(), QStringLiteral("03-1-E-1"));
        QCOMPARE(FieldText(info.ProductionDate),
                 QLocale(QLocale::Chinese, QLocale::China).toString(QDate(2027, 3, 7), QLocale::ShortFormat));
    }
};

QTEST_GUILESS_MAIN(TestRadioInfo)
#include "tst_radioinfo.moc"
