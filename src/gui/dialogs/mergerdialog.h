#pragma once

#include "core/analysis/identity.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QListWidget;

namespace korvalo {

class Asker;
class Document;

// "Define Unsure Node Merger": the user collects node IDs into groups that may denote one
// person. The chooser offers every ID of the ego once; "+" adds the chosen ID to the
// selected group, "-" deletes the selected group, "Apply" writes the groups into the
// nodes' Merger fields as one step and hides the window, "Ignore" hides it unchanged.
// Modeless and on top; each opening rebuilds the chooser and the groups from the nodes.
class MergerDialog : public QDialog
{
    Q_OBJECT
public:
    MergerDialog(Document &document, std::function<Asker &()> asker, QWidget *parent = nullptr);

    // Rebuilds the chooser and the groups from the document, then shows the window.
    void open() override;

    const std::vector<MergerGroup> &groups() const { return m_groups; }

    void addChosen();
    void deleteSelected();
    void showHelp();
    void apply();

private:
    void showGroups(int selected);
    int selectedRow() const;
    QString chosenID() const;

    Document &m_document;
    std::function<Asker &()> m_asker;
    QComboBox *m_chooser;
    QListWidget *m_list;
    // What the list shows, one group per line; an empty group is a line still to fill.
    std::vector<MergerGroup> m_groups;
};

} // namespace korvalo
