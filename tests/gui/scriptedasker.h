#pragma once

#include "gui/shell/asker.h"

#include <QStringList>

#include <deque>

namespace korvalo {


// Answers the program's questions from a script and records every question asked, so
// that a test never waits on a modal window. A question without a scripted answer is
// recorded as unexpected and answered with No / Abort / Cancel.
class ScriptedAsker : public Asker
{
public:
    std::deque<Answer> answers;     // for yesNo and yesNoAbort, in order
    std::deque<int> choices;        // for choose: the index of the button; -1 closes the box
    std::deque<QString> inputs;     // for input boxes; a null QString means Cancel
    std::deque<QString> fileNames;  // for open and save dialogs; empty means Cancel
    std::deque<bool> options;       // for the check box of a save dialog; none leaves it as it is
    QStringList asked;              // "kind: text", in order
    QString startFolder;            // where the next file dialog would open
    QStringList unexpected;

    void message(const QString &text) override { asked << QStringLiteral("message: ") + text; }

    Answer yesNo(const QString &text) override
    {
        asked << QStringLiteral("yesNo: ") + text;
        return next(answers, Answer::No, text);
    }
    Answer yesNoAbort(const QString &text) override
    {
        asked << QStringLiteral("yesNoAbort: ") + text;
        return next(answers, Answer::Abort, text);
    }
    int choose(const QString &text, const QStringList &buttons) override
    {
        asked << QStringLiteral("choose: %1 [%2]").arg(text, buttons.join(u'|'));
        return next(choices, -1, text);
    }
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &initial) override
    {
        asked << QStringLiteral("input: %1|%2|%3").arg(caption, prompt, initial);
        const QString answer = next(inputs, QString(), prompt);
        if (answer.isNull())
            return std::nullopt;
        return answer;
    }
    QString openFileName(const QString &filter) override
    {
        asked << QStringLiteral("open: ") + filter;
        return next(fileNames, QString(), filter);
    }
    QString saveFileName(const QString &filter) override
    {
        asked << QStringLiteral("save: ") + filter;
        return next(fileNames, QString(), filter);
    }
    QString saveFileNameWithOption(const QString &filter, const QString &option, bool *checked) override
    {
        asked << QStringLiteral("save: %1 [%2]").arg(filter, option);
        if (!options.empty()) {
            *checked = options.front();
            options.pop_front();
        }
        return next(fileNames, QString(), filter);
    }

    void setStartFolder(const QString &folder) override { startFolder = folder; }

    QString folderName(const QString &caption, const QString &start) override
    {
        asked << QStringLiteral("folder: %1|%2").arg(caption, start);
        return next(fileNames, QString(), caption);
    }

    QStringList messages() const { return asked.filter(QStringLiteral("message: ")); }

private:
    template <typename T>
    T next(std::deque<T> &queue, T fallback, const QString &what)
    {
        if (queue.empty()) {
            unexpected << what;
            return fallback;
        }
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace korvalo
