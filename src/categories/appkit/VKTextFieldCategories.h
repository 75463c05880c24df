#pragma once

#include <QString>

class QLabel;
class QLineEdit;

// Prompt and value texts of labels and fields.
namespace VKTextFieldCategories {

// The label with ":" added unless it ends with one; a null or empty label leaves the
// field unchanged.
void setPromptLabel(QLabel* field, const QString& label);
void setPromptLabel(QLineEdit* field, const QString& label);
// The value, the empty text for a null one.
void setFieldValue(QLabel* field, const QString& value);
void setFieldValue(QLineEdit* field, const QString& value);

} // namespace VKTextFieldCategories
