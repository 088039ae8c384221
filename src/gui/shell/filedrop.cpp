#include "gui/shell/filedrop.h"

#include "gui/actions/fileactions.h"

#include <QDropEvent>
#include <QMainWindow>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace korvalo {

namespace {

// The first local .ego file among the dragged ones; empty when there is none.
QString egoFileOf(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".ego"), Qt::CaseInsensitive))
            return url.toLocalFile();
    }
    return {};
}

} // namespace

FileDrop::FileDrop(QMainWindow *window, FileActions &files) : QObject(window), m_files(files)
{
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool FileDrop::eventFilter(QObject *watched, QEvent *event)
{
    Q_UNUSED(watched);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (egoFileOf(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = egoFileOf(drop->mimeData());
        if (path.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        // The save question and any message wait until the drag has ended: a modal box
        // inside the drop would hold the program the file came from.
        QTimer::singleShot(0, this, [this, path] { m_files.fileReadPath(path); });
        return true;
    }
    default:
        return false;
    }
}

} // namespace korvalo
