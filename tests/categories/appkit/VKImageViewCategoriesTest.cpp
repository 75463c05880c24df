#include "VKImageViewCategories.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

QPixmap redSquare()
{
    QPixmap pixmap(4, 4);
    pixmap.fill(Qt::red);
    return pixmap;
}

TEST(VKImageViewCategoriesTest, Commands_EnabledByImageEditabilityAndClipboard)
{
    QGuiApplication::clipboard()->clear();
    QLabel empty;
    QLabel shown;
    shown.setPixmap(redSquare());
    const struct {
        const char* selector;
        bool emptyEditable, shownEditable, shownReadOnly;
    } cases[] = {
        {"copy:", false, true, true},     {"cut:", false, true, false},
        {"delete:", false, true, false},  {"paste:", false, false, false},
        {"selectAll:", true, true, true},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.selector);
        const QString selector = QString::fromLatin1(testCase.selector);
        EXPECT_EQ(VKImageViewCategories::validateMenuItem(&empty, true, selector),
                  testCase.emptyEditable);
        EXPECT_EQ(VKImageViewCategories::validateMenuItem(&shown, true, selector),
                  testCase.shownEditable);
        EXPECT_EQ(VKImageViewCategories::validateMenuItem(&shown, false, selector),
                  testCase.shownReadOnly);
    }
}

TEST(VKImageViewCategoriesTest, CutAndPaste_MoveTheImageAndRunTheAction)
{
    QGuiApplication::clipboard()->clear();
    int actions = 0;
    const auto action = [&actions] { ++actions; };
    QLabel source;
    VKImageViewCategories::cut(&source, action);
    EXPECT_EQ(actions, 0) << "nothing to cut";

    source.setPixmap(redSquare());
    VKImageViewCategories::cut(&source, action);
    EXPECT_TRUE(source.pixmap().isNull());
    EXPECT_EQ(actions, 1);

    QLabel target;
    EXPECT_TRUE(VKImageViewCategories::validateMenuItem(&target, true, QStringLiteral("paste:")));
    VKImageViewCategories::paste(&target, action);
    EXPECT_EQ(target.pixmap().size(), QSize(4, 4));
    EXPECT_EQ(actions, 2);
}

} // namespace
