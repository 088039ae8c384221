#include "cli/commandline.h"

#include "cli/commands.h"

#include <cstdio>

namespace korvalo {

QString SubCommandHelp(const QCommandLineParser &parser, const QString &name, const QString &syntax)
{
    QString usage = syntax;
    if (usage.isEmpty()) {
        for (const CliCommand &command : CliCommands) {
            if (name == QLatin1StringView(command.name))
                usage = QString::fromLatin1(command.synopsis).replace(u'\n', u' ');
        }
    }
    // Qt names the program and lists [options]; the syntax line says it better.
    const QString help = parser.helpText();
    return QStringLiteral("Usage: korvalo-cli %1 %2").arg(name, usage) + help.mid(help.indexOf(u'\n'));
}

SubCommand::SubCommand(const QString &name, const QString &syntax, const QString &description)
    : m_name(name), m_syntax(syntax)
{
    m_parser.setApplicationDescription(description);
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addHelpOption();
}

int SubCommand::parse(const QStringList &args, const QStringList &names, int minimum, int maximum)
{
    QStringList words = args;
    words.prepend(QStringLiteral("korvalo-cli ") + m_name);
    if (!m_parser.parse(words))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(SubCommandHelp(m_parser, m_name, m_syntax)), stdout);
        return 0;
    }
    const QStringList given = m_parser.positionalArguments();
    if (given.size() < minimum)
        return usageError(QStringLiteral("%1 is missing").arg(names.value(int(given.size()), names.last())));
    if (maximum >= 0 && given.size() > maximum)
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(given.at(maximum)));
    return -1;
}

int SubCommand::usageError(const QString &message) const
{
    std::fprintf(stderr, "korvalo-cli %s: %s (korvalo-cli %s --help tells more)\n", qPrintable(m_name),
                 qPrintable(message), qPrintable(m_name));
    return 2;
}

int SubCommand::failure(const QString &message) const
{
    std::fprintf(stderr, "korvalo-cli %s: %s\n", qPrintable(m_name), qPrintable(message));
    return 1;
}

} // namespace korvalo
