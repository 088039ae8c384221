#pragma once

#include "gui/shell/shellcontext.h"
#include "core/edit/commands.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>

namespace korvalo {


class ChangeColorDialog;
struct EditorState;
struct NetworkCard;

// The Transform menu's node, line and sector commands and the "Change Node Color" window.
// Each command acts on the current card as one undoable step named after it; a command
// that changes nothing leaves the history alone. The Layout switches "Fix Distance" and
// "Fix Angle" are mirrored into the editor state, where the node drag reads them.
class TransformActions : public QObject
{
    Q_OBJECT
public:
    TransformActions(const ShellContext &shell, EditorState &editor, QObject *parent = nullptr);

    ChangeColorDialog *colorDialog() const { return m_colorDialog; }

    void maxDistance();
    void changeNodeColor();
    // Transform > Lines.
    void connectIdenticalIDs();

private:
    // Commands whose shortcut is likely to be held down.
    enum Repeated { Rotate1CW, Rotate1CCW, ZoomOutKey, ZoomInKey, RepeatedCount };

    void apply(const QString &text, const std::function<int(NetworkCard &)> &transform,
               Merge merge = {});
    Merge repeatRun(Repeated command);

    ShellContext m_shell;
    EditorState &m_editor;
    ChangeColorDialog *m_colorDialog;
    struct Burst
    {
        QElapsedTimer last;
        int run = 0;
    } m_bursts[RepeatedCount];
    int m_runs = 0;
};

} // namespace korvalo
