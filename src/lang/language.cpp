#include "lang/language.h"

namespace kelvra {

namespace {

constexpr quint32 ChinesePrc = 0x0804;
constexpr quint32 Invariant = 0x007F;
constexpr quint32 CustomUnspecified = 0x1000;

// A Windows locale identifier is the primary language in bits 0-9 and the
// sublanguage (country variant) in bits 10-15.
constexpr quint32 MakeLocaleId(quint32 primary, quint32 sub)
{
    return (sub << 10) | primary;
}

struct PrimaryLanguage
{
    QLocale::Language language;
    quint32 primary;
};

const PrimaryLanguage Primaries[] = {
    {QLocale::Chinese, 0x04},  {QLocale::German, 0x07},     {QLocale::English, 0x09},
    {QLocale::Spanish, 0x0A},  {QLocale::French, 0x0C},     {QLocale::Italian, 0x10},
    {QLocale::Japanese, 0x11}, {QLocale::Korean, 0x12},     {QLocale::Dutch, 0x13},
    {QLocale::Polish, 0x15},   {QLocale::Portuguese, 0x16}, {QLocale::Russian, 0x19},
    {QLocale::Thai, 0x1E},     {QLocale::Vietnamese, 0x2A},
};

struct Variant
{
    QLocale::Language language;
    QLocale::Territory territory;
    quint32 sub;
};

// Countries whose sublanguage is not the language's default (1).
const Variant Variants[] = {
    {QLocale::Chinese, QLocale::Taiwan, 1},
    {QLocale::Chinese, QLocale::China, 2},
    {QLocale::Chinese, QLocale::HongKong, 3},
    {QLocale::Chinese, QLocale::Singapore, 4},
    {QLocale::Chinese, QLocale::Macao, 5},
    {QLocale::English, QLocale::UnitedKingdom, 2},
    {QLocale::English, QLocale::Australia, 3},
    {QLocale::English, QLocale::Canada, 4},
    {QLocale::English, QLocale::NewZealand, 5},
    {QLocale::English, QLocale::Ireland, 6},
    {QLocale::English, QLocale::SouthAfrica, 7},
    {QLocale::English, QLocale::Singapore, 18},
    {QLocale::German, QLocale::Switzerland, 2},
    {QLocale::German, QLocale::Austria, 3},
    {QLocale::French, QLocale::Belgium, 2},
    {QLocale::French, QLocale::Canada, 3},
    {QLocale::French, QLocale::Switzerland, 4},
    {QLocale::Spanish, QLocale::Mexico, 2},
    {QLocale::Spanish, QLocale::Spain, 3},
    {QLocale::Portuguese, QLocale::Portugal, 2},
};

} // namespace

quint32 WindowsLocaleId(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return Invariant;
    for (const Variant &v : Variants) {
        if (v.language == locale.language() && v.territory == locale.territory()) {
            for (const PrimaryLanguage &p : Primaries) {
                if (p.language == v.language)
                    return MakeLocaleId(p.primary, v.sub);
            }
        }
    }
    for (const PrimaryLanguage &p : Primaries) {
        if (p.language != locale.language())
            continue;
        // Chinese has no default country: without one of its listed countries
        // only the neutral identifier is left, which is not the PRC.
        if (p.language == QLocale::Chinese)
            return MakeLocaleId(p.primary, 0);
        return MakeLocaleId(p.primary, 1);
    }
    return CustomUnspecified;
}

qint16 LanguageIdForLocale(const QLocale &locale)
{
    return WindowsLocaleId(locale) == ChinesePrc ? LanguageChinese : LanguageEnglish;
}

} // namespace kelvra
