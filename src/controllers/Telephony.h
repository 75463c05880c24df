#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

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

// The templates ("nnn-nnnn") of the user default "PhoneNumberTemplates": one a line,
// every digit read as "n". None without the default.
QStringList phoneNumberTemplates();

} // namespace Telephony
