#pragma once

#include "SpellChecker.h"

#include <QHash>
#include <QString>

// The misspelled words of one text as it is edited: each new version is compared with the
// last, and only the words around what changed are read again; every word's answer is
// kept for the text's later versions. The answers are dropped when the checker's answers
// may have changed (its language, or the words the user ignored).
class IncrementalSpelling {
public:
    explicit IncrementalSpelling(const SpellChecker& checker);

    // The same ranges as `SpellChecker::misspelledRanges(text)`.
    const SpellChecker::Ranges& misspelledRanges(const QString& text);

    // How many words the dictionary was asked about since the start.
    qint64 dictionaryCalls() const { return m_dictionaryCalls; }

private:
    void check(QStringView text, qsizetype from, qsizetype to, SpellChecker::Ranges& into);
    bool isRight(QStringView word);

    const SpellChecker& m_checker;
    bool m_checked = false;
    quint64 m_generation = 0;
    QString m_language;
    QString m_text;
    SpellChecker::Ranges m_ranges;
    QHash<QString, bool> m_answers;
    qint64 m_dictionaryCalls = 0;
};
