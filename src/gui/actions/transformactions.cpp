#include "gui/actions/transformactions.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"
#include "gui/dialogs/changecolordialog.h"
#include "gui/shell/menus.h"
#include "core/edit/cardedits.h"
#include "core/edit/commands.h"
#include "core/edit/document.h"
#include "core/edit/editorstate.h"
#include "core/map/transforms.h"

#include <QAction>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

// Repetitions closer together than this come from one key held down (or a quick run of
// presses) and make one step.
constexpr qint64 RepeatPauseMs = 500;

} // namespace

TransformActions::TransformActions(const ShellContext &shell, EditorState &editor,
                                     QObject *parent)
    : QObject(parent), m_shell(shell), m_editor(editor),
      m_colorDialog(new ChangeColorDialog(shell.window))
{
    Menus &m = m_shell.menus;
    struct Plain
    {
        const char16_t *item;
        const char16_t *text;
        int (*transform)(NetworkCard &);
    };
    const Plain plain[] = {
        {u"OutmostNode1", u"Outmost Node", ProjectOutmostNode},
        {u"MeantoMiddle1", u"Mean to Middle", MeanToMiddle},
        {u"MeanDistanceforMultipleID1", u"Mean Distance for Multiple ID", MeanDistanceForMultipleID},
    };
    for (const Plain &p : plain) {
        m.bind(QString::fromUtf16(p.item), this,
               [this, text = QString::fromUtf16(p.text), transform = p.transform] {
                   apply(text, transform);
               });
    }

    struct Turn
    {
        const char16_t *item;
        const char16_t *text;
        double degrees;
        int repeated; // RepeatedCount when the item has no shortcut
    };
    const Turn turns[] = {
        {u"N90CW1", u"Rotate 90° CW", 90, RepeatedCount},
        {u"N90CCW1", u"Rotate 90° CCW", -90, RepeatedCount},
        {u"N1801", u"Rotate 180°", 180, RepeatedCount},
        {u"N1CW1", u"Rotate 1° CW", 1, Rotate1CW},
        {u"N1CCW1", u"Rotate 1° CCW", -1, Rotate1CCW},
    };
    for (const Turn &t : turns) {
        m.bind(QString::fromUtf16(t.item), this,
               [this, text = QString::fromUtf16(t.text), degrees = t.degrees, r = t.repeated] {
                   const Merge merge = r == RepeatedCount ? Merge{} : repeatRun(Repeated(r));
                   apply(text, [degrees](NetworkCard &c) { return RotateCard(c, degrees); },
                         merge);
               });
    }
    m.bind(u"ZoomOut1"_s, this, [this] { apply(u"Zoom Out"_s, ZoomOut, repeatRun(ZoomOutKey)); });
    m.bind(u"ZoomIn1"_s, this, [this] { apply(u"Zoom In"_s, ZoomIn, repeatRun(ZoomInKey)); });
    m.bind(u"MaxDistance1"_s, this, [this] { maxDistance(); });
    m.bind(u"Connect1"_s, this, [this] { connectIdenticalIDs(); });
    m.bind(u"DeleteRedLines1"_s, this, [this] { apply(u"Delete Red Lines"_s, DeleteRedLines); });

    m.bind(u"Change2"_s, this, [this] {
        ShowInFront(m_colorDialog, Focus::Take);
    });
    connect(m_colorDialog, &ChangeColorDialog::changeRequested, this,
            &TransformActions::changeNodeColor);
    // Undo and Redo keep their keys while the colour window has the focus, so that a
    // replacement can be taken back from where it was made.
    for (const QString &name : {u"Undo1"_s, u"Redo1"_s})
        if (QAction *history = m_shell.window->findChild<QAction *>(name))
            m_colorDialog->addAction(history);

    // The check marks toggle themselves; the editor state follows them.
    for (auto [item, flag] : {std::pair{u"FixDistance1"_s, &EditorState::FixDistance},
                              std::pair{u"FixAngle1"_s, &EditorState::FixAngle}}) {
        QAction *action = m.action(item);
        action->setEnabled(true);
        m_editor.*flag = action->isChecked();
        connect(action, &QAction::toggled, this, [this, flag](bool on) { m_editor.*flag = on; });
    }
}

void TransformActions::apply(const QString &text,
                              const std::function<int(NetworkCard &)> &transform, Merge merge)
{
    Document &document = m_shell.document;
    const int card = document.model().CurrentCard;
    if (!document.model().hasCard(card))
        return;
    ChangeCard(
        document, card, text,
        [&](NetworkModel &model) {
            transform(model.card(card));
            return Status::success();
        },
        merge);
}

Merge TransformActions::repeatRun(Repeated command)
{
    // Steps of one run merge; after a pause the command starts a new run. The runs are
    // numbered across the commands, so that a run of one never merges into another's.
    Burst &burst = m_bursts[command];
    if (!burst.last.isValid() || burst.last.elapsed() > RepeatPauseMs)
        burst.run = ++m_runs;
    burst.last.start();
    return Merge{MergeId::TransformRepeat, burst.run};
}

void TransformActions::connectIdenticalIDs()
{
    Document &document = m_shell.document;
    const int c = document.model().CurrentCard;
    if (!document.model().hasCard(c))
        return;
    const Status status = ChangeCard(document, c, u"Connect Identical IDs"_s, [&](NetworkModel &m) {
        return ConnectIdenticalIDs(m.card(c));
    });
    if (!status)
        m_shell.asker().message(status.message());
}

void TransformActions::maxDistance()
{
    Document &document = m_shell.document;
    if (!document.model().hasCard(document.model().CurrentCard))
        return;
    const std::optional<QString> answer =
        m_shell.asker().input(u"Set"_s, u"Set Max Distance (recommended 0-1):"_s, u"1"_s);
    if (!answer)
        return;
    const QChar separator = document.session().DecimalSeparator;
    const std::optional<float> max = ParseTypedNumber(*answer, separator);
    if (!max) {
        const QString example = u"0"_s + separator + u"8"_s;
        m_shell.asker().message(
            u"\"%1\" is not a number. Please enter the maximum distance as a number such as %2."_s
                .arg(*answer, example));
        return;
    }
    if (*max < 0.0f) {
        m_shell.asker().message(
            u"The maximum distance cannot be negative (\"%1\"): it would move every node through the ego to the other side."_s
                .arg(*answer));
        return;
    }
    apply(u"Max Distance"_s, [max](NetworkCard &c) { return ClampDistances(c, *max); });
}

void TransformActions::changeNodeColor()
{
    const int from = m_colorDialog->fromColor();
    const int to = m_colorDialog->toColor();
    apply(u"Change Node Color"_s, [from, to](NetworkCard &c) { return RecolorNodes(c, from, to); });
}

} // namespace korvalo
