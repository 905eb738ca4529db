#pragma once

#include "record/radioinfo.h"
#include "support/scriptedmessageboxes.h"
#include "ui/frmmain.h"

#include <QApplication>
#include <QTest>

namespace kelvra {

// A freshly started window: default record of a fixed day, master band list,
// language and the record shown, as start-up leaves it.
struct UiWorld
{
    explicit UiWorld(const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedStates))
        : frm(info, boxes)
    {
        InitRadioInfo(info, QDate(2024, 3, 5), QLocale::c());
        frm.FillMasterBandList();
        frm.ApplyLanguage(locale);
        frm.ShowByData();
    }

    // Keyboard focus needs a shown, active window.
    bool ShowActive()
    {
        frm.show();
        QApplication::setActiveWindow(&frm);
        return QTest::qWaitForWindowActive(&frm);
    }

    template <typename T = QWidget>
    T *Find(const char *name)
    {
        return frm.findChild<T *>(QLatin1String(name));
    }

    RadioInfo info;
    ScriptedMessageBoxes boxes;
    FrmMain frm;
};

} // namespace kelvra
