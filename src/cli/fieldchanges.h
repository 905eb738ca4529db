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

    // Dates may be "today"; both they and ISO dates (2026-12-05) become the
    // interface's short date, as the window writes the date of today.
    explicit FieldChanges(const QDate &today = QDate::currentDate(), const QLocale &locale = QLocale::system());

    // False, with a sentence for the person, when the value cannot go into
    // the radio as it stands or the key names no field a write sends.
    bool Set(const QString &key, const QString &value, QString *error);

    bool Any() const;
    std::optional<int> BandCode() const { return m_band; }
    // The fields named, by key.
    QStringList Named() const;
    // Onto the record decoded from the radio's own bytes.
    void ApplyTo(RadioInfo &info) const;

private:
    bool SetText(std::optional<QString> &field, const QString &option, const QString &value, int maxBytes,
                 QString *error);
    bool SetDate(std::optional<QString> &field, const QString &option, const QString &value, QString *error);

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
