#include "IncrementalSpelling.h"

#include <algorithm>

namespace {

// A text of many different words keeps no more answers than this.
constexpr qsizetype MostAnswers = 100'000;

qsizetype commonPrefix(QStringView a, QStringView b)
{
    const auto [end, unused] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return end - a.begin();
}

qsizetype commonSuffix(QStringView a, QStringView b)
{
    const auto [end, unused] = std::mismatch(a.rbegin(), a.rend(), b.rbegin(), b.rend());
    return end - a.rbegin();
}

} // namespace

IncrementalSpelling::IncrementalSpelling(const SpellChecker& checker) : m_checker(checker)
{
}

bool IncrementalSpelling::isRight(QStringView word)
{
    if (m_answers.size() >= MostAnswers)
        m_answers.clear();
    const QString key = word.toString();
    auto found = m_answers.constFind(key);
    if (found == m_answers.constEnd()) {
        ++m_dictionaryCalls;
        found = m_answers.insert(key, m_checker.isCorrect(key));
    }
    return *found;
}

void IncrementalSpelling::check(QStringView text, qsizetype from, qsizetype to,
                                SpellChecker::Ranges& into)
{
    if (!m_checker.isAvailable())
        return;
    SpellChecker::appendMisspelledRanges(
        text.sliced(from, to - from), from, [this](QStringView word) { return isRight(word); },
        into);
}

const SpellChecker::Ranges& IncrementalSpelling::misspelledRanges(const QString& text)
{
    if (!m_checked || m_generation != m_checker.generation() ||
        m_language != m_checker.language()) {
        m_answers.clear();
        m_generation = m_checker.generation();
        m_language = m_checker.language();
        m_ranges.clear();
        check(text, 0, text.size(), m_ranges);
        m_text = text;
        m_checked = true;
        return m_ranges;
    }
    const qsizetype prefix = commonPrefix(m_text, text);
    if (prefix == text.size() && prefix == m_text.size())
        return m_ranges;
    const qsizetype suffix =
        std::min(commonSuffix(m_text, text), std::min(m_text.size(), text.size()) - prefix);
    // What changed, widened to the white space around it: no word and no address reaches
    // across white space, so the words outside keep their answers and only move.
    qsizetype from = prefix;
    while (from > 0 && !text[from - 1].isSpace())
        --from;
    qsizetype to = text.size() - suffix;
    while (to < text.size() && !text[to].isSpace())
        ++to;
    const qsizetype shift = text.size() - m_text.size();
    const qsizetype oldTo = to - shift;

    SpellChecker::Ranges ranges;
    const auto before = std::lower_bound(
        m_ranges.cbegin(), m_ranges.cend(), from,
        [](const auto& range, qsizetype at) { return range.first + range.second <= at; });
    const auto after =
        std::lower_bound(before, m_ranges.cend(), oldTo,
                         [](const auto& range, qsizetype at) { return range.first < at; });
    ranges.reserve(m_ranges.size() + 8);
    ranges.append(m_ranges.cbegin(), before);
    check(text, from, to, ranges);
    for (auto range = after; range != m_ranges.cend(); ++range)
        ranges.append({range->first + shift, range->second});
    m_ranges = std::move(ranges);
    m_text = text;
    return m_ranges;
}
