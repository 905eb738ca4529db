#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace kelvra {

// One command's options, its --help and its usage mistakes.
class CommandParser
{
public:
    // usage: "read --port PORT [--json]"; about: what the command does.
    CommandParser(const QString &usage, const QString &about);

    QCommandLineParser &Options() { return m_parser; }
    void Add(const QString &name, const QString &description, const QString &valueName = QString());
    // --port, --json and --trace, which every command that talks to a radio takes.
    void AddPortOptions();
    // Appended to --help after the options.
    void AddNotes(const QString &notes) { m_notes += notes; }

    // False when the command is to end now with *exitCode: --help (0, on
    // standard output) or a mistake (2, on standard error).
    bool Parse(const QStringList &arguments, int *exitCode);
    bool IsSet(const QString &name) const { return m_parser.isSet(name); }
    QString Value(const QString &name) const { return m_parser.value(name); }
    // Refuses a missing --port with code 2.
    bool RequirePort(int *exitCode) const;
    // Starts the support trace --trace names, before any link is built;
    // refuses a file it cannot take with code 2.
    bool StartTrace(int *exitCode) const;

    static int Refuse(const QString &why);

private:
    QString HelpText() const;

    QCommandLineParser m_parser;
    QStringList m_arguments;
    QString m_usage;
    QString m_about;
    QString m_notes;
};

} // namespace kelvra
