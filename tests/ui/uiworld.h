#pragma once

#include "support/scriptedmessageboxes.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QTest>

namespace kelvra::testing {

// A window as start-up leaves it: default record, master band list, language, record shown.
struct World
{
    explicit World(const QString &locale = QStringLiteral("en_US")) : frm(info, boxes)
    {
        InitRadioInfo(info, QDate(2024, 3, 5), QLocale::c());
        frm.FillMasterBandList();
        frm.ApplyLanguage(QLocale(locale));
        frm.ShowByData();
    }

    // Keyboard focus needs a shown, active window.
    bool ShowActive()
    {
        frm.show();
        QApplication::setActiveWindow(&frm);
        return QTest::qWaitForWindowActive(&frm);
    }

    RadioInfo info;
    ScriptedMessageBoxes boxes;
    FrmMain frm;
};

} // namespace kelvra::testing
