#include "FieldCellEditor.h"

#include "LinkLook.h"
#include "RecordData.h"

#include <QMouseEvent>

FieldCellEditor::FieldCellEditor(QWidget* parent) : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setWraps(false);
    document()->setDocumentMargin(1);
    viewport()->setMouseTracking(true);
    connect(this, &QPlainTextEdit::textChanged, this, &FieldCellEditor::textDidChange);
}

void FieldCellEditor::setText(const QString& text)
{
    if (text == toPlainText())
        return;
    const bool changing = std::exchange(m_changingText, true);
    setPlainText(RecordData::cleanedFieldValue(text));
    m_changingText = changing;
    setLinks({});
}

void FieldCellEditor::setCursorPosition(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, int(toPlainText().size())));
    setTextCursor(cursor);
}

void FieldCellEditor::setSelection(int start, int length)
{
    const int size = int(toPlainText().size());
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, size));
    cursor.setPosition(std::clamp(start + length, 0, size), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QPair<int, int> FieldCellEditor::selectedRange() const
{
    const QTextCursor cursor = textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

void FieldCellEditor::setTextColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, color);
    setPalette(colours);
}

void FieldCellEditor::setWraps(bool wraps)
{
    setLineWrapMode(wraps ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void FieldCellEditor::textDidChange()
{
    if (m_changingText)
        return;
    const bool changing = std::exchange(m_changingText, true);
    // One character for one, in place: positions, caret and selection stay valid, and
    // the cleaning joins the user's own edit so that one undo takes back both.
    const QString text = toPlainText();
    QTextCursor cleaner(document());
    bool joined = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!RecordData::isFieldBreak(text.at(i)))
            continue;
        if (!joined) {
            cleaner.joinPreviousEditBlock();
            joined = true;
        }
        cleaner.setPosition(int(i));
        cleaner.setPosition(int(i) + 1, QTextCursor::KeepAnchor);
        cleaner.insertText(QStringLiteral(" "));
    }
    if (joined)
        cleaner.endEditBlock();
    m_changingText = changing;
    setLinks({});
    Q_EMIT fieldTextChanged();
}

void FieldCellEditor::setLinks(QList<Link> links)
{
    if (links == m_links)
        return;
    m_links = std::move(links);
    showLinks();
}

void FieldCellEditor::showLinks()
{
    QList<QTextEdit::ExtraSelection> selections;
    for (const Link& link : std::as_const(m_links))
        selections.append(
            linkLook(document(), int(link.location), int(link.location + link.length), palette()));
    setExtraSelections(selections);
}

std::optional<FieldCellEditor::Link> FieldCellEditor::linkAt(const QPoint& point) const
{
    if (m_links.isEmpty())
        return std::nullopt;
    // The nearest caret position lies left or right of the character under the point.
    const QTextCursor cursor = cursorForPosition(point);
    const qsizetype position = cursor.position();
    const qsizetype character = point.x() < cursorRect(cursor).left() ? position - 1 : position;
    for (const Link& link : m_links) {
        if (character >= link.location && character < link.location + link.length)
            return link;
    }
    return std::nullopt;
}

void FieldCellEditor::mousePressEvent(QMouseEvent* event)
{
    m_pressedLink.reset();
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier)
        m_pressedLink = linkAt(event->position().toPoint());
    QPlainTextEdit::mousePressEvent(event);
}

void FieldCellEditor::mouseMoveEvent(QMouseEvent* event)
{
    viewport()->setCursor(linkAt(event->position().toPoint()) ? Qt::PointingHandCursor
                                                              : Qt::IBeamCursor);
    QPlainTextEdit::mouseMoveEvent(event);
}

void FieldCellEditor::mouseReleaseEvent(QMouseEvent* event)
{
    QPlainTextEdit::mouseReleaseEvent(event);
    const std::optional<Link> pressed = std::exchange(m_pressedLink, std::nullopt);
    // A drag that selected text is not a click on the link.
    if (pressed && event->button() == Qt::LeftButton && !textCursor().hasSelection() &&
        linkAt(event->position().toPoint()) == pressed)
        Q_EMIT linkClicked(pressed->url);
}
