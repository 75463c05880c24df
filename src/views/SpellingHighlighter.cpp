#include "SpellingHighlighter.h"

#include "SpellChecker.h"

SpellingHighlighter::SpellingHighlighter(QTextDocument* document, const SpellChecker& checker)
    : QSyntaxHighlighter(document), m_checker(checker)
{
    m_misspelled.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    m_misspelled.setUnderlineColor(Qt::red);
}

void SpellingHighlighter::highlightBlock(const QString& text)
{
    for (const auto& [start, length] : m_checker.misspelledRanges(text))
        setFormat(int(start), int(length), m_misspelled);
}
