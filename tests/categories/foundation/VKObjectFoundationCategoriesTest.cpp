#include "VKObjectFoundationCategories.h"

#include <QString>

#include <memory>

#include <gtest/gtest.h>

using namespace VKObjectFoundationCategories;

TEST(VKObjectFoundationCategoriesTest, SetKeepsTheVariableForAMissingValueUnlessNilIsAllowed)
{
    QString title = "Untitled";
    set(title, std::optional<QString>(), false);
    EXPECT_EQ(title, "Untitled");
    set(title, std::optional<QString>("Notes"), false);
    EXPECT_EQ(title, "Notes");
    set(title, std::optional<QString>(), true);
    EXPECT_TRUE(title.isEmpty());

    std::optional<int> width = 5;
    set(width, std::optional<int>());
    EXPECT_EQ(width, std::nullopt);

    auto fallback = std::make_shared<int>(1);
    std::shared_ptr<int> current = fallback;
    set(current, std::shared_ptr<int>(), false);
    EXPECT_EQ(current, fallback);
    set(current, nullptr, true);
    EXPECT_EQ(current, nullptr);

    int value = 3;
    const int* pointer = &value;
    set(pointer, static_cast<const int*>(nullptr), false);
    EXPECT_EQ(pointer, &value);
}
