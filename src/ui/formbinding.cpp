// The window's fields and the radio record, both ways, and the band boxes
// that stand for the record's band code.
#include "ui/frmmain.h"

#include "lang/language.h"
#include "lang/messages.h"
#include "record/catalogue.h"
#include "record/imagecodec.h"
#include "ui/listlookup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>

namespace kelvra {

QString FrmMain::MatchListItem(const QComboBox *list, const QString &text)
{
    return kelvra::MatchListItem(list, text);
}

void FrmMain::SelectBandCode(int code)
{
    Combo3()->setCurrentIndex(code >= 0 && code < Combo3()->count() ? code : -1);
}

void FrmMain::ShowBandCode(int code)
{
    SelectBandCode(code);
    // A code that the shown model does not offer, or that the table lacks,
    // leaves both band boxes without a selection: the window then stands for
    // no band, and a write keeps the radio's own.
    const int shown = Combo3()->currentIndex() >= 0 ? Combo1(1)->findText(Combo3()->currentText()) : -1;
    if (shown >= 0) {
        Combo1(1)->setCurrentIndex(shown);
    } else {
        const QSignalBlocker quiet(Combo1(1));
        Combo1(1)->setCurrentIndex(-1);
        Combo3()->setCurrentIndex(-1);
    }
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
    ShowBandCode(m_info.BandCode);

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

void FrmMain::TakeFlags(RadioInfo &info) const
{
    qint16 *flags[] = {&info.FiveTone, &info.TwoTone, &info.Dtmf,        &info.Kill,
                       &info.Scramble, &info.Faint,   &info.FactoryMode, &info.FreqSet};
    for (int n = 1; n <= 8; ++n)
        *flags[n - 1] = Check(n)->isChecked() ? 1 : 0;
}

void FrmMain::TakeTexts(RadioInfo &info) const
{
    info.AreaCode = TrimTrailingBlanks(Text1Text(0));
    info.SerialNumber = TrimTrailingBlanks(Text1Text(1));
    info.ProductionDate = TrimTrailingBlanks(Text1Text(2));
    info.MaintenanceDate = TrimTrailingBlanks(Text1Text(3));
    info.MaintenanceNote = TrimTrailingBlanks(Text1Text(4));
    info.ManufactureCode = TrimTrailingBlanks(Text1Text(6));
    info.UserCode = TrimTrailingBlanks(Text1Text(7));
    info.DealerCode = TrimTrailingBlanks(Text1Text(8));
    info.StockDate = TrimTrailingBlanks(Text1Text(9));
    info.SellDate = TrimTrailingBlanks(Text1Text(10));
    info.Seller = TrimTrailingBlanks(Text1Text(11));
    info.ProgramPassword = TrimTrailingBlanks(Text1Text(12));
}

RadioInfo FrmMain::WithFormValues(RadioInfo radio) const
{
    TakeFlags(radio);
    if (Combo3()->currentIndex() >= 0)
        radio.BandCode = qint16(Combo3()->currentIndex());
    TakeTexts(radio);
    return radio;
}

void FrmMain::GetDataByShow()
{
    TakeFlags(m_info);

    // Without a chosen band there is nothing to weigh against the radio's.
    const int chosen = Combo3()->currentIndex();
    if (chosen >= 0 && chosen != m_info.BandCode) {
        const qint16 language = m_languageId != 0 ? m_languageId : LanguageEnglish;
        const QString prompt = m_bandPromptText[language].isEmpty() ? BandPromptText(language)
                                                                     : m_bandPromptText[language];
        if (AskOperator(prompt, MessageBoxes::Buttons::OkCancel, Icon::Exclamation, QString()))
            m_info.BandCode = qint16(chosen);
        else // the radio keeps its band, and the window says so, so that the next write asks again
            ShowBandCode(m_info.BandCode);
    }

    TakeTexts(m_info);
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

} // namespace kelvra
