#pragma once

#include <QLineEdit>

// The editor of one field cell. A field value never holds a line break or a tab, so
// every change the user makes (typing, pasting) is cleaned at once, the caret kept.
class FieldCellEditor : public QLineEdit {
    Q_OBJECT

public:
    explicit FieldCellEditor(QWidget* parent = nullptr);

    // Line feed, carriage return, tab, U+2028 and U+2029 each become one space.
    static QString cleanedFieldText(const QString& text);

Q_SIGNALS:
    // After the user changed the text and it was cleaned.
    void fieldTextChanged();

private:
    void cleanText();
};
