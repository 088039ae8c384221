#include "core/edit/nodeform.h"

#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/map/geometry.h"
#include "core/model/textutil.h"

#include <QLocale>

#include <cmath>

namespace korvalo {

namespace {

const QString symbolNames[] = {QString(), QStringLiteral("flash"), QStringLiteral("triangle"),
                               QStringLiteral("box"), QStringLiteral("diamond")};

// The same alter as when a form was opened: everything but its place on the map and its
// selection, which the map may change while the dialog stays open.
bool sameNode(const Node &a, const Node &b)
{
    Node x = a, y = b;
    x.Angle = y.Angle = 0;
    x.Distance = y.Distance = 0;
    x.Selected = y.Selected = false;
    return x == y;
}

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

Status cardSwitched(const NetworkModel &model, int card)
{
    const QString was = model.hasCard(card) ? quoted(model.card(card).ID) : QString::number(card);
    const QString now = model.hasCard(model.CurrentCard) ? quoted(model.card(model.CurrentCard).ID)
                                                         : QStringLiteral("none");
    return Status::failure(QStringLiteral("This dialog was opened for network card %1, but the "
                                          "current card is now %2. Nothing was saved.")
                               .arg(was, now));
}

// Whether node `node` of the current card is still the one a form was opened for.
bool nodeStillThere(const NetworkModel &model, int card, int node, const Node &original)
{
    if (node == 0)
        return true; // the ego is always there
    const NetworkCard &c = model.card(card);
    return node >= 1 && node <= c.NodeCount() && sameNode(c.Nodes[size_t(node)], original);
}

} // namespace

QString SymbolName(int choice)
{
    return choice >= 0 && choice <= 4 ? symbolNames[choice] : QString();
}

int SymbolChoice(const QString &symbol)
{
    for (int k = 0; k <= 4; ++k)
        if (symbol == symbolNames[k])
            return k;
    return SymbolUnknown;
}

std::optional<float> ParseDistance(const QString &text, QChar decimalSeparator)
{
    QString t = TrimBlanks(text);
    if (decimalSeparator != u'.')
        t.replace(decimalSeparator, u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e30)
        return std::nullopt;
    return float(value);
}

NodeForm PrepareNodeAdd(const NetworkCard &card, QPoint pos, QSize mapSize, QChar decimalSeparator)
{
    const int w = mapSize.width(), h = mapSize.height();
    NodeForm form;
    form.todo = FormAdd;
    form.Role = SectorNameAt(card, pos.x(), pos.y(), w, h);
    const int color = SectorColorAt(card, pos.x(), pos.y(), w, h);
    form.Color = color == 0 ? 1 : color;
    form.Distance = FormatFixed(DistanceAt(pos.x(), pos.y(), w, h), 3, decimalSeparator);
    return form;
}

NodeForm PrepareNodeModify(const NetworkCard &card, int cardNumber, int node, QChar decimalSeparator)
{
    const Node &n = card.Nodes[size_t(node)];
    NodeForm form;
    form.todo = FormModify;
    form.card = cardNumber;
    form.node = node;
    form.original = n;
    form.ID = n.ID;
    form.Label = n.Label;
    form.Role = n.Role;
    form.Human = n.Human == u"TRUE" ? 1 : n.Human == u"FALSE" ? 0 : -1;
    form.Group = n.Size > 1;
    form.GroupSize = QString::number(n.Size);
    form.Color = n.Color >= 1 && n.Color <= PaletteSize ? n.Color : 0;
    form.Symbol = SymbolChoice(n.Symbol);
    form.NodeSize = n.NodeSize;
    form.Memo1 = n.Memo1;
    form.Memo2 = n.Memo2;
    form.Distance = FormatFixed(n.Distance, 3, decimalSeparator);
    form.Sex = n.Sex == u"male" || n.Sex == u"female" ? n.Sex : QStringLiteral("undefined");
    return form;
}

Status SaveNodeForm(Document &document, NodeForm &form, QPoint newNodePos, QSize mapSize)
{
    if (IsBlank(form.ID))
        return Status::failure(QStringLiteral("\"Node ID\" is obligatory!"));
    if (IsBlank(form.Label))
        return Status::failure(QStringLiteral("\"Label\" is obligatory!"));

    int size = 1;
    if (form.Group) {
        if (IsBlank(form.GroupSize.value_or(QString())))
            form.GroupSize = QStringLiteral("0");
        bool ok = false;
        size = TrimBlanks(*form.GroupSize).toInt(&ok);
        if (!ok)
            return Status::failure(QStringLiteral("\"Group Size\" must be a whole number, for "
                                                  "example 3; \"%1\" is none.")
                                       .arg(*form.GroupSize));
        if (size < 2)
            return Status::failure(QStringLiteral("\"Group Size must be at least 2!"));
    }

    const QChar separator = document.session().DecimalSeparator;
    const std::optional<float> distance = ParseDistance(form.Distance, separator);
    if (!distance)
        return Status::failure(QStringLiteral("\"Distance to Ego\" must be a number, for example "
                                              "%1; \"%2\" is none.")
                                   .arg(FormatFixed(0.75, 3, separator), form.Distance));

    const NetworkModel &model = document.model();
    const int card = model.CurrentCard;
    Node fields;
    fields.ID = form.ID;
    fields.Label = form.Label;
    fields.Role = form.Role;
    fields.Sex = form.Sex;
    fields.Human = form.Human == 0 ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
    fields.Distance = *distance;
    fields.Size = size;
    fields.NodeSize = form.NodeSize;
    fields.Memo1 = form.Memo1;
    fields.Memo2 = form.Memo2;

    if (form.todo == FormAdd) {
        fields.Color = form.Color >= 1 ? form.Color : 1;
        fields.Symbol = SymbolName(form.Symbol);
        fields.Angle = AngleAt(newNodePos.x(), newNodePos.y(), mapSize.width(), mapSize.height());
        const InfoSink &warn = document.session().infoSink;
        return ChangeCard(document, card, QStringLiteral("Add node \"%1\"").arg(fields.Label),
                          [&](NetworkModel &m) { return AddNode(m, card, fields, warn, separator); });
    }
    if (form.todo != FormModify)
        return Status::success();

    if (card != form.card)
        return cardSwitched(model, form.card);
    if (!nodeStillThere(model, card, form.node, form.original))
        return Status::failure(QStringLiteral("The node %1 was deleted, renumbered or changed "
                                              "elsewhere while this dialog was open. Nothing was "
                                              "saved.")
                                   .arg(quoted(form.original.Label)));
    fields.Color = form.Color >= 1 ? form.Color : form.original.Color;
    fields.Symbol = form.Symbol == SymbolUnknown ? form.original.Symbol : SymbolName(form.Symbol);
    const int node = form.node;
    return ChangeCard(document, card, QStringLiteral("Modify node \"%1\"").arg(fields.Label),
                      [&](NetworkModel &m) {
                          ModifyNode(m, card, node, fields.ID, fields.Label, QString(),
                                     fields.Memo2, fields.Memo1, fields.NodeSize, fields.Symbol,
                                     fields.Human, fields.Size, fields.Color, fields.Distance,
                                     fields.Sex, fields.Role);
                          return Status::success();
                      });
}

QString EndLabel(const NetworkCard &card, int node)
{
    if (node == 0)
        return QStringLiteral("Ego");
    if (node < 0 || node > card.NodeCount())
        return QString();
    return card.Nodes[size_t(node)].Label;
}

LineForm PrepareLineAdd(const NetworkCard &card, int cardNumber, int a, int b)
{
    LineForm form;
    form.todo = FormAdd;
    form.card = cardNumber;
    form.a = a;
    form.b = b;
    form.nodeA = card.Nodes[size_t(a)];
    form.nodeB = card.Nodes[size_t(b)];
    form.labelA = EndLabel(card, a);
    form.labelB = EndLabel(card, b);
    return form;
}

LineForm PrepareLineModify(const NetworkCard &card, int cardNumber, int line)
{
    LineForm form;
    form.todo = FormModify;
    form.card = cardNumber;
    form.line = line;
    form.original = card.Lines[size_t(line)];
    form.a = form.original.A;
    form.b = form.original.B;
    if (form.a >= 0 && form.a <= card.NodeCount())
        form.nodeA = card.Nodes[size_t(form.a)];
    if (form.b >= 0 && form.b <= card.NodeCount())
        form.nodeB = card.Nodes[size_t(form.b)];
    form.labelA = EndLabel(card, form.a);
    form.labelB = EndLabel(card, form.b);
    return form;
}

int LineColorOfPanel(int panel)
{
    return panel == 7 ? 0 : panel;
}

Status SaveLineForm(Document &document, const LineForm &form, int value, int lineColor)
{
    const NetworkModel &model = document.model();
    const int card = model.CurrentCard;
    if (form.todo != FormAdd && form.todo != FormModify)
        return Status::success();
    if (card != form.card)
        return cardSwitched(model, form.card);
    if (!nodeStillThere(model, card, form.a, form.nodeA)
        || !nodeStillThere(model, card, form.b, form.nodeB))
        return Status::failure(QStringLiteral("The node %1 or %2 was deleted, renumbered or "
                                              "changed elsewhere while this dialog was open. "
                                              "Nothing was saved.")
                                   .arg(quoted(form.labelA), quoted(form.labelB)));

    if (form.todo == FormAdd) {
        return ChangeCard(document, card,
                          QStringLiteral("Add line %1 – %2").arg(quoted(form.labelA), quoted(form.labelB)),
                          [&](NetworkModel &m) { return AddLine(m, form.a, form.b, value, lineColor); });
    }
    const NetworkCard &c = model.card(card);
    const bool same = form.line >= 1 && form.line <= c.LineCount()
                      && c.Lines[size_t(form.line)].A == form.original.A
                      && c.Lines[size_t(form.line)].B == form.original.B;
    if (!same)
        return Status::failure(QStringLiteral("The line %1 – %2 was deleted or renumbered while "
                                              "this dialog was open. Nothing was saved.")
                                   .arg(quoted(form.labelA), quoted(form.labelB)));
    return ChangeCard(document, card,
                      QStringLiteral("Modify line %1 – %2").arg(quoted(form.labelA), quoted(form.labelB)),
                      [&](NetworkModel &m) {
                          Line &l = m.card(card).Lines[size_t(form.line)];
                          l.LineSize = value;
                          l.LineColor = lineColor;
                          return Status::success();
                      });
}

} // namespace korvalo
