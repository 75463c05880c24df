#include "SpellChecker.h"

#include <QFileInfo>
#include <QLocale>
#include <QTextBoundaryFinder>

#include <hunspell.hxx>

namespace {

const QStringList dictionaryFolders = {QStringLiteral("/usr/share/hunspell"),
                                       QStringLiteral("/usr/share/myspell/dicts"),
                                       QStringLiteral("/usr/share/myspell")};

bool isCheckedWord(QStringView word)
{
    for (const QChar c : word) {
        if (c.isDigit() || c == QLatin1Char('@') || c == QLatin1Char('/') || c == QLatin1Char('_'))
            return false;
    }
    return word.size() > 1;
}

} // namespace

SpellChecker& SpellChecker::shared()
{
    static SpellChecker checker(dictionaryFolders, QLocale().name());
    return checker;
}

SpellChecker::SpellChecker(const QStringList& folders, const QString& localeName)
{
    const QStringList languages = {localeName, localeName.section(QLatin1Char('_'), 0, 0),
                                   QStringLiteral("en_US")};
    for (const QString& language : languages) {
        for (const QString& folder : folders) {
            const QString base = folder + QLatin1Char('/') + language;
            if (!QFileInfo::exists(base + QStringLiteral(".aff")) ||
                !QFileInfo::exists(base + QStringLiteral(".dic")))
                continue;
            m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(base + QStringLiteral(".aff")).constData(),
                                                    QFile::encodeName(base + QStringLiteral(".dic")).constData());
            m_language = language;
            m_utf8 = QString::fromLatin1(m_hunspell->get_dict_encoding().c_str())
                         .compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0;
            return;
        }
    }
}

SpellChecker::~SpellChecker() = default;

std::string SpellChecker::encoded(const QString& word) const
{
    return m_utf8 ? word.toStdString() : word.toLatin1().toStdString();
}

bool SpellChecker::isCorrect(const QString& word) const
{
    if (!m_hunspell || m_ignored.contains(word))
        return true;
    return m_hunspell->spell(encoded(word));
}

QStringList SpellChecker::guesses(const QString& word) const
{
    QStringList found;
    if (!m_hunspell)
        return found;
    for (const std::string& guess : m_hunspell->suggest(encoded(word)))
        found.append(m_utf8 ? QString::fromStdString(guess) : QString::fromLatin1(guess.c_str()));
    return found;
}

void SpellChecker::ignoreWord(const QString& word)
{
    m_ignored.insert(word);
    ++m_generation;
}

SpellChecker::Ranges SpellChecker::misspelledRanges(const QString& text) const
{
    Ranges ranges;
    if (m_hunspell)
        appendMisspelledRanges(
            text, 0, [this](QStringView word) { return isCorrect(word.toString()); }, ranges);
    return ranges;
}

void SpellChecker::appendMisspelledRanges(QStringView text, qsizetype offset,
                                          const std::function<bool(QStringView)>& isRight,
                                          Ranges& ranges)
{
    QTextBoundaryFinder words(QTextBoundaryFinder::Word, text.data(), int(text.size()));
    // The finder stands on the text's start, which the steps below never visit: a text's
    // first word is a word too.
    qsizetype start = (words.boundaryReasons() & QTextBoundaryFinder::StartOfItem) ? 0 : -1;
    qsizetype tokenStart = 0;
    qsizetype tokenEnd = 0;
    bool address = false;
    for (qsizetype at = words.toNextBoundary(); at >= 0; at = words.toNextBoundary()) {
        if (words.boundaryReasons() & QTextBoundaryFinder::StartOfItem)
            start = at;
        if ((words.boundaryReasons() & QTextBoundaryFinder::EndOfItem) && start >= 0) {
            const QStringView word = text.sliced(start, at - start);
            // The words of an address or a file path are no words. The run of text between
            // white space is read once for all its words.
            if (start >= tokenEnd) {
                tokenStart = start;
                while (tokenStart > 0 && !text[tokenStart - 1].isSpace())
                    --tokenStart;
                tokenEnd = at;
                while (tokenEnd < text.size() && !text[tokenEnd].isSpace())
                    ++tokenEnd;
                const QStringView token = text.sliced(tokenStart, tokenEnd - tokenStart);
                address = token.contains(u"://") || token.contains(u'@') ||
                          token.startsWith(u"www.", Qt::CaseInsensitive);
            }
            if (!address && isCheckedWord(word) && !isRight(word))
                ranges.append({offset + start, at - start});
            start = -1;
        }
    }
}
