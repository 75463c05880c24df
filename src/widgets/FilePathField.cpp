#include "FilePathField.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>

namespace {

// The first dropped local file's path; empty when the drag carries none.
QString firstPath(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    return urls.isEmpty() || !urls.first().isLocalFile() ? QString() : urls.first().toLocalFile();
}

Qt::DropAction preferredAction(Qt::DropActions offered)
{
    for (const Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction, Qt::MoveAction})
        if (offered & action)
            return action;
    return Qt::IgnoreAction;
}

} // namespace

FilePathField::FilePathField(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(true);
}

Qt::DropAction FilePathField::draggingEntered(const QMimeData* data, Qt::DropActions offered)
{
    const QString path = firstPath(data);
    if (path.isEmpty())
        return Qt::IgnoreAction;
    if (!(QFileInfo(path).isDir() ? m_acceptsDirectories : m_acceptsFiles))
        return Qt::IgnoreAction;
    if (hasFocus()) {
        // The drop would replace what is being typed: this drag ends the editing instead.
        clearFocus();
        return Qt::IgnoreAction;
    }
    setHighlighted(true);
    return preferredAction(offered);
}

void FilePathField::draggingExited()
{
    setHighlighted(false);
}

bool FilePathField::performDragOperation(const QMimeData* data)
{
    setHighlighted(false);
    const QString path = firstPath(data);
    if (path.isEmpty())
        return false;
    setText(path);
    Q_EMIT action();
    return true;
}

void FilePathField::dragEnterEvent(QDragEnterEvent* event)
{
    const Qt::DropAction action = draggingEntered(event->mimeData(), event->possibleActions());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void FilePathField::dragMoveEvent(QDragMoveEvent* event)
{
    // Decided on entering: the whole field takes the drop.
    if (m_highlighted)
        event->accept();
    else
        event->ignore();
}

void FilePathField::dragLeaveEvent(QDragLeaveEvent*)
{
    draggingExited();
}

void FilePathField::dropEvent(QDropEvent* event)
{
    if (performDragOperation(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FilePathField::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    if (!m_highlighted)
        return;
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight));
    pen.setWidth(2);
    painter.setPen(pen);
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
}

void FilePathField::setHighlighted(bool highlighted)
{
    if (m_highlighted == highlighted)
        return;
    m_highlighted = highlighted;
    update();
}
