#include "FieldCellEditor.h"

FieldCellEditor::FieldCellEditor(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, &FieldCellEditor::cleanText);
}

QString FieldCellEditor::cleanedFieldText(const QString& text)
{
    QString cleaned = text;
    for (const QChar character :
         {QChar(u'\n'), QChar(u'\r'), QChar(u'\t'), QChar(0x2028), QChar(0x2029)})
        cleaned.replace(character, QLatin1Char(' '));
    return cleaned;
}

void FieldCellEditor::cleanText()
{
    const QString cleaned = cleanedFieldText(text());
    if (cleaned != text()) {
        // One character for one: the caret and selection stay where they were.
        const int position = cursorPosition();
        const int selectionStart = this->selectionStart();
        const int selectionLength = this->selectionLength();
        setText(cleaned);
        if (selectionStart >= 0)
            setSelection(selectionStart, selectionLength);
        setCursorPosition(position);
    }
    Q_EMIT fieldTextChanged();
}
