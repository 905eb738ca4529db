// The interface language: which locales get Chinese, every caption in both
// languages, the labels lined up against their fields, the access keys.
#include "uiworld.h"

#include "lang/language.h"
#include "lang/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace kelvra;

namespace {

struct Expected
{
    const char *control;
    const char16_t *english;
    const char16_t *chinese;
};

// Typed here independently of the product's table, so a wrong row there shows.
const Expected Captions[] = {
    {"Command1", u"&Read", u"读出(&R)"},
    {"Command2", u"&Write", u"写入(&W)"},
    {"Command3", u"E&xit", u"退出(&X)"},
    {"Check5", u"Scramber", u"扰频"},
    {"Label2", u"Area Code", u"销售区号"},
    {"Label3", u"Com Port:", u"串口选择:"},
    {"Label1_0", u"Radio Type", u"机型"},
    {"Label1_1", u"Frequency", u"频段"},
    {"Label1_2", u"Serial Number", u"序列号"},
    {"Label1_3", u"Producted Date", u"出厂日期"},
    {"Label1_4", u"Maintained Date", u"维修日期"},
    {"Label1_5", u"Maintained Description", u"维修原因"},
    {"Label1_6", u"Version", u"固件版本"},
    {"Label1_7", u"Manufacture Code", u"生产批号"},
    {"Label1_8", u"User Code", u"客户代码"},
    {"Label1_9", u"Dealer Code", u"经销商代码"},
    {"Label1_10", u"Stock Date", u"入库时间"},
    {"Label1_11", u"Sell Date", u"销售时间"},
    {"Label1_12", u"Seller", u"经手人"},
    {"Label1_13", u"Program PassWord", u"编程密码"},
    {"Frame1", u"Radio Setting", u"机器设置"},
    {"Frame2", u"Dealer Information", u"经销商信息"},
    {"Check4", u"Kill", u"遥毙"},
    {"Check6", u"Faint", u"遥晕"},
    {"Check7", u"Factory", u"工厂模式"},
    {"Check8", u"Freq. Set", u"频段设置"},
};

QString CaptionOf(QWidget *control)
{
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *button = qobject_cast<QAbstractButton *>(control))
        return button->text();
    if (auto *frame = qobject_cast<QGroupBox *>(control))
        return frame->title();
    return QStringLiteral("<no caption>");
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void localeChoosesLanguage_data();
    void localeChoosesLanguage();
    void captions_data();
    void captions();
    void labelsEndJustLeftOfTheirFields_data() { BothLanguages(); }
    void labelsEndJustLeftOfTheirFields();
    void accessKeysPressButtons_data() { BothLanguages(); }
    void accessKeysPressButtons();

private:
    static void BothLanguages()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("Chinese") << QLocale(QLocale::Chinese, QLocale::China);
    }
};

void TestLanguage::localeChoosesLanguage_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<uint>("localeId");
    QTest::addColumn<int>("languageId");

    QTest::newRow("Chinese, China") << QLocale(QLocale::Chinese, QLocale::China) << 0x0804u << 2;
    QTest::newRow("Chinese, Taiwan") << QLocale(QLocale::Chinese, QLocale::Taiwan) << 0x0404u << 1;
    QTest::newRow("Chinese, Hong Kong") << QLocale(QLocale::Chinese, QLocale::HongKong) << 0x0C04u << 1;
    QTest::newRow("Chinese, Singapore") << QLocale(QLocale::Chinese, QLocale::Singapore) << 0x1004u << 1;
    QTest::newRow("Chinese, Macao") << QLocale(QLocale::Chinese, QLocale::Macao) << 0x1404u << 1;
    QTest::newRow("English, US") << QLocale(QLocale::English, QLocale::UnitedStates) << 0x0409u << 1;
    QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << 0x040Cu << 1;
    QTest::newRow("Japanese") << QLocale(QLocale::Japanese, QLocale::Japan) << 0x0411u << 1;
    QTest::newRow("C") << QLocale::c() << 0x007Fu << 1;
    // How a POSIX locale name reaches the program.
    QTest::newRow("zh_CN.UTF-8 name") << QLocale(QStringLiteral("zh_CN")) << 0x0804u << 2;
    QTest::newRow("zh_TW name") << QLocale(QStringLiteral("zh_TW")) << 0x0404u << 1;
}

void TestLanguage::localeChoosesLanguage()
{
    QFETCH(QLocale, locale);
    QFETCH(uint, localeId);
    QFETCH(int, languageId);

    QCOMPARE(WindowsLocaleId(locale), localeId);
    QCOMPARE(int(LanguageIdForLocale(locale)), languageId);
}

void TestLanguage::captions_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("chinese");

    QTest::newRow("zh_CN") << QLocale(QStringLiteral("zh_CN")) << true;
    QTest::newRow("zh_TW") << QLocale(QStringLiteral("zh_TW")) << false;
    QTest::newRow("zh_HK") << QLocale(QStringLiteral("zh_HK")) << false;
    QTest::newRow("fr_FR") << QLocale(QStringLiteral("fr_FR")) << false;
    QTest::newRow("ja_JP") << QLocale(QStringLiteral("ja_JP")) << false;
    QTest::newRow("en_US") << QLocale(QStringLiteral("en_US")) << false;
}

void TestLanguage::captions()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, chinese);

    UiWorld world(locale);
    QCOMPARE(int(world.frm.LanguageId()), chinese ? 2 : 1);

    for (const Expected &row : Captions) {
        QWidget *control = world.Find(row.control);
        QVERIFY2(control, row.control);
        QCOMPARE(CaptionOf(control), QString::fromUtf16(chinese ? row.chinese : row.english));
    }

    // Left alone in both languages.
    QCOMPARE(world.frm.windowTitle(), QStringLiteral("KelvraSet"));
    QCOMPARE(world.frm.Check(1)->text(), QStringLiteral("5Tone"));
    QCOMPARE(world.frm.Check(2)->text(), QStringLiteral("2Tone"));
    QCOMPARE(world.frm.Check(3)->text(), QStringLiteral("DTMF"));

    // The one language-dependent message: the band prompt of a write.
    world.frm.Combo1(1)->setCurrentIndex(2);
    world.frm.GetDataByShow();
    QCOMPARE(world.boxes.texts(), QStringList{chinese ? QStringLiteral("频段类型不同。是否覆盖？")
                                                      : QStringLiteral("Frequencys is different. Overwrite?")});
}

void TestLanguage::labelsEndJustLeftOfTheirFields()
{
    QFETCH(QLocale, locale);
    UiWorld world(locale);
    FrmMain &frm = world.frm;

    QList<QPair<QLabel *, QWidget *>> rows{{frm.Label2(), frm.Text1(0)}, {frm.Label1(13), frm.Text1(12)}};
    for (int i = 0; i <= 8; ++i)
        rows.append({frm.Label1(i), frm.Text1(0)});
    for (int i = 9; i <= 12; ++i)
        rows.append({frm.Label1(i), frm.Text1(8)});

    const int gap = TwipsToPixels(50);
    for (const auto &[label, field] : rows) {
        QCOMPARE(label->parentWidget(), field->parentWidget());
        const QString what = label->objectName();
        // Right edge 50 twips left of the field, whatever the caption's width.
        QVERIFY2(label->x() + label->width() == field->x() - gap, qPrintable(what));
        // The whole caption shows: within the frame and not cut short.
        QVERIFY2(label->x() >= 0, qPrintable(what));
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()), qPrintable(what));
        QVERIFY2(label->height() >= label->fontMetrics().height(), qPrintable(what));
    }

    // The port label stays where it was designed.
    QCOMPARE(frm.Label3()->pos(), QPoint(TwipsToPixels(7080), TwipsToPixels(960)));

    // Only the version field takes the window's background.
    const QColor window = frm.palette().color(QPalette::Window);
    QCOMPARE(frm.Text1(5)->palette().color(QPalette::Disabled, QPalette::Base), window);
    QVERIFY(frm.Text1(8)->palette().color(QPalette::Base) != window);
}

void TestLanguage::accessKeysPressButtons()
{
    QFETCH(QLocale, locale);
    UiWorld world(locale);
    QVERIFY(world.ShowActive());

    const QList<QPair<Qt::Key, QPushButton *>> keys{
        {Qt::Key_R, world.frm.Command1()}, {Qt::Key_W, world.frm.Command2()}, {Qt::Key_X, world.frm.Command3()}};
    for (const auto &[key, button] : keys) {
        QSignalSpy pressed(button, &QPushButton::clicked);
        QTest::keyClick(&world.frm, key, Qt::AltModifier);
        // An access key animates the press before the click arrives.
        QTRY_COMPARE(pressed.count(), 1);
    }
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
