#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace kelvra {

struct RadioInfo;

// What a write is asked to change, each field by the name the command line,
// the job file and JSON output share ("dealerCode", "bandCode" ...). A field
// not named keeps the radio's value. Values are checked as they are set, by
// the same byte limit the window's fields have, so that nothing that would
// be cut or garbled in the radio ever reaches the link.
class FieldChanges
{
public:
    // The names Set takes, in byte-map order, with the option that names each.
    struct Name {
        const char *key;    // "dealerCode"
        const char *option; // "dealer-code"
    };
    static const QList<Name> &Names();

    // Dates are "today", exactly YYYY-MM-DD, or exactly as they are written
    // into the radio: in dateFormat (Qt's date format, month and day names in
    // English), the same bytes whatever the locale; without one as the host's
    // short date, as the window writes the date of today. Nothing else
    // passes: "2026-02-28x" is no date, not 28 February.
    explicit FieldChanges(const QString &dateFormat = QString(), const QDate &today = QDate::currentDate(),
                          const QLocale &locale = QLocale::system());

    // Why format cannot say how a radio's dates are written: a date in it does
    // not read back as that date, or some date of the year takes more bytes
    // than the date fields hold. Empty when it can.
    static QString DateFormatProblem(const QString &format);
    // A date as a write puts it into the radio.
    QString DateText(const QDate &date) const;

    // How a refusal names the field: by its option (--band), or by its key
    // (bandCode) for a value from a job file.
    enum class Naming { Option, Key };

    // False, with a sentence for the person, when the value cannot go into
    // the radio as it stands or the key names no field a write sends.
    bool Set(const QString &key, const QString &value, QString *error, Naming naming = Naming::Option);

    bool Any() const;
    std::optional<int> BandCode() const { return m_band; }
    // The fields named, by key.
    QStringList Named() const;
    // Onto the record decoded from the radio's own bytes.
    void ApplyTo(RadioInfo &info) const;

private:
    bool SetText(std::optional<QString> &field, const QString &option, const QString &value, int maxBytes,
                 QString *error);
    // Why text cannot go into a field of maxBytes as it stands; empty when it can.
    static QString TextProblem(const QString &option, const QString &text, int maxBytes);
    bool SetDate(std::optional<QString> &field, const QString &option, const QString &value, QString *error);
    QDate DateOf(const QString &text) const;

    QString m_dateFormat; // empty: the host's short date
    QDate m_today;
    QLocale m_locale;
    std::optional<QString> m_dealerCode;
    std::optional<QString> m_stockDate;
    std::optional<QString> m_sellDate;
    std::optional<QString> m_seller;
    std::optional<QString> m_password;
    std::optional<int> m_band;
    std::optional<bool> m_freqSet;
};

} // namespace kelvra
