#pragma once

#include <QLocale>
#include <QString>

#include <memory>

class QTranslator;

namespace kelvra {

// The Chinese interface speaks Chinese throughout: the program's own texts
// beyond its captions (failure reasons, tooltips), embedded in the
// executable, and Qt's own (the standard buttons of message boxes), from
// Qt's translations folder. The English interface loads nothing.
class InterfaceTranslations
{
public:
    static QString QtTranslationsDir();

    // Installs into the running application what the locale's interface
    // needs; a missing file of Qt's leaves its texts English and is harmless.
    // qtDir: where Qt's own translations are; Qt's folder when empty.
    explicit InterfaceTranslations(const QLocale &locale, const QString &qtDir = QString());
    ~InterfaceTranslations();

    bool OwnLoaded() const { return m_own != nullptr; }
    bool QtLoaded() const { return m_qt != nullptr; }

private:
    std::unique_ptr<QTranslator> m_own;
    std::unique_ptr<QTranslator> m_qt;
};

} // namespace kelvra
