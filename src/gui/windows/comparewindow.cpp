#include "gui/windows/comparewindow.h"

#include "core/analysis/measures.h"
#include "core/edit/document.h"
#include "core/map/comparerender.h"
#include "core/map/imageexport.h"
#include "core/map/jpegwriter.h"
#include "core/map/vectorexport.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/map/mapwidget.h"
#include "gui/shell/asker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace korvalo {

using namespace Qt::StringLiterals;

CompareWindow::CompareWindow(const ShellContext &shell) : QMainWindow(shell.window, Qt::Window), m_shell(shell)
{
    SetUpToolWindow(this, u"CompareCards"_s, u"Compare Cards"_s);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 4);

    auto *bar = new QHBoxLayout;
    auto *otherLabel = new QLabel(u"Compare with:"_s, central);
    m_other = new QComboBox(central);
    m_other->setObjectName(u"CompareOtherCard"_s);
    m_other->setAccessibleName(u"Card to compare with"_s);
    otherLabel->setBuddy(m_other);
    connect(m_other, &QComboBox::activated, this, [this] {
        m_otherCard = m_other->currentData().toInt();
        refresh();
    });
    auto *back = new QPushButton(u"Back to Map"_s, central);
    back->setObjectName(u"CompareBack"_s);
    back->setAccessibleName(u"Back to the map for editing"_s);
    connect(back, &QPushButton::clicked, this, &CompareWindow::backToMap);
    // One button per kind of picture, each asking for its own file name.
    const struct
    {
        QString caption, name, accessible;
        PictureKind kind;
    } exports[] = {
        {u"Export JPG..."_s, u"CompareExport"_s, u"Export the compare view as JPEG"_s, PictureKind::Jpeg},
        {u"Export SVG..."_s, u"CompareExportSvg"_s, u"Export the compare view as SVG"_s, PictureKind::Svg},
        {u"Export PDF..."_s, u"CompareExportPdf"_s, u"Export the compare view as PDF"_s, PictureKind::Pdf},
    };
    QList<QPushButton *> exportButtons;
    for (const auto &e : exports) {
        auto *button = new QPushButton(e.caption, central);
        button->setObjectName(e.name);
        button->setAccessibleName(e.accessible);
        const PictureKind kind = e.kind;
        connect(button, &QPushButton::clicked, this, [this, kind] { exportPicture(kind); });
        exportButtons << button;
    }
    bar->addWidget(otherLabel);
    bar->addWidget(m_other);
    bar->addStretch(1);
    bar->addWidget(back);
    for (QPushButton *button : exportButtons)
        bar->addWidget(button);

    m_view = new MapWidget(central);
    m_view->setObjectName(u"CompareView"_s);
    m_view->setAccessibleName(u"Compare view"_s);
    // As the map: the exact picture underneath, and with smooth drawing the one shown at
    // the screen's device pixel ratio.
    m_view->setRenderer([this](QImage &image) {
        ViewOptions view = m_shell.document.viewOptions();
        view.Smooth = false;
        if (m_comparison.from > 0)
            RenderCompare(image, m_shell.document.model(), m_comparison, view);
    });
    m_view->setShownRenderer([this](QImage &image) {
        const ViewOptions view = m_shell.document.viewOptions();
        if (!view.Smooth)
            return false;
        if (m_comparison.from > 0)
            RenderCompare(image, m_shell.document.model(), m_comparison, view);
        return true;
    });
    // Read-only: whatever would edit goes back to the map.
    m_view->setMouseHandler([this](QMouseEvent *event) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            backToMap();
    });

    m_notes = new QLabel(central);
    m_notes->setObjectName(u"CompareNotes"_s);
    m_notes->setAccessibleName(u"Notes on the comparison"_s);
    m_notes->setWordWrap(true);
    m_notes->hide();

    layout->addLayout(bar);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_notes);
    setCentralWidget(central);
    const QSize map = m_shell.mapSize ? m_shell.mapSize() : QSize(850, 750);
    m_view->resize(map);
    resize(map + QSize(8, 48));
}

void CompareWindow::compare(int card, int other)
{
    m_card = card;
    m_otherCard = other;
    refresh();
    if (m_comparison.from > 0)
        ShowInFront(this);
}

void CompareWindow::fillCardChoice()
{
    const NetworkModel &model = m_shell.document.model();
    m_other->clear();
    for (int c = 1; c <= model.CardCount(); ++c) {
        if (c != m_card)
            m_other->addItem(u"%1: %2"_s.arg(c).arg(model.card(c).ID), c);
    }
    m_other->setCurrentIndex(m_other->findData(m_otherCard));
}

void CompareWindow::refresh()
{
    const NetworkModel &model = m_shell.document.model();
    if (!model.hasCard(m_card) || model.CardCount() < 2) {
        m_comparison = CardComparison();
        m_view->redraw();
        hide();
        return;
    }
    // The other card may have gone with a deletion: its neighbour stands in.
    if (!model.hasCard(m_otherCard) || m_otherCard == m_card)
        m_otherCard = m_card < model.CardCount() ? m_card + 1 : m_card - 1;
    fillCardChoice();
    m_comparison = CompareCards(model, std::min(m_card, m_otherCard), std::max(m_card, m_otherCard));
    QString figures = u"Card %1 to card %2: kept %3, lost %4, new %5, stability %6, turnover %7, Jaccard %8"_s
                          .arg(m_comparison.from)
                          .arg(m_comparison.to)
                          .arg(m_comparison.kept)
                          .arg(m_comparison.lost)
                          .arg(m_comparison.added)
                          .arg(FormatMeasure(m_comparison.stability), FormatMeasure(m_comparison.turnover),
                               FormatMeasure(m_comparison.jaccard));
    m_view->setAccessibleDescription(figures);
    m_notes->setText(m_comparison.repeatedIDs.join(u'\n'));
    m_notes->setVisible(!m_comparison.repeatedIDs.isEmpty());
    setWindowTitle(u"Compare Cards %1 and %2"_s.arg(m_comparison.from).arg(m_comparison.to));
    m_view->redraw();
}

void CompareWindow::backToMap()
{
    if (m_comparison.to > 0)
        m_shell.document.setCurrentCard(m_comparison.to);
    hide();
    m_shell.window->raise();
    m_shell.window->activateWindow();
}

void CompareWindow::exportPicture(PictureKind kind)
{
    if (m_comparison.from == 0)
        return;
    static const QString filters[] = {u"JPEG (*.jpg)"_s, u"SVG (*.svg)"_s, u"PDF (*.pdf)"_s};
    const QString chosen = m_shell.asker().saveFileName(filters[int(kind)]);
    if (chosen.isEmpty())
        return;
    const NetworkModel &model = m_shell.document.model();
    const ViewOptions view = m_shell.document.viewOptions();
    // The vector pictures are of the map's size as the view shows it.
    const QSize mapSize = m_view->size().expandedTo(QSize(1, 1));
    Status written = Status::success();
    switch (kind) {
    case PictureKind::Jpeg: {
        // Drawn as shown, smooth or not, at the map's size.
        QImage picture(mapSize, QImage::Format_RGB32);
        RenderCompare(picture, model, m_comparison, view);
        written = WriteJpegFile(picture, JpegFileName(chosen));
        break;
    }
    case PictureKind::Svg:
        written = WriteCompareSvg(chosen, model, m_comparison, view, mapSize);
        break;
    case PictureKind::Pdf:
        written = WriteComparePdf(chosen, model, m_comparison, view, mapSize);
        break;
    }
    if (!written)
        m_shell.asker().message(written.message());
}

} // namespace korvalo
