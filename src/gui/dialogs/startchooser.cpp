#include "gui/dialogs/startchooser.h"

#include "gui/dialogs/toolwindow.h"
#include "gui/shell/artwork.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace korvalo {


using namespace Qt::StringLiterals;

namespace {

class PanelButtonAccessible : public QAccessibleWidget
{
public:
    explicit PanelButtonAccessible(QWidget *button) : QAccessibleWidget(button, QAccessible::Button) {}

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            Q_EMIT static_cast<PanelButton *>(widget())->clicked();
    }
};

QAccessibleInterface *accessiblePanelButton(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(PanelButton::staticMetaObject.className()) && object
        && object->isWidgetType())
        return new PanelButtonAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

PanelButton::PanelButton(const QString &text, QWidget *parent) : QFrame(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(accessiblePanelButton);
        return true;
    }();
    Q_UNUSED(accessible);
    setAccessibleName(text);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setFixedSize(107, 41);
    setCursor(Qt::PointingHandCursor);
    auto *label = new QLabel(text, this);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(label);
}

void PanelButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setFrameShadow(QFrame::Sunken);
    QFrame::mousePressEvent(event);
}

void PanelButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        setFrameShadow(QFrame::Raised);
        if (rect().contains(event->position().toPoint()))
            Q_EMIT clicked();
    }
    QFrame::mouseReleaseEvent(event);
}

StartChooser::StartChooser(QWidget *parent) : QDialog(parent)
{
    SetUpToolWindow(this, u"TForm7"_s, u"Korvalo"_s);
    setFixedSize(216, 178);

    auto *picture = new QLabel(this);
    picture->setPixmap(NetworkPicture(216, 135));
    picture->setGeometry(0, 0, 216, 135);

    auto *create = new PanelButton(u"Create New Ego"_s, this);
    create->setObjectName(u"NewEgoPanel"_s);
    create->move(0, 136);
    auto *read = new PanelButton(u"Read Ego from File"_s, this);
    read->setObjectName(u"ReadEgoPanel"_s);
    read->move(109, 136);

    connect(create, &PanelButton::clicked, this, [this] {
        hide();
        Q_EMIT newEgoChosen();
    });
    connect(read, &PanelButton::clicked, this, [this] {
        hide();
        Q_EMIT readEgoChosen();
    });
}

void StartChooser::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            m_wasActive = true;
        else if (m_wasActive && isVisible())
            hide();
    }
    QDialog::changeEvent(event);
}

} // namespace korvalo
