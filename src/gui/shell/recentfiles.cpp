#include "gui/shell/recentfiles.h"

#include "gui/shell/asker.h"
#include "gui/actions/fileactions.h"
#include "gui/shell/menus.h"
#include "core/edit/document.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace korvalo {

using namespace Qt::StringLiterals;

namespace {

const QString SettingsKey = u"RecentFiles"_s;

QSettings settings()
{
    const QString application = QCoreApplication::applicationName();
    const QString organization = QCoreApplication::organizationName();
    return QSettings(organization.isEmpty() ? application : organization, application);
}

// The same file, however it was named.
QString canonical(const QString &path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}

} // namespace

RecentFiles::RecentFiles(const ShellContext &context, FileActions &files, QObject *parent)
    : QObject(parent), m_context(context), m_menu(context.menus.menu(u"RecentFiles1"_s)),
      m_files(files)
{
    const Session &session = context.document.session();
    connect(&files, &FileActions::saved, this, [this, &session] { add(session.CurrentFileName); });
    connect(&files, &FileActions::egoReplaced, this, [this, &session](bool isNew) {
        if (!isNew)
            add(session.CurrentFileName);
    });
    rebuildMenu();
}

QStringList RecentFiles::files() const
{
    QStringList list = settings().value(SettingsKey).toStringList();
    list.removeAll(QString());
    if (list.size() > MaxFiles)
        list.resize(MaxFiles);
    return list;
}

void RecentFiles::store(const QStringList &list)
{
    {
        QSettings s = settings();
        s.setValue(SettingsKey, list);
    }
    rebuildMenu();
}

void RecentFiles::add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString entry = canonical(path);
    QStringList list = files();
    list.removeIf([&](const QString &p) { return canonical(p) == entry; });
    list.prepend(entry);
    if (list.size() > MaxFiles)
        list.resize(MaxFiles);
    store(list);
}

void RecentFiles::clear()
{
    store({});
}

void RecentFiles::open(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_context.asker().message(u"The file \"%1\" no longer exists. It is taken off the list of recent files."_s
                              .arg(QDir::toNativeSeparators(path)));
        QStringList list = files();
        list.removeAll(path);
        store(list);
        return;
    }
    m_files.fileReadPath(path);
}

void RecentFiles::rebuildMenu()
{
    // The items are made once and relabelled: the item chosen may be the one whose signal
    // is being delivered when the list changes.
    if (m_menu->isEmpty()) {
        for (int number = 1; number <= MaxFiles; ++number) {
            QAction *item = m_menu->addAction(QString());
            item->setObjectName(u"RecentFile%1"_s.arg(number));
            connect(item, &QAction::triggered, this, [this, item] { open(item->data().toString()); });
        }
        m_separator = m_menu->addSeparator();
        QAction *clearItem = m_menu->addAction(u"Clear List"_s);
        clearItem->setObjectName(u"ClearRecentFiles1"_s);
        connect(clearItem, &QAction::triggered, this, &RecentFiles::clear);
    }
    const QStringList list = files();
    const QList<QAction *> items = m_menu->actions();
    for (int i = 0; i < MaxFiles; ++i) {
        QAction *item = items.at(i);
        const bool used = i < list.size();
        item->setVisible(used);
        item->setData(used ? list.at(i) : QString());
        item->setText(used ? u"&%1 %2"_s.arg(i + 1).arg(QDir::toNativeSeparators(list.at(i))) : QString());
    }
    m_separator->setVisible(!list.isEmpty());
    items.last()->setEnabled(!list.isEmpty());
    m_menu->menuAction()->setEnabled(!list.isEmpty());
}

} // namespace korvalo
