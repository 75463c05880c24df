#include "VKTextFieldCategories.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

TEST(VKTextFieldCategoriesTest, SetPromptLabel_AddsOneColonAndIgnoresEmpty)
{
    const struct {
        QString label;
        QString shown;
    } cases[] = {
        {QStringLiteral("Name"), QStringLiteral("Name:")},
        {QStringLiteral("Name:"), QStringLiteral("Name:")},
        {QStringLiteral("Name: "), QStringLiteral("Name: :")},
        {QString(QLatin1String("")), QStringLiteral("before")},
        {QString(), QStringLiteral("before")},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.label.toStdString());
        QLabel label(QStringLiteral("before"));
        QLineEdit field(QStringLiteral("before"));
        VKTextFieldCategories::setPromptLabel(&label, testCase.label);
        VKTextFieldCategories::setPromptLabel(&field, testCase.label);
        EXPECT_EQ(label.text(), testCase.shown);
        EXPECT_EQ(field.text(), testCase.shown);
    }
}

TEST(VKTextFieldCategoriesTest, SetFieldValue_NullBecomesEmpty)
{
    QLineEdit field(QStringLiteral("before"));
    VKTextFieldCategories::setFieldValue(&field, QString());
    EXPECT_EQ(field.text(), QString());
    VKTextFieldCategories::setFieldValue(&field, QStringLiteral("value"));
    EXPECT_EQ(field.text(), QStringLiteral("value"));
}

} // namespace
