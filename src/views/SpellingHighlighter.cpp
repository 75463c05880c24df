#include "SpellingHighlighter.h"

#include <QTextDocument>
#include <QTimer>

SpellingHighlighter::SpellingHighlighter(QTextDocument* document, const SpellChecker& checker,
                                         std::function<void(const SpellChecker::Ranges&)> show)
    : QObject(document), m_document(document), m_spelling(checker), m_show(std::move(show))
{
    // The document tells of a change before its layout knows of it: the underlines follow
    // once the edit is through, one check for the edits of one turn of the event loop.
    connect(document, &QTextDocument::contentsChange, this, [this] { scheduleRehighlight(); });
    scheduleRehighlight();
}

void SpellingHighlighter::scheduleRehighlight()
{
    if (std::exchange(m_pending, true))
        return;
    QTimer::singleShot(0, this, [this] {
        if (m_pending)
            rehighlight();
    });
}

void SpellingHighlighter::rehighlight()
{
    m_pending = false;
    if (!m_document)
        return;
    // The raw text counts positions as the document does, a paragraph's end included.
    m_ranges = m_spelling.misspelledRanges(m_document->toRawText());
    m_show(m_ranges);
}

QList<QTextEdit::ExtraSelection> SpellingHighlighter::underlines(QTextDocument* document,
                                                                 const SpellChecker::Ranges& ranges)
{
    QList<QTextEdit::ExtraSelection> underlines;
    underlines.reserve(ranges.size());
    for (const auto& [start, length] : ranges) {
        QTextEdit::ExtraSelection underline;
        underline.cursor = QTextCursor(document);
        underline.cursor.setPosition(int(start));
        underline.cursor.setPosition(int(start + length), QTextCursor::KeepAnchor);
        underline.format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
        underline.format.setUnderlineColor(Qt::red);
        underlines.append(underline);
    }
    return underlines;
}
