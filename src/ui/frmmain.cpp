#include "ui/frmmain.h"

#include "lang/captions.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "record/catalogue.h"
#include "record/imagecodec.h"
#include "ui/listlookup.h"
#include "ui/messageboxes.h"
#include "ui/noteedit.h"
#include "ui_frmmain.h"

#include <QCloseEvent>
#include <QDate>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QSignalBlocker>

// The resource lives in a static library, so the linker would drop it
// unless something refers to it.
static void InitFrmMainResources()
{
    Q_INIT_RESOURCE(frmmain);
}

namespace kelvra {

namespace {

constexpr int TwipsPerPixel = 15;
// Each label ends this far left of its field.
constexpr int LabelGapTwips = 50;

constexpr int SerialNumberField = 1;
constexpr int MaintenanceDateField = 3;
constexpr int NoteField = 4;
constexpr int VersionField = 5;

constexpr qint16 KeyCopy = 3;
constexpr qint16 KeyPaste = 22;
constexpr qint16 KeyCut = 24;
constexpr qint16 KeyEnter = 13;

// The code of the character a key press types, as the key handler sees it:
// Ctrl plus a letter is its control code, Enter 13, Backspace 8. Keys that
// type nothing (arrows, Delete, Tab, function keys) give no code.
bool TypedCharacters(const QKeyEvent &event, QList<qint16> &codes)
{
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        codes = {KeyEnter};
        return true;
    }
    if (key == Qt::Key_Backspace) {
        codes = {8};
        return true;
    }
    if (key == Qt::Key_Escape) {
        codes = {27};
        return true;
    }
    // AltGr arrives as Ctrl+Alt and types real characters.
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A && key <= Qt::Key_Z) {
        codes = {qint16(key - Qt::Key_A + 1)};
        return true;
    }
    const QString text = event.text();
    if (text.isEmpty() || text.at(0).unicode() < 32)
        return false;
    codes.clear();
    for (const QChar ch : text)
        codes.append(qint16(ch.unicode()));
    return true;
}

} // namespace

int TwipsToPixels(int twips)
{
    return qRound(double(twips) / TwipsPerPixel);
}

FrmMain::FrmMain(RadioInfo &info, MessageBoxes &boxes, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::FrmMain>()), m_info(info), m_boxes(boxes)
{
    InitFrmMainResources();
    m_ui->setupUi(this);

    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(TwipsToPixels(9315), TwipsToPixels(7875));

    // Arial or its metric twin for Latin text; simplified-Chinese faces for
    // the Chinese captions, so they never fall back to traditional forms or boxes.
    QFont windowFont = font();
    windowFont.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")});
    setFont(windowFont);

    m_text1 = {m_ui->Text1_0, m_ui->Text1_1, m_ui->Text1_2,  m_ui->Text1_3,  m_ui->Text1_4,
               m_ui->Text1_5, m_ui->Text1_6, m_ui->Text1_7,  m_ui->Text1_8,  m_ui->Text1_9,
               m_ui->Text1_10, m_ui->Text1_11, m_ui->Text1_12};
    m_label1 = {m_ui->Label1_0, m_ui->Label1_1, m_ui->Label1_2,  m_ui->Label1_3,  m_ui->Label1_4,
                m_ui->Label1_5, m_ui->Label1_6, m_ui->Label1_7,  m_ui->Label1_8,  m_ui->Label1_9,
                m_ui->Label1_10, m_ui->Label1_11, m_ui->Label1_12, m_ui->Label1_13};
    m_check = {m_ui->Check1, m_ui->Check2, m_ui->Check3, m_ui->Check4,
               m_ui->Check5, m_ui->Check6, m_ui->Check7, m_ui->Check8};

    // A drop-down list shows no model until the record is shown.
    m_ui->Combo1_0->setCurrentIndex(-1);

    for (QWidget *field : m_text1)
        field->installEventFilter(this);
    connect(m_ui->Combo1_0, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(0); });
    connect(m_ui->Combo1_1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(1); });
}

FrmMain::~FrmMain() = default;

QWidget *FrmMain::Text1(int index) const
{
    return index >= 0 && index < int(m_text1.size()) ? m_text1[index] : nullptr;
}

QString FrmMain::Text1Text(int index) const
{
    if (index == NoteField)
        return m_ui->Text1_4->toPlainText();
    auto *field = qobject_cast<QLineEdit *>(Text1(index));
    return field ? field->text() : QString();
}

void FrmMain::SetText1Text(int index, const QString &text)
{
    if (index == NoteField) {
        m_ui->Text1_4->setPlainText(text);
        return;
    }
    if (auto *field = qobject_cast<QLineEdit *>(Text1(index)))
        field->setText(text);
}

QLabel *FrmMain::Label1(int index) const
{
    return index >= 0 && index < int(m_label1.size()) ? m_label1[index] : nullptr;
}

QLabel *FrmMain::Label2() const
{
    return m_ui->Label2;
}

QLabel *FrmMain::Label3() const
{
    return m_ui->Label3;
}

QComboBox *FrmMain::Combo1(int index) const
{
    switch (index) {
    case 0:
        return m_ui->Combo1_0;
    case 1:
        return m_ui->Combo1_1;
    default:
        return nullptr;
    }
}

QComboBox *FrmMain::Combo2() const
{
    return m_ui->Combo2;
}

QComboBox *FrmMain::Combo3() const
{
    return m_ui->Combo3;
}

QCheckBox *FrmMain::Check(int n) const
{
    return n >= 1 && n <= int(m_check.size()) ? m_check[n - 1] : nullptr;
}

QPushButton *FrmMain::Command1() const
{
    return m_ui->Command1;
}

QPushButton *FrmMain::Command2() const
{
    return m_ui->Command2;
}

QPushButton *FrmMain::Command3() const
{
    return m_ui->Command3;
}

QGroupBox *FrmMain::Frame1() const
{
    return m_ui->Frame1;
}

QGroupBox *FrmMain::Frame2() const
{
    return m_ui->Frame2;
}

void FrmMain::ApplyLanguage(const QLocale &locale)
{
    m_languageId = LanguageIdForLocale(locale);

    for (const CaptionRow &row : CaptionTable()) {
        QWidget *control = findChild<QWidget *>(QLatin1String(row.control));
        const QString text = CaptionText(row, m_languageId);
        if (auto *label = qobject_cast<QLabel *>(control)) {
            label->setText(text);
            // Labels size themselves to their caption; the alignment below relies on it.
            label->adjustSize();
        } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            button->setText(text);
        } else if (auto *frame = qobject_cast<QGroupBox *>(control)) {
            frame->setTitle(text);
        }
    }

    QPalette versionPalette = Text1(VersionField)->palette();
    versionPalette.setColor(QPalette::Base, palette().color(QPalette::Window));
    Text1(VersionField)->setPalette(versionPalette);

    AlignLabel(Label2(), Text1(0));
    for (int i = 0; i <= 8; ++i)
        AlignLabel(Label1(i), Text1(0));
    for (int i = 9; i <= 12; ++i)
        AlignLabel(Label1(i), Text1(8));
    AlignLabel(Label1(13), Text1(12));

    m_bandPromptText[LanguageEnglish] = BandPromptText(LanguageEnglish);
    m_bandPromptText[LanguageChinese] = BandPromptText(LanguageChinese);
}

void FrmMain::AlignLabel(QLabel *label, const QWidget *field)
{
    // In twips, the design unit, so that the gap is the same at any scale.
    const int left = field->x() * TwipsPerPixel - LabelGapTwips - label->width() * TwipsPerPixel;
    label->move(TwipsToPixels(left), label->y());
}

void FrmMain::FillMasterBandList()
{
    QComboBox *master = Combo3();
    master->clear();
    master->addItems(MasterBandTable());
    master->setCurrentIndex(-1);
}

void FrmMain::CentreOnScreen()
{
    const QScreen *where = screen();
    if (!where)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(where->availableGeometry().center());
    move(frame.topLeft());
}

void FrmMain::ShowMessage(const QString &text, Icon icon, const QString &detail)
{
    m_boxes.Show(text, MessageBoxes::Buttons::Ok, icon, detail);
}

QString FrmMain::MatchListItem(const QComboBox *list, const QString &text)
{
    return kelvra::MatchListItem(list, text);
}

void FrmMain::SelectBandCode(int code)
{
    Combo3()->setCurrentIndex(code >= 0 && code < Combo3()->count() ? code : -1);
}

void FrmMain::ShowByData()
{
    const qint16 flags[] = {m_info.FiveTone, m_info.TwoTone, m_info.Dtmf,        m_info.Kill,
                            m_info.Scramble, m_info.Faint,   m_info.FactoryMode, m_info.FreqSet};
    for (int n = 1; n <= 8; ++n)
        Check(n)->setChecked(flags[n - 1] != 0);

    // Selecting a model refills the band list and selects its first band.
    QComboBox *models = Combo1(0);
    models->setCurrentIndex(models->findText(MatchListItem(models, DisplayModel(m_info.Model))));

    SelectBandCode(m_info.BandCode);
    {
        QComboBox *bands = Combo1(1);
        const QSignalBlocker quiet(bands);
        bands->clear();
        bands->addItems(ModelBandList(models->currentIndex()));
        bands->setCurrentIndex(-1);
    }
    SelectBandCode(m_info.BandCode);

    // A code that the shown model does not offer, or that the table lacks,
    // leaves both band boxes without a selection: the window then stands for
    // no band, and a write keeps the radio's own.
    const int shown = Combo3()->currentIndex() >= 0 ? Combo1(1)->findText(Combo3()->currentText()) : -1;
    if (shown >= 0)
        Combo1(1)->setCurrentIndex(shown);
    else
        Combo3()->setCurrentIndex(-1);

    SetText1Text(0, m_info.AreaCode);
    SetText1Text(1, FieldText(m_info.SerialNumber));
    SetText1Text(2, FieldText(m_info.ProductionDate));
    SetText1Text(3, FieldText(m_info.MaintenanceDate));
    SetText1Text(4, FieldText(m_info.MaintenanceNote));
    SetText1Text(5, m_info.Version);
    SetText1Text(6, FieldText(m_info.ManufactureCode));
    SetText1Text(7, FieldText(m_info.UserCode));
    SetText1Text(8, FieldText(m_info.DealerCode));
    SetText1Text(9, FieldText(m_info.StockDate));
    SetText1Text(10, FieldText(m_info.SellDate));
    SetText1Text(11, FieldText(m_info.Seller));
    SetText1Text(12, FieldText(m_info.ProgramPassword));
}

void FrmMain::GetDataByShow()
{
    qint16 *flags[] = {&m_info.FiveTone, &m_info.TwoTone, &m_info.Dtmf,        &m_info.Kill,
                       &m_info.Scramble, &m_info.Faint,   &m_info.FactoryMode, &m_info.FreqSet};
    for (int n = 1; n <= 8; ++n)
        *flags[n - 1] = Check(n)->isChecked() ? 1 : 0;

    // Without a chosen band there is nothing to weigh against the radio's.
    const int chosen = Combo3()->currentIndex();
    if (chosen >= 0 && chosen != m_info.BandCode) {
        const qint16 language = m_languageId != 0 ? m_languageId : LanguageEnglish;
        const QString prompt = m_bandPromptText[language].isEmpty() ? BandPromptText(language)
                                                                     : m_bandPromptText[language];
        if (m_boxes.Show(prompt, MessageBoxes::Buttons::OkCancel, Icon::Exclamation))
            m_info.BandCode = qint16(chosen);
        else
            SelectBandCode(m_info.BandCode);
    }

    m_info.AreaCode = TrimTrailingBlanks(Text1Text(0));
    m_info.SerialNumber = TrimTrailingBlanks(Text1Text(1));
    m_info.ProductionDate = TrimTrailingBlanks(Text1Text(2));
    m_info.MaintenanceDate = TrimTrailingBlanks(Text1Text(3));
    m_info.MaintenanceNote = TrimTrailingBlanks(Text1Text(4));
    m_info.ManufactureCode = TrimTrailingBlanks(Text1Text(6));
    m_info.UserCode = TrimTrailingBlanks(Text1Text(7));
    m_info.DealerCode = TrimTrailingBlanks(Text1Text(8));
    m_info.StockDate = TrimTrailingBlanks(Text1Text(9));
    m_info.SellDate = TrimTrailingBlanks(Text1Text(10));
    m_info.Seller = TrimTrailingBlanks(Text1Text(11));
    m_info.ProgramPassword = TrimTrailingBlanks(Text1Text(12));
}

QString FrmMain::ModelBoxText() const
{
    return Combo1(0)->currentText();
}

void FrmMain::Combo1_Click(int index)
{
    if (index == 0) {
        QComboBox *bands = Combo1(1);
        {
            const QSignalBlocker quiet(bands);
            bands->clear();
            bands->addItems(ModelBandList(Combo1(0)->currentIndex()));
            bands->setCurrentIndex(bands->count() > 0 ? 0 : -1);
        }
        Combo1_Click(1);
    } else if (index == 1) {
        const QComboBox *bands = Combo1(1);
        Combo3()->setCurrentIndex(bands->currentIndex() >= 0 ? Combo3()->findText(bands->currentText()) : -1);
    }
}

void FrmMain::Text1_GotFocus(int index)
{
    if (index == MaintenanceDateField && Text1Text(index).isEmpty())
        SetText1Text(index, QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat));

    if (index == NoteField)
        m_ui->Text1_4->selectAll();
    else if (auto *field = qobject_cast<QLineEdit *>(Text1(index)))
        field->selectAll();
}

void FrmMain::Text1_KeyPress(int index, qint16 &key)
{
    if (index != SerialNumberField)
        return;
    if (key == KeyCopy || key == KeyPaste || key == KeyCut)
        key = 0;
    if (key == KeyEnter) {
        // A direct move rather than an injected Tab: it lands where Tab would.
        focusNextChild();
        key = 0;
        return;
    }
    if (key < 0 || key > 127)
        key = 0;
    if (key >= 32 && key <= 126) {
        const bool alphanumeric = (key >= '0' && key <= '9') || (key >= 'a' && key <= 'z') || (key >= 'A' && key <= 'Z');
        if (!alphanumeric)
            key = 0;
    }
}

int FrmMain::Text1Index(const QObject *field) const
{
    for (int i = 0; i < int(m_text1.size()); ++i) {
        if (m_text1[i] == field)
            return i;
    }
    return -1;
}

bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    const int index = Text1Index(watched);
    if (index < 0)
        return QWidget::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::FocusIn:
        // The field settles its own focus first, so the selection made here stays.
        watched->event(event);
        Text1_GotFocus(index);
        return true;
    case QEvent::KeyPress: {
        QList<qint16> codes;
        if (!TypedCharacters(*static_cast<QKeyEvent *>(event), codes))
            return false;
        for (qint16 code : codes) {
            Text1_KeyPress(index, code);
            if (code == 0) {
                event->accept();
                return true;
            }
        }
        return false;
    }
    case QEvent::InputMethod: {
        // Characters from an input method pass the same rules one by one.
        auto *input = static_cast<QInputMethodEvent *>(event);
        const QString commit = input->commitString();
        QString kept;
        for (const QChar ch : commit) {
            qint16 code = qint16(ch.unicode());
            Text1_KeyPress(index, code);
            if (code != 0)
                kept.append(ch);
        }
        if (kept != commit)
            input->setCommitString(kept, input->replacementStart(), input->replacementLength());
        return false;
    }
    default:
        return false;
    }
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    emit Unload();
    QWidget::closeEvent(event);
}

} // namespace kelvra
