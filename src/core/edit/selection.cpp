#include "core/edit/selection.h"

#include "core/edit/cardedits.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

namespace korvalo {

using namespace Qt::StringLiterals;

void DeselectAll(NetworkCard &card)
{
    for (size_t i = 1; i < card.Nodes.size(); ++i)
        card.Nodes[i].Selected = false;
}

void SelectAll(NetworkCard &card)
{
    for (size_t i = 1; i < card.Nodes.size(); ++i)
        card.Nodes[i].Selected = true;
}

void SelectByID(NetworkCard &card, const QString &id)
{
    for (size_t i = 1; i < card.Nodes.size(); ++i)
        card.Nodes[i].Selected = card.Nodes[i].ID == id;
}

void SelectByLabel(NetworkCard &card, const QString &label)
{
    const QLocale locale = QLocale::system();
    const QString wanted = locale.toLower(label);
    for (size_t i = 1; i < card.Nodes.size(); ++i) {
        Node &node = card.Nodes[i];
        node.Selected = locale.toLower(node.Label) == wanted;
    }
}

void SelectMultiIDs(NetworkCard &card)
{
    QHash<QString, int> count;
    count.reserve(qsizetype(card.Nodes.size()));
    for (size_t i = 1; i < card.Nodes.size(); ++i)
        ++count[card.Nodes[i].ID];
    for (size_t i = 1; i < card.Nodes.size(); ++i)
        card.Nodes[i].Selected = count.value(card.Nodes[i].ID) > 1;
}

std::vector<int> SelectedNodes(const NetworkCard &card)
{
    std::vector<int> selected;
    for (int i = 1; i <= card.NodeCount(); ++i) {
        if (card.Nodes[size_t(i)].Selected)
            selected.push_back(i);
    }
    return selected;
}

void DeleteSelectedNodes(NetworkCard &card)
{
    // The alter that moves into a freed slot is looked at again.
    for (int i = 1; i <= card.NodeCount();) {
        if (card.Nodes[size_t(i)].Selected)
            DeleteNode(card, i);
        else
            ++i;
    }
}

Status CopyNodes(NetworkModel &model, int from, const std::vector<int> &nodes, int to,
                 bool shifted, const InfoSink &warn, QChar decimalSeparator)
{
    if (!model.hasCard(from))
        return Status::failure(u"There is no network card %1."_s.arg(from));
    if (!model.hasCard(to))
        return Status::failure(u"There is no network card %1."_s.arg(to));
    const int room = MaxNodes - model.card(to).NodeCount();
    if (int(nodes.size()) > room) {
        return Status::failure(
            u"Only %1 more nodes fit on the card \"%2\" (at most %3); %4 were to be copied. "
            "Nothing was copied."_s.arg(room).arg(model.card(to).ID).arg(MaxNodes).arg(nodes.size()));
    }
    // Copies of copies are never made: the sources are taken before anything is added.
    std::vector<Node> copies;
    copies.reserve(nodes.size());
    for (int i : nodes)
        copies.push_back(model.card(from).Nodes[size_t(i)]);
    for (Node &copy : copies) {
        if (shifted) {
            copy.Angle = float(copy.Angle + 5.0);
            copy.Distance = float(copy.Distance + 0.05);
        }
        const Status added = AddNode(model, to, copy, warn, decimalSeparator);
        if (!added)
            return added;
    }
    return Status::success();
}

void MoveSelectedNodes(NetworkCard &card, float angle, float distance)
{
    for (size_t i = 1; i < card.Nodes.size(); ++i) {
        Node &node = card.Nodes[i];
        if (!node.Selected)
            continue;
        double a = double(node.Angle) + angle;
        if (a >= 360)
            a -= 360;
        else if (a < 0)
            a += 360;
        node.Angle = float(a);
        node.Distance = std::max(0.0f, float(double(node.Distance) + distance));
    }
}

QString NoNextCardMessage()
{
    return u"Attention: There is no Next Card!"_s;
}

namespace {

// The selection marks are written with a command's access to the model, but the command
// is never pushed: selecting is no step of the history and leaves the modified mark alone.
// An undo of a later step puts back the card as that step saw it, selection included.
class SelectionChange : public DocumentCommand
{
public:
    SelectionChange(Document &document, int card) : DocumentCommand(document, QString()), m_card(card) {}

    // Takes only the alters' selection marks from `select`'s work on a copy of the card.
    bool apply(const std::function<void(NetworkCard &)> &select)
    {
        NetworkCard &target = model().card(m_card);
        NetworkCard copy = target;
        select(copy);
        bool changed = false;
        const int count = std::min(target.NodeCount(), copy.NodeCount());
        for (int i = 1; i <= count; ++i) {
            bool &mark = target.Nodes[size_t(i)].Selected;
            if (mark != copy.Nodes[size_t(i)].Selected) {
                mark = !mark;
                changed = true;
            }
        }
        return changed;
    }

private:
    int m_card;
};

} // namespace

Status SelectStep(Document &document, int card, const std::function<void(NetworkCard &)> &select)
{
    if (!document.model().hasCard(card))
        return Status::failure(u"There is no network card %1."_s.arg(card));
    SelectionChange change(document, card);
    if (change.apply(select))
        document.announceCard(card);
    return Status::success();
}

Status DeleteSelectedStep(Document &document, int card)
{
    return ChangeCard(document, card, u"Delete selected nodes"_s, [&](NetworkModel &m) {
        DeleteSelectedNodes(m.card(card));
        return Status::success();
    });
}

// A copy onto the next card leaves the current card shown; the history shows the card it
// changed when it is undone or redone.
static Status stayOnCard(Document &document, int card, const Status &status)
{
    document.setCurrentCard(card);
    return status;
}

static std::vector<int> selectedOf(const Document &document, int card)
{
    return document.model().hasCard(card) ? SelectedNodes(document.model().card(card))
                                          : std::vector<int>();
}

Status CopySelectedToThisCardStep(Document &document, int card)
{
    const std::vector<int> nodes = selectedOf(document, card);
    const Session &session = document.session();
    return ChangeCard(document, card, u"Copy selected nodes to this card"_s, [&](NetworkModel &m) {
        return CopyNodes(m, card, nodes, card, true, session.infoSink, session.DecimalSeparator);
    });
}

Status CopySelectedToNextCardStep(Document &document, int card)
{
    if (!document.model().hasCard(card + 1))
        return Status::failure(NoNextCardMessage());
    const std::vector<int> nodes = selectedOf(document, card);
    const Session &session = document.session();
    const Status status = ChangeCard(document, card + 1, u"Copy selected nodes to next card"_s,
                                     [&](NetworkModel &m) {
                                         return CopyNodes(m, card, nodes, card + 1, false,
                                                          session.infoSink, session.DecimalSeparator);
                                     });
    return stayOnCard(document, card, status);
}

static Status noSuchNode(int node)
{
    return Status::failure(u"There is no node %1 on this card."_s.arg(node));
}

static bool validNode(const Document &document, int card, int node)
{
    return document.model().hasCard(card) && node >= 1 && node <= document.model().card(card).NodeCount();
}

Status CopyNodeToThisCardStep(Document &document, int card, int node)
{
    if (!validNode(document, card, node))
        return noSuchNode(node);
    const Session &session = document.session();
    const QString text = u"Copy node \"%1\""_s.arg(document.model().card(card).Nodes[size_t(node)].Label);
    return ChangeCard(document, card, text, [&](NetworkModel &m) {
        return CopyNodes(m, card, {node}, card, true, session.infoSink, session.DecimalSeparator);
    });
}

Status CopyNodeToNextCardStep(Document &document, int card, int node)
{
    if (!validNode(document, card, node))
        return noSuchNode(node);
    if (!document.model().hasCard(card + 1))
        return Status::failure(NoNextCardMessage());
    const QString text =
        u"Copy node \"%1\" to next card"_s.arg(document.model().card(card).Nodes[size_t(node)].Label);
    const Status status = ChangeCard(document, card + 1, text, [&](NetworkModel &m) {
        return CopyNodes(m, card, {node}, card + 1, false);
    });
    return stayOnCard(document, card, status);
}

Status CopySectorToCardStep(Document &document, int card, int sector, int target, float angle)
{
    const NetworkModel &model = document.model();
    if (!model.hasCard(card) || sector < 1 || sector > model.card(card).SectorCount())
        return Status::failure(u"There is no sector %1 on this card."_s.arg(sector));
    if (!model.hasCard(target))
        return Status::failure(NoNextCardMessage());
    const Sector source = model.card(card).Sectors[size_t(sector)];
    const QString text = target == card ? u"Copy sector \"%1\""_s.arg(source.SectorName)
                                        : u"Copy sector \"%1\" to next card"_s.arg(source.SectorName);
    const Status status = ChangeCard(document, target, text, [&](NetworkModel &m) {
        return AddSector(m, target, source.SectorName, source.SectorColor, angle);
    });
    return stayOnCard(document, card, status);
}

Status MoveSelectedStep(Document &document, int card, float angle, float distance, const Merge &merge)
{
    return ChangeCard(
        document, card, u"Move selected nodes"_s,
        [&](NetworkModel &m) {
            MoveSelectedNodes(m.card(card), angle, distance);
            return Status::success();
        },
        merge);
}

} // namespace korvalo
