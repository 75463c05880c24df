#include "VKTextFieldCategories.h"

#include <QLabel>
#include <QLineEdit>

namespace {

template <typename Field> void applyPromptLabel(Field* field, const QString& label)
{
    if (label.isEmpty())
        return;
    field->setText(label.endsWith(QLatin1Char(':')) ? label : label + QLatin1Char(':'));
}

} // namespace

namespace VKTextFieldCategories {

void setPromptLabel(QLabel* field, const QString& label)
{
    applyPromptLabel(field, label);
}

void setPromptLabel(QLineEdit* field, const QString& label)
{
    applyPromptLabel(field, label);
}

void setFieldValue(QLabel* field, const QString& value)
{
    field->setText(value.isNull() ? QString(QLatin1String("")) : value);
}

void setFieldValue(QLineEdit* field, const QString& value)
{
    field->setText(value.isNull() ? QString(QLatin1String("")) : value);
}

} // namespace VKTextFieldCategories
