#pragma once

#include "link/operatorseam.h"
#include "record/radioinfo.h"
#include "ui/messageboxes.h"

#include <QLocale>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace Ui {
class FrmMain;
}

namespace kelvra {

class StatusLine;

// The program's only window: the radio's fields beside the port list and the
// Read, Write and Exit buttons, bound to the one radio record.
class FrmMain : public QWidget, public Operator
{
    Q_OBJECT

public:
    FrmMain(RadioInfo &info, MessageBoxes &boxes, QWidget *parent = nullptr);
    ~FrmMain() override;

    // Controls, named and indexed as in the designed window.
    QWidget *Text1(int index) const; // index 4 is the multi-line maintenance note
    QString Text1Text(int index) const;
    void SetText1Text(int index, const QString &text);
    QLabel *Label1(int index) const;
    QLabel *Label2() const;
    QLabel *Label3() const;
    QComboBox *Combo1(int index) const;
    QComboBox *Combo2() const;
    QComboBox *Combo3() const; // hidden master band list: its index is the window's band code
    QCheckBox *Check(int n) const; // Check1 .. Check8
    QPushButton *Command1() const;
    QPushButton *Command2() const;
    QPushButton *Command3() const;
    QPushButton *Command4() const; // opens the history
    StatusLine *Label4() const;    // what a read or write is doing
    QGroupBox *Frame1() const;
    QGroupBox *Frame2() const;

    // Chooses the language once from the locale, sets the captions and lines
    // the labels up against their fields.
    void ApplyLanguage(const QLocale &locale = QLocale::system());
    // 0 until ApplyLanguage, then LanguageEnglish or LanguageChinese.
    qint16 LanguageId() const { return m_languageId; }

    // Combo3 receives the master band table, with no band selected yet.
    void FillMasterBandList();

    // Sizes the window to fit the screen's available area, its content
    // scrolling when the scaled design is larger, and centres it there.
    void PlaceOnScreen();
    // The same within an available area, in device-independent pixels.
    void PlaceWithin(const QRect &available);

    // A read or write is under way: the window shows a busy cursor; at its end the status line clears.
    void SetBusy(bool running);
    // Asked as the window is about to close: a text it returns is put to the
    // operator as a question whose default answer keeps the window open.
    void SetCloseQuestion(std::function<QString()> question) { m_closeQuestion = std::move(question); }

    // Operator
    void ShowMessage(const QString &text, Icon icon, const QString &detail = QString()) override;
    void ShowByData() override;
    void GetDataByShow() override;
    QString ModelBoxText() const override;

    // radio as a write would leave it: the form's fields taken in, and the
    // band chosen in the window (if any) without asking the band question.
    RadioInfo WithFormValues(RadioInfo radio) const;
    // A Yes/No question to the operator, No the default; true for Yes.
    bool Ask(const QString &question);

    // Handlers of the control arrays, receiving the index.
    void Combo1_Click(int index);
    void Text1_GotFocus(int index);
    // key is the typed character's code; set to 0 the field does not get it.
    void Text1_KeyPress(int index, qint16 &key);

    static QString MatchListItem(const QComboBox *list, const QString &text);

    static constexpr int SerialNumberField = 1;
    static constexpr int MaintenanceDateField = 3;
    static constexpr int NoteField = 4;
    static constexpr int VersionField = 5;

signals:
    // The window is closing; the program shuts down on it.
    void Unload();
    // The operator asked for the history of reads and writes.
    void HistoryRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void SetUpEntryRules();
    void TakeFlags(RadioInfo &info) const;
    void TakeTexts(RadioInfo &info) const;
    int Text1Index(const QObject *field) const;
    // Selects code in Combo3, or nothing when the table has no such code.
    void SelectBandCode(int code);
    // Selects code in both band boxes; neither shows a band the model lacks.
    void ShowBandCode(int code);
    void AlignLabel(QLabel *label, const QWidget *field);
    void NameForScreenReaders();
    // A box the operator must answer shows the normal pointer, even while busy.
    bool AskOperator(const QString &text, MessageBoxes::Buttons buttons, Icon icon, const QString &detail);

    std::unique_ptr<Ui::FrmMain> m_ui;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    bool m_busy = false;
    RadioInfo &m_info;
    MessageBoxes &m_boxes;
    std::array<QWidget *, 13> m_text1{};
    std::array<QLabel *, 14> m_label1{};
    std::array<QCheckBox *, 8> m_check{};
    qint16 m_languageId = 0;
    std::array<QString, 3> m_bandPromptText;
    std::function<QString()> m_closeQuestion;
};

// Twips, the window's design unit, to device-independent pixels.
int TwipsToPixels(int twips);

} // namespace kelvra
