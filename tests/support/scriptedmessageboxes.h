#pragma once

#include "ui/messageboxes.h"

#include <QStringList>

namespace kelvra {

// Message boxes answered by the test instead of a person: every box is
// recorded, and OK/Cancel boxes take their answers from a queue (OK when it
// runs dry).
class ScriptedMessageBoxes : public MessageBoxes
{
public:
    struct Box { QString text; Buttons buttons; Operator::Icon icon; QString detail; };

    bool Show(const QString &text, Buttons buttons, Operator::Icon icon, const QString &detail = QString()) override
    {
        shown.append({text, buttons, icon, detail});
        return buttons == Buttons::Ok || answers.isEmpty() || answers.takeFirst();
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Box &box : shown)
            result.append(box.text);
        return result;
    }

    QList<Box> shown;
    // Answers for the coming OK/Cancel boxes: true is OK, false is Cancel.
    QList<bool> answers;
};

} // namespace kelvra
