#include "cli/commands.h"

#include "cli/commandline.h"
#include "core/egofile/egofile.h"
#include "core/map/transforms.h"

#include <QFileInfo>

#include <optional>

#include <cstdio>
#include <functional>
#include <vector>

namespace korvalo {

namespace {

using Step = std::function<void(NetworkCard &)>;

// One operation of the command line, "name" or "name=value", as the Transform menu item
// it stands for; nothing, and `error` says why, when it is not one.
std::optional<Step> parseStep(const QString &op, QString &error)
{
    const qsizetype eq = op.indexOf(u'=');
    const QString name = op.left(eq);
    const QString value = eq < 0 ? QString() : op.mid(eq + 1);
    const bool hasValue = eq >= 0;

    using Plain = int (*)(NetworkCard &);
    const std::pair<const char16_t *, Plain> plain[] = {
        {u"outmost", ProjectOutmostNode},  {u"mean-to-middle", MeanToMiddle},
        {u"zoom-in", ZoomIn},              {u"zoom-out", ZoomOut},
        {u"mean-multiple-id", MeanDistanceForMultipleID},
    };
    for (const auto &[known, transform] : plain) {
        if (name != QStringView(known))
            continue;
        if (hasValue) {
            error = QStringLiteral("\"%1\" takes no value, not \"%2\"").arg(name, op);
            return std::nullopt;
        }
        const Plain run = transform; // a structured binding is not captured by every compiler
        return Step([run](NetworkCard &c) { run(c); });
    }
    if (name == u"rotate") {
        const std::optional<float> degrees = ParseTypedNumber(value, u'.');
        if (!hasValue || !degrees || *degrees < -360.0f || *degrees > 360.0f) {
            error = QStringLiteral("rotate needs degrees between -360 and 360 (rotate=90, rotate=-1), not \"%1\"").arg(op);
            return std::nullopt;
        }
        return Step([d = double(*degrees)](NetworkCard &c) { RotateCard(c, d); });
    }
    if (name == u"max-distance") {
        const std::optional<float> max = ParseTypedNumber(value, u'.');
        if (!hasValue || !max || *max < 0.0f) {
            error = QStringLiteral("max-distance needs a number not below 0 (max-distance=0.8), not \"%1\"").arg(op);
            return std::nullopt;
        }
        return Step([m = *max](NetworkCard &c) { ClampDistances(c, m); });
    }
    if (name == u"recolor") {
        const QStringList colors = value.split(u':');
        bool okFrom = false, okTo = false;
        const int from = colors.size() == 2 ? colors[0].toInt(&okFrom) : 0;
        const int to = colors.size() == 2 ? colors[1].toInt(&okTo) : 0;
        if (!okFrom || !okTo || from < 1 || from > PaletteSize || to < 1 || to > PaletteSize) {
            error = QStringLiteral("recolor needs two palette colours 1..8 as FROM:TO (recolor=2:3), not \"%1\"").arg(op);
            return std::nullopt;
        }
        return Step([from, to](NetworkCard &c) { RecolorNodes(c, from, to); });
    }
    error = QStringLiteral("unknown operation \"%1\"; known are rotate=DEGREES, outmost, "
                           "mean-to-middle, zoom-in, zoom-out, max-distance=D, "
                           "mean-multiple-id, recolor=FROM:TO")
                .arg(op);
    return std::nullopt;
}

} // namespace

// transform IN.ego OUT.ego [--card N|all] [--decimal-separator C] OP...: the Transform
// menu's commands on one card or all of them, in the order given.
int runTransform(const QStringList &args)
{
    SubCommand command(QStringLiteral("transform"),
                       QStringLiteral("IN.ego OUT.ego [--card N|all] [--decimal-separator C] OP..."),
                       QStringLiteral("Applies Transform menu commands to network cards, in the order "
                                      "given, and writes the ego to OUT.ego as File > Save does."));
    QCommandLineParser &parser = command.parser();
    const QCommandLineOption cardOption(QStringLiteral("card"),
                                        QStringLiteral("The card to change (default 1), or all."),
                                        QStringLiteral("N|all"), QStringLiteral("1"));
    const QCommandLineOption separatorOption(
        QStringLiteral("decimal-separator"),
        QStringLiteral("The decimal separator of IN.ego's numbers (default '.')."),
        QStringLiteral("C"), QStringLiteral("."));
    parser.addOption(cardOption);
    parser.addOption(separatorOption);
    parser.addPositionalArgument(QStringLiteral("IN.ego"), QStringLiteral("The ego file to read."));
    parser.addPositionalArgument(QStringLiteral("OUT.ego"), QStringLiteral("The ego file to write."));
    parser.addPositionalArgument(
        QStringLiteral("OP"),
        QStringLiteral("rotate=DEGREES (90, -90, 180, 1, -1, ...), outmost, mean-to-middle, "
                       "zoom-in, zoom-out, max-distance=D, mean-multiple-id, recolor=FROM:TO "
                       "(palette colours 1..8)."),
        QStringLiteral("OP..."));
    const int parsed = command.parse(
        args, {QStringLiteral("IN.ego"), QStringLiteral("OUT.ego"), QStringLiteral("an operation (OP)")}, 3, -1);
    if (parsed >= 0)
        return parsed;
    const QStringList positional = command.positional();
    const QString in = positional[0];
    const QString out = positional[1];

    std::vector<Step> steps;
    for (const QString &op : positional.mid(2)) {
        QString error;
        std::optional<Step> step = parseStep(op, error);
        if (!step)
            return command.usageError(error);
        steps.push_back(std::move(*step));
    }

    const QString cardText = parser.value(cardOption);
    const bool allCards = cardText == u"all";
    bool cardOk = false;
    const int card = allCards ? 0 : cardText.toInt(&cardOk);
    if (!allCards && (!cardOk || card < 1))
        return command.usageError(QStringLiteral("--card needs a card number or \"all\", not \"%1\"").arg(cardText));
    const QString separator = parser.value(separatorOption);
    if (separator.size() != 1)
        return command.usageError(QStringLiteral("--decimal-separator needs one character, not \"%1\"").arg(separator));

    ReadOptions options;
    options.DecimalSeparator = separator.at(0);
    options.warnings = [](const QString &line) {
        std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    };
    Result<NetworkModel> read = ReadEgoFile(in, options);
    if (!read)
        return command.failure(read.message());
    NetworkModel &model = read.value();
    if (!allCards && card > model.CardCount()) {
        return command.failure(QStringLiteral("\"%1\" has no network card %2 (it holds %3).")
                                   .arg(QFileInfo(in).fileName())
                                   .arg(card)
                                   .arg(model.CardCount()));
    }
    const int first = allCards ? 1 : card;
    const int last = allCards ? model.CardCount() : card;
    for (int c = first; c <= last; ++c)
        for (const Step &step : steps)
            step(model.card(c));

    const Status saved = WriteEgoFile(model, out);
    if (!saved)
        return command.failure(saved.message());
    return 0;
}

} // namespace korvalo
