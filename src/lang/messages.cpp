#include "lang/messages.h"

#include "lang/language.h"

namespace kelvra {

QString ProgramName()
{
    return QStringLiteral("KelvraSet");
}

QString ReadCompleteText()
{
    return QStringLiteral("Read Complete!");
}

QString WriteCompleteText()
{
    return QStringLiteral("Write Complete!");
}

QString ReadFailureText()
{
    return QStringLiteral("Read Failure!");
}

QString WriteFailureText()
{
    return QStringLiteral("Write Failure!");
}

QString CannotOpenPortText()
{
    return QStringLiteral("Cannot Open Communication Port.");
}

QString ModelErrorText(const QString &pcModel, const QString &radioModel)
{
    return QStringLiteral("Model Error\r\nPC is ") + pcModel + QStringLiteral("\r\nRadio is ") + radioModel;
}

QString UnknownSystemText()
{
    return QStringLiteral("未知操作系统");
}

QString BandPromptText(qint16 languageId)
{
    switch (languageId) {
    case LanguageEnglish:
        return QStringLiteral("Frequencys is different. Overwrite?");
    case LanguageChinese:
        return QStringLiteral("频段类型不同。是否覆盖？");
    default:
        return QString();
    }
}

} // namespace kelvra
