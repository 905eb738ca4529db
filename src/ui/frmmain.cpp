#include "ui/frmmain.h"

#include "lang/captions.h"
#include "lang/language.h"
#include "lang/messages.h"
#include "record/catalogue.h"
#include "ui/noteedit.h"
#include "ui/statusline.h"
#include "ui_frmmain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

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

constexpr int DesignWidthTwips = 9315;
constexpr int DesignHeightTwips = 7875;

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

    // The designed form keeps its fixed size inside a scroll area, which
    // shows scroll bars only when a scaled screen is too small for it.
    m_content = new QWidget;
    m_ui->Frame1->setParent(m_content);
    m_ui->Frame1->show();
    m_content->setFixedSize(TwipsToPixels(DesignWidthTwips), TwipsToPixels(DesignHeightTwips));
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidget(m_content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scroll);
    setFixedSize(m_content->size());
    // Whatever moves the focus (Tab, Enter, a mnemonic), the field it reaches is brought into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && m_content->isAncestorOf(now))
            m_scroll->ensureWidgetVisible(now);
    });

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

    SetUpEntryRules();
    connect(m_ui->Combo1_0, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(0); });
    connect(m_ui->Combo1_1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(1); });
    connect(m_ui->Command4, &QPushButton::clicked, this, &FrmMain::HistoryRequested);
}

FrmMain::~FrmMain()
{
    SetBusy(false);
}

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

QPushButton *FrmMain::Command4() const
{
    return m_ui->Command4;
}

StatusLine *FrmMain::Label4() const
{
    return m_ui->Label4;
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

    NameForScreenReaders();
}

void FrmMain::NameForScreenReaders()
{
    // Each control gets its own name: left alone, Qt names a control in a
    // frame after the frame's caption, so the dealer frame would be
    // announced with the caption of the frame around it. Each label is its
    // field's buddy, which Qt gives as the labelled-by relation: that is how
    // a screen reader on Linux announces a list, whose own name there is its
    // current item (the name set here serves only while it has none).
    for (QLabel *label : findChildren<QLabel *>())
        label->setAccessibleName(SpokenCaption(label->text()));
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        button->setAccessibleName(SpokenCaption(button->text()));
    for (QGroupBox *frame : {Frame1(), Frame2()})
        frame->setAccessibleName(SpokenCaption(frame->title()));
    Label4()->NameForScreenReaders();

    const std::pair<QWidget *, QLabel *> fields[] = {
        {Text1(0), Label2()},     {Text1(1), Label1(2)},    {Text1(2), Label1(3)},   {Text1(3), Label1(4)},
        {Text1(4), Label1(5)},    {Text1(5), Label1(6)},    {Text1(6), Label1(7)},   {Text1(7), Label1(8)},
        {Text1(8), Label1(9)},    {Text1(9), Label1(10)},   {Text1(10), Label1(11)}, {Text1(11), Label1(12)},
        {Text1(12), Label1(13)},  {Combo1(0), Label1(0)},   {Combo1(1), Label1(1)},  {Combo2(), Label3()},
    };
    for (const auto &[field, label] : fields) {
        field->setAccessibleName(label->accessibleName());
        label->setBuddy(field);
    }
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

void FrmMain::PlaceOnScreen()
{
    if (const QScreen *where = screen())
        PlaceWithin(where->availableGeometry());
}

void FrmMain::PlaceWithin(const QRect &available)
{
    // Until the window is shown its frame is unknown; allow for a title bar.
    QMargins decoration = windowHandle() && isVisible() ? windowHandle()->frameMargins() : QMargins();
    if (decoration.isNull())
        decoration.setTop(style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this));
    const QSize room = available.size().shrunkBy(decoration);

    // A scroll bar takes room of its own, and may then call for the other one.
    const QSize design = m_content->size();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll->verticalScrollBar());
    QSize client = design;
    for (int pass = 0; pass < 2; ++pass) {
        client = design;
        if (client.height() > room.height())
            client.rwidth() += bar;
        if (client.width() > room.width())
            client.rheight() += bar;
    }
    setFixedSize(client.boundedTo(room));

    QRect outer(QPoint(), size().grownBy(decoration));
    outer.moveCenter(available.center());
    outer.moveTopLeft(QPoint(qMax(outer.left(), available.left()), qMax(outer.top(), available.top())));
    move(outer.topLeft());
}

void FrmMain::SetBusy(bool running)
{
    if (running == m_busy)
        return;
    m_busy = running;
    if (running)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
    if (!running)
        Label4()->Clear();
}

bool FrmMain::AskOperator(const QString &text, MessageBoxes::Buttons buttons, Icon icon, const QString &detail)
{
    const bool busy = m_busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    const bool ok = m_boxes.Show(text, buttons, icon, detail);
    if (busy)
        QGuiApplication::restoreOverrideCursor();
    return ok;
}

bool FrmMain::Ask(const QString &question)
{
    return AskOperator(question, MessageBoxes::Buttons::YesNo, Icon::Exclamation, QString());
}

void FrmMain::ShowMessage(const QString &text, Icon icon, const QString &detail)
{
    AskOperator(text, MessageBoxes::Buttons::Ok, icon, detail);
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    const QString question = m_closeQuestion ? m_closeQuestion() : QString();
    if (!question.isEmpty() && !AskOperator(question, MessageBoxes::Buttons::YesNo, Icon::Exclamation, QString())) {
        event->ignore();
        return;
    }
    SetBusy(false);
    emit Unload();
    QWidget::closeEvent(event);
}

} // namespace kelvra
