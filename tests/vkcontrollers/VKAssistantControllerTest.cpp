#include "VKAssistantController.h"

#include "VKChooserIntern.h"

#include <QSplitter>
#include <QStackedWidget>
#include <QTest>
#include <QTextEdit>
#include <QTreeView>

#include <gtest/gtest.h>

namespace {

// A second page that only shows what it was handed.
class SecondPage : public VKInternProtocol {
public:
    explicit SecondPage(const PlistDictionary& settings) : m_settings(settings) {}
    QString name() const override { return "Second: " + m_settings.stringForKey("Identifier"); }
    QWidget* containerView() override { return m_view.get(); }
    bool willFinish() const override { return true; }
    bool canProceed() const override { return true; }
    QString nextInternClass() const override { return {}; }
    QString operation() const override { return "Second"; }
    PlistValue settings() const override { return m_settings; }
    QObject* delegate() const override { return nullptr; }
    void setDelegate(QObject*) override {}

private:
    PlistDictionary m_settings;
    std::unique_ptr<QWidget> m_view = std::make_unique<QWidget>();
};

class VKAssistantControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        VKInternClasses::registerClass("SecondPage", [](const PlistDictionary& settings) {
            return std::make_unique<SecondPage>(settings);
        });
        m_settings = VKChooserIntern::settingsWithName("Choose what to make:");
        PlistDictionary group = VKChooserIntern::settingsWithName("Labels");
        VKChooserIntern::addLineToSettings(group, std::nullopt, "Avery 5160", "avery", "SecondPage",
                                           "Thirty labels a sheet.");
        m_settings.find("Items")->asArray()->append(group);
        VKChooserIntern::addLineToSettings(m_settings, PlistDictionary{{"Extra", "kept"}}, "Plain",
                                           "plain", "NoSuchPage", "A plain page.");
        m_assistant = VKSheetController::controller<VKAssistantController>();
        m_assistant->beginSheetWithTitle("New Template", VKChooserIntern::ClassName, m_settings,
                                         nullptr,
                                         [this](QWidget*, int code) { m_ended.append(code); });
    }
    void TearDown() override
    {
        if (m_assistant->window()->isVisible())
            m_assistant->cancel();
        VKInternClasses::unregisterClass("SecondPage");
    }

    VKChooserIntern* chooser() const
    {
        return dynamic_cast<VKChooserIntern*>(m_assistant->intern());
    }

    // Selects the row of the outline by its path of row numbers.
    void select(std::initializer_list<int> path)
    {
        QTreeView* outline = chooser()->listOutlineView();
        QModelIndex index;
        for (int row : path)
            index = outline->model()->index(row, 0, index);
        outline->setCurrentIndex(index);
    }

    QString okayTitle() const { return m_assistant->okayButton()->text(); }
    bool okayEnabled() const { return m_assistant->okayButton()->isEnabled(); }

    PlistDictionary m_settings;
    VKAssistantController* m_assistant = nullptr;
    QList<int> m_ended;
};

} // namespace

TEST_F(VKAssistantControllerTest, Chooser_ButtonsFollowTheChosenLine)
{
    ASSERT_TRUE(chooser());
    EXPECT_EQ(m_assistant->window()->windowTitle(), "New Template");
    EXPECT_EQ(m_assistant->prompt(), "Choose what to make:");
    QTreeView* outline = chooser()->listOutlineView();
    EXPECT_TRUE(outline->isExpanded(outline->model()->index(0, 0)));
    EXPECT_TRUE(outline->model()->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(outline->model()->index(1, 0).data(Qt::FontRole).value<QFont>().bold());

    const struct {
        const char* name;
        std::vector<int> path;
        QString title;
        bool enabled;
        QString description;
    } cases[] = {
        {"nothing", {}, "Next", false, ""},
        // A group names no page after it either, but cannot be chosen.
        {"a group", {0}, "Finish", false, ""},
        {"a line with a page after it", {0, 0}, "Next", true, "Thirty labels a sheet."},
        {"a line of no registered class", {1}, "Finish", true, "A plain page."},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        outline->clearSelection();
        QModelIndex index;
        for (int at : row.path)
            index = outline->model()->index(at, 0, index);
        if (index.isValid())
            outline->setCurrentIndex(index);
        EXPECT_EQ(okayTitle(), row.title);
        EXPECT_EQ(okayEnabled(), row.enabled);
        EXPECT_EQ(chooser()->descriptionTextView()->toPlainText(), row.description);
        EXPECT_FALSE(m_assistant->previousButton()->isEnabled());
    }
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        m_assistant->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/assistant.png");
    // The divider keeps its distance from both ends.
    EXPECT_EQ(chooser()->listOutlineView()->minimumHeight(), 75);
    EXPECT_EQ(chooser()->descriptionTextView()->minimumHeight(), 75);
    EXPECT_TRUE(chooser()->splitter()->childrenCollapsible());
}

TEST_F(VKAssistantControllerTest, NextPushesThePageTheLineNames_PreviousPopsIt)
{
    select({0, 0});
    QTest::mouseClick(m_assistant->okayButton(), Qt::LeftButton);

    ASSERT_EQ(m_assistant->internCount(), 2);
    EXPECT_EQ(m_assistant->prompt(), "Second: avery");
    EXPECT_EQ(m_assistant->internTabView()->currentWidget(),
              m_assistant->intern()->containerView());
    EXPECT_EQ(okayTitle(), "Finish");
    EXPECT_TRUE(m_assistant->previousButton()->isEnabled());
    EXPECT_TRUE(m_ended.isEmpty());

    QTest::mouseClick(m_assistant->previousButton(), Qt::LeftButton);
    EXPECT_EQ(m_assistant->internCount(), 1);
    EXPECT_EQ(m_assistant->prompt(), "Choose what to make:");
    EXPECT_FALSE(m_assistant->previousButton()->isEnabled());
}

TEST_F(VKAssistantControllerTest, FinishEndsWithOneAndTheChosenLine)
{
    select({1});
    QTest::mouseClick(m_assistant->okayButton(), Qt::LeftButton);

    EXPECT_EQ(m_ended, QList<int>{1});
    EXPECT_EQ(m_assistant->internOperation(), "VKChooser");
    EXPECT_EQ(m_assistant->internSettings(),
              PlistValue(PlistDictionary{{"Extra", "kept"},
                                         {"Name", "Plain"},
                                         {"Identifier", "plain"},
                                         {"Class", "NoSuchPage"},
                                         {"Description", "A plain page."}}));
}

TEST_F(VKAssistantControllerTest, DoubleClick_GoesOnOnlyFromTheCurrentPageAndNotOnAGroup)
{
    VKChooserIntern* first = chooser();
    select({0});
    first->doubleClicked();
    EXPECT_EQ(m_assistant->internCount(), 1);

    select({0, 0});
    first->doubleClicked();
    ASSERT_EQ(m_assistant->internCount(), 2);
    // The page behind is not the current one.
    first->doubleClicked();
    EXPECT_EQ(m_assistant->internCount(), 2);
    EXPECT_TRUE(m_ended.isEmpty());
}
