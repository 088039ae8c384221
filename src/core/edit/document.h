#pragma once

#include "core/map/viewswitches.h"
#include "core/model/networkmodel.h"
#include "core/model/session.h"

#include <QObject>
#include <QUndoStack>

#include <functional>
#include <memory>

namespace korvalo {

class DocumentCommand;
struct Merge;

// The open ego with its history. The model is read freely; it changes only through
// commands pushed here (or wholesale through reset()), and every change is announced, so
// that windows redraw from the signals instead of every command redrawing by itself.
// The session's settings live beside it; undo never touches them.
// A document is not tied to a window: it may be made before one and outlive it.
class Document : public QObject
{
    Q_OBJECT
public:
    // At most this many steps are kept; the oldest fall off.
    static constexpr int UndoLimit = 100;

    explicit Document(QObject *parent = nullptr, int undoLimit = UndoLimit);
    ~Document() override;

    const NetworkModel &model() const { return m_model; }
    Session &session() { return m_session; }
    const Session &session() const { return m_session; }
    QUndoStack *undoStack() { return &m_undo; }

    // Replaces the whole document (File > New, File > Read): the history starts empty and
    // clean.
    void reset(NetworkModel model);

    // Runs the command's first redo() and keeps it in the history. A command that would
    // change nothing is dropped; the return value says whether it was kept. Takes
    // ownership.
    bool push(DocumentCommand *command);

    // Unsaved changes: the history is not at the step last saved or read.
    bool isModified() const { return !m_undo.isClean(); }
    // The document was written: the current step becomes the saved one.
    void markSaved() { m_undo.setClean(); }

    // Makes a card current (0 = none); not a change of the document.
    void setCurrentCard(int card);

    // Called by commands after they changed the model.
    void announceCard(int card);
    void announceCardList();
    void announceEgo();

    // The session's view: switches and sizes (pixels) the map is drawn with. Setting them
    // is no change of the document (no step, no recovery copy); viewChanged() announces
    // it when a value really changed. setViewSwitch() also sets the switches that depend
    // on the one set (WithViewSwitch).
    void setViewSwitches(const ViewSwitchState &switches);
    void setViewSwitch(bool ViewSwitchState::*field, bool on);
    void setNodeBaseSize(int pixels);
    void setLabelFontSize(int pixels);
    // Options > "Smooth Drawing": what the map shows and the pictures exported as shown.
    void setSmoothDrawing(bool on);
    // What the renderer is told: the session's switches and sizes. The sector handles are
    // the editor's to switch on.
    ViewOptions viewOptions() const;

Q_SIGNALS:
    void cardChanged(int card); // the contents of one card
    void cardListChanged();     // cards added, removed or renamed; also after reset()
    void egoChanged();          // the ego record
    void currentCardChanged(int card);
    void changed();             // after any of the above
    void modifiedChanged(bool modified);
    void viewChanged();         // the session's view switches or sizes

private:
    // The model for writing: only commands (and ChangeCard, which hands it to one
    // command's change) get it, so that every change is a step of the history.
    NetworkModel &modelForCommands() { return m_model; }
    friend class DocumentCommand;
    friend Status ChangeCard(Document &document, int card, const QString &text,
                             const std::function<Status(NetworkModel &)> &change, Merge merge);

    NetworkModel m_model;
    Session m_session;
    QUndoStack m_undo;
};

} // namespace korvalo
