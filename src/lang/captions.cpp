#include "lang/captions.h"

#include "lang/language.h"

namespace kelvra {

// Spelled exactly as the radios' users know them, misspellings included.
// The Chinese button captions use ASCII parentheses, the port label an ASCII colon.
const std::array<CaptionRow, CaptionCount> &CaptionTable()
{
    static const std::array<CaptionRow, CaptionCount> table = {{
        // control      English                      Chinese
        {"Command1",    u"&Read",                    u"读出(&R)"},
        {"Command2",    u"&Write",                   u"写入(&W)"},
        {"Command3",    u"E&xit",                    u"退出(&X)"},
        {"Command4",    u"&History...",              u"历史记录(&H)"},
        {"Check5",      u"Scramber",                 u"扰频"},
        {"Label2",      u"Area Code",                u"销售区号"},
        {"Label3",      u"Com Port:",                u"串口选择:"},
        {"Label1_0",    u"Radio Type",               u"机型"},
        {"Label1_1",    u"Frequency",                u"频段"},
        {"Label1_2",    u"Serial Number",            u"序列号"},
        {"Label1_3",    u"Producted Date",           u"出厂日期"},
        {"Label1_4",    u"Maintained Date",          u"维修日期"},
        {"Label1_5",    u"Maintained Description",   u"维修原因"},
        {"Label1_6",    u"Version",                  u"固件版本"},
        {"Label1_7",    u"Manufacture Code",         u"生产批号"},
        {"Label1_8",    u"User Code",                u"客户代码"},
        {"Label1_9",    u"Dealer Code",              u"经销商代码"},
        {"Label1_10",   u"Stock Date",               u"入库时间"},
        {"Label1_11",   u"Sell Date",                u"销售时间"},
        {"Label1_12",   u"Seller",                   u"经手人"},
        {"Label1_13",   u"Program PassWord",         u"编程密码"},
        {"Frame1",      u"Radio Setting",            u"机器设置"},
        {"Frame2",      u"Dealer Information",       u"经销商信息"},
        {"Check4",      u"Kill",                     u"遥毙"},
        {"Check6",      u"Faint",                    u"遥晕"},
        {"Check7",      u"Factory",                  u"工厂模式"},
        {"Check8",      u"Freq. Set",                u"频段设置"},
    }};
    return table;
}

const CaptionRow *FindCaption(const char *control)
{
    for (const CaptionRow &row : CaptionTable()) {
        if (qstrcmp(row.control, control) == 0)
            return &row;
    }
    return nullptr;
}

QString CaptionText(const CaptionRow &row, qint16 languageId)
{
    return QString::fromUtf16(languageId == LanguageChinese ? row.chinese : row.english);
}

QString SpokenCaption(QString caption)
{
    // "读出(&R)": the marker and the letter it adds are not part of the name.
    const qsizetype marker = caption.size() - 4;
    if (marker >= 0 && caption.endsWith(QLatin1Char(')')) && caption.mid(marker, 2) == QLatin1String("(&"))
        caption.truncate(marker);
    caption.remove(QLatin1Char('&'));
    while (caption.endsWith(QLatin1Char(':')) || caption.endsWith(QChar(0xFF1A)))
        caption.chop(1);
    return caption.trimmed();
}

} // namespace kelvra
