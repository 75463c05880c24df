#include "VKWindowCategories.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

TEST(VKWindowCategoriesTest, FadeTo_ClampsToWholeRange)
{
    const struct {
        float percent;
        double opacity;
    } cases[] = {{150, 1.0}, {100, 1.0}, {50, 0.5}, {0, 0.0}, {-10, 0.0}};
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.percent);
        QWidget window;
        VKWindowCategories::fadeTo(&window, testCase.percent);
        // The platform keeps the opacity in 1/255 steps.
        EXPECT_NEAR(window.windowOpacity(), testCase.opacity, 1.0 / 255);
    }
}

TEST(VKWindowCategoriesTest, SetFrameSoView_GrowsTheWindowKeepingItsTopEdge)
{
    const struct {
        const char* name;
        bool centre;
        QSize size;
        QRect frame;
    } cases[] = {
        {"centred", true, QSize(240, 100), QRect(80, 100, 440, 300)},
        {"not centred", false, QSize(240, 100), QRect(100, 100, 440, 300)},
        {"shrunk and taller", true, QSize(160, 150), QRect(120, 100, 360, 350)},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QWidget window;
        window.setGeometry(100, 100, 400, 300);
        QWidget view(&window);
        view.setGeometry(10, 10, 200, 100);
        VKWindowCategories::setFrameSoView(&window, &view, testCase.size, testCase.centre);
        EXPECT_EQ(window.geometry(), testCase.frame);
    }
    QWidget window;
    window.setGeometry(100, 100, 400, 300);
    VKWindowCategories::setFrameSoView(&window, nullptr, QSize(10, 10), true);
    EXPECT_EQ(window.geometry(), QRect(100, 100, 400, 300));
}

} // namespace
