#include "gui/windows/nodeinfowindow.h"

#include "core/model/textutil.h"
#include "gui/dialogs/toolwindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>

namespace korvalo {

namespace {
constexpr int MemoLabelTop = 116; // top of "Memo 1:"
constexpr int Margin = 8;
constexpr int EditLeft = 64;
} // namespace

NodeInfoWindow::NodeInfoWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    SetUpToolWindow(this, QStringLiteral("TFormNodeInfos"), QStringLiteral("Korvalo Node Infos"));
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    auto label = [this](const QString &name, const QString &text, int top) {
        auto *l = new QLabel(text, this);
        l->setObjectName(name);
        l->move(Margin, top + 3);
        return l;
    };
    auto edit = [this](const QString &name, int top) {
        auto *e = new QLineEdit(this);
        e->setObjectName(name);
        e->setReadOnly(true);
        e->move(EditLeft, top);
        return e;
    };
    label(QStringLiteral("Label7"), QStringLiteral("ID:"), 8);
    m_id = edit(QStringLiteral("Label3"), 8);
    label(QStringLiteral("Label8"), QStringLiteral("Label:"), 34);
    m_label = edit(QStringLiteral("Label4"), 34);
    label(QStringLiteral("Label16"), QStringLiteral("Role:"), 60);
    m_role = edit(QStringLiteral("Label5"), 60);
    m_group = label(QStringLiteral("Label9"), QStringLiteral("Group:"), 86);
    m_group->hide();
    m_size = edit(QStringLiteral("Label6"), 86);
    m_memo1Label = label(QStringLiteral("Label1"), QStringLiteral("Memo 1:"), MemoLabelTop - 3);
    m_memo1 = new QPlainTextEdit(this);
    m_memo1->setObjectName(QStringLiteral("Memo1"));
    m_memo1->setReadOnly(true);
    m_memo2Label = label(QStringLiteral("Label2"), QStringLiteral("Memo 2:"), 0);
    m_memo2 = new QPlainTextEdit(this);
    m_memo2->setObjectName(QStringLiteral("Memo2"));
    m_memo2->setReadOnly(true);
    resize(300, 330);
}

void NodeInfoWindow::showNode(const Node *node)
{
    m_id->setText(node ? node->ID : QString());
    m_label->setText(node ? node->Label : QString());
    m_role->setText(node ? node->Role : QString());
    const bool group = node && node->Size >= 2;
    m_group->setVisible(group);
    m_size->setText(group ? QStringLiteral("Size = %1").arg(node->Size) : QString());
    m_memo1->setPlainText(node ? node->Memo1 : QString());
    m_memo2->setPlainText(node ? node->Memo2 : QString());
}

void NodeInfoWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The two memos share the height below "Memo 1:" equally.
    const int w = width(), h = height();
    const int t = MemoLabelTop;
    const int half = int(RoundHalfEven((h - t - 16) / 2.0));
    const int memoTop = t + 20;
    const int memoHeight = std::max(half + t - memoTop, 0);
    m_memo1Label->move(Margin, t);
    m_memo1->setGeometry(Margin, memoTop, std::max(w - 16, 0), memoHeight);
    m_memo2Label->move(Margin, t + half + 6);
    m_memo2->setGeometry(Margin, t + half + 26, std::max(w - 16, 0), memoHeight);
    const int right = Margin + std::max(w - 16, 0);
    for (QLineEdit *e : {m_id, m_label, m_role, m_size})
        e->resize(std::max(right - e->x(), 0), e->height());
}

} // namespace korvalo
