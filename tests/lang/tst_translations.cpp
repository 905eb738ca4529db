// The Chinese interface loads the program's own translations and Qt's;
// every other interface loads none, and a missing file of Qt's is harmless.
#include "lang/translations.h"
#include "link/failuredetail.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvra;

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void chineseInterfaceSpeaksChineseThroughout_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("qtFolderMissing");
        QTest::addColumn<bool>("ownChinese");
        QTest::addColumn<bool>("qtChinese");
        QTest::newRow("Chinese (China)") << "zh_CN" << false << true << true;
        QTest::newRow("Chinese, Qt's file missing") << "zh_CN" << true << true << false;
        QTest::newRow("Chinese (Taiwan)") << "zh_TW" << false << false << false;
        QTest::newRow("English (US)") << "en_US" << false << false << false;
        QTest::newRow("Japanese") << "ja_JP" << false << false << false;
    }

    void chineseInterfaceSpeaksChineseThroughout()
    {
        QFETCH(QString, locale);
        QFETCH(bool, qtFolderMissing);
        QFETCH(bool, ownChinese);
        QFETCH(bool, qtChinese);
        QTemporaryDir empty;
        const QString reason = QStringLiteral("The serial port did not accept the data.");
        const auto shown = [] { return failuredetail::PortRefused(); };
        const auto buttons = [] {
            QMessageBox box;
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            return QStringList{box.button(QMessageBox::Ok)->text(), box.button(QMessageBox::Cancel)->text()};
        };
        const QStringList english = buttons();
        const QStringList chinese{QStringLiteral("确定"), QStringLiteral("取消")};

        {
            const InterfaceTranslations translations(QLocale(locale), qtFolderMissing ? empty.path() : QString());
            QCOMPARE(translations.OwnLoaded(), ownChinese);
            QCOMPARE(translations.QtLoaded(), qtChinese);
            QCOMPARE(shown(), ownChinese ? QStringLiteral("串口不接受发送的数据。") : reason);
            QCOMPARE(buttons(), qtChinese ? chinese : english);
        }
        // Gone with their owner, so that nothing lingers in the next case.
        QCOMPARE(shown(), reason);
        QCOMPARE(buttons(), english);
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
