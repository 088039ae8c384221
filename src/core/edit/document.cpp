#include "core/edit/document.h"

#include "core/edit/commands.h"

namespace korvalo {

Document::Document(QObject *parent, int undoLimit) : QObject(parent)
{
    m_undo.setUndoLimit(undoLimit);
    connect(&m_undo, &QUndoStack::cleanChanged, this,
            [this](bool clean) { Q_EMIT modifiedChanged(!clean); });
}

Document::~Document()
{
    // The commands refer to this document: drop them before it goes.
    m_undo.clear();
}

void Document::reset(NetworkModel model)
{
    const bool wasModified = isModified();
    m_undo.clear();
    m_model = std::move(model);
    m_undo.setClean();
    Q_EMIT cardListChanged();
    Q_EMIT egoChanged();
    Q_EMIT currentCardChanged(m_model.CurrentCard);
    Q_EMIT changed();
    if (wasModified)
        Q_EMIT modifiedChanged(false);
}

bool Document::push(DocumentCommand *command)
{
    std::unique_ptr<DocumentCommand> owned(command);
    if (owned->changesNothing())
        return false;
    m_undo.push(owned.release());
    return true;
}

void Document::setCurrentCard(int card)
{
    if (card < 0 || card > m_model.CardCount() || card == m_model.CurrentCard)
        return;
    m_model.CurrentCard = card;
    Q_EMIT currentCardChanged(card);
    Q_EMIT changed();
}

void Document::announceCard(int card)
{
    Q_EMIT cardChanged(card);
    Q_EMIT changed();
}

void Document::announceCardList()
{
    Q_EMIT cardListChanged();
    Q_EMIT currentCardChanged(m_model.CurrentCard);
    Q_EMIT changed();
}

void Document::announceEgo()
{
    Q_EMIT egoChanged();
    Q_EMIT changed();
}

void Document::setViewSwitches(const ViewSwitchState &switches)
{
    if (switches == m_session.Switches)
        return;
    m_session.Switches = switches;
    Q_EMIT viewChanged();
}

void Document::setViewSwitch(bool ViewSwitchState::*field, bool on)
{
    setViewSwitches(WithViewSwitch(m_session.Switches, field, on));
}

void Document::setNodeBaseSize(int pixels)
{
    if (pixels == m_session.NodeBaseSize)
        return;
    m_session.NodeBaseSize = pixels;
    Q_EMIT viewChanged();
}

void Document::setLabelFontSize(int pixels)
{
    if (pixels == m_session.LabelFontSize)
        return;
    m_session.LabelFontSize = pixels;
    Q_EMIT viewChanged();
}

void Document::setSmoothDrawing(bool on)
{
    if (on == m_session.SmoothDrawing)
        return;
    m_session.SmoothDrawing = on;
    Q_EMIT viewChanged();
}

ViewOptions Document::viewOptions() const
{
    ViewOptions view;
    static_cast<ViewSwitchState &>(view) = m_session.Switches;
    view.NodeBaseSize = m_session.NodeBaseSize;
    view.LabelFontSize = m_session.LabelFontSize;
    view.OverlayPenWidth = m_session.OverlayPenWidth;
    view.DecimalSeparator = m_session.DecimalSeparator;
    view.Smooth = m_session.SmoothDrawing;
    return view;
}

} // namespace korvalo
