#pragma once

#include <QList>
#include <QObject>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocumentFragment>

#include <optional>

class EditorWindowController;
class QTextDocument;

// Format ▸ Sort Lines: the lines of the Freeform Text Area sorted A to Z (or Z to A), each
// keeping its attributes, as one step of the text's undo named "FTA Sort"; Undo Line Sort
// and Redo Line Sort put back the text as it was before or after the last sort, as a step
// of that name too. Only the sort stamps the record: putting a text back, by these items
// or by Undo and Redo, does not. Only where the text may be typed in: not in a clone,
// while syncing or in a locked record.
class EditorLineSortController : public QObject {
    Q_OBJECT

public:
    explicit EditorLineSortController(EditorWindowController& editor);

    // Stable and case-insensitive; an empty last line (text ending in a line feed) sorts
    // first. Nothing where the text may not be typed in.
    void sortFreeformTextByLine(bool descending);
    void undoSortByLine();
    void redoSortByLine();

    // The text's lines (n line feeds give n + 1, empty ones included) in sorted order,
    // each with its attributes and joined by line feeds, as one undo step of the text.
    static void sortLines(QTextDocument& text, bool descending);

private:
    // A line of the text: its characters with their attributes, and its paragraph's.
    struct Line {
        QString text;
        QTextDocumentFragment characters;
        QTextBlockFormat paragraph;
        QTextCharFormat paragraphCharacters;
    };
    static QList<Line> componentsOfAttributedString(const QTextDocument& text);
    static QString actionName();
    // Puts the kept text back, as a step of the text's undo.
    void restore(const std::optional<QList<Line>>& lines);
    // Replaces the whole text by the lines as one undo step.
    static void replaceText(QTextDocument& text, const QList<Line>& lines);
    bool mayChangeText() const;

    EditorWindowController& m_editor;
    std::optional<QList<Line>> m_unsortedFTA;
    std::optional<QList<Line>> m_sortedFTA;
};
