#include "lang/translations.h"

#include "lang/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace kelvra {

namespace {

// The interface has one other language than English, whatever the locale's
// script or variant says: the captions' simplified Chinese.
const QLocale InterfaceChinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);

std::unique_ptr<QTranslator> Installed(const QString &name, const QString &dir)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(InterfaceChinese, name, QStringLiteral("_"), dir)
        || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

} // namespace

QString InterfaceTranslations::QtTranslationsDir()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

InterfaceTranslations::InterfaceTranslations(const QLocale &locale, const QString &qtDir)
{
    if (LanguageIdForLocale(locale) != LanguageChinese)
        return;
    m_own = Installed(QStringLiteral("kelvraset"), QStringLiteral(":/i18n"));
    m_qt = Installed(QStringLiteral("qtbase"), qtDir.isEmpty() ? QtTranslationsDir() : qtDir);
}

// A translator removes itself from the application when it goes.
InterfaceTranslations::~InterfaceTranslations() = default;

} // namespace kelvra
