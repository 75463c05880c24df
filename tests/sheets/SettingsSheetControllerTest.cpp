// The datafile settings sheet over a datafile's settings: what it shows, what OK stores,
// the password buttons and the alerts.
#include "SettingsSheetController.h"

#include "AddressBlockLayoutEditor.h"
#include "DatafileSettingsData.h"
#include "DocumentFixture.h"
#include "FontStatisticLabel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>

#include <functional>

namespace {

class FakeEditor : public SettingsSheetEditor {
public:
    bool canSaveChanges() const override { return canSave; }
    bool openedReadOnly() const override { return readOnly; }
    void showStoredSettings() override { ++shownCount; }

    bool canSave = true;
    bool readOnly = false;
    int shownCount = 0;
};

class SettingsSheetControllerTest : public DocumentFixture {
protected:
    void TearDown() override
    {
        if (m_sheet && m_sheet->window()->isVisible())
            m_sheet->cancel();
        DocumentFixture::TearDown();
    }

    static std::shared_ptr<DatafileSettingsData> settingsWithFields(int count)
    {
        auto settings = DatafileSettingsData::settings();
        for (int i = 0; i < count; ++i)
            settings->addField(PlistDictionary{{"Identifier", QStringLiteral("F%1").arg(i)},
                                               {"Name", QStringLiteral("Field %1").arg(i)}});
        return settings;
    }

    SettingsSheetController* open(const std::shared_ptr<DatafileSettingsData>& settings,
                                  const QString& path = QStringLiteral("/data/people.nv3"))
    {
        m_settings = settings;
        m_sheet = VKSheetController::controller<SettingsSheetController>();
        m_sheet->beginSheetWithSettings(settings, path, nullptr, &m_editor,
                                        [this](QWidget*, int code) { m_returnCode = code; });
        return m_sheet;
    }

    bool sheetOpen() const { return m_sheet->window()->isVisible(); }

    FakeEditor m_editor;
    std::shared_ptr<DatafileSettingsData> m_settings;
    SettingsSheetController* m_sheet = nullptr;
    int m_returnCode = -1;
};

using SheetStep = std::function<void(SettingsSheetController&, ScriptedPresenter&)>;

void typePasswords(SettingsSheetController& sheet, const QString& first, const QString& second)
{
    sheet.passwordField()->setText(first);
    sheet.reenterPasswordField()->setText(second);
}

} // namespace

TEST_F(SettingsSheetControllerTest, PasswordTable_GivesTheStoredPassword)
{
    const auto set = [](const QString& first, const QString& second) -> SheetStep {
        return [=](SettingsSheetController& sheet, ScriptedPresenter&) {
            typePasswords(sheet, first, second);
            sheet.setPasswordButton()->click();
        };
    };
    const SheetStep remove = [](SettingsSheetController& sheet, ScriptedPresenter&) {
        sheet.removePasswordButton()->click();
    };
    const auto editFirst = [](const QString& text) -> SheetStep {
        return [=](SettingsSheetController& sheet, ScriptedPresenter&) {
            sheet.passwordField()->setText(text);
        };
    };
    const auto okay = [](const QString& answer) -> SheetStep {
        return [=](SettingsSheetController& sheet, ScriptedPresenter& presenter) {
            if (!answer.isEmpty())
                presenter.answerAlertWithButton(answer);
            sheet.okayButton()->click();
        };
    };
    const SheetStep cancel = [](SettingsSheetController& sheet, ScriptedPresenter&) {
        sheet.cancelButton()->click();
    };
    struct Case {
        const char* name;
        QString stored;
        QList<SheetStep> steps;
        QString munge;
        bool asked;
        bool stillOpen;
        int beeps;
    };
    const QList<Case> cases{
        {"untouched, Set", "Secret", {okay("Set")}, "Secret", true, false, 0},
        {"untouched, Do Not Set", "Secret", {okay("Do Not Set")}, "Secret", true, false, 0},
        {"no password, untouched", "", {okay("")}, "", false, false, 0},
        {"Remove then Cancel", "Secret", {remove, cancel}, "Secret", false, false, 0},
        {"Remove then OK", "Secret", {remove, okay("")}, "", false, false, 0},
        {"Set then OK", "", {set("abc", "abc"), okay("")}, "abc", false, false, 0},
        {"Set then Cancel", "old", {set("abc", "abc"), cancel}, "old", false, false, 0},
        {"Set, first edited, OK", "", {set("abc", "abc"), editFirst("abcd"), okay("")}, "abc", false, true, 1},
        {"mismatched Set", "old", {set("abc", "abd")}, "old", false, true, 1},
        {"typed without Set, Set", "", {editFirst("x"), [](SettingsSheetController& s, ScriptedPresenter&) {
             s.reenterPasswordField()->setText("x");
         }, okay("Set")}, "x", true, false, 0},
        {"typed without Set, Do Not Set", "", {editFirst("x"), [](SettingsSheetController& s, ScriptedPresenter&) {
             s.reenterPasswordField()->setText("x");
         }, okay("Do Not Set")}, "", true, false, 0},
        // A longer password than any formatter allowed is shown and kept whole.
        {"long password kept", "a-long-password-of-30-letters!", {okay("Set")},
         "a-long-password-of-30-letters!", true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_presenter.clear();
        auto settings = DatafileSettingsData::settings();
        settings->setPassword(c.stored);
        open(settings);
        EXPECT_EQ(m_sheet->passwordField()->text(), c.stored);
        EXPECT_EQ(m_sheet->passwordField()->echoMode(), QLineEdit::Password);
        for (const SheetStep& step : c.steps)
            step(*m_sheet, m_presenter);
        EXPECT_EQ(settings->password(), c.munge);
        EXPECT_EQ(m_presenter.alertMessages().contains(
                      "You have entered a password, but have not set it"),
                  c.asked);
        EXPECT_EQ(sheetOpen(), c.stillOpen);
        EXPECT_EQ(m_presenter.beepCount(), c.beeps);
        if (c.beeps > 0) {
            EXPECT_TRUE(m_sheet->passwordField()->text().isEmpty());
            EXPECT_TRUE(m_sheet->reenterPasswordField()->text().isEmpty());
        }
        if (sheetOpen())
            m_sheet->cancel();
    }
}

TEST_F(SettingsSheetControllerTest, PasswordQuestion_IsASheetWithItsButtons)
{
    auto settings = DatafileSettingsData::settings();
    settings->setPassword("Secret");
    open(settings);
    m_presenter.answerAlertWithButton("Do Not Set");
    m_sheet->okay();
    const ScriptedPresenter::ShownAlert& question = m_presenter.lastAlert();
    EXPECT_TRUE(question.sheet);
    EXPECT_EQ(question.request.informativeText, "Do you want to set that password?");
    EXPECT_EQ(question.request.buttons, QStringList({"Set", "Do Not Set"}));
    EXPECT_FALSE(question.request.messageText.contains("Secret"));
}

TEST_F(SettingsSheetControllerTest, Controls_StoreTheirKeysOnOkOnly)
{
    struct Control {
        const char* key;
        std::function<void(SettingsSheetController&)> change;
        PlistValue stored;
    };
    const auto tick = [](QCheckBox* (SettingsSheetController::*check)() const) {
        return [check](SettingsSheetController& sheet) { (sheet.*check)()->click(); };
    };
    const auto cell = [](QButtonGroup* (SettingsSheetController::*group)() const, int tag) {
        return [group, tag](SettingsSheetController& sheet) { (sheet.*group)()->button(tag)->click(); };
    };
    const QList<Control> controls{
        {"AutoSaveChanges", tick(&SettingsSheetController::saveChangesCheck), true},
        {"CustomSorting", tick(&SettingsSheetController::customSortingCheck), true},
        {"NetworkShared", tick(&SettingsSheetController::networkSharedCheck), true},
        {"ReadOnly", tick(&SettingsSheetController::readOnlyCheck), true},
        {"HideMargins", tick(&SettingsSheetController::hideMarginsCheck), true},
        {"AutomaticallyEnableLinks", tick(&SettingsSheetController::enableLinksCheck), false},
        {"WarnWhenTooLarge", tick(&SettingsSheetController::warnWhenTooLargeCheck), false},
        {"FieldWrapping", tick(&SettingsSheetController::fieldWrappingCheck), true},
        {"NewRecordLocation", cell(&SettingsSheetController::newRecordLocationMatrix, 2), 2},
        {"DuplicateLocationMatches", tick(&SettingsSheetController::duplicateLocationCheck), true},
        {"OpenToRecord", cell(&SettingsSheetController::openToRecordMatrix, 4), 4},
        {"PasteClipboard", tick(&SettingsSheetController::pasteClipboardCheck), false},
        {"TextName", [](SettingsSheetController& s) { s.textNameField()->setText("Notes"); }, "Notes"},
        {"DontPrintEmptyFields", tick(&SettingsSheetController::dontPrintEmptyFieldsCheck), true},
        {"PrintBoldFieldNames", tick(&SettingsSheetController::printBoldFieldNamesCheck), true},
        {"PrintRecordNumbers", tick(&SettingsSheetController::printRecordNumbersCheck), true},
        {"TitleField", [](SettingsSheetController& s) { s.titleFieldPopUp()->setCurrentIndex(1); }, "F1"},
        {"URLField", [](SettingsSheetController& s) { s.urlFieldPopUp()->setCurrentIndex(0); }, "F0"},
        {"AddressInText", [](SettingsSheetController& s) { s.addressFieldBasedRadio()->click(); }, false},
        {"AddressBlockStartingLine", [](SettingsSheetController& s) { s.addressStartLineField()->setText("4"); }, 4},
        {"AddressSpecialCharacter",
         [](SettingsSheetController& s) {
             s.addressFreeformStartMatrix()->button(SettingsSheetController::FreeformStartsAtMarkerTag)->click();
             s.addressMarkerField()->setText("##");
         },
         "##"},
        {"AddressFixedLineCount", [](SettingsSheetController& s) { s.addressFixedLinesRadio()->click(); }, true},
        {"TextFontSize", [](SettingsSheetController& s) {
             QFont font = s.textFont();
             font.setPointSizeF(13.6);
             s.setTextFont(font);
         }, 13},
    };
    for (const Control& control : controls) {
        SCOPED_TRACE(control.key);
        auto settings = settingsWithFields(2);
        open(settings);
        const PlistDictionary before = settings->dictionary().deepCopy();
        control.change(*m_sheet);
        EXPECT_EQ(PlistValue(settings->dictionary()), PlistValue(before));
        m_sheet->okay();
        ASSERT_FALSE(sheetOpen());
        EXPECT_EQ(m_returnCode, 1);
        EXPECT_EQ(settings->dictionary().value(control.key), control.stored);
        EXPECT_TRUE(settings->datafileSettingsDidChange());
    }
    EXPECT_EQ(m_editor.shownCount, controls.size());
}

TEST_F(SettingsSheetControllerTest, EnablingRules_FollowTheirBoxesAndButtons)
{
    auto settings = settingsWithFields(1);
    settings->setReadOnly(false);
    settings->setReadOnlyWarning(true);
    open(settings);
    EXPECT_EQ(m_sheet->tabView()->currentIndex(), 0);
    EXPECT_FALSE(m_sheet->readOnlyWarningCheck()->isChecked()); // only with ReadOnly
    EXPECT_FALSE(m_sheet->readOnlyWarningCheck()->isEnabled());
    m_sheet->readOnlyCheck()->click();
    EXPECT_TRUE(m_sheet->readOnlyWarningCheck()->isEnabled());
    EXPECT_FALSE(m_sheet->networkSharedCheck()->isEnabled());

    EXPECT_FALSE(m_sheet->liveWrappingCheck()->isEnabled());
    m_sheet->fieldWrappingCheck()->click();
    EXPECT_TRUE(m_sheet->liveWrappingCheck()->isEnabled());

    // Freeform source first: its fields on, the layout editor read-only.
    EXPECT_TRUE(m_sheet->addressFreeformRadio()->isChecked());
    EXPECT_TRUE(m_sheet->addressStartLineField()->isEnabled());
    EXPECT_FALSE(m_sheet->addressMarkerField()->isEnabled());
    EXPECT_FALSE(m_sheet->addressLineCountField()->isEnabled());
    EXPECT_TRUE(m_sheet->addressBlockLayoutEditor()->layoutEditor()->isReadOnly());
    m_sheet->addressFixedLinesRadio()->click();
    EXPECT_TRUE(m_sheet->addressLineCountField()->isEnabled());
    EXPECT_FALSE(m_sheet->addressBlankLineRadio()->isChecked());
    m_sheet->addressFieldBasedRadio()->click();
    EXPECT_FALSE(m_sheet->addressFreeformRadio()->isChecked());
    EXPECT_FALSE(m_sheet->addressStartLineField()->isEnabled());
    EXPECT_FALSE(m_sheet->addressBlockLayoutEditor()->layoutEditor()->isReadOnly());
    EXPECT_TRUE(m_sheet->addressBlockLayoutEditor()->addressFieldNames()->isEnabled());
}

TEST_F(SettingsSheetControllerTest, NoFields_OnlyTheTextItemAndTheFreeformSource)
{
    auto settings = DatafileSettingsData::settings();
    settings->setAddressInText(false);
    settings->setTextName("Notes");
    open(settings);
    for (QComboBox* popUp : {m_sheet->titleFieldPopUp(), m_sheet->urlFieldPopUp()}) {
        ASSERT_EQ(popUp->count(), 1);
        EXPECT_EQ(popUp->itemText(0), "Notes");
        EXPECT_EQ(popUp->itemData(0).toString(), "Text");
    }
    EXPECT_TRUE(m_sheet->addressFreeformRadio()->isChecked());
    EXPECT_FALSE(m_sheet->addressFieldBasedRadio()->isEnabled());
    m_sheet->okay();
    EXPECT_FALSE(sheetOpen());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_EQ(settings->titleField(), "Text");
}

TEST_F(SettingsSheetControllerTest, TitleAndUrlInOneField_AlertAndNothingStored)
{
    auto settings = settingsWithFields(2);
    open(settings);
    m_sheet->saveChangesCheck()->click();
    m_sheet->titleFieldPopUp()->setCurrentIndex(1);
    m_sheet->urlFieldPopUp()->setCurrentIndex(1);
    const PlistDictionary before = settings->dictionary().deepCopy();
    m_sheet->okay();
    EXPECT_TRUE(sheetOpen());
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const AlertRequest& alert = m_presenter.lastAlert().request;
    EXPECT_EQ(alert.messageText,
              "The Title field and the URL field are the same. Please change one of them.");
    EXPECT_EQ(alert.informativeText, "The title and the URL cannot both be put into the same field.");
    EXPECT_EQ(alert.buttons, QStringList({"OK"}));
    EXPECT_EQ(PlistValue(settings->dictionary()), PlistValue(before));
}

TEST_F(SettingsSheetControllerTest, AutoOpen_FollowsTheBoxForAPathOnly)
{
    m_defaults.setObject(PlistArray{"/other.nv3"}, "AutoOpenDatafilePaths");
    open(settingsWithFields(0), QString());
    EXPECT_FALSE(m_sheet->autoOpenCheck()->isChecked());
    EXPECT_FALSE(m_sheet->autoOpenCheck()->isEnabled());
    m_sheet->autoOpenCheck()->setChecked(true);
    m_sheet->okay();
    EXPECT_EQ(m_defaults.stringArrayForKey("AutoOpenDatafilePaths"), QStringList({"/other.nv3"}));

    open(settingsWithFields(0), "/data/people.nv3");
    m_sheet->autoOpenCheck()->click();
    m_sheet->okay();
    EXPECT_EQ(m_defaults.stringArrayForKey("AutoOpenDatafilePaths"),
              QStringList({"/other.nv3", "/data/people.nv3"}));

    open(settingsWithFields(0), "/data/people.nv3");
    EXPECT_TRUE(m_sheet->autoOpenCheck()->isChecked());
    m_sheet->autoOpenCheck()->click();
    m_sheet->okay();
    EXPECT_EQ(m_defaults.stringArrayForKey("AutoOpenDatafilePaths"), QStringList({"/other.nv3"}));
}

TEST_F(SettingsSheetControllerTest, MostRecentRecordWithoutViewUpdates_ShownAndStoredAsFirst)
{
    m_defaults.setBool(true, "GeneralNoUpdateForViewChanges");
    auto settings = DatafileSettingsData::settings();
    settings->setOpenToRecord(5);
    open(settings);
    QButtonGroup* openTo = m_sheet->openToRecordMatrix();
    EXPECT_EQ(openTo->checkedId(), 3);
    EXPECT_FALSE(openTo->button(5)->isEnabled());
    m_sheet->okay();
    EXPECT_EQ(settings->openToRecord(), 3);

    m_defaults.setBool(false, "GeneralNoUpdateForViewChanges");
    settings->setOpenToRecord(5);
    open(settings);
    EXPECT_EQ(openTo->checkedId(), 5);
    EXPECT_TRUE(openTo->button(5)->isEnabled());
}

TEST_F(SettingsSheetControllerTest, Fonts_PanelChangesTheChosenOneAndNewDatafilesTakeIt)
{
    auto settings = DatafileSettingsData::settings();
    open(settings);
    m_sheet->selectFieldsFont();
    ASSERT_TRUE(m_presenter.fontPanelShown());
    QFont big = m_presenter.fontPanelFont();
    big.setPointSizeF(72);
    m_presenter.pickFont(big);
    EXPECT_EQ(m_sheet->fieldsFont().pointSizeF(), 72);
    EXPECT_EQ(m_sheet->fieldsFontStat()->statisticFrame().height(), 70.0);
    EXPECT_EQ(m_sheet->fieldsFontStat()->text(), big.family() + " 72");
    EXPECT_EQ(m_sheet->textFont().pointSizeF(), 12); // only the chosen one changes

    QFont odd = big;
    odd.setPointSizeF(13.6);
    m_presenter.pickFont(odd);
    EXPECT_EQ(m_sheet->fieldsFontStat()->text(), odd.family() + " 14");
    m_sheet->applyFieldsFontToAllNew();
    EXPECT_EQ(m_defaults.stringForKey("DefaultFieldsFontName"), odd.family());
    EXPECT_EQ(m_defaults.objectForKey("DefaultFieldsFontSize"), PlistValue(qint64(13)));
    EXPECT_FALSE(m_defaults.objectForKey("DefaultTextFontSize").isNull() == false);
    m_sheet->okay();
    EXPECT_FALSE(m_presenter.fontPanelShown());
    EXPECT_EQ(settings->dictionary().value("FieldsFontSize"), PlistValue(qint64(13)));
}

TEST_F(SettingsSheetControllerTest, FontStatistic_GrowsCentredAndStopsAtItsLimit)
{
    QFont small;
    small.setPointSizeF(9);
    const QRectF frame(10, 100, 200, 22);
    const QRectF grown = FontStatisticLabel::statisticFrame(frame, small, 70);
    const qreal tgHeight = QFontMetricsF(small).size(Qt::TextSingleLine, "Tg").height();
    EXPECT_DOUBLE_EQ(grown.height(), tgHeight + 6);
    const qreal y = 100 - (grown.height() - 22) / 2;
    EXPECT_DOUBLE_EQ(grown.y(), y == std::floor(y) ? y : y + 0.5);
    QFont huge;
    huge.setPointSizeF(72);
    EXPECT_EQ(FontStatisticLabel::statisticFrame(frame, huge, 70).height(), 70);
    EXPECT_EQ(FontStatisticLabel::statisticFrame(frame, huge, 52).height(), 52);
    EXPECT_EQ(FontStatisticLabel::statisticText(huge), huge.family() + " 72");
}

TEST_F(SettingsSheetControllerTest, ReadOnlySharedDatafile_WarnsAndOnlyCancels)
{
    auto settings = DatafileSettingsData::settings();
    settings->setNetworkShared(true);
    settings->setPassword("Secret");
    m_editor.canSave = false;
    m_editor.readOnly = true;
    open(settings);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const ScriptedPresenter::ShownAlert& warning = m_presenter.lastAlert();
    EXPECT_TRUE(warning.sheet);
    EXPECT_EQ(warning.request.messageText, "Changes to Datafile Settings will not be saved");
    EXPECT_EQ(warning.request.informativeText,
              "This datafile has been opened as read-only, so no changes can be saved.");
    EXPECT_FALSE(m_sheet->okayButton()->isEnabled());
    EXPECT_FALSE(m_sheet->passwordField()->isEnabled());
    EXPECT_FALSE(m_sheet->setPasswordButton()->isEnabled());
    EXPECT_FALSE(m_sheet->removePasswordButton()->isEnabled());
    m_sheet->saveChangesCheck()->click(); // any change re-evaluates the buttons
    EXPECT_FALSE(m_sheet->okayButton()->isEnabled());
}

TEST_F(SettingsSheetControllerTest, FieldBasedLayout_StoredOnlyWhileChosen)
{
    auto settings = settingsWithFields(2);
    open(settings);
    QListWidget* names = m_sheet->addressBlockLayoutEditor()->addressFieldNames();
    names->setCurrentRow(1);
    m_sheet->addressBlockLayoutEditor()->addressFieldNamesHit();
    EXPECT_TRUE(m_sheet->addressFieldBasedRadio()->isChecked());
    m_sheet->okay();
    EXPECT_FALSE(settings->addressInText());
    ASSERT_TRUE(settings->addressBlockLayout());
    const QByteArray stored = *settings->addressBlockLayout();

    open(settings);
    EXPECT_TRUE(m_sheet->addressFieldBasedRadio()->isChecked());
    m_sheet->addressFreeformRadio()->click();
    m_sheet->okay();
    EXPECT_TRUE(settings->addressInText());
    EXPECT_EQ(settings->addressBlockLayout(), stored);
}
