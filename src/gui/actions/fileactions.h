#pragma once

#include "core/model/networkmodel.h"

#include <QObject>
#include <QString>

#include <functional>

namespace korvalo {

class Asker;
class Document;

// File > New, Read, Save, Save as and the save questions before an ego is set aside.
class FileActions : public QObject
{
    Q_OBJECT
public:
    FileActions(Document &document, std::function<Asker &()> asker, QObject *parent = nullptr);

    // A fresh ego with no question asked; egoReplaced() follows.
    void newEgo();
    void fileNew();   // File > New
    void fileRead();  // File > Read and the tool bar's read button
    void chooserRead(); // the start chooser's "Read Ego from File"
    // File > Read with the file already chosen (File > Recent Files).
    void fileReadPath(const QString &path);
    // Reads path into the document; on failure says why and changes nothing.
    bool readFile(const QString &path, bool warn);
    // File > Save (askForName false) and Save as (true). True only when the file was
    // written.
    bool saveEgo(bool askForName);
    // Asks whether to save unsaved changes before the ego is set aside. True when the
    // caller may go on: nothing unsaved, "No", or "Yes" and the save really happened.
    bool offerToSave(const QString &question);
    bool offerToSaveBeforeClosing();
    // Opens a recovered document under the name of the file it was read from or saved to
    // (empty for an ego never saved). The file's own contents, when it can be read, are
    // one undo step back, so the ego shows as changed until it is saved.
    void restoreRecovered(NetworkModel recovered, const QString &originalFile);

Q_SIGNALS:
    // The document holds another ego now (new or read).
    void egoReplaced(bool isNew);
    // The ego was written to session().CurrentFileName.
    void saved();

private:
    void startInCurrentFolder();

    Document &m_document;
    std::function<Asker &()> m_asker;
};

} // namespace korvalo
