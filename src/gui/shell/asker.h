#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace korvalo {



// Everything the program asks a person goes through this one interface, owned by the
// main window. The Qt implementation shows modal dialogs; tests install a scripted one.
class Asker
{
public:
    enum class Answer { Yes, No, Abort };

    virtual ~Asker() = default;

    // A message with an OK button.
    virtual void message(const QString &text) = 0;
    // A confirmation with Yes and No; closing the box counts as No.
    virtual Answer yesNo(const QString &text) = 0;
    // A confirmation with Yes, No and Abort; closing the box counts as Abort.
    virtual Answer yesNoAbort(const QString &text) = 0;
    // A question answered with one of its own buttons, captioned `choices` in order; the
    // answer is the index of the button pressed, -1 when the box was closed.
    virtual int choose(const QString &text, const QStringList &choices) = 0;
    // An input box; nothing on Cancel.
    virtual std::optional<QString> input(const QString &caption, const QString &prompt,
                                         const QString &initial) = 0;
    // File dialogs; `filter` in Qt's form ("Ego files (*.ego)"). An empty path means
    // Cancel. A save name comes back with the filter's extension (".ego") appended unless
    // it already ends in it, and replacing an existing file under that final name has
    // been confirmed.
    virtual QString openFileName(const QString &filter) = 0;
    virtual QString saveFileName(const QString &filter) = 0;
    // As saveFileName(), for a name that stands for other files (cards' pictures "ego1.jpg",
    // "ego2.jpg"... from "ego.jpg"): nothing is asked about the name itself, the caller
    // asks about the files it will write.
    virtual QString saveBaseName(const QString &filter) { return saveFileName(filter); }
    // As saveFileName(), with a check box captioned `option` in the dialog (such as "Hide
    // names"): `checked` holds the box's state going in and comes back as it was left.
    virtual QString saveFileNameWithOption(const QString &filter, const QString &option, bool *checked)
    {
        Q_UNUSED(option);
        Q_UNUSED(checked);
        return saveFileName(filter);
    }
    // The folder the next file dialog opens in (the current file's), when known.
    virtual void setStartFolder(const QString &folder) { Q_UNUSED(folder); }
    // The name (without folder) the next save dialog offers; used once.
    virtual void suggestSaveName(const QString &name) { Q_UNUSED(name); }
    // A folder dialog opening at `start`, titled `caption`; empty means Cancel.
    virtual QString folderName(const QString &caption, const QString &start)
    {
        Q_UNUSED(caption);
        Q_UNUSED(start);
        return {};
    }
};

// Shows real Qt dialogs over the window that asks (the active one), or over `parent`
// when none of the program's windows is active.
class DialogAsker : public Asker
{
public:
    explicit DialogAsker(QWidget *parent) : m_parent(parent) {}

    void message(const QString &text) override;
    Answer yesNo(const QString &text) override;
    Answer yesNoAbort(const QString &text) override;
    int choose(const QString &text, const QStringList &choices) override;
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &initial) override;
    QString openFileName(const QString &filter) override;
    QString saveFileName(const QString &filter) override;
    QString saveBaseName(const QString &filter) override;
    QString saveFileNameWithOption(const QString &filter, const QString &option, bool *checked) override;
    void setStartFolder(const QString &folder) override { m_folder = folder; }
    void suggestSaveName(const QString &name) override { m_suggested = name; }
    QString folderName(const QString &caption, const QString &start) override;

private:
    QWidget *owner() const;
    QString askSaveName(const QString &filter, bool confirmReplace);
    // The name a save dialog gave with the filter's extension appended; empty when the
    // file exists and the user does not want it replaced.
    QString finishedSavePath(QString path, const QString &filter, bool confirmReplace);

    QWidget *m_parent;
    QString m_folder; // where the last file dialog ended, or the current file's folder
    QString m_suggested; // offered by the next save dialog
};

} // namespace korvalo
