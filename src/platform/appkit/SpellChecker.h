#pragma once

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <utility>

class Hunspell;

// The spelling of words in the user's language, from the system's hunspell dictionaries.
// Without a dictionary every word counts as spelled right.
class SpellChecker {
public:
    // The dictionary of the user's locale, else American English; the folders searched can
    // be replaced (tests use their own).
    static SpellChecker& shared();
    SpellChecker(const QStringList& folders, const QString& localeName);
    ~SpellChecker();

    bool isAvailable() const { return m_hunspell != nullptr; }
    QString language() const { return m_language; }
    bool isCorrect(const QString& word) const;
    QStringList guesses(const QString& word) const;
    // Counts as right for the rest of the session.
    void ignoreWord(const QString& word);
    // Changes whenever a word's answer may have changed (a word ignored), so that answers
    // kept elsewhere can be dropped.
    quint64 generation() const { return m_generation; }

    using Ranges = QList<std::pair<qsizetype, qsizetype>>;
    // The words of the text spelled wrong: (start, length) in UTF-16 units. Words with
    // digits and addresses are left alone.
    Ranges misspelledRanges(const QString& text) const;
    // The same reading of words over a stretch of a text, each word asked of `isRight`;
    // positions count from the start of the stretch plus `offset`. A stretch must begin
    // and end where a text does or beside white space, so that it holds whole addresses.
    static void appendMisspelledRanges(QStringView stretch, qsizetype offset,
                                       const std::function<bool(QStringView)>& isRight,
                                       Ranges& ranges);

private:
    std::string encoded(const QString& word) const;

    std::unique_ptr<Hunspell> m_hunspell;
    QString m_language;
    bool m_utf8 = true;
    QSet<QString> m_ignored;
    quint64 m_generation = 0;
};
