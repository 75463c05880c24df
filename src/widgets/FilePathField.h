#pragma once

#include <QLineEdit>

class QMimeData;

// A text field that takes a dropped file or folder and shows its full path, then sends
// its action. Either kind may be refused; a field being edited (it has the focus)
// gives up its editing at the first drag and takes only the next.
class FilePathField : public QLineEdit {
    Q_OBJECT

public:
    explicit FilePathField(QWidget* parent = nullptr);

    bool acceptsFiles() const { return m_acceptsFiles; }
    void setAcceptsFiles(bool accepts) { m_acceptsFiles = accepts; }
    bool acceptsDirectories() const { return m_acceptsDirectories; }
    void setAcceptsDirectories(bool accepts) { m_acceptsDirectories = accepts; }
    // Shown while an acceptable drag is over the field.
    bool isHighlighted() const { return m_highlighted; }

    // The operation the drag may do: none when refused.
    Qt::DropAction draggingEntered(const QMimeData* data, Qt::DropActions offered);
    void draggingExited();
    bool performDragOperation(const QMimeData* data);

Q_SIGNALS:
    // The path was set by a drop.
    void action();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setHighlighted(bool highlighted);

    bool m_acceptsFiles = true;
    bool m_acceptsDirectories = true;
    bool m_highlighted = false;
};
