#pragma once

#include "TextSearch.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTextDocumentFragment>

#include <optional>

class QTextEdit;

// The whole-text accessors of a text view. Plain strings are the system's: paragraph
// ends are line feeds, an attachment is U+FFFC, no-break spaces stay. Attributed
// strings are document fragments.
namespace VKTextViewCategories {

qsizetype length(const QTextEdit* view);
TextRange allRange(const QTextEdit* view);

QString stringValue(const QTextEdit* view);
QTextDocumentFragment attributedStringValue(const QTextEdit* view);
// The whole text as RTF or flattened RTFD, without document attributes.
QByteArray RTFValue(const QTextEdit* view);
QByteArray RTFDValue(const QTextEdit* view);

// The selection; empty when nothing is selected, or the whole text for the "OrAll" ones.
QString selectedStringValue(const QTextEdit* view);
QString selectedOrAllStringValue(const QTextEdit* view);
QTextDocumentFragment selectedAttributedStringValue(const QTextEdit* view);
QTextDocumentFragment selectedOrAllAttributedStringValue(const QTextEdit* view);

// Appends at the end: the string without attributes, or the fragment as it is.
void appendStringValue(QTextEdit* view, const QString& string);
void appendAttributedStringValue(QTextEdit* view, const QTextDocumentFragment& string);

// Replace the whole text; nothing for no value.
void setStringValue(QTextEdit* view, const std::optional<QString>& string);
void setAttributedStringValue(QTextEdit* view, const std::optional<QTextDocumentFragment>& string);
// False, leaving the text as it is, when the data cannot be read.
bool setRTFValue(QTextEdit* view, QByteArrayView rtf);
bool setRTFDValue(QTextEdit* view, QByteArrayView rtfd);
// The first of the RTFD, the RTF and the attributed string that is not empty (and, for
// the data, can be read) replaces the whole text; when none is, the string does (the
// empty text for none).
void setRTFDValue(QTextEdit* view, QByteArrayView rtfd, QByteArrayView rtf,
                  const std::optional<QTextDocumentFragment>& attributedString,
                  const std::optional<QString>& string);

} // namespace VKTextViewCategories
