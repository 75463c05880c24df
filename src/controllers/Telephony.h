#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

#include <functional>
#include <optional>

// The phone-number tests of the dialing commands, also used to find phone numbers in
// the Freeform Text Area.
namespace Telephony {

// The leading part of the text that may be a phone number, with every "%20" read as a
// blank: a run of digits and "(" with at most two other characters in a row, ended by
// a line feed after a digit or "("; a last character other than a digit or "(" is
// dropped.
QString possibleNumberInString(QStringView text);

// Whether the text, each digit 0 to 9 read as "n", is exactly one of the templates.
bool goodMatchForString(const QString& text, const QStringList& formats);

// Whether the character may start a number: a decimal digit or "(".
bool startsNumber(QChar character);

// Walks the number-like runs of the text within the window (start, length): from each
// character that may start a number, the leading run there, cut at the window's end. The
// visitor gets the run's location and the run; a true answer stops the walk. An empty
// run stops it too; a run visited is skipped over. Without "(" as a start when asked.
void forEachPossibleNumber(QStringView text, qsizetype start, qsizetype length,
                           const std::function<bool(qsizetype location, const QString& run)>& visit,
                           bool digitsOnly = false);

// The first run within the window that matches one of the templates; empty for none.
QString firstMatchingNumber(QStringView text, qsizetype start, qsizetype length,
                            const QStringList& formats);

// Whether the text may stand as an address: no blanks, control or non-ASCII characters,
// and none of "<>\\^`{|}. The links of the text keep such an address as it is.
bool isStrictUrlText(const QString& text);
// The address to open, made strictly; none where the text is refused, or where it holds
// no host an address can carry ("(" and ")" among others).
std::optional<QUrl> telephoneUrl(const QString& text);

// The templates ("nnn-nnnn") of the user default "PhoneNumberTemplates": one a line,
// every digit read as "n". None without the default.
QStringList phoneNumberTemplates();

} // namespace Telephony
