#include "TextSearch.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {
// Below U+0300 there are no combining marks and no two characters are canonically
// equivalent, so such text compares code unit by code unit.
bool isPlain(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x300)
            return false;
    }
    return true;
}

struct CodePoint {
    char32_t value;
    qsizetype size;
};

CodePoint codePointAt(QStringView text, qsizetype index)
{
    const QChar c = text[index];
    if (c.isHighSurrogate() && index + 1 < text.size() && text[index + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[index + 1]), 2};
    return {c.unicode(), 1};
}

bool isHangulLeadingOrSyllable(char32_t c)
{
    return (c >= 0x1100 && c <= 0x11ff) || (c >= 0xac00 && c <= 0xd7a3);
}

// Whether a code point belongs to the character before it: combining marks, and the
// vowel and final jamo that complete a Hangul syllable.
bool continuesSequence(char32_t c, char32_t previous)
{
    if (c < 0x300)
        return false;
    if (QChar::combiningClass(c) != 0)
        return true;
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return c >= 0x1160 && c <= 0x11ff && isHangulLeadingOrSyllable(previous);
    }
}

void appendCodePoint(std::u16string& out, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        out.push_back(QChar::highSurrogate(c));
        out.push_back(QChar::lowSurrogate(c));
    } else {
        out.push_back(char16_t(c));
    }
}

// The comparable form of one code point: its canonical decomposition, case folded when
// asked (folding can leave a decomposable letter, so decompose again after it).
QString comparableForm(QStringView text, bool fold)
{
    QString normal = text.toString().normalized(QString::NormalizationForm_D);
    if (fold)
        normal = normal.toCaseFolded().normalized(QString::NormalizationForm_D);
    return normal;
}

// The accented letters of the Latin, Greek and Cyrillic scripts, decomposed ahead of time
// so that searching text written in them does not normalise letter by letter.
class LetterForms {
public:
    static constexpr char32_t first = 0xc0;
    static constexpr char32_t end = 0x2000;

    LetterForms()
    {
        for (int fold = 0; fold < 2; ++fold) {
            for (char32_t c = first; c < end; ++c) {
                const char16_t unit = char16_t(c);
                const QString form = comparableForm(QStringView(&unit, 1), fold);
                Form& entry = m_forms[fold][c - first];
                if ((form.size() == 1 && form.front() == QChar(unit)) ||
                    form.size() > qsizetype(std::size(entry.units)))
                    continue;
                entry.length = quint8(form.size());
                std::copy(form.utf16(), form.utf16() + form.size(), entry.units);
            }
        }
    }

    // The form when it differs from the code point itself.
    std::optional<std::u16string_view> form(char32_t c, bool fold) const
    {
        if (c < first || c >= end)
            return std::nullopt;
        const Form& entry = m_forms[fold][c - first];
        if (entry.length == 0)
            return std::nullopt;
        return std::u16string_view(entry.units, entry.length);
    }

private:
    struct Form {
        quint8 length = 0;
        char16_t units[4] = {};
    };
    std::array<Form, end - first> m_forms[2];
};

const LetterForms& letterForms()
{
    static const LetterForms forms;
    return forms;
}

bool isHangulSyllable(char32_t c)
{
    return c >= 0xac00 && c <= 0xd7a3;
}

void appendHangulJamo(std::u16string& out, char32_t syllable)
{
    const char32_t index = syllable - 0xac00;
    out.push_back(char16_t(0x1100 + index / (21 * 28)));
    out.push_back(char16_t(0x1161 + index % (21 * 28) / 28));
    if (index % 28 != 0)
        out.push_back(char16_t(0x11a7 + index % 28));
}

bool isCanonicallyOrdered(std::u16string_view text)
{
    const QStringView view(text.data(), qsizetype(text.size()));
    int previousClass = 0;
    for (qsizetype i = 0; i < view.size();) {
        const auto [c, size] = codePointAt(view, i);
        const int combiningClass = QChar::combiningClass(c);
        if (combiningClass != 0 && combiningClass < previousClass)
            return false;
        previousClass = combiningClass;
        i += size;
    }
    return true;
}

// Appends one combining sequence decomposed canonically (and case folded when asked),
// the form in which equivalent text is equal.
void appendComparable(std::u16string& out, QStringView sequence, bool fold)
{
    // Code point by code point where that gives the sequence's form; QString normalises
    // whole sequences only for the rare rest (marks to reorder, rare decompositions).
    const size_t start = out.size();
    bool direct = true;
    for (qsizetype i = 0; i < sequence.size() && direct;) {
        const auto [c, size] = codePointAt(sequence, i);
        i += size;
        if (c < 0x80) {
            out.push_back(char16_t(fold && c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c));
        } else if (const auto form = letterForms().form(c, fold)) {
            out.append(*form);
        } else if (isHangulSyllable(c)) {
            appendHangulJamo(out, c);
        } else {
            const char32_t folded = fold ? QChar::toCaseFolded(c) : c;
            direct = QChar::decompositionTag(c) != QChar::Canonical &&
                     (folded == c || (QChar::decompositionTag(folded) != QChar::Canonical &&
                                      QChar::combiningClass(folded) == QChar::combiningClass(c)));
            appendCodePoint(out, folded);
        }
    }
    if (direct && isCanonicallyOrdered(std::u16string_view(out).substr(start)))
        return;
    out.resize(start);
    const QString normal = comparableForm(sequence, fold);
    out.append(reinterpret_cast<const char16_t*>(normal.utf16()), size_t(normal.size()));
}

// Text in comparable form, with where each combining sequence of the source begins.
struct ComparableText {
    std::u16string text;
    // One entry per position of `text` and one for its end: the source index of the
    // sequence that begins there, or -1 inside a sequence.
    std::vector<qsizetype> sourceIndex;

    void assign(QStringView source, bool fold)
    {
        text.clear();
        sourceIndex.clear();
        qsizetype index = 0;
        while (index < source.size()) {
            const qsizetype start = index;
            auto [previous, size] = codePointAt(source, index);
            index += size;
            while (index < source.size()) {
                const auto [next, nextSize] = codePointAt(source, index);
                if (!continuesSequence(next, previous))
                    break;
                previous = next;
                index += nextSize;
            }
            sourceIndex.resize(text.size(), -1);
            sourceIndex.push_back(start);
            appendComparable(text, source.sliced(start, index - start), fold);
        }
        sourceIndex.resize(text.size(), -1);
        sourceIndex.push_back(source.size());
    }

    QStringView view() const { return QStringView(text.data(), qsizetype(text.size())); }

    // A one-off huge field should not pin its buffers for the thread's lifetime.
    void releaseIfLarge()
    {
        constexpr size_t keep = 1 << 16;
        if (text.capacity() > keep) {
            std::u16string().swap(text);
            std::vector<qsizetype>().swap(sourceIndex);
        }
    }
};

std::optional<TextRange> searchComparable(QStringView text, QStringView pattern, bool fold)
{
    // Reused across calls: the selection searches every field of every record.
    thread_local ComparableText comparableText;
    thread_local ComparableText comparablePattern;
    comparableText.assign(text, fold);
    comparablePattern.assign(pattern, fold);

    const QStringView haystack = comparableText.view();
    const QStringView needle = comparablePattern.view();
    const std::vector<qsizetype>& sourceIndex = comparableText.sourceIndex;
    std::optional<TextRange> result;
    for (qsizetype from = 0;;) {
        const qsizetype found = haystack.indexOf(needle, from, Qt::CaseSensitive);
        if (found < 0)
            break;
        const qsizetype begin = sourceIndex[size_t(found)];
        const qsizetype end = sourceIndex[size_t(found + needle.size())];
        if (begin >= 0 && end >= 0) {
            result = TextRange{begin, end - begin};
            break;
        }
        from = found + 1;
    }
    comparableText.releaseIfLarge();
    comparablePattern.releaseIfLarge();
    return result;
}
} // namespace

std::optional<TextRange> TextSearch::rangeOfString(QStringView text, QStringView pattern,
                                                   Qt::CaseSensitivity sensitivity)
{
    if (pattern.isEmpty() || text.isEmpty())
        return std::nullopt;
    if (isPlain(text) && isPlain(pattern)) {
        const qsizetype found = text.indexOf(pattern, 0, sensitivity);
        if (found < 0)
            return std::nullopt;
        return TextRange{found, pattern.size()};
    }
    return searchComparable(text, pattern, sensitivity == Qt::CaseInsensitive);
}

bool TextSearch::contains(QStringView text, QStringView pattern, Qt::CaseSensitivity sensitivity)
{
    return rangeOfString(text, pattern, sensitivity).has_value();
}

bool TextSearch::equals(QStringView text, QStringView pattern, Qt::CaseSensitivity sensitivity)
{
    if (pattern.isEmpty())
        return false;
    if (isPlain(text) && isPlain(pattern))
        return text.compare(pattern, sensitivity) == 0;
    const std::optional<TextRange> range = rangeOfString(text, pattern, sensitivity);
    return range && range->position == 0 && range->length == text.size();
}

bool TextSearch::beginsWith(QStringView text, QStringView pattern, Qt::CaseSensitivity sensitivity)
{
    if (pattern.isEmpty())
        return false;
    if (isPlain(text) && isPlain(pattern))
        return text.startsWith(pattern, sensitivity);
    const std::optional<TextRange> range = rangeOfString(text, pattern, sensitivity);
    return range && range->position == 0;
}



namespace {
// Simple case folding of one UTF-16 unit; a surrogate stays itself. The same table as
// QString's case-insensitive search, without its per-call cost on long texts.
inline char16_t foldedUnit(char16_t c)
{
    if (c < 0x80)
        return char16_t(unsigned(c - u'A') < 26u ? c + (u'a' - u'A') : c);
    if (QChar::isSurrogate(c))
        return c;
    return char16_t(QChar::toCaseFolded(char32_t(c)));
}

QString folded(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    std::transform(text.utf16(), text.utf16() + text.size(), reinterpret_cast<char16_t*>(result.data()),
                   foldedUnit);
    return result;
}

// The pattern folded, kept while the same pattern is asked for again: one search looks
// for it in every field of every record.
QStringView foldedPattern(QStringView pattern)
{
    thread_local QString last;
    thread_local QString lastFolded;
    if (pattern != QStringView(last)) {
        last = pattern.toString();
        lastFolded = folded(pattern);
    }
    return lastFolded;
}

bool hasSurrogates(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

// A pattern without surrogates, already folded, never matches a surrogate of the text, so
// comparing unit by unit folds every code point that can match.
bool foldedMatchAt(const char16_t* text, QStringView folded)
{
    for (qsizetype j = 0; j < folded.size(); ++j) {
        if (foldedUnit(text[j]) != folded[j].unicode())
            return false;
    }
    return true;
}

qsizetype indexOfFolded(QStringView text, QStringView folded, qsizetype from)
{
    const char16_t* units = text.utf16();
    const char16_t first = folded[0].unicode();
    for (qsizetype i = from, last = text.size() - folded.size(); i <= last; ++i) {
        if (foldedUnit(units[i]) == first && foldedMatchAt(units + i, folded))
            return i;
    }
    return -1;
}

qsizetype lastIndexOfFolded(QStringView text, QStringView folded)
{
    const char16_t* units = text.utf16();
    const char16_t first = folded[0].unicode();
    for (qsizetype i = text.size() - folded.size(); i >= 0; --i) {
        if (foldedUnit(units[i]) == first && foldedMatchAt(units + i, folded))
            return i;
    }
    return -1;
}
} // namespace

std::optional<TextRange> TextSearch::rangeOfLiteral(QStringView text, QStringView pattern,
                                                    Qt::CaseSensitivity sensitivity,
                                                    qsizetype from)
{
    if (pattern.isEmpty() || from < 0 || from >= text.size())
        return std::nullopt;
    const qsizetype found = sensitivity == Qt::CaseInsensitive && !hasSurrogates(pattern)
                                ? indexOfFolded(text, foldedPattern(pattern), from)
                                : text.indexOf(pattern, from, sensitivity);
    if (found < 0)
        return std::nullopt;
    return TextRange{found, pattern.size()};
}

bool TextSearch::containsLiteral(QStringView text, QStringView pattern,
                                 Qt::CaseSensitivity sensitivity)
{
    return rangeOfLiteral(text, pattern, sensitivity).has_value();
}

std::optional<TextRange> TextSearch::lastRangeOfLiteral(QStringView text, QStringView pattern,
                                                        Qt::CaseSensitivity sensitivity,
                                                        qsizetype end)
{
    if (end < 0 || end > text.size())
        end = text.size();
    if (pattern.isEmpty() || pattern.size() > end)
        return std::nullopt;
    const qsizetype found =
        sensitivity == Qt::CaseInsensitive && !hasSurrogates(pattern)
            ? lastIndexOfFolded(text.first(end), foldedPattern(pattern))
            : text.first(end).lastIndexOf(pattern, end - pattern.size(), sensitivity);
    if (found < 0)
        return std::nullopt;
    return TextRange{found, pattern.size()};
}

bool TextSearch::isWordCharacter(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return QChar::isLetterOrNumber(c);
    }
}

std::optional<TextRange> TextSearch::rangeOfLiteralWord(QStringView text, QStringView pattern,
                                                        Qt::CaseSensitivity sensitivity,
                                                        qsizetype from)
{
    const auto codePointBefore = [&](qsizetype index) {
        const QChar c = text[index - 1];
        if (c.isLowSurrogate() && index >= 2 && text[index - 2].isHighSurrogate())
            return QChar::surrogateToUcs4(text[index - 2], c);
        return char32_t(c.unicode());
    };
    while (const std::optional<TextRange> found = rangeOfLiteral(text, pattern, sensitivity, from)) {
        const qsizetype end = found->position + found->length;
        const bool startsWord = found->position == 0 || !isWordCharacter(codePointBefore(found->position));
        const bool endsWord = end == text.size() || !isWordCharacter(codePointAt(text, end).value);
        if (startsWord && endsWord)
            return found;
        // Overlapping candidates count: the next may start inside this one.
        from = found->position + codePointAt(text, found->position).size;
    }
    return std::nullopt;
}
