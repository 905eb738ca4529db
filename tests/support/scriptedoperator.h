#pragma once

#include "link/operatorseam.h"

#include <QStringList>

#include <functional>

namespace kelvra {

// The person at the bench, scripted: every message box is recorded and
// answered at once, and the test decides what the window's fields hold.
class ScriptedOperator : public Operator
{
public:
    struct Message { QString text; Icon icon; QString detail; };

    void ShowMessage(const QString &text, Icon icon, const QString &detail = QString()) override
    {
        texts.append(text);
        if (onMessage)
            onMessage({text, icon, detail});
    }
    void ShowByData() override { ++showByDataCalls; }
    void GetDataByShow() override
    {
        if (onGetDataByShow)
            onGetDataByShow();
    }
    QString ModelBoxText() const override { return modelBoxText; }

    QStringList texts;
    int showByDataCalls = 0;
    QString modelBoxText = QStringLiteral("KR350UV");
    // Runs while a box is "open", like the nested event loop of a modal box.
    std::function<void(const Message &)> onMessage;
    // Stands in for the window handing over its fields (and asking about the band).
    std::function<void()> onGetDataByShow;
};

} // namespace kelvra
