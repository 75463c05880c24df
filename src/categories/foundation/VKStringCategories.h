#pragma once

#include "PlistValue.h"

#include <QChar>
#include <QFont>
#include <QString>

// Small operations on strings that every part of the model shares. Where a text may
// be "not given", a null QString stands for it.
namespace VKStringCategories {

// A new random UUID: 32 upper-case hexadecimal digits in groups of 8, 4, 4, 4 and 12,
// separated by hyphens. Every record and field identifier is made with it.
QString universallyUniqueIdentifier();

// ---- made from numbers and words ----

// The zero word for 0 and the singular word for 1 when given, otherwise the plural word.
QString stringWithIntValue(int value, const QString& zero, const QString& singular,
                           const QString& plural);
// "12 minutes 5 seconds", "1 minute", "30 seconds"; a part whose two words are not
// both given is left out.
QString stringWithSeconds(int seconds, const QString& minuteSingular, const QString& minutesPlural,
                          const QString& secondSingular, const QString& secondsPlural);
// The number padded with the character to the minimum length; the maximum length and
// the ellipsis flag do nothing.
QString stringWithIntValue(int value, int minLength, int maxLength, QChar paddedWith, bool padLeft,
                           bool useEllipsis);
// The last digits of the number written with at least ten zero-filled digits.
QString stringWithLeadingZeroesForIntValue(int value, int digits);
// A byte count for people: "Zero KB", "512 bytes", "1.5 KB", "2.0 MB", "1.1 GB".
QString stringAsBytesWithInt(int bytes);
// A null string when neither the keyword nor the alternative is given; otherwise
// appendPrefix on an empty string.
QString stringWithPrefix(const QString& prefix, const QString& keyword, const QString& suffix,
                         const QString& alternative);

// ---- reading ----

// The other string when it is given, otherwise the string.
QString or_(const QString& string, const QString& other);
// An empty text never counts as occurring.
bool containsString(const QString& string, const QString& text);
// Case-insensitive, after every space is removed from both: negative, 0 or positive.
int caseAndSpaceInsensitiveCompare(const QString& string, const QString& other);
QString left(const QString& string, qsizetype length);
QString right(const QString& string, qsizetype length);
// Up to length characters from index; empty when the index is outside the string.
QString fromLength(const QString& string, qsizetype index, qsizetype length);
// The characters from index through last; empty when last is before index.
QString fromTo(const QString& string, qsizetype index, qsizetype last);
// The characters in reverse order; a character outside the basic plane stays whole.
QString reverse(const QString& string);
QString lastPathComponentWithoutExtension(const QString& path);
// Runs of characters between spaces or tabs; newlines and punctuation between runs
// do not count.
int wordCount(const QString& string);
// "2.1.5b3": "Version", "General" (2.1.5), "IsGeneral", "Major", "Minor", "Bug",
// "Kind" (b) and "Stage" (3); parts that do not exist are absent.
PlistDictionary dictionaryWithVersionComponents(const QString& version);

// ---- rewriting ----

// Double quotes removed; a space inside quotes becomes "&SP&".
QString stringByRemovingQuotesAndSpaces(const QString& string);
// Replaces the first occurrence and searches again until none is left, so that a
// replacement shorter than the target collapses runs ("   " to " "). A replacement
// that is not shorter is made in one pass, which always ends.
QString stringByReplacingAllOccurrencesOf(const QString& string, const QString& target,
                                          const QString& replacement);
void replaceAllOccurrencesOf(QString& string, const QString& target, const QString& replacement);
// Removes leading and/or trailing space characters (spaces only).
QString stringByDeletingLeadingSpaces(const QString& string, bool leading, bool trailing);
void deleteLeadingSpaces(QString& string, bool leading, bool trailing);
// Appends the text when it is not empty, else the alternative when that is not empty.
void appendString(QString& string, const QString& text, const QString& alternative);
// Appends prefix, keyword and suffix when the keyword is not empty (empty prefix and
// suffix add nothing), otherwise the alternative when it is not empty.
void appendPrefix(QString& string, const QString& prefix, const QString& keyword,
                  const QString& suffix, const QString& alternative);

// ---- measured in a font ----

float widthOfStringWithFont(const QString& string, const QFont& font);
float heightOfStringWithFont(const QString& string, const QFont& font);
// The string shortened to about the width with the indicator ("..." when none) at the
// cut: a coarse search, so the result can be a little wider than asked.
QString truncatedStringWithIndicator(const QString& string, const QString& indicator,
                                     const QFont& font, int width, bool trimLeft = false);

} // namespace VKStringCategories
