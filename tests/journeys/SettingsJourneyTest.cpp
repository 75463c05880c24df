// A user's journeys through Datafile ▸ Datafile Settings in the program as main() runs it:
// the sheet on the window, OK, the window following what it stored, and the file saved.
#include "JourneyTestBase.h"

#include "DatafileSettingsData.h"
#include "EditorSearchController.h"
#include "EditorTableController.h"
#include "FindBoxView.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "SettingsSheetController.h"
#include "ColorWell.h"
#include "CurrentTextFontSheetController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

class SettingsJourneyTest : public JourneyTestBase {
protected:
    // Fields Name (N) and City (C) over one record, in the List View.
    QString writeDatafile(const PlistDictionary& extraSettings = {})
    {
        PlistArray definitions;
        for (const auto& [identifier, name] :
             QList<std::pair<QString, QString>>{{"N", "Name"}, {"C", "City"}})
            definitions.append(PlistDictionary{{"Identifier", identifier}, {"Name", name}, {"Width", 150.0}});
        const QString identifier = QStringLiteral("00000000-0000-4000-8000-000000000001");
        PlistDictionary settings{{"DataFormat", 1}, {"Mode", "List"}, {"Fields", definitions}};
        for (const auto& entry : extraSettings)
            settings.insert(entry.key, entry.value);
        const PlistDictionary datafile{
            {"Settings", settings},
            {"Records", PlistDictionary{{identifier, PlistDictionary{{"RecordIdentifier", identifier},
                                                                     {"Fields", PlistDictionary{{"N", "Ann"}}},
                                                                     {"TextString", "Ann"}}}}},
            {"Catalog", PlistArray{PlistDictionary{{"Identifier", identifier},
                                                   {"CurrentlySelected", true},
                                                   {"PreviouslySelected", true}}}}};
        const QString path = m_dir.filePath("settings.nv3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return path;
    }

    static SettingsSheetController* shownSheet()
    {
        auto* sheet = VKSheetController::topmostController<SettingsSheetController>();
        EXPECT_TRUE(sheet && sheet->window()->isVisible());
        return sheet;
    }
};

} // namespace

TEST_F(SettingsJourneyTest, DatafileSettings_OkReachesTheWindowAndTheSavedFile)
{
    const QString path = writeDatafile();
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "editDatafileSettings:"));
    SettingsSheetController* sheet = shownSheet();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->window()->windowModality(), Qt::WindowModal);
    EXPECT_EQ(sheet->tabView()->currentIndex(), 0);

    // Tab by tab, as the user goes through them.
    sheet->saveChangesCheck()->click();
    sheet->tabView()->setCurrentIndex(1);
    sheet->textNameField()->setText("Notes");
    m_presenter.answerColorPanel(QColor(255, 255, 204));
    sheet->backgroundColorWell()->click();
    sheet->selectFindBoxFont();
    QFont findFont = m_presenter.fontPanelFont();
    findFont.setPointSizeF(20);
    m_presenter.pickFont(findFont);
    sheet->tabView()->setCurrentIndex(2);
    sheet->titleFieldPopUp()->setCurrentIndex(0);
    sheet->tabView()->setCurrentIndex(4);
    sheet->passwordField()->setText("pw");
    sheet->reenterPasswordField()->setText("pw");
    sheet->setPasswordButton()->click();
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        for (int tab = 0; tab < sheet->tabView()->count(); ++tab) {
            sheet->tabView()->setCurrentIndex(tab);
            sheet->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") +
                                         QStringLiteral("/settings-tab-%1.png").arg(tab));
        }
    QTest::keyClick(sheet->window(), Qt::Key_Return);
    EXPECT_FALSE(sheet->window()->isVisible());

    // The window follows: the text column's name, the find box's font and focus, the colour.
    ListViewModel* list = editor->tableController()->listViewModel();
    EXPECT_EQ(list->headerData(list->columnCount() - 1, Qt::Horizontal, Qt::DisplayRole).toString(),
              "Notes");
    FindBoxView* findBox = editor->editorSearchController().searchField();
    EXPECT_EQ(findBox->font().pointSizeF(), 20);
    EXPECT_TRUE(findBox->hasFocus());
    EXPECT_EQ(editor->freeformTextView()->backgroundColor(), QColor(255, 255, 204));

    // Settings alone are written as the datafile closes.
    QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
    const PlistDictionary saved = readDatafile(path);
    const PlistValue savedSettings = saved.value("Settings");
    const PlistDictionary* settings = savedSettings.asDictionary();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->value("AutoSaveChanges"), PlistValue(true));
    EXPECT_EQ(settings->value("TextName"), PlistValue("Notes"));
    EXPECT_EQ(settings->value("FindBoxFontSize"), PlistValue(qint64(20)));
    EXPECT_EQ(settings->value("TitleField"), PlistValue("N"));
    EXPECT_EQ(settings->value("Munge"), PlistValue("pw"));
}

TEST_F(SettingsJourneyTest, DatafileSettings_CancelLeavesTheDatafileAsItWas)
{
    const QString path = writeDatafile();
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "editDatafileSettings:"));
    SettingsSheetController* sheet = shownSheet();
    ASSERT_TRUE(sheet);
    sheet->textNameField()->setText("Notes");
    sheet->passwordField()->setText("pw");
    sheet->reenterPasswordField()->setText("pw");
    sheet->setPasswordButton()->click();
    QTest::keyClick(sheet->window(), Qt::Key_Escape);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(editor->settings()->textName(), "Freeform Text Area");
    EXPECT_EQ(editor->settings()->password(), "");
}

TEST_F(SettingsJourneyTest, FreeformTextFont_EachFontPickedIsTheDatafiles)
{
    EditorWindowController* editor = openWithCommand(writeDatafile());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "setCurrentTextFont:"));
    auto* sheet = VKSheetController::topmostController<CurrentTextFontSheetController>();
    ASSERT_TRUE(sheet && sheet->window()->isVisible());
    QTest::mouseClick(sheet->textFontButton(), Qt::LeftButton);
    QFont font = m_presenter.fontPanelFont();
    font.setPointSizeF(18.4);
    m_presenter.pickFont(font);
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        sheet->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/text-font-sheet.png");
    QTest::keyClick(sheet->window(), Qt::Key_Escape);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(editor->settings()->textFontSize(), 18);
}
