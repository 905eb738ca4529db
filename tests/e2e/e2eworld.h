#pragma once

#include "../app/appworld.h"

#include "simulatedradio.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QStringEncoder>

#include <memory>

namespace kelvra::testing {

// Texts as the radio stores them: GBK, zero-filled to the field's width.
// Built here, not with the program's codec, so that a shared fault cannot pass.
inline void Put(QByteArray &image, int offset, int width, const QString &text)
{
    const QByteArray bytes = QStringEncoder("GBK").encode(text);
    image.replace(offset, width, bytes.leftJustified(width, '\0'));
}

// A text field, where the radio holds its text, and the command line's name for it.
struct HeldText
{
    int field, offset, width;
    const char16_t *text;
    const char *key = "";
};

inline const HeldText Held[] = {
    {0, 9, 4, u"0595", "areaCode"},          {1, 16, 16, u"SN20261205000042", "serialNumber"},
    {2, 32, 16, u"2026-11-20", "producedDate"}, {6, 48, 8, u"11-1-E-1", "manufactureCode"},
    {7, 56, 4, u"001A", "userCode"},         {12, 60, 4, u"4321", "password"},
    {3, 64, 16, u"2026-12-01", "maintainedDate"}, {8, 80, 16, u"华南经销商", "dealerCode"},
    {9, 96, 16, u"2026-11-28", "stockDate"},  {10, 112, 16, u"2026-12-03", "sellDate"},
    {11, 128, 16, u"张伟", "seller"},         {4, 144, 64, u"更换天线, battery checked", "maintenanceNote"},
};

inline QByteArray BenchRadioImage()
{
    QByteArray image(256, '\0');
    for (int i = 0; i < 256; ++i)
        image[i] = char(i * 37 + 11); // bytes no field claims must come back as they were
    image.replace(0, 7, "KR350UV");
    image[7] = 3;                         // band code
    image[13] = char(0x80 | 0x20 | 0x04); // five-tone, DTMF, band setting
    image[14] = 0x01;                     // kill
    for (const auto &held : Held)
        Put(image, held.offset, held.width, QString::fromUtf16(held.text));
    return image;
}

// The program, its window shown, on COM7, an alias of the simulated radio
// holding the bench radio's image.
class E2EWorld
{
protected:
    std::unique_ptr<AppWorld> m_world;
    std::unique_ptr<radiosim::SimulatedRadio> m_radio;
    Program *m_program = nullptr;

    FrmMain &Window() { return m_program->Window(); }
    QStringList Shown() const { return m_world->boxes.texts(); }

    void Read()
    {
        m_world->boxes.shown.clear();
        QTest::mouseClick(Window().Command1(), Qt::LeftButton);
        QTRY_COMPARE(Shown(), QStringList{QStringLiteral("Read Complete!")});
        m_world->boxes.shown.clear();
    }

    // The program on an English or Chinese system, its window shown.
    void ShowProgram(const QLocale &locale)
    {
        m_program = &m_world->Start(nullptr, locale);
        Window().show();
        QApplication::setActiveWindow(&Window());
        QVERIFY(QTest::qWaitForWindowActive(&Window()));
        QCOMPARE(Window().Combo2()->currentText(), QStringLiteral("COM7"));
    }

    // For each test's init(): a failure here fails the test before it runs.
    void SetUp()
    {
        m_world = std::make_unique<AppWorld>();
        m_radio = std::make_unique<radiosim::SimulatedRadio>();
        QString error;
        QVERIFY2(m_radio->Start(&error) && m_radio->MakeAlias(m_world->PortsDir(), 7, &error), qPrintable(error));
        m_radio->SetModelBytes("KR350UV");
        m_radio->SetImage(BenchRadioImage());
        ShowProgram(QLocale(QLocale::English, QLocale::UnitedStates));
        // The closed port box names the device behind the port.
        QVERIFY2(Window().Combo2()->toolTip().startsWith(QLatin1String("/dev/")), qPrintable(Window().Combo2()->toolTip()));
    }

    void TearDown()
    {
        m_world.reset();
        m_radio.reset();
    }
};

} // namespace kelvra::testing
