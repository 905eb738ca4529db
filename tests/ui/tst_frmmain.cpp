// The main window offscreen: captions, label layout and accessible names in
// both languages, the fit on scaled screens, what the operator can reach,
// and the band question of a write.
#include "ui/uiworld.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace kelvra;
using kelvra::testing::World;

namespace {

// Typed here, not taken from the product's table, so that a wrong row there shows.
const struct
{
    const char *control;
    const char16_t *english;
    const char16_t *chinese;
} Captions[] = {
    {"Command1", u"&Read", u"读出(&R)"},
    {"Command2", u"&Write", u"写入(&W)"},
    {"Command3", u"E&xit", u"退出(&X)"},
    {"Command4", u"&History...", u"历史记录(&H)"},
    {"Check1", u"5Tone", u"5Tone"},
    {"Check2", u"2Tone", u"2Tone"},
    {"Check3", u"DTMF", u"DTMF"},
    {"Check4", u"Kill", u"遥毙"},
    {"Check5", u"Scramber", u"扰频"},
    {"Check6", u"Faint", u"遥晕"},
    {"Check7", u"Factory", u"工厂模式"},
    {"Check8", u"Freq. Set", u"频段设置"},
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
};

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void languageFollowsLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("chinese");
        for (const char *name : {"zh_CN", "zh_TW", "zh_HK", "fr_FR", "ja_JP", "en_US"})
            QTest::newRow(name) << QString::fromLatin1(name) << (qstrcmp(name, "zh_CN") == 0);
    }

    void languageFollowsLocale()
    {
        QFETCH(QString, locale);
        QFETCH(bool, chinese);
        World world(locale);
        FrmMain &frm = world.frm;

        for (const auto &row : Captions) {
            const QObject *control = frm.findChild<QObject *>(QLatin1String(row.control));
            QVERIFY2(control, row.control);
            const char *caption = control->property("title").isValid() ? "title" : "text";
            QCOMPARE(control->property(caption).toString(), QString::fromUtf16(chinese ? row.chinese : row.english));
        }
        QCOMPARE(frm.windowTitle(), QStringLiteral("KelvraSet"));

        // Each label ends 50 twips left of its field, whatever its caption's width.
        for (int i = -1; i <= 13; ++i) {
            const QLabel *label = i < 0 ? frm.Label2() : frm.Label1(i);
            const QWidget *field = frm.Text1(i == 13 ? 12 : i >= 9 ? 8 : 0);
            QCOMPARE(label->parentWidget(), field->parentWidget());
            QCOMPARE(label->x() + label->width(), field->x() - TwipsToPixels(50));
            QVERIFY(label->x() >= 0 && label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        }

        // The band prompt is the one message that follows the language.
        frm.Combo1(1)->setCurrentIndex(2);
        frm.GetDataByShow();
        QCOMPARE(world.boxes.texts(), QStringList{chinese ? QStringLiteral("频段类型不同。是否覆盖？")
                                                          : QStringLiteral("Frequencys is different. Overwrite?")});

        QVERIFY(world.ShowActive());
        // A screen reader walks the tree from the window down and hears each control's own name;
        // on Linux a list is named by its item (tst_screenreader hears it over the accessibility bus).
        QHash<QString, QString> heard;
        for (QAccessibleInterface *node : AccessibleTree(&frm)) {
            QVERIFY(node && node->isValid());
            const QWidget *widget = qobject_cast<const QWidget *>(node->object());
            if (widget && widget->isVisible() && !widget->objectName().isEmpty()
                && !widget->objectName().startsWith(QLatin1String("qt_")))
                heard.insert(widget->objectName(), node->text(QAccessible::Name));
        }
        for (auto it = heard.cbegin(); it != heard.cend(); ++it)
            QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));
        const std::pair<const char *, const char16_t *> names[] = {
            {"Frame1", chinese ? u"机器设置" : u"Radio Setting"},
            {"Frame2", chinese ? u"经销商信息" : u"Dealer Information"}, // not its outer frame's caption
            {"Text1_8", chinese ? u"经销商代码" : u"Dealer Code"},       // a field inside the inner frame
            {"Text1_4", chinese ? u"维修原因" : u"Maintained Description"}, // greyed, still named
            {"Combo1_0", u"KR350UV"},
            {"Combo1_1", u"UHF(430 - 440 MHz) VHF(136 - 174 MHz)"}, // chosen for the band prompt
            {"Combo2", chinese ? u"串口选择" : u"Com Port"}, // no port: its label's name stands in
            {"Command1", chinese ? u"读出" : u"Read"}};
        for (const auto &[control, name] : names)
            QCOMPARE(heard.value(QLatin1String(control)), QString::fromUtf16(name));

        const std::pair<Qt::Key, QPushButton *> accessKeys[] = {
            {Qt::Key_R, frm.Command1()}, {Qt::Key_W, frm.Command2()}, {Qt::Key_X, frm.Command3()},
            {Qt::Key_H, frm.Command4()}};
        for (const auto &[key, button] : accessKeys) {
            QSignalSpy pressed(button, &QPushButton::clicked);
            QTest::keyClick(&frm, key, Qt::AltModifier);
            QTRY_COMPARE(pressed.count(), 1); // the press is animated before the click
            // Enter on the focused button presses it too.
            button->setFocus();
            QTest::keyClick(button, Qt::Key_Return);
            QTRY_COMPARE(pressed.count(), 2);
        }
    }

    // The tree a screen reader walks, from root down.
    static QList<QAccessibleInterface *> AccessibleTree(QObject *root)
    {
        QList<QAccessibleInterface *> tree{QAccessible::queryAccessibleInterface(root)};
        for (int next = 0; next < tree.size(); ++next) {
            for (int i = 0; tree.at(next) && i < tree.at(next)->childCount(); ++i)
                tree.append(tree.at(next)->child(i));
        }
        return tree;
    }

    void messageBoxDetailsAreNamed()
    {
        QtMessageBoxes boxes;
        QString named;
        QTimer::singleShot(0, [&named] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAccessibleInterface *node : AccessibleTree(box)) {
                if (node && node->text(QAccessible::Value) == QLatin1String("the radio did not answer"))
                    named = node->text(QAccessible::Name);
            }
            box->accept();
        });
        boxes.Show("Read Failure!", MessageBoxes::Buttons::Ok, Operator::Icon::None, "the radio did not answer");
        QCOMPARE(named, QStringLiteral("Details"));
    }

    void windowFitsTheScreen_data()
    {
        QTest::addColumn<QRect>("available"); // in device-independent pixels, as a scaled 1366x768 screen gives it
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("scale 1") << QRect(0, 0, 1366, 728) << false;
        QTest::newRow("scale 1.5") << QRect(0, 0, 911, 485) << true;
        QTest::newRow("scale 2") << QRect(0, 0, 683, 364) << true;
        QTest::newRow("scale 2, panel on the left") << QRect(60, 0, 623, 384) << true;
    }

    void windowFitsTheScreen()
    {
        QFETCH(QRect, available);
        QFETCH(bool, scrolls);
        World world;
        FrmMain &frm = world.frm;
        const QSize design(TwipsToPixels(9315), TwipsToPixels(7875));

        frm.PlaceWithin(available);

        // The window and its title bar, which a window manager puts above it.
        QVERIFY(available.contains(frm.geometry()));
        QVERIFY(frm.height() + frm.style()->pixelMetric(QStyle::PM_TitleBarHeight) <= available.height());
        QCOMPARE(frm.size() == design, !scrolls);
        QVERIFY(world.ShowActive());
        // Every field the operator may change can be brought into view and reached.
        auto *scroll = frm.findChild<QScrollArea *>();
        for (QWidget *field : std::initializer_list<QWidget *>{frm.Text1(11), frm.Check(8), frm.Combo1(0), frm.Command3()}) {
            field->setFocus(Qt::TabFocusReason);
            const QRect inView(field->mapTo(scroll->viewport(), QPoint()), field->size());
            QVERIFY2(scroll->viewport()->rect().contains(inView), qPrintable(field->objectName()));
        }
        QCOMPARE(scroll->verticalScrollBar()->isVisible() || scroll->horizontalScrollBar()->isVisible(), scrolls);
    }

    void operatorReachesOnlyWhatAWriteSends()
    {
        World world;
        FrmMain &frm = world.frm;
        QVERIFY(world.ShowActive());
        frm.Combo1(0)->setFocus();

        QStringList order;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        } while (QApplication::focusWidget() != frm.Combo1(0) && order.size() < 20);
        QCOMPARE(order.join(QLatin1Char(' ')), QStringLiteral("Combo1_1 Command1 Command2 Command3 Combo2 Text1_8 "
                                                              "Text1_9 Text1_10 Text1_11 Text1_12 Check8 Command4 Combo1_0"));

        // Nor can the mouse reach anything else: the other fields are greyed, the other boxes hidden.
        for (const QWidget *w : frm.findChildren<QWidget *>()) {
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::ClickFocus)
                && !w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                QVERIFY2(order.contains(w->objectName()), qPrintable(w->objectName()));
        }
        for (int i = 0; i <= 7; ++i)
            QVERIFY(frm.Text1(i)->isVisible() && !frm.Text1(i)->isEnabled());
        for (int n = 1; n <= 7; ++n)
            QVERIFY(!frm.Check(n)->isVisible());
        QVERIFY(!frm.Combo3()->isVisible());
    }

    void bandQuestionOfAWrite_data()
    {
        QTest::addColumn<int>("shownBand"); // on a KR350UV
        QTest::addColumn<int>("shownItem"); // what the band box shows; -1 nothing
        QTest::addColumn<int>("chosenItem"); // what the operator then picks; -1 nothing
        QTest::addColumn<int>("radioBand");
        QTest::addColumn<bool>("answerOk");
        QTest::addColumn<bool>("prompted");
        QTest::addColumn<int>("bandCode");

        QTest::newRow("same band, no question") << 0 << 0 << -1 << 0 << true << false << 0;
        QTest::newRow("operator's band, OK") << 0 << 0 << 3 << 0 << true << true << 3;
        QTest::newRow("operator's band, Cancel") << 0 << 0 << 3 << 0 << false << true << 0;
        QTest::newRow("radio reports another, Cancel") << 0 << 0 << -1 << 5 << false << true << 5;
        // A band the shown model does not offer shows none, and a write keeps the radio's.
        QTest::newRow("band the model lacks") << 8 << -1 << -1 << 8 << true << false << 8;
        QTest::newRow("band beyond the table") << 25 << -1 << -1 << 25 << true << false << 25;
        QTest::newRow("none shown, radio differs") << 8 << -1 << -1 << 2 << true << false << 2;
        QTest::newRow("none shown, operator picks") << 8 << -1 << 1 << 8 << true << true << 1;
    }

    void bandQuestionOfAWrite()
    {
        QFETCH(int, shownBand);
        QFETCH(int, shownItem);
        QFETCH(int, chosenItem);
        QFETCH(int, radioBand);
        QFETCH(bool, answerOk);
        QFETCH(bool, prompted);
        QFETCH(int, bandCode);
        World world;
        FrmMain &frm = world.frm;

        world.info.BandCode = qint16(shownBand);
        frm.ShowByData();
        QCOMPARE(frm.Combo1(1)->currentIndex(), shownItem);
        QCOMPARE(frm.Combo3()->currentText(), frm.Combo1(1)->currentText());
        if (chosenItem >= 0)
            frm.Combo1(1)->setCurrentIndex(chosenItem);
        const QString chosenText = frm.Combo1(1)->currentText();

        world.info.BandCode = qint16(radioBand); // as the radio's identification reports it
        world.boxes.answers = {answerOk};
        frm.GetDataByShow();

        QCOMPARE(world.boxes.shown.size(), int(prompted));
        if (prompted) {
            QCOMPARE(world.boxes.shown.first().buttons, MessageBoxes::Buttons::OkCancel);
            QCOMPARE(world.boxes.shown.first().icon, Operator::Icon::Exclamation);
        }
        QCOMPARE(int(world.info.BandCode), bandCode);
        // The band box shows the band that is written, or none the model lacks; so the next write asks only anew.
        QCOMPARE(frm.Combo1(1)->currentText(), frm.Combo3()->currentText());
        QCOMPARE(frm.Combo3()->currentIndex(), frm.Combo1(1)->currentIndex() < 0 ? -1 : bandCode);
        frm.GetDataByShow();
        QCOMPARE(world.boxes.shown.size(), int(prompted));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
