#include "TemplateSettingsData.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(TemplateSettingsDataTest, Defaults_FollowTheKindOfTemplate)
{
    TemplateSettingsData settings;
    struct Case {
        const char* name;
        PlistValue label;
        PlistValue envelope;
    };
    const auto read = [&] {
        return std::vector<PlistValue>{settings.width(),
                                       settings.height(),
                                       settings.units(),
                                       settings.labelCopies(),
                                       settings.labelColumns(),
                                       settings.labelRows(),
                                       settings.labelTopMargin(),
                                       settings.labelLeftMargin(),
                                       settings.labelVerticalSpacing(),
                                       settings.labelHorizontalSpacing(),
                                       settings.horizontalAddressBlockPlacement(),
                                       settings.verticalAddressBlockPlacement(),
                                       settings.envelopeFeed()};
    };
    const std::vector<PlistValue> label{288.0f,  239.976f, 0,       1, 2, 3, 36.0f,
                                        12.024f, 0.0f,     12.024f, 1, 1, 2};
    const std::vector<PlistValue> envelope{684.0f,  297.0f, 0,       1, 1, 1, 36.0f,
                                           12.024f, 0.0f,   12.024f, 1, 1, 2};
    EXPECT_EQ(read(), label);
    EXPECT_FALSE(settings.isEnvelope());
    settings.setIsEnvelope(true);
    EXPECT_EQ(read(), envelope);
    EXPECT_FALSE(settings.templateSettingsDidChange());
}

TEST(TemplateSettingsDataTest, DerivedLengths_OfALabelSheetAndAnEnvelope)
{
    TemplateSettingsData settings;
    EXPECT_EQ(settings.totalWidth(), 588.024f);
    EXPECT_EQ(settings.totalHeight(), 719.928f);
    PrintInfo letter;
    letter.setPaperSize(QSizeF(612, 792));
    settings.setPrintInfo(letter);
    EXPECT_EQ(settings.labelRightMargin(), 612.0f - 12.024f - 588.024f);
    EXPECT_EQ(settings.labelBottomMargin(), 792.0f - 36.0f - 719.928f);
    EXPECT_FLOAT_EQ(settings.pageWidth(), 612.0f);
    EXPECT_FLOAT_EQ(settings.pageHeight(), 792.0f);

    // A grid of no rows or columns counts as one.
    settings.setLabelColumns(0);
    settings.setLabelRows(-2);
    EXPECT_EQ(settings.totalWidth(), 288.0f);
    EXPECT_EQ(settings.totalHeight(), 239.976f);

    settings.setIsEnvelope(true);
    settings.setWidth(500);
    EXPECT_EQ(settings.totalWidth(), 500.0f);
    EXPECT_EQ(settings.pageWidth(), 500.0f);
    EXPECT_EQ(settings.pageHeight(), 297.0f);
}

TEST(TemplateSettingsDataTest, AssociatedDatafile_OldPathMovesToTheUrlForm)
{
    TemplateSettingsData settings;
    EXPECT_TRUE(settings.associatedDatafileURL().isEmpty());
    settings.setAssociatedDatafile("~/Documents/Friends.nv3");
    const QUrl url = settings.associatedDatafileURL();
    EXPECT_EQ(url, QUrl::fromLocalFile(QDir::homePath() + "/Documents/Friends.nv3"));
    EXPECT_FALSE(settings.settingExistsForKey("AssociatedDatafile"));
    EXPECT_EQ(settings.objectForKey("AssociatedDatafileURL", PlistValue()),
              PlistValue(url.toString()));
    EXPECT_EQ(settings.associatedDatafileURL(), url);
}

TEST(TemplateSettingsDataTest, PrintInfo_AbsentStoresTheSharedOneAndStoredBecomesShared)
{
    PrintInfo shared;
    shared.setTopMargin(11);
    PrintInfo::setSharedPrintInfo(shared);

    TemplateSettingsData settings;
    EXPECT_EQ(settings.printInfo().topMargin(), 11);
    EXPECT_TRUE(settings.settingExistsForKey("PrintInfo"));

    PrintInfo own;
    own.setTopMargin(22);
    TemplateSettingsData other;
    other.setObject(own.toArchive(), "PrintInfo");
    EXPECT_EQ(other.printInfo().topMargin(), 22);
    EXPECT_EQ(PrintInfo::sharedPrintInfo().topMargin(), 22);
    PrintInfo::setSharedPrintInfo(PrintInfo());
}
