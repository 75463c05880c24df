#pragma once

#include "TextViewResponder.h"

#include <QPlainTextEdit>

#include <optional>

// The editor of one field cell. A field value never holds a line break or a tab, so
// every change the user makes (typing, pasting) is cleaned at once, the caret kept.
// Links marked in the text are followed by a click; any change of the text drops them,
// as they no longer match it.
class FieldCellEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    struct Link {
        qsizetype location = 0;
        qsizetype length = 0;
        QString url; // as written in the text, with the scheme it needed
        bool operator==(const Link&) const = default;
    };

    explicit FieldCellEditor(QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    // Replaces the text; not a change by the user.
    void setText(const QString& text);
    int cursorPosition() const { return textCursor().position(); }
    void setCursorPosition(int position);
    void setSelection(int start, int length);
    // Start and length of the selection (length 0: the caret).
    QPair<int, int> selectedRange() const;
    void setTextColor(const QColor& color);
    // Long text wraps onto the row's further lines instead of scrolling sideways.
    void setWraps(bool wraps);

    void setLinks(QList<Link> links);
    const QList<Link>& links() const { return m_links; }
    // The link over the character at the viewport point, if any.
    std::optional<Link> linkAt(const QPoint& point) const;

Q_SIGNALS:
    // After the user changed the text and it was cleaned.
    void fieldTextChanged();
    void linkClicked(const QString& url);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void textDidChange();
    void showLinks();

    bool m_changingText = false;
    QList<Link> m_links;
    std::optional<Link> m_pressedLink;
    // Cut, Copy, Paste and the other text commands of the menus.
    TextViewResponder m_textCommands{this};
};
