#include "cli/commandline.h"
#include "cli/commands.h"

#include "core/egofile/egofile.h"
#include "core/sheets/import.h"

#include <QCommandLineParser>

#include <cstdio>
#include <optional>

namespace korvalo {

namespace {

struct Common
{
    QString name;
    QString command;
    QCommandLineParser parser;
    QCommandLineOption sheet{QStringLiteral("sheet"), QStringLiteral("the workbook (xlsx, ods, csv, xls)"), QStringLiteral("FILE")};
    QCommandLineOption worksheet{QStringLiteral("worksheet"), QStringLiteral("worksheet number, from 1 (default 1)"),
                                 QStringLiteral("N"), QStringLiteral("1")};
    QCommandLineOption card{QStringLiteral("card"), QStringLiteral("network card number (default 1)"), QStringLiteral("N"),
                            QStringLiteral("1")};
    QCommandLineOption skip{QStringLiteral("skip"), QStringLiteral("rows at the top that are not data (default 1)"),
                            QStringLiteral("R"), QStringLiteral("1")};
    QCommandLineOption separator{QStringLiteral("decimal-separator"),
                                 QStringLiteral("decimal separator of numbers written as text (default .)"), QStringLiteral("C"),
                                 QStringLiteral(".")};

    Sheet table;
    CellRange region;
    QStringList headers;
    NetworkModel model;
    int cardNumber = 1;

    explicit Common(const QString &commandName)
        : name(commandName), command(QStringLiteral("korvalo-cli ") + commandName)
    {
        parser.addPositionalArgument(QStringLiteral("IN.ego"), QStringLiteral("the ego file to read"));
        parser.addPositionalArgument(QStringLiteral("OUT.ego"), QStringLiteral("where to write the result"));
        parser.addOptions({sheet, worksheet, card, skip, separator});
        parser.addHelpOption();
    }

    int fail(int status, const QString &text)
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(command), text.toLocal8Bit().constData());
        return status;
    }

    std::optional<int> integer(const QCommandLineOption &option, int min, int max, int *status)
    {
        bool ok = false;
        const int v = parser.value(option).toInt(&ok);
        if (!ok || v < min || v > max) {
            *status = fail(2, QStringLiteral("--%1: \"%2\" is not a number from %3 to %4")
                                  .arg(option.names().first(), parser.value(option))
                                  .arg(min)
                                  .arg(max));
            return std::nullopt;
        }
        return v;
    }

    // Parses the arguments, reads the ego file and the worksheet; 0 or the exit status.
    int prepare(const QStringList &args)
    {
        if (!parser.parse(QStringList{command} + args))
            return fail(2, parser.errorText());
        if (parser.isSet(QStringLiteral("help"))) {
            std::fputs(qPrintable(SubCommandHelp(parser, name)), stdout);
            return -1;
        }
        if (parser.positionalArguments().size() != 2)
            return fail(2, QStringLiteral("IN.ego OUT.ego: give the ego file to read and the one to write"));
        if (!parser.isSet(sheet))
            return fail(2, QStringLiteral("--sheet: name the workbook to import from"));
        if (parser.value(separator).size() != 1)
            return fail(2, QStringLiteral("--decimal-separator: give one character"));
        int status = 0;
        const auto sheetNumber = integer(worksheet, 1, MaxSheets, &status);
        const auto cardArg = integer(card, 1, MaxCards, &status);
        const auto skipArg = integer(skip, 0, 100, &status);
        if (!sheetNumber || !cardArg || !skipArg)
            return status;
        cardNumber = *cardArg;

        ReadOptions readOptions;
        readOptions.warnings = [](const QString &line) { std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData()); };
        Result<NetworkModel> read = ReadEgoFile(parser.positionalArguments()[0], readOptions);
        if (!read)
            return fail(1, read.message());
        model = std::move(read.value());
        if (cardNumber > model.CardCount())
            return fail(1, QStringLiteral("--card: the ego file holds %1 card(s), not %2").arg(model.CardCount()).arg(cardNumber));
        WorkbookResult book = ReadWorkbook(parser.value(sheet));
        if (!book.workbook)
            return fail(1, book.error);
        if (size_t(*sheetNumber) > book.workbook->sheets.size())
            return fail(1, QStringLiteral("--worksheet: the workbook holds %1 sheet(s), not %2")
                               .arg(book.workbook->sheets.size())
                               .arg(*sheetNumber));
        table = std::move(book.workbook->sheets[size_t(*sheetNumber - 1)]);
        region = table.currentRegion();
        headers = ColumnHeaders(table, region);
        return 0;
    }

    // A column by number (1 = the table's first) or by its header (letter case aside); 0
    // when the option is not given.
    std::optional<int> column(const QCommandLineOption &option, int *status)
    {
        if (!parser.isSet(option))
            return 0;
        const QString v = parser.value(option);
        bool ok = false;
        const int n = v.toInt(&ok);
        if (ok && n >= 1 && n <= int(headers.size()))
            return n;
        for (qsizetype i = 0; i < headers.size(); ++i) {
            if (headers[i].compare(v, Qt::CaseInsensitive) == 0)
                return int(i) + 1;
        }
        *status = fail(1, QStringLiteral("--%1: the table has no column \"%2\" (its columns: %3)")
                              .arg(option.names().first(), v, headers.join(QStringLiteral(", "))));
        return std::nullopt;
    }

    // Prints the messages; false when one of them refuses the import.
    static void print(const std::vector<ImportMessage> &messages)
    {
        for (const ImportMessage &m : messages)
            std::fprintf(stdout, "%s\n", m.text.toLocal8Bit().constData());
    }

    int write(const QStringList &summary)
    {
        for (const QString &line : summary)
            std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
        const Status saved = WriteEgoFile(model, parser.positionalArguments()[1]);
        if (!saved)
            return fail(1, saved.message());
        return 0;
    }
};

} // namespace

// import-nodes IN.ego OUT.ego --sheet FILE [...]: the alters of a table as new nodes.
int runImportNodes(const QStringList &args)
{
    Common c(QStringLiteral("import-nodes"));
    c.parser.setApplicationDescription(QStringLiteral(
        "Adds one node per data row of the table around A1 to a network card, as Card > Import Nodes\n"
        "does. A column is given by its number or its header. Rows that cannot be read are listed\n"
        "and nothing is imported."));
    auto columnOption = [&](const char *name, const char *what) {
        QCommandLineOption o(QString::fromLatin1(name), QString::fromLatin1(what), QStringLiteral("C"));
        c.parser.addOption(o);
        return o;
    };
    const auto id = columnOption("id", "column of the node IDs (default 1, 2, 3, ...)");
    const auto label = columnOption("label", "column of the labels (default Node 1, Node 2, ...)");
    const auto role = columnOption("role", "column of the roles");
    const auto sex = columnOption("sex", "column of the sexes (female, male)");
    const auto human = columnOption("human", "column telling humans from others (see --no-text)");
    const QCommandLineOption noText(QStringLiteral("no-text"), QStringLiteral("the text of a non-human in --human (default no)"),
                                    QStringLiteral("T"), QStringLiteral("no"));
    c.parser.addOption(noText);
    const auto distance = columnOption("distance", "column of the distances to the ego (default 0.5)");
    const QCommandLineOption circles(QStringLiteral("circles"),
                                     QStringLiteral("the distance column holds circle numbers of N circles"), QStringLiteral("N"));
    c.parser.addOption(circles);
    const auto groupSize = columnOption("group-size", "column of the group sizes (default 1)");
    const auto color = columnOption("color", "column of the colours 0-8 (default 1)");
    const auto symbol = columnOption("symbol", "column of the symbols (none, flash, triangle, box, diamond)");
    const auto nodeSize = columnOption("node-size", "column of the node sizes (normal, ...)");
    const auto memo1 = columnOption("memo1", "column of the first memo");
    const auto memo2 = columnOption("memo2", "column of the second memo");
    const auto lineValue = columnOption("line-value", "column of the values of lines from the ego (0 = none)");
    const auto lineColor = columnOption("line-color", "column of those lines' colours");

    if (const int status = c.prepare(args))
        return std::max(status, 0);
    int status = 0;
    NodeImportOptions o;
    o.rowsToIgnore = c.parser.value(c.skip).toInt();
    o.decimalSeparator = c.parser.value(c.separator).at(0);
    o.notHumanText = c.parser.value(noText);
    const std::pair<const QCommandLineOption *, int *> columns[] = {
        {&id, &o.id}, {&label, &o.label}, {&role, &o.role}, {&sex, &o.sex}, {&human, &o.human},
        {&distance, &o.distance}, {&groupSize, &o.groupSize}, {&color, &o.color}, {&symbol, &o.symbol},
        {&nodeSize, &o.nodeSize}, {&memo1, &o.memo1}, {&memo2, &o.memo2}, {&lineValue, &o.lineValue},
        {&lineColor, &o.lineColor}};
    for (const auto &[option, target] : columns) {
        const auto v = c.column(*option, &status);
        if (!v)
            return status;
        *target = *v;
    }
    if (c.parser.isSet(circles)) {
        const auto n = c.integer(circles, 1, 100, &status);
        if (!n)
            return status;
        o.circleMode = true;
        o.circles = *n;
    }
    const NodeImportResult result = ImportNodes(c.table, c.region, o, c.model.card(c.cardNumber));
    Common::print(result.messages);
    if (!ApplyNodeImport(c.model.card(c.cardNumber), result))
        return c.fail(1, QStringLiteral("nothing imported: the table cannot be read as listed above"));
    return c.write(result.summary());
}

// import-lines IN.ego OUT.ego --sheet FILE --node-a C --node-b C [...]: an edge list.
int runImportLines(const QStringList &args)
{
    Common c(QStringLiteral("import-lines"));
    c.parser.setApplicationDescription(QStringLiteral(
        "Adds a line for each data row of the table around A1 whose two ends name nodes of the card,\n"
        "as Card > Import Edges does. A column is given by its number or its header."));
    const QCommandLineOption nodeA(QStringLiteral("node-a"), QStringLiteral("column of the first ends (default 1)"),
                                   QStringLiteral("C"), QStringLiteral("1"));
    const QCommandLineOption nodeB(QStringLiteral("node-b"), QStringLiteral("column of the second ends (default 2)"),
                                   QStringLiteral("C"), QStringLiteral("2"));
    const QCommandLineOption by(QStringLiteral("by"), QStringLiteral("match the ends against node labels or IDs (default label)"),
                                QStringLiteral("label|id"), QStringLiteral("label"));
    const QCommandLineOption value(QStringLiteral("value"), QStringLiteral("column of the line values (default 1)"), QStringLiteral("C"));
    const QCommandLineOption color(QStringLiteral("line-color"), QStringLiteral("column of the line colours (default 0)"),
                                   QStringLiteral("C"));
    const QCommandLineOption ignoreEgo(QStringLiteral("ignore-ego-lines"), QStringLiteral("add no line that touches the ego"));
    c.parser.addOptions({nodeA, nodeB, by, value, color, ignoreEgo});
    if (const int status = c.prepare(args))
        return std::max(status, 0);
    if (c.parser.value(by) != u"label" && c.parser.value(by) != u"id")
        return c.fail(2, QStringLiteral("--by: \"%1\" is neither label nor id").arg(c.parser.value(by)));
    int status = 0;
    LineImportOptions o;
    o.rowsToIgnore = c.parser.value(c.skip).toInt();
    o.decimalSeparator = c.parser.value(c.separator).at(0);
    o.byId = c.parser.value(by) == u"id";
    o.ignoreEgo = c.parser.isSet(ignoreEgo);
    // --node-a and --node-b have defaults, which column() only sees when given.
    const std::pair<const QCommandLineOption *, int *> columns[] = {
        {&nodeA, &o.nodeA}, {&nodeB, &o.nodeB}, {&value, &o.value}, {&color, &o.color}};
    for (const auto &[option, target] : columns) {
        const auto v = c.column(*option, &status);
        if (!v)
            return status;
        if (*v > 0)
            *target = *v;
    }
    const LineImportResult result = ImportLines(c.table, c.region, o, c.model.card(c.cardNumber), c.model.ego);
    Common::print(result.messages);
    if (!ApplyLineImport(c.model.card(c.cardNumber), result))
        return c.fail(1, QStringLiteral("nothing imported: the table cannot be read as listed above"));
    return c.write(result.summary());
}

} // namespace korvalo
