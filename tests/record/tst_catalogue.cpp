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
        QTest::newRow("KR350SU") << "KR350SU" << "KR350SU" << "KR350SU" << true;
        QTest::newRow("KR350SV") << "KR350SV" << "KR350SV" << "KR350SV" << true;
        QTest::newRow("KR350U_ normalizes only") << "KR350U_" << "KR350SU" << "KR350U_" << true;
        QTest::newRow("KR350_V maps both ways") << "KR350_V" << "KR350SV" << "KR350SV" << true;
        QTest::newRow("KR350_U displays only") << "KR350_U" << "KR350_U" << "KR350SU" << false;
        QTest::newRow("trailing blanks are not part of it") << "KR350U_  " << "KR350SU" << "KR350U_" << true;
        QTest::newRow("NUL ends it") << QStringLiteral("KR350_V") + QChar(u'\0') + QStringLiteral("zz")
                                     << "KR350SV" << "KR350SV" << true;
        QTest::newRow("case matters") << "kr350uv" << "kr350uv" << "kr350uv" << false;
        QTest::newRow("empty") << "" << "" << "" << false;
        QTest::newRow("other radio") << "XR9000A" << "XR9000A" << "XR9000A" << false;
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
    }

    void sameModelComparesNormalizedForms()
    {
        QVERIFY(IsSameModel(QStringLiteral("KR350SU"), QStringLiteral("KR350U_")));
        QVERIFY(IsSameModel(QStringLiteral("KR350SV"), QStringLiteral("KR350_V")));
        QVERIFY(!IsSameModel(QStringLiteral("KR350SU"), QStringLiteral("KR350_U")));
        QVERIFY(!IsSameModel(QStringLiteral("KR350UV"), QStringLiteral("KR350SV")));
    }

    void everyBandBelongsToExactlyOneModel()
    {
        QCOMPARE(MasterBandTable().size(), 20);
        QCOMPARE(ListedModels(), (QStringList{"KR350UV", "KR350SU", "KR350SV"}));
        QCOMPARE(ModelBandCodes(0), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 15, 18, 19}));
        QCOMPARE(ModelBandCodes(1), (QList<int>{8, 9, 10, 11, 16, 17}));
        QCOMPARE(ModelBandCodes(2), (QList<int>{12, 13, 14}));
        QVERIFY(ModelBandCodes(-1).isEmpty());
        QVERIFY(ModelBandCodes(3).isEmpty());

        QList<int> all = ModelBandCodes(0) + ModelBandCodes(1) + ModelBandCodes(2);
        std::sort(all.begin(), all.end());
        QList<int> codes(20);
        std::iota(codes.begin(), codes.end(), 0);
        QCOMPARE(all, codes);
        QStringList copy = MasterBandTable();
        QCOMPARE(copy.removeDuplicates(), 0);
    }

    void bandTextsMapToCodesAndBack_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "UHF(400 - 490 MHz) VHF(136 - 174 MHz)";
        QTest::newRow("7") << 7 << "UHF(400 - 470 MHz) VHF(136 - 174 MHz)";
        QTest::newRow("8") << 8 << "UHF(400 - 490 MHz) VHF(400 - 490 MHz)";
        QTest::newRow("12") << 12 << "UHF(136 - 174 MHz) VHF(136 - 174 MHz)";
        QTest::newRow("13") << 13 << "UHF(144 - 146 MHz) VHF(144 - 146 MHz)";
        QTest::newRow("15") << 15 << "European version PMR";
        QTest::newRow("17") << 17 << "Australian UHF CB";
        QTest::newRow("19") << 19 << "Australian UHF CB(UV)";
    }

    void bandTextsMapToCodesAndBack()
    {
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(BandTextOfCode(code), text);
        QCOMPARE(BandCodeOfText(text), code);
    }

    void modelListsShowTheirBandsInOrder()
    {
        QCOMPARE(ModelBandList(2), (QStringList{"UHF(136 - 174 MHz) VHF(136 - 174 MHz)",
                                                "UHF(144 - 146 MHz) VHF(144 - 146 MHz)",
                                                "UHF(144 - 148 MHz) VHF(144 - 148 MHz)"}));
        QCOMPARE(ModelBandList(0).at(8), QStringLiteral("European version PMR"));
        QCOMPARE(BandCodeOfText(ModelBandList(0).at(8)), 15);
        QCOMPARE(BandTextOfCode(20), QString());
        QCOMPARE(BandTextOfCode(-1), QString());
        QCOMPARE(BandCodeOfText(QStringLiteral("UHF(400 - 490 MHz)")), -1);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
