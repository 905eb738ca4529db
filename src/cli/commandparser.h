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
    // name may be given more than once (the station's --port); Values has them all.
    void AllowRepeated(const QString &name) { m_repeatable << name; }
    QStringList Values(const QString &name) const { return m_parser.values(name); }
    // Appended to --help after the options.
    void AddNotes(const QString &notes) { m_notes += notes; }

    // False when the command is to end now with *exitCode: --help (0, on
    // standard output) or a mistake (2, as Refuse says it). An option given
    // twice is a mistake: which of two sellers was meant, nobody can tell.
    bool Parse(const QStringList &arguments, int *exitCode);
    bool IsSet(const QString &name) const { return m_parser.isSet(name); }
    QString Value(const QString &name) const { return m_parser.value(name); }
    // Refuses a missing --port with code 2.
    bool RequirePort(int *exitCode) const;
    // Starts the support trace --trace names, before any link is built;
    // refuses a file it cannot take with code 2.
    bool StartTrace(int *exitCode) const;

    // Returns code 2 after saying why on standard error and, when --json was
    // asked for, as one JSON object on standard output: {"result": "usage", "message": why}.
    int Refuse(const QString &why) const { return RefuseUsage(why, m_json); }
    static int RefuseUsage(const QString &why, bool json);
    // Whether the arguments ask for --json, read as the parser would when it cannot parse them.
    static bool AsksForJson(const QStringList &arguments);

private:
    QString HelpText() const;

    QCommandLineParser m_parser;
    QStringList m_arguments;
    QString m_usage;
    QString m_about;
    QString m_notes;
    QStringList m_repeatable;
    bool m_json = false;
};

// The exit codes, for --help and the README, in the interface's language.
QString ExitCodeTable();

} // namespace kelvra
