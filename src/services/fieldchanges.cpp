#include "services/fieldchanges.h"

#include "record/catalogue.h"
#include "record/imagecodec.h"
#include "record/imagetext.h"
#include "record/radioinfo.h"
#include "services/clitext.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace kelvra {

namespace {

template <typename Field>
constexpr int WidthOf(Field RadioInfo::*)
{
    return Field::width;
}

bool Refuse(QString *error, const QString &why)
{
    *error = why;
    return false;
}

} // namespace

const QList<FieldChanges::Name> &FieldChanges::Names()
{
    static const QList<Name> names{
        {"bandCode", "band"},        {"freqSet", "freq-set"},     {"password", "password"},
        {"dealerCode", "dealer-code"}, {"stockDate", "stock-date"}, {"sellDate", "sell-date"},
        {"seller", "seller"},
    };
    return names;
}

FieldChanges::FieldChanges(const QString &dateFormat, const QDate &today, const QLocale &locale)
    : m_dateFormat(dateFormat), m_today(today), m_locale(locale)
{
}

QString FieldChanges::DateFormatProblem(const QString &format)
{
    constexpr int width = WidthOf(&RadioInfo::StockDate);
    static_assert(width == WidthOf(&RadioInfo::SellDate), "both dates are checked against one width");
    if (format.trimmed().isEmpty())
        return Cli::tr("The date format is empty.");
    // A leap year holds every month and weekday name, and every day number.
    for (QDate date(2028, 1, 1); date.year() == 2028; date = date.addDays(1)) {
        const QString text = date.toString(format);
        if (TextProblem(format, TrimTrailingBlanks(text), width).isEmpty())
            continue;
        return Cli::tr("The date format %1 writes %2 as \"%3\", which the radio's date fields (%4 bytes) cannot "
                       "hold.")
            .arg(format, date.toString(Qt::ISODate), text)
            .arg(width);
    }
    // A two-digit year reads back in another century: the digits are what counts.
    for (const QDate &date : {QDate(2026, 12, 9), QDate(2031, 1, 28), QDate(2009, 10, 5)}) {
        const QString text = date.toString(format);
        const QDate read = QDate::fromString(text, format);
        if (!read.isValid() || read.day() != date.day() || read.month() != date.month()
            || read.year() % 100 != date.year() % 100)
            return Cli::tr("%1 is no date format: it writes %2 as \"%3\", which does not read back as that date. "
                           "Name the day, the month and the year, for example yyyy-MM-dd.")
                .arg(format, date.toString(Qt::ISODate), text);
    }
    return QString();
}

QString FieldChanges::DateText(const QDate &date) const
{
    return m_dateFormat.isEmpty() ? m_locale.toString(date, QLocale::ShortFormat) : date.toString(m_dateFormat);
}

bool FieldChanges::Set(const QString &key, const QString &value, QString *error, Naming naming)
{
    const auto it = std::find_if(Names().begin(), Names().end(),
                                 [&key](const Name &name) { return key == QLatin1String(name.key); });
    if (it == Names().end())
        return Refuse(error, Cli::tr("%1 is not a field a write sends.").arg(key));
    const QString option = naming == Naming::Key ? key : QStringLiteral("--") + QLatin1String(it->option);
    if (key == QLatin1String("bandCode")) {
        bool ok = false;
        const int code = value.trimmed().toInt(&ok);
        if (!ok || BandTextOfCode(code).isEmpty())
            return Refuse(error, Cli::tr("%1 takes a band code from 0 to 19, not \"%2\".").arg(option, value));
        m_band = code;
        return true;
    }
    if (key == QLatin1String("freqSet")) {
        const QString word = value.trimmed().toLower();
        if (word == QLatin1String("on") || word == QLatin1String("true") || word == QLatin1String("1"))
            m_freqSet = true;
        else if (word == QLatin1String("off") || word == QLatin1String("false") || word == QLatin1String("0"))
            m_freqSet = false;
        else
            return Refuse(error, Cli::tr("%1 takes on or off, not \"%2\".").arg(option, value));
        return true;
    }
    if (key == QLatin1String("password"))
        return SetText(m_password, option, value, WidthOf(&RadioInfo::ProgramPassword), error);
    if (key == QLatin1String("dealerCode"))
        return SetText(m_dealerCode, option, value, WidthOf(&RadioInfo::DealerCode), error);
    if (key == QLatin1String("stockDate"))
        return SetDate(m_stockDate, option, value, error);
    if (key == QLatin1String("sellDate"))
        return SetDate(m_sellDate, option, value, error);
    return SetText(m_seller, option, value, WidthOf(&RadioInfo::Seller), error);
}

bool FieldChanges::SetText(std::optional<QString> &field, const QString &option, const QString &value, int maxBytes,
                           QString *error)
{
    // The window drops trailing blanks too; leading ones are the dealer's.
    const QString text = TrimTrailingBlanks(value);
    *error = TextProblem(option, text, maxBytes);
    if (!error->isEmpty())
        return false;
    field = text;
    return true;
}

QString FieldChanges::TextProblem(const QString &option, const QString &text, int maxBytes)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7F)
            return Cli::tr("%1 holds a control character, which the radio's one-line field cannot show.").arg(option);
    }
    if (!ImageTextEncodable(text))
        return Cli::tr("%1: \"%2\" holds characters that the radio's character set (GBK) cannot hold.")
            .arg(option, text);
    const int bytes = ImageTextBytes(text);
    if (bytes > maxBytes)
        return Cli::tr("%1: \"%2\" takes %3 bytes in the radio, and the field holds %4 (a Chinese "
                       "character takes two). Nothing was cut; shorten it.")
            .arg(option, text)
            .arg(bytes)
            .arg(maxBytes);
    return QString();
}

bool FieldChanges::SetDate(std::optional<QString> &field, const QString &option, const QString &value,
                           QString *error)
{
    // Exactly as given: a date with blanks around it is a typing slip, not a date.
    if (value.isEmpty()) {
        field = QString();
        return true;
    }
    const QDate date = DateOf(value);
    if (!date.isValid())
        return Refuse(error, Cli::tr("%1 takes today, a date written exactly as %2 or %3, or an empty text; \"%4\" "
                                     "is no date.")
                                 .arg(option, m_today.toString(Qt::ISODate), DateText(m_today), value));
    return SetText(field, option, DateText(date), WidthOf(&RadioInfo::StockDate), error);
}

QDate FieldChanges::DateOf(const QString &text) const
{
    if (text == QLatin1String("today"))
        return m_today;
    // Qt's ISO reading takes any separator and ignores what follows the day.
    static const QRegularExpression iso(QStringLiteral("^[0-9]{4}-[0-9]{2}-[0-9]{2}$"));
    if (iso.match(text).hasMatch())
        return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    // A reading of the written form counts only when it gives back the same text.
    const QDate date = m_dateFormat.isEmpty() ? m_locale.toDate(text, QLocale::ShortFormat)
                                              : QDate::fromString(text, m_dateFormat);
    return date.isValid() && DateText(date) == text ? date : QDate();
}

bool FieldChanges::Any() const
{
    return !Named().isEmpty();
}

QStringList FieldChanges::Named() const
{
    QStringList named;
    const bool set[] = {bool(m_band),       bool(m_freqSet),  bool(m_password), bool(m_dealerCode),
                        bool(m_stockDate),  bool(m_sellDate), bool(m_seller)};
    for (int i = 0; i < Names().size(); ++i) {
        if (set[i])
            named << QLatin1String(Names().at(i).key);
    }
    return named;
}

void FieldChanges::ApplyTo(RadioInfo &info) const
{
    if (m_band)
        info.BandCode = qint16(*m_band);
    if (m_freqSet)
        info.FreqSet = *m_freqSet ? 1 : 0;
    if (m_password)
        info.ProgramPassword = *m_password;
    if (m_dealerCode)
        info.DealerCode = *m_dealerCode;
    if (m_stockDate)
        info.StockDate = *m_stockDate;
    if (m_sellDate)
        info.SellDate = *m_sellDate;
    if (m_seller)
        info.Seller = *m_seller;
}

} // namespace kelvra
