#include "EditorLineSortController.h"

#include "EditorWindowController.h"
#include "FreeformTextView.h"
#include "Localization.h"

#include <QAction>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

QList<EditorLineSortController::Line>
EditorLineSortController::componentsOfAttributedString(const QTextDocument& text)
{
    QList<Line> lines;
    for (QTextBlock block = text.begin(); block.isValid(); block = block.next()) {
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        lines.append({block.text(), cursor.selection(), block.blockFormat(), block.charFormat()});
    }
    return lines;
}

void EditorLineSortController::replaceText(QTextDocument& text, const QList<Line>& lines)
{
    QTextCursor cursor(&text);
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Line& line = lines.at(i);
        if (i > 0)
            cursor.insertBlock();
        cursor.insertFragment(line.characters);
        // After the characters, which would bring the paragraph attributes of their own
        // line's first paragraph.
        cursor.setBlockFormat(line.paragraph);
        cursor.setBlockCharFormat(line.paragraphCharacters);
    }
    cursor.endEditBlock();
}

EditorLineSortController::EditorLineSortController(EditorWindowController& editor)
    : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("sortFreeformTextByLine:"), [this](QObject* sender) {
        const auto* item = qobject_cast<const QAction*>(sender);
        sortFreeformTextByLine(item && item->data().toInt() == 1);
    });
    m_editor.registerAction(QStringLiteral("undoSortByLine:"),
                            [this](QObject*) { undoSortByLine(); });
    m_editor.registerAction(QStringLiteral("redoSortByLine:"),
                            [this](QObject*) { redoSortByLine(); });
}

QString EditorLineSortController::actionName()
{
    return localized(QStringLiteral("FTA Sort"), QStringLiteral("UndoStrings"));
}

bool EditorLineSortController::mayChangeText() const
{
    return m_editor.engine().textShouldBeginEditing();
}

void EditorLineSortController::sortLines(QTextDocument& text, bool descending)
{
    QList<Line> lines = componentsOfAttributedString(text);
    std::stable_sort(lines.begin(), lines.end(), [descending](const Line& a, const Line& b) {
        const int order = a.text.compare(b.text, Qt::CaseInsensitive);
        return descending ? order > 0 : order < 0;
    });
    replaceText(text, lines);
}

void EditorLineSortController::sortFreeformTextByLine(bool descending)
{
    if (!mayChangeText())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    QTextDocument* text = view->document();
    m_unsortedFTA = componentsOfAttributedString(*text);
    // The sort is the user's edit: the record is stamped and the datafile changed. Its
    // undo and redo put back a kept text and leave the stamp.
    view->changeInNamedStep(actionName(), false, [&] { sortLines(*text, descending); });
    m_sortedFTA = componentsOfAttributedString(*text);
}

void EditorLineSortController::undoSortByLine()
{
    restore(m_unsortedFTA);
}

void EditorLineSortController::redoSortByLine()
{
    restore(m_sortedFTA);
}

void EditorLineSortController::restore(const std::optional<QList<Line>>& lines)
{
    if (!lines || !mayChangeText())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    view->changeInNamedStep(actionName(), true, [&] { replaceText(*view->document(), *lines); });
}
