#include "gui/dialogs/mergerdialog.h"

#include "core/edit/document.h"
#include "core/edit/identityedits.h"
#include "gui/dialogs/toolwindow.h"
#include "gui/shell/asker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

QPushButton *button(QWidget *parent, const QString &caption, const QString &name,
                    const QString &accessible)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(accessible);
    return b;
}

} // namespace

MergerDialog::MergerDialog(Document &document, std::function<Asker &()> asker, QWidget *parent)
    : QDialog(parent), m_document(document), m_asker(std::move(asker))
{
    SetUpToolWindow(this, u"TFormMerger"_s, u"Define Unsure Node Merger"_s);

    m_chooser = new QComboBox(this);
    m_chooser->setObjectName(u"ComboBox1"_s);
    m_chooser->setAccessibleName(u"Node"_s);
    m_chooser->setEditable(true);
    m_chooser->setInsertPolicy(QComboBox::NoInsert);
    m_list = new QListWidget(this);
    m_list->setObjectName(u"ListBox1"_s);
    m_list->setAccessibleName(u"Unsure node mergers"_s);

    QPushButton *help = button(this, u"i"_s, u"Button5"_s, u"Help"_s);
    QPushButton *add = button(this, u"+"_s, u"Button1"_s, u"Add the node"_s);
    QPushButton *remove = button(this, u"-"_s, u"Button2"_s, u"Delete the line"_s);
    QPushButton *applyButton = button(this, u"Apply"_s, u"Button3"_s, u"Apply"_s);
    QPushButton *ignore = button(this, u"Ignore"_s, u"Button4"_s, u"Ignore"_s);
    for (QPushButton *small : {help, add, remove})
        small->setFixedWidth(28);

    auto *chooserRow = new QHBoxLayout;
    chooserRow->addWidget(help);
    chooserRow->addWidget(m_chooser, 1);
    chooserRow->addWidget(add);
    chooserRow->addWidget(remove);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(applyButton);
    buttons->addWidget(ignore);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(chooserRow);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    connect(help, &QPushButton::clicked, this, &MergerDialog::showHelp);
    connect(add, &QPushButton::clicked, this, &MergerDialog::addChosen);
    connect(remove, &QPushButton::clicked, this, &MergerDialog::deleteSelected);
    connect(applyButton, &QPushButton::clicked, this, &MergerDialog::apply);
    connect(ignore, &QPushButton::clicked, this, &QDialog::hide);
    resize(360, 300);
}

void MergerDialog::open()
{
    m_chooser->clear();
    for (const MergerChoice &choice : MergerChoices(m_document.model()))
        m_chooser->addItem(choice.text(), choice.id);
    m_chooser->setCurrentIndex(m_chooser->count() > 0 ? 0 : -1);
    m_groups = MergerGroupsOf(m_document.model());
    showGroups(-1);
    FocusFirstField(m_chooser);
    ShowInFront(this, Focus::Take);
}

QString MergerDialog::chosenID() const
{
    // An offered node gives its ID as it is, "-" and all; a typed text is taken whole.
    const QString text = m_chooser->currentText();
    const int index = m_chooser->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        return m_chooser->itemData(index).toString();
    return text.trimmed();
}

int MergerDialog::selectedRow() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < int(m_groups.size()) ? row : 0;
}

void MergerDialog::showGroups(int selected)
{
    m_list->clear();
    for (const MergerGroup &group : m_groups)
        m_list->addItem(MergerGroupText(group));
    if (selected >= 0 && selected < m_list->count())
        m_list->setCurrentRow(selected);
}

void MergerDialog::addChosen()
{
    const QString id = chosenID();
    if (id.isEmpty())
        return;
    if (GroupOfMember(m_groups, id) >= 0) {
        m_asker().message(u"Attention\u00B4: ID \"%1\" already selected!"_s.arg(id));
        return;
    }
    if (const Status storable = CheckMergerGroups({{id}}); !storable) {
        m_asker().message(storable.message());
        return;
    }
    if (m_groups.empty())
        m_groups.emplace_back();
    const int a = selectedRow();
    // Adding to an empty line leaves a new empty line for the next group.
    if (m_groups[size_t(a)].isEmpty())
        m_groups.emplace_back();
    m_groups[size_t(a)].append(id);
    showGroups(a);
}

void MergerDialog::deleteSelected()
{
    if (m_groups.empty())
        return;
    const int a = selectedRow();
    m_groups.erase(m_groups.begin() + a);
    showGroups(std::min(a, int(m_groups.size()) - 1));
}

void MergerDialog::showHelp()
{
    m_asker().message(u"Select nodes and add them to the merging window by clicking \"+\".\n"
                      "\"-\" deletes the selected line.\n"
                      "All nodes in one line are defined as unsure for merging."_s);
}

void MergerDialog::apply()
{
    if (const Status applied = ApplyMergerGroups(m_document, m_groups); !applied) {
        m_asker().message(applied.message());
        return;
    }
    hide();
}

} // namespace korvalo
