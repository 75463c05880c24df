#include "VKTableViewCategories.h"

#include "TableColumnModel.h"

#include <QTableView>

#include <limits>

#include <gtest/gtest.h>

namespace {

class VKTableViewCategoriesTest : public testing::Test {
protected:
    void SetUp() override { view.setModel(&model); }

    TableColumnModel model;
    QTableView view;
};

TEST_F(VKTableViewCategoriesTest, ColumnFromDictionary_WidthResizingAndSorting)
{
    const struct {
        const char* name;
        PlistDictionary info;
        int width;
        QHeaderView::ResizeMode resizing;
        std::optional<SortDescriptor> sort;
    } cases[] = {
        {"width under 12", {{"Identifier", "A"}, {"Width", 5}}, 100, QHeaderView::Interactive, {}},
        {"missing width", {{"Identifier", "A"}}, 100, QHeaderView::Interactive, {}},
        {"width 12", {{"Identifier", "A"}, {"Width", 12.0}}, 12, QHeaderView::Interactive, {}},
        {"width 16 is fixed", {{"Identifier", "A"}, {"Width", 16}}, 16, QHeaderView::Fixed, {}},
        {"width 16.5", {{"Identifier", "A"}, {"Width", 16.5}}, 17, QHeaderView::Interactive, {}},
        {"width not a number",
         {{"Identifier", "A"}, {"Width", std::numeric_limits<double>::quiet_NaN()}},
         100,
         QHeaderView::Interactive,
         {}},
        {"width infinite",
         {{"Identifier", "A"}, {"Width", std::numeric_limits<double>::infinity()}},
         100,
         QHeaderView::Interactive,
         {}},
        {"width beyond a float", {{"Identifier", "A"}, {"Width", 1e300}}, 100,
         QHeaderView::Interactive, {}},
        {"width beyond the largest", {{"Identifier", "A"}, {"Width", 1e6}}, 3000,
         QHeaderView::Interactive, {}},
        {"ascending",
         {{"Identifier", "A"}, {"Width", 80}, {"Ascending", true}},
         80,
         QHeaderView::Interactive,
         SortDescriptor{"A", true}},
        {"descending",
         {{"Identifier", "A"}, {"Width", 80}, {"Ascending", false}},
         80,
         QHeaderView::Interactive,
         SortDescriptor{"A", false}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        model.removeAllTableColumns();
        const int column =
            VKTableViewCategories::addTableColumnWithColumnInfo(&view, testCase.info);
        ASSERT_EQ(column, 0);
        EXPECT_EQ(view.horizontalHeader()->sectionSize(column), testCase.width);
        EXPECT_EQ(view.horizontalHeader()->sectionResizeMode(column), testCase.resizing);
        EXPECT_EQ(model.tableColumns().at(column).resizingMask, testCase.resizing);
        EXPECT_EQ(model.tableColumns().at(column).sortDescriptorPrototype, testCase.sort);
        EXPECT_EQ(model.tableColumns().at(column).maxWidth, 3000);
    }
}

TEST_F(VKTableViewCategoriesTest, ColumnFromDictionary_TitleEditingAndAlignmentReachTheModel)
{
    VKTableViewCategories::addTableColumnWithColumnInfo(&view, {{"Identifier", "Phone"},
                                                                {"Name", "Telephone"},
                                                                {"Editable", true},
                                                                {"Alignment", 1},
                                                                {"Width", 4}});
    VKTableViewCategories::addTableColumnWithColumnInfo(&view, {{"Identifier", "Note"}});
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Telephone"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_TRUE(model.tableColumns().at(0).editable);
    EXPECT_FALSE(model.tableColumns().at(1).editable);
    EXPECT_EQ(model.tableColumns().at(1).alignment, Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(VKTableViewCategories::tableColumnEnumerator(&view),
              (QStringList{QStringLiteral("Phone"), QStringLiteral("Note")}));

    const qreal twiceTheFont = 2 * view.horizontalHeader()->font().pointSizeF();
    EXPECT_EQ(model.tableColumns().at(0).minWidth, std::min<qreal>(100, twiceTheFont));
    VKTableViewCategories::addTableColumnWithIdentifier(&view, QStringLiteral("Narrow"), QString(),
                                                        false, true, 3);
    EXPECT_EQ(model.tableColumns().at(2).minWidth, std::min<qreal>(3, twiceTheFont));
}

TEST_F(VKTableViewCategoriesTest, ArrayOfColumnInfo_ReplacesColumnsAndRemovesByIdentifier)
{
    VKTableViewCategories::addTableColumnWithIdentifier(&view, QStringLiteral("Old"), QString(),
                                                        false, true, 50);
    const PlistArray infos{PlistDictionary{{"Identifier", "A"}}, PlistValue(QStringLiteral("junk")),
                           PlistDictionary{{"Identifier", "B"}}};
    VKTableViewCategories::addTableColumnsWithArrayOfColumnInfo(&view, infos, true, false);
    EXPECT_EQ(VKTableViewCategories::tableColumnEnumerator(&view),
              (QStringList{QStringLiteral("A"), QStringLiteral("B")}));

    VKTableViewCategories::removeTableColumns(&view, {QStringLiteral("A"), QStringLiteral("X")});
    EXPECT_EQ(VKTableViewCategories::tableColumnEnumerator(&view), QStringList{"B"});
}

TEST_F(VKTableViewCategoriesTest, DefaultSortDescriptor_OnlyWhenNoneIsSet)
{
    VKTableViewCategories::registerDefaultSortDescriptorForTableColumn(&view, std::nullopt, true);
    EXPECT_TRUE(model.sortDescriptors().isEmpty()) << "no column to sort by";

    VKTableViewCategories::addTableColumnWithIdentifier(&view, QStringLiteral("Name"), QString(),
                                                        false, true, 50);
    VKTableViewCategories::addTableColumnWithIdentifier(&view, QStringLiteral("City"), QString(),
                                                        false, true, 50);
    VKTableViewCategories::registerDefaultSortDescriptorForTableColumnWithIdentifier(
        &view, QStringLiteral("Missing"), false);
    EXPECT_EQ(model.sortDescriptors(), (QList<SortDescriptor>{SortDescriptor{"Name", false}}));

    VKTableViewCategories::registerDefaultSortDescriptorForTableColumnWithIdentifier(
        &view, QStringLiteral("City"), true);
    EXPECT_EQ(model.sortDescriptors(), (QList<SortDescriptor>{SortDescriptor{"Name", false}}));
}

} // namespace
