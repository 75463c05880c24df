#pragma once

#include "IncrementalSpelling.h"

#include <QObject>
#include <QPointer>
#include <QTextEdit>

#include <functional>

class QTextDocument;

// Misspelled words underlined in red as the text is shown: the underline is the view's
// alone, never part of the stored text. The view draws the underlines over the laid-out
// text rather than taking them as formats of the text, so that a long paragraph is not cut
// into many pieces to lay out again on every keystroke; after an edit only the words
// around it are checked again.
class SpellingHighlighter : public QObject {
    Q_OBJECT

public:
    // `show` hands the misspelled words, (start, length) in the document, to the view that
    // draws it.
    SpellingHighlighter(QTextDocument* document, const SpellChecker& checker,
                        std::function<void(const SpellChecker::Ranges&)> show);
    // The ranges as a view's extra selections, for a short text.
    static QList<QTextEdit::ExtraSelection> underlines(QTextDocument* document,
                                                       const SpellChecker::Ranges& ranges);

    // The document's misspelled words as they are underlined now, (start, length).
    const SpellChecker::Ranges& misspelledRanges() const { return m_ranges; }
    // Checks at once what an edit left to check (it is otherwise done once the edit is
    // through).
    void rehighlight();

private:
    void scheduleRehighlight();

    QPointer<QTextDocument> m_document;
    IncrementalSpelling m_spelling;
    std::function<void(const SpellChecker::Ranges&)> m_show;
    SpellChecker::Ranges m_ranges;
    bool m_pending = false;
};
