// The window and the record: what ShowByData puts on screen, what
// GetDataByShow takes back, and the band question of a write.
#include "uiworld.h"

#include "record/catalogue.h"

#include <QCheckBox>
#include <QComboBox>

using namespace kelvra;

class TestBinding : public QObject
{
    Q_OBJECT

private slots:
    void defaultRecordAtStartUp();
    void modelAndBandShown_data();
    void modelAndBandShown();
    void choosingModelRefillsBands();
    void flagsTravelThroughHiddenBoxes();
    void bandPrompt_data();
    void bandPrompt();
    void textsTrimmedAndFitted_data();
    void textsTrimmedAndFitted();
    void matchListItem();
};

void TestBinding::defaultRecordAtStartUp()
{
    UiWorld world;
    FrmMain &frm = world.frm;

    QCOMPARE(frm.ModelBoxText(), QStringLiteral("KR350UV"));
    QCOMPARE(frm.Combo1(1)->currentText(), QStringLiteral("UHF(400 - 490 MHz) VHF(136 - 174 MHz)"));
    QCOMPARE(frm.Combo3()->currentIndex(), 0);
    QCOMPARE(frm.Text1Text(1), QStringLiteral("2024030500000001"));
    QCOMPARE(frm.Text1Text(12), QString());
    QCOMPARE(frm.Text1Text(5), QStringLiteral("V1.00"));
    QCOMPARE(frm.Text1Text(6), QStringLiteral("03-1-E-1"));
    QVERIFY(frm.Check(1)->isChecked() && frm.Check(2)->isChecked() && frm.Check(3)->isChecked());
    QVERIFY(!frm.Check(8)->isChecked());
}

void TestBinding::modelAndBandShown_data()
{
    QTest::addColumn<QString>("previousModel");
    QTest::addColumn<int>("previousBand");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("band");
    QTest::addColumn<QString>("modelShown");
    QTest::addColumn<QString>("bandShown");
    QTest::addColumn<int>("windowBand");

    const QString uv = QStringLiteral("KR350UV");
    QTest::newRow("reported KR350_V, band 13")
        << uv << 0 << QStringLiteral("KR350_V") << 13 << QStringLiteral("KR350SV")
        << QStringLiteral("UHF(144 - 146 MHz) VHF(144 - 146 MHz)") << 13;
    // The model box does not change, so no click refills the bands.
    QTest::newRow("same model, other band") << uv << 0 << uv << 7 << uv
                                            << QStringLiteral("UHF(400 - 470 MHz) VHF(136 - 174 MHz)") << 7;
    QTest::newRow("back from another model") << QStringLiteral("KR350SV") << 14 << uv << 19 << uv
                                             << QStringLiteral("Australian UHF CB(UV)") << 19;
    QTest::newRow("single band model") << uv << 0 << QStringLiteral("KR350SU") << 16 << QStringLiteral("KR350SU")
                                       << QStringLiteral("US GMRS") << 16;
    QTest::newRow("unknown model shows the first") << uv << 3 << QString() << 0 << uv
                                                   << QStringLiteral("UHF(400 - 490 MHz) VHF(136 - 174 MHz)") << 0;
    // Codes the model does not offer, or the table lacks: nothing is chosen.
    QTest::newRow("code 8 on KR350UV") << uv << 3 << uv << 8 << uv << QString() << -1;
    QTest::newRow("code 12 on KR350SU") << uv << 3 << QStringLiteral("KR350SU") << 12 << QStringLiteral("KR350SU")
                                        << QString() << -1;
    QTest::newRow("code above the table") << uv << 3 << uv << 25 << uv << QString() << -1;
    QTest::newRow("negative code") << uv << 3 << QStringLiteral("KR350SV") << -1 << QStringLiteral("KR350SV")
                                   << QString() << -1;
}

void TestBinding::modelAndBandShown()
{
    QFETCH(QString, previousModel);
    QFETCH(int, previousBand);
    QFETCH(QString, model);
    QFETCH(int, band);
    QFETCH(QString, modelShown);
    QFETCH(QString, bandShown);
    QFETCH(int, windowBand);

    UiWorld world;
    world.info.Model = previousModel;
    world.info.BandCode = qint16(previousBand);
    world.frm.ShowByData();

    world.info.Model = model;
    world.info.BandCode = qint16(band);
    world.frm.ShowByData();

    FrmMain &frm = world.frm;
    QCOMPARE(frm.ModelBoxText(), modelShown);
    QCOMPARE(frm.Combo1(1)->currentText(), bandShown);
    QCOMPARE(frm.Combo3()->currentIndex(), windowBand);
    QStringList bands;
    for (int i = 0; i < frm.Combo1(1)->count(); ++i)
        bands << frm.Combo1(1)->itemText(i);
    QCOMPARE(bands, ModelBandList(frm.Combo1(0)->currentIndex()));
    // Showing never changes the record.
    QCOMPARE(int(world.info.BandCode), band);
    QCOMPARE(world.info.Model, model);
}

void TestBinding::choosingModelRefillsBands()
{
    UiWorld world;
    FrmMain &frm = world.frm;

    frm.Combo1(0)->setCurrentIndex(2);
    QCOMPARE(frm.Combo1(1)->count(), 3);
    QCOMPARE(frm.Combo1(1)->currentIndex(), 0);
    QCOMPARE(frm.Combo3()->currentIndex(), 12);

    frm.Combo1(0)->setCurrentIndex(0);
    frm.Combo1(1)->setCurrentIndex(frm.Combo1(1)->findText(QStringLiteral("European version PMR")));
    QCOMPARE(frm.Combo3()->currentIndex(), 15);

    // From a band that the model lacks, a model choice selects a band again.
    world.info.BandCode = 8;
    frm.ShowByData();
    QCOMPARE(frm.Combo3()->currentIndex(), -1);
    frm.Combo1(0)->setCurrentIndex(1);
    QCOMPARE(frm.Combo3()->currentIndex(), 8);
}

void TestBinding::flagsTravelThroughHiddenBoxes()
{
    UiWorld world;
    RadioInfo &info = world.info;
    info.FiveTone = 0;
    info.TwoTone = 1;
    info.Dtmf = 0;
    info.Kill = 1;
    info.Scramble = 1;
    info.Faint = 0;
    info.FactoryMode = 1;
    info.FreqSet = 0;
    world.frm.ShowByData();

    info.FiveTone = info.TwoTone = info.Dtmf = info.Kill = 7;
    info.Scramble = info.Faint = info.FactoryMode = info.FreqSet = 7;
    QTest::mouseClick(world.frm.Check(8), Qt::LeftButton); // the one box the operator sees
    world.frm.GetDataByShow();

    const QList<qint16> taken{info.FiveTone, info.TwoTone, info.Dtmf,        info.Kill,
                              info.Scramble, info.Faint,   info.FactoryMode, info.FreqSet};
    QCOMPARE(taken, (QList<qint16>{0, 1, 0, 1, 1, 0, 1, 1}));
}

void TestBinding::bandPrompt_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("shownBand");
    QTest::addColumn<int>("chosenItem"); // item the operator picks in the band box; -1: none
    QTest::addColumn<int>("radioBand");
    QTest::addColumn<bool>("answerOk");
    QTest::addColumn<bool>("prompted");
    QTest::addColumn<int>("bandCode");
    QTest::addColumn<int>("windowBand");

    const QString uv = QStringLiteral("KR350UV");
    QTest::newRow("same band, no question") << uv << 0 << -1 << 0 << true << false << 0 << 0;
    QTest::newRow("operator's band, OK") << uv << 0 << 3 << 0 << true << true << 3 << 3;
    QTest::newRow("operator's band, Cancel") << uv << 0 << 3 << 0 << false << true << 0 << 0;
    QTest::newRow("radio reports another, OK") << uv << 0 << -1 << 5 << true << true << 0 << 0;
    QTest::newRow("radio reports another, Cancel") << uv << 0 << -1 << 5 << false << true << 5 << 5;
    QTest::newRow("radio band beyond table, Cancel") << uv << 0 << -1 << 30 << false << true << 30 << -1;
    // No band shown: a write keeps the radio's band without asking.
    QTest::newRow("band the model lacks") << uv << 8 << -1 << 8 << true << false << 8 << -1;
    QTest::newRow("band beyond the table") << uv << 25 << -1 << 25 << true << false << 25 << -1;
    QTest::newRow("no band shown, radio differs") << uv << 8 << -1 << 2 << true << false << 2 << -1;
    QTest::newRow("no band shown, operator picks") << uv << 8 << 1 << 8 << true << true << 1 << 1;
}

void TestBinding::bandPrompt()
{
    QFETCH(QString, model);
    QFETCH(int, shownBand);
    QFETCH(int, chosenItem);
    QFETCH(int, radioBand);
    QFETCH(bool, answerOk);
    QFETCH(bool, prompted);
    QFETCH(int, bandCode);
    QFETCH(int, windowBand);

    UiWorld world;
    world.info.Model = model;
    world.info.BandCode = qint16(shownBand);
    world.frm.ShowByData();
    if (chosenItem >= 0)
        world.frm.Combo1(1)->setCurrentIndex(chosenItem);
    const QString bandBoxText = world.frm.Combo1(1)->currentText();

    world.info.BandCode = qint16(radioBand); // as the radio's identification reports it
    world.boxes.answers = {answerOk};
    world.frm.GetDataByShow();

    QCOMPARE(world.boxes.shown.size(), prompted ? 1 : 0);
    if (prompted) {
        const ScriptedMessageBoxes::Box &box = world.boxes.shown.first();
        QCOMPARE(box.text, QStringLiteral("Frequencys is different. Overwrite?"));
        QCOMPARE(box.buttons, MessageBoxes::Buttons::OkCancel);
        QCOMPARE(box.icon, Operator::Icon::Exclamation);
    }
    QCOMPARE(int(world.info.BandCode), bandCode);
    QCOMPARE(world.frm.Combo3()->currentIndex(), windowBand);
    QCOMPARE(world.frm.Combo1(1)->currentText(), bandBoxText);
}

void TestBinding::textsTrimmedAndFitted_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");

    const QString blanks12(12, QLatin1Char(' '));
    QTest::newRow("dealer keeps leading blanks") << 8 << QStringLiteral("  AB  ") << QStringLiteral("  AB") + blanks12;
    QTest::newRow("area code is not padded") << 0 << QStringLiteral("05  ") << QStringLiteral("05");
    QTest::newRow("password padded") << 12 << QStringLiteral("12") << QStringLiteral("12  ");
    QTest::newRow("empty serial number") << 1 << QString() << QString(16, QLatin1Char(' '));
    QTest::newRow("Chinese seller") << 11 << QStringLiteral("李四 ") << QStringLiteral("李四") + QString(14, QLatin1Char(' '));
    QTest::newRow("batch code width 8") << 6 << QStringLiteral("ab") << QStringLiteral("ab      ");
    // Text put in by the program is not cut by the field, only by the record.
    QTest::newRow("long note cut to 64") << 4 << QString(70, QLatin1Char('n')) << QString(64, QLatin1Char('n'));
    QTest::newRow("note keeps its lines") << 4 << QStringLiteral("a\nb ") << QStringLiteral("a\nb") + QString(61, QLatin1Char(' '));
}

void TestBinding::textsTrimmedAndFitted()
{
    QFETCH(int, field);
    QFETCH(QString, shown);
    QFETCH(QString, stored);

    UiWorld world;
    world.frm.SetText1Text(field, shown);
    world.frm.SetText1Text(5, QStringLiteral("V9.99")); // the version is never taken back
    world.frm.GetDataByShow();

    const RadioInfo &info = world.info;
    const QString fields[] = {info.AreaCode,         info.SerialNumber,  info.ProductionDate, info.MaintenanceDate,
                              info.MaintenanceNote,  info.Version,       info.ManufactureCode, info.UserCode,
                              info.DealerCode,       info.StockDate,     info.SellDate,        info.Seller,
                              info.ProgramPassword};
    QCOMPARE(fields[field], stored);
    QCOMPARE(info.Version, QStringLiteral("V1.00"));
}

void TestBinding::matchListItem()
{
    QComboBox list;
    QCOMPARE(FrmMain::MatchListItem(&list, QStringLiteral("COM3")), QString());
    list.addItems({QStringLiteral("COM1"), QStringLiteral("COM3"), QStringLiteral("com3")});
    QCOMPARE(FrmMain::MatchListItem(&list, QStringLiteral("com3")), QStringLiteral("com3"));
    QCOMPARE(FrmMain::MatchListItem(&list, QStringLiteral("COM3")), QStringLiteral("COM3"));
    QCOMPARE(FrmMain::MatchListItem(&list, QStringLiteral("COM3 ")), QStringLiteral("COM1"));
}

QTEST_MAIN(TestBinding)
#include "tst_binding.moc"
