#include "record/catalogue.h"

#include <QtTest>

using namespace kelvra;

class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void reportedModelsMap_data()
    {
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("normalized");
        QTest::addColumn<QString>("displayed");
        QTest::addColumn<bool>("known");
        QTest::newRow("KR350UV") << "KR350UV" << "KR350UV" << "KR350UV" << true;
        QTest::newRow("KR350SV") << "KR350SV" << "KR350SV" << "KR350SV" << true;
        QTest::newRow("KR350U_ normalizes only") << "KR350U_" << "KR350SU" << "KR350U_" << true;
        QTest::newRow("KR350_V maps both ways") << "KR350_V" << "KR350SV" << "KR350SV" << true;
        QTest::newRow("KR350_U displays only") << "KR350_U" << "KR350_U" << "KR350SU" << false;
        QTest::newRow("trailing blanks and NUL") << QStringLiteral("KR350U_") + QChar(u'\0') + "zz "
                                                 << "KR350SU" << "KR350U_" << true;
        QTest::newRow("case matters") << "kr350uv" << "kr350uv" << "kr350uv" << false;
        QTest::newRow("empty") << "" << "" << "" << false;
    }

    void reportedModelsMap()
    {
        QFETCH(QString, reported);
        QFETCH(QString, normalized);
        QFETCH(QString, displayed);
        QFETCH(bool, known);
        QCOMPARE(NormalizeModel(reported), normalized);
        QCOMPARE(DisplayModel(reported), displayed);
        QCOMPARE(IsKnownModel(QStringLiteral("anything"), reported), known);
        QVERIFY(IsSameModel(normalized, reported));
        QCOMPARE(IsSameModel(QStringLiteral("KR350SU"), reported), normalized == QLatin1String("KR350SU"));
    }

    void eachModelOffersItsOwnBands()
    {
        QCOMPARE(ListedModels(), (QStringList{"KR350UV", "KR350SU", "KR350SV"}));
        QCOMPARE(ModelBandCodes(0), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 15, 18, 19}));
        QCOMPARE(ModelBandCodes(1), (QList<int>{8, 9, 10, 11, 16, 17}));
        QCOMPARE(ModelBandCodes(2), (QList<int>{12, 13, 14}));
        QVERIFY(ModelBandList(-1).isEmpty());
        // The list position is not the code: the code is found through the text.
        QCOMPARE(BandCodeOfText(ModelBandList(0).at(8)), 15);
        QCOMPARE(MasterBandTable().size(), 20);
        QCOMPARE(QSet<QString>(MasterBandTable().begin(), MasterBandTable().end()).size(), 20);
    }

    void bandTextsMapToCodesAndBack_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "UHF(400 - 490 MHz) VHF(136 - 174 MHz)";
        QTest::newRow("7") << 7 << "UHF(400 - 470 MHz) VHF(136 - 174 MHz)";
        QTest::newRow("8") << 8 << "UHF(400 - 490 MHz) VHF(400 - 490 MHz)";
        QTest::newRow("15") << 15 << "European version PMR";
        QTest::newRow("18") << 18 << "US GMRS(UV)";
        QTest::newRow("19") << 19 << "Australian UHF CB(UV)";
        QTest::newRow("no band above 19") << 20 << "";
        QTest::newRow("no band below 0") << -1 << "";
    }

    void bandTextsMapToCodesAndBack()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(BandTextOfCode(code), text);
        QCOMPARE(BandCodeOfText(text), text.isEmpty() ? -1 : code);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
