#include "DatafileSettingsData.h"

#include "UserDefaults.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

namespace {

class DatafileSettingsDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
    }
    void TearDown() override { UserDefaults::setStandardUserDefaults(nullptr); }

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.path()};
};

} // namespace

TEST_F(DatafileSettingsDataTest, NewSettings_ReadEveryDefaultAndAreUnchanged)
{
    const DatafileSettingsData settings;
    struct Case {
        const char* name;
        PlistValue value;
        PlistValue expected;
    };
    const Case cases[] = {
        {"dataVersion", settings.dataVersion(), 1},
        {"mode", settings.mode(), "Basic"},
        {"basicViewFrame", settings.basicViewFrame(), ""},
        {"listViewFrame", settings.listViewFrame(), ""},
        {"basicSplitHeight", settings.basicSplitHeight(), -1.0},
        {"listSplitHeight", settings.listSplitHeight(), -1.0},
        {"textColumnWidth", settings.textColumnWidth(), 300.0},
        {"textName", settings.textName(), "Freeform Text Area"},
        {"fieldsFontName", settings.fieldsFontName(), "Helvetica"},
        {"fieldsFontSize", settings.fieldsFontSize(), 12},
        {"findBoxFontName", settings.findBoxFontName(), "Helvetica"},
        {"findBoxFontSize", settings.findBoxFontSize(), 12},
        {"textFontName", settings.textFontName(), "Helvetica"},
        {"textFontSize", settings.textFontSize(), 12},
        {"fieldWrapping", settings.fieldWrapping(), false},
        {"liveFieldWrapping", settings.liveFieldWrapping(), false},
        {"fieldWrappingCriteriaIsSpeed", settings.fieldWrappingCriteriaIsSpeed(), false},
        {"hideMargins", settings.hideMargins(), false},
        {"openToRecord", settings.openToRecord(), 3},
        {"openToLastRecord", settings.openToLastRecord(), false},
        {"mostRecentRecord", settings.mostRecentRecord(), ""},
        {"newRecordLocation", settings.newRecordLocation(), 0},
        {"duplicateRecordLocationMatchesNewRecordLocation",
         settings.duplicateRecordLocationMatchesNewRecordLocation(), false},
        {"customSorting", settings.customSorting(), false},
        {"findDisplayState", settings.findDisplayState(), 0},
        {"findEntryMode", settings.findEntryMode(), 0},
        {"caseSensitiveSearches", settings.caseSensitiveSearches(), false},
        {"autoSaveChanges", settings.autoSaveChanges(), false},
        {"autoSaveMinutes", settings.autoSaveMinutes(), ""},
        {"warnWhenTooLarge", settings.warnWhenTooLarge(), true},
        {"readOnly", settings.readOnly(), false},
        {"readOnlyWarning", settings.readOnlyWarning(), false},
        {"networkShared", settings.networkShared(), false},
        {"password", settings.password(), ""},
        {"automaticallyEnableLinks", settings.automaticallyEnableLinks(), true},
        {"allowEmbeddedImages", settings.allowEmbeddedImages(), true},
        {"autoPasteForURLs", settings.autoPasteForURLs(), true},
        {"pasteClipboard", settings.pasteClipboard(), true},
        {"titleField", settings.titleField(), "Text"},
        {"urlField", settings.urlField(), "Text"},
        {"autoAddNumber", settings.autoAddNumber(), false},
        {"autoAddContentFieldID", settings.autoAddContentFieldID(), ""},
        {"autoAddPrefix", settings.autoAddPrefix(), ""},
        {"autoAddSuffix", settings.autoAddSuffix(), ""},
        {"autoAddDigitCount", settings.autoAddDigitCount(), 1},
        {"lastAutoAddInteger", settings.lastAutoAddInteger(), 0},
        {"syncID", settings.syncID(), ""},
        {"defaultTemplateName", settings.defaultTemplateName(), ""},
        {"envelopeTemplateName", settings.envelopeTemplateName(), ""},
        {"labelTemplateName", settings.labelTemplateName(), ""},
        {"addressInText", settings.addressInText(), true},
        {"addressStartsAtLineNumber", settings.addressStartsAtLineNumber(), true},
        {"addressBlockStartingLine", settings.addressBlockStartingLine(), 1},
        {"addressSpecialCharacter", settings.addressSpecialCharacter(), "~%"},
        {"addressFixedLineCount", settings.addressFixedLineCount(), false},
        {"addressBlockLineCount", settings.addressBlockLineCount(), 0},
        {"basicViewDontPrintEmptyFields", settings.basicViewDontPrintEmptyFields(), false},
        {"basicViewPrintBoldFieldNames", settings.basicViewPrintBoldFieldNames(), false},
        {"basicViewPrintRecordNumbers", settings.basicViewPrintRecordNumbers(), false},
        {"basicViewPrintTopMargin", settings.basicViewPrintTopMargin(), 72.0},
        {"basicViewPrintBottomMargin", settings.basicViewPrintBottomMargin(), 72.0},
        {"basicViewPrintLeftMargin", settings.basicViewPrintLeftMargin(), 72.0},
        {"basicViewPrintRightMargin", settings.basicViewPrintRightMargin(), 72.0},
        {"basicViewPrintUseInches", settings.basicViewPrintUseInches(), true},
        {"basicViewPrintHeader", settings.basicViewPrintHeader(), true},
        {"listViewPrintTopMargin", settings.listViewPrintTopMargin(), 36.0},
        {"listViewPrintBottomMargin", settings.listViewPrintBottomMargin(), 36.0},
        {"listViewPrintLeftMargin", settings.listViewPrintLeftMargin(), 72.0},
        {"listViewPrintRightMargin", settings.listViewPrintRightMargin(), 72.0},
        {"listViewPrintUseInches", settings.listViewPrintUseInches(), true},
        {"listViewPrintHeader", settings.listViewPrintHeader(), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, c.expected) << c.name;

    EXPECT_EQ(settings.fields().size(), 0);
    EXPECT_EQ(settings.deletedIdentifiers().size(), 0);
    EXPECT_FALSE(settings.sortTasksList());
    EXPECT_FALSE(settings.addressBlockLayout());
    ASSERT_TRUE(settings.criteria());
    EXPECT_FALSE(settings.criteria()->descending());
    EXPECT_FALSE(settings.datafileSettingsDidChange());
    // Reading defaults writes nothing.
    EXPECT_EQ(const_cast<DatafileSettingsData&>(settings).mutableDictionary().size(), 0);
}

TEST_F(DatafileSettingsDataTest, Widths_NotFiniteReadAsAbsent)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    for (const double stored : {nan, infinity, -infinity, 1e300}) {
        SCOPED_TRACE(stored);
        const auto settings = DatafileSettingsData::settingsWithDictionary(
            PlistDictionary{{DatafileSettingsData::TextColumnWidthKey, stored},
                            {DatafileSettingsData::BasicSplitHeightKey, stored},
                            {DatafileSettingsData::ListSplitHeightKey, stored}});
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings->textColumnWidth(), 300.0f);
        EXPECT_EQ(settings->basicSplitHeight(), -1.0f);
        EXPECT_EQ(settings->listSplitHeight(), -1.0f);
        if (stored != 1e300) { // finite: a width, however wide
            EXPECT_EQ(DatafileSettingsData::fieldWidth(
                          {{DatafileSettingsData::FieldWidthKey, stored}}),
                      DatafileSettingsData::DefaultFieldWidth);
        }
    }
    EXPECT_EQ(DatafileSettingsData::fieldWidth({}), DatafileSettingsData::DefaultFieldWidth);
    EXPECT_EQ(DatafileSettingsData::fieldWidth({{DatafileSettingsData::FieldWidthKey, 120.5}}),
              120.5);
}

TEST_F(DatafileSettingsDataTest, FontSizes_StoredWinsOverUserDefaultWhichWinsOverTwelve)
{
    DatafileSettingsData settings;
    m_defaults.setInteger(0, "DefaultFieldsFontSize");
    EXPECT_EQ(settings.fieldsFontSize(), 12);
    m_defaults.setInteger(14, "DefaultFieldsFontSize");
    m_defaults.setObject("Courier", "DefaultFieldsFontName");
    EXPECT_EQ(settings.fieldsFontSize(), 14);
    EXPECT_EQ(settings.fieldsFontName(), "Courier");
    settings.setFieldsFontSize(9);
    EXPECT_EQ(settings.fieldsFontSize(), 9);
}

TEST_F(DatafileSettingsDataTest, Fonts_UnknownFamilyFallsBackToTheApplicationFontAtTheStoredSize)
{
    DatafileSettingsData settings;
    settings.setTextFontName("No Such Family 7f3a");
    settings.setTextFontSize(17);
    const QFont font = settings.textFont();
    EXPECT_EQ(font.family(), QGuiApplication::font().family());
    EXPECT_EQ(font.pointSizeF(), 17.0);
    EXPECT_EQ(settings.textFontName(), "No Such Family 7f3a");
}

TEST_F(DatafileSettingsDataTest, ChangeFlag_RaisedOnlyByFramesWhenNotPreparingAndByTemplateName)
{
    struct Case {
        const char* name;
        bool preparing;
        bool noUpdateForViewChanges;
        bool raised;
    };
    const Case cases[] = {
        {"preparing", true, false, false},
        {"user turned view changes off", false, true, false},
        {"plain change", false, false, true},
    };
    for (const Case& c : cases) {
        m_defaults.setBool(c.noUpdateForViewChanges, "GeneralNoUpdateForViewChanges");
        for (bool list : {false, true}) {
            DatafileSettingsData settings;
            if (list)
                settings.setListViewFrame("1 2 3 4", c.preparing);
            else
                settings.setBasicViewFrame("1 2 3 4", c.preparing);
            EXPECT_EQ(list ? settings.listViewFrame() : settings.basicViewFrame(), "1 2 3 4");
            EXPECT_EQ(settings.datafileSettingsDidChange(), c.raised) << c.name;
        }
    }

    DatafileSettingsData settings;
    settings.setMode("List");
    settings.setPassword("secret");
    EXPECT_FALSE(settings.datafileSettingsDidChange());
    settings.setDefaultTemplateName("Labels");
    EXPECT_TRUE(settings.datafileSettingsDidChange());
}

TEST_F(DatafileSettingsDataTest, FieldsAndDeletedIdentifiers_MutatorsStoreEvenWhenTheKeyWasAbsent)
{
    DatafileSettingsData settings;
    settings.addDeletedIdentifier("A");
    EXPECT_EQ(settings.objectForKey("DeletedRecords", PlistValue()), PlistValue(PlistArray{"A"}));
    settings.addDeletedIdentifier("B");
    settings.removeDeletedIdentifier("A");
    EXPECT_EQ(PlistValue(settings.deletedIdentifiers()), PlistValue(PlistArray{"B"}));

    const PlistDictionary name{{"Identifier", "F1"}, {"Name", "Name"}, {"Width", 150.0}};
    settings.addField(name);
    settings.addField({{"Identifier", "F2"}, {"Name", "Phone"}});
    settings.removeField("F2");
    EXPECT_EQ(PlistValue(settings.fields()), PlistValue(PlistArray{name}));

    // A stored array is the settings' own: editing it in place edits the settings.
    settings.fields().append(PlistDictionary{{"Identifier", "F3"}});
    EXPECT_EQ(settings.fields().size(), 2);
    // Without one, the answer is an empty array that is not stored.
    DatafileSettingsData empty;
    empty.fields().append(name);
    EXPECT_FALSE(empty.settingExistsForKey("Fields"));
}

TEST_F(DatafileSettingsDataTest, Criteria_IsAValueUntilSetBack)
{
    DatafileSettingsData settings;
    auto criteria = settings.criteria();
    criteria->setDescending(true);
    EXPECT_FALSE(settings.criteria()->descending());
    EXPECT_FALSE(settings.settingExistsForKey("Criteria"));

    settings.setCriteria(criteria);
    EXPECT_TRUE(settings.criteria()->descending());
    const PlistDictionary stored = *settings.objectForKey("Criteria", PlistValue()).asDictionary();
    EXPECT_EQ(stored.value("DataFormat"), PlistValue(1));
}

TEST_F(DatafileSettingsDataTest, Copy_IsDeepAndOfTheSameClass)
{
    DatafileSettingsData settings;
    settings.addField({{"Identifier", "F1"}, {"Name", "Name"}});
    auto copy = std::dynamic_pointer_cast<DatafileSettingsData>(settings.copy());
    ASSERT_TRUE(copy);
    PlistDictionary copied = *copy->fields().at(0).asDictionary();
    copied.insert("Name", "Changed");
    EXPECT_EQ(settings.fields().at(0).asDictionary()->value("Name"), PlistValue("Name"));
}

TEST_F(DatafileSettingsDataTest, ArchivedValues_FallBackAndRoundTrip)
{
    DatafileSettingsData settings;
    EXPECT_EQ(settings.backgroundFTAcolor(), QColor(Qt::white));
    settings.setObject(QByteArray("not a colour"), "FTAbackgrouneColor");
    EXPECT_EQ(settings.backgroundFTAcolor(), QColor(Qt::white));
    settings.setBackgroundFTAcolor(QColor::fromRgbF(0.25f, 0.5f, 0.75f));
    const QColor color = settings.backgroundFTAcolor();
    EXPECT_NEAR(color.redF(), 0.25, 1e-4);
    EXPECT_NEAR(color.blueF(), 0.75, 1e-4);

    EXPECT_FALSE(settings.basicViewPrintInfo());
    const QByteArray unreadable("streamtyped but not really");
    settings.setObject(unreadable, "BasicViewPrintInfo");
    EXPECT_FALSE(settings.basicViewPrintInfo());
    EXPECT_EQ(settings.objectForKey("BasicViewPrintInfo", PlistValue()), PlistValue(unreadable));

    PrintInfo printInfo;
    printInfo.setLeftMargin(40);
    settings.setListViewPrintInfo(printInfo);
    ASSERT_TRUE(settings.listViewPrintInfo());
    EXPECT_EQ(settings.listViewPrintInfo()->leftMargin(), 40);
    settings.setListViewPrintInfo(std::nullopt);
    EXPECT_FALSE(settings.settingExistsForKey("ListViewPrintInfo"));
}
