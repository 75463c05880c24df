#pragma once

#include <QSyntaxHighlighter>

class SpellChecker;

// Misspelled words underlined in red as the text is shown: the underline is the view's
// alone, never part of the stored text.
class SpellingHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    SpellingHighlighter(QTextDocument* document, const SpellChecker& checker);

protected:
    void highlightBlock(const QString& text) override;

private:
    const SpellChecker& m_checker;
    QTextCharFormat m_misspelled;
};
