#pragma once

#include <QCommandLineParser>
#include <QStringList>

namespace korvalo {

// The help of a sub-command whose parser is `parser`: "Usage: korvalo-cli NAME SYNTAX",
// then what Qt writes after its own usage line (the description, the arguments and
// options). Without a syntax the one of the overview (CliCommands) is used.
QString SubCommandHelp(const QCommandLineParser &parser, const QString &name, const QString &syntax = {});

// The parser of one sub-command: "--help" prints its usage; errors start with the
// command's name and name the argument at fault. Exit statuses: 0 done, 1 an input was
// refused, 2 a usage error.
class SubCommand
{
public:
    // `syntax` is the line after "korvalo-cli NAME", `description` what it does.
    SubCommand(const QString &name, const QString &syntax, const QString &description);

    QCommandLineParser &parser() { return m_parser; }

    // Parses `args` (the words after the command's name). Returns -1 when the command
    // should run, otherwise the exit status: 0 after --help, 2 for an unknown option, a
    // missing value, or fewer than `minimum` or more than `maximum` (-1: any number)
    // positional arguments; `names` names them, for the message.
    int parse(const QStringList &args, const QStringList &names, int minimum, int maximum);
    QStringList positional() const { return m_parser.positionalArguments(); }

    // "korvalo-cli NAME: message" on standard error; returns 2 (usage) or 1 (refused).
    int usageError(const QString &message) const;
    int failure(const QString &message) const;

private:
    QString m_name;
    QString m_syntax;
    QCommandLineParser m_parser;
};

} // namespace korvalo
