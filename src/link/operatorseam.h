#pragma once

#include <QString>

namespace kelvra {

// What the radio link asks of the person at the bench. The main window
// implements it; tests script it.
class Operator
{
public:
    enum class Icon { None, Critical, Exclamation };

    virtual ~Operator() = default;

    // A modal message box with an OK button, titled with the program's name.
    // detail, when given, is shown as the box's detailed text.
    virtual void ShowMessage(const QString &text, Icon icon, const QString &detail = QString()) = 0;
    // The record into the window.
    virtual void ShowByData() = 0;
    // The window's fields into the record; may ask the band question and wait.
    virtual void GetDataByShow() = 0;
    // The text of the model box.
    virtual QString ModelBoxText() const = 0;
};

} // namespace kelvra
