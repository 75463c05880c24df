// The General pane: finding, editing and date stamps, and the colours of highlights.
#include "PreferencesController.h"

#include "ColorArchive.h"
#include "ColorWell.h"
#include "DateFormatting.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "UserDefaults.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString spellCheckerOffKey = QStringLiteral("GeneralSpellCheckerOff");
const QString highlightFindFieldKey = QStringLiteral("GeneralHighlightFindField");
const QString beepWhenFindFailsKey = QStringLiteral("GeneralBeepWhenFindFails");
const QString noUpdateForViewChangesKey = QStringLiteral("GeneralNoUpdateForViewChanges");
const QString leaveTextSelectedKey = QStringLiteral("GeneralLeaveTextSelected");
const QString highlightFieldTextKey = QStringLiteral("GeneralHighlightFieldText");
const QString quitAfterLastFileKey = QStringLiteral("GeneralQuitAfterLastFile");
const QString timeInDateStampKey = QStringLiteral("GeneralTimeInDateStamp");
const QString showSecondsKey = QStringLiteral("GeneralShowSecondsInTimeStamp");
const QString dateTimeFormatKey = QStringLiteral("GeneralDateTimeFormat");
const QString useAlternatingColorsKey = QStringLiteral("GeneralUseAlternatingColors");
const QString highlighterColorKey = QStringLiteral("GeneralHighlighterColor");
const QString searchHitColorKey = QStringLiteral("GeneralSearchHitColor");

// The date stamp's styles by their stored tags, with the sample shown beside each.
struct DateFormatCell {
    const char* title;
    int tag;
    DateFormatting::Style style;
    QLabel* PreferencesController::GeneralControls::*sample;
};
constexpr DateFormatCell dateFormatCells[] = {
    {"Short", 1, DateFormatting::Style::Short, &PreferencesController::GeneralControls::shortDateText},
    {"Medium", 3, DateFormatting::Style::Medium,
     &PreferencesController::GeneralControls::mediumDateText},
    {"Long", 2, DateFormatting::Style::Long, &PreferencesController::GeneralControls::longDateText},
    {"Full", 4, DateFormatting::Style::Full, &PreferencesController::GeneralControls::fullDateText},
};

QColor storedColor(const QString& key, const QColor& fallback)
{
    const std::optional<QByteArray> data = UserDefaults::standardUserDefaults().dataForKey(key);
    return data ? ColorArchive::colorFromArchive(*data, fallback) : fallback;
}

void storeColor(const ColorWell* well, const QString& key)
{
    UserDefaults::standardUserDefaults().setObject(ColorArchive::archiveForColor(well->color()), key);
}

} // namespace

QStringList PreferencesController::generalPreferenceKeys()
{
    return {highlightFindFieldKey,  spellCheckerOffKey,    beepWhenFindFailsKey,
            highlightFieldTextKey,  quitAfterLastFileKey,  noUpdateForViewChangesKey,
            timeInDateStampKey,     leaveTextSelectedKey,  showSecondsKey,
            dateTimeFormatKey,      searchHitColorKey,     highlighterColorKey,
            useAlternatingColorsKey};
}

QWidget* PreferencesController::makeGeneralPane()
{
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    const auto addCheck = [&](QCheckBox*& check, const char* title) {
        check = new QCheckBox(localized(QString::fromLatin1(title)));
        connect(check, &QCheckBox::clicked, this, &PreferencesController::generalPrefHit);
        column->addWidget(check);
    };
    addCheck(m_general.highlightFindFieldCheck, "Highlight the field being searched");
    addCheck(m_general.beepWhenFindFailsCheck, "Beep when a search finds nothing");
    addCheck(m_general.highlightFieldTextCheck, "Select a field's text when it is entered");
    addCheck(m_general.leaveTextSelectedCheck, "Leave found text selected");
    addCheck(m_general.spellCheckerOffCheck, "Turn the spelling checker off");
    addCheck(m_general.noUpdateForViewChangesCheck,
             "Do not mark a datafile changed when its columns are resized");
    addCheck(m_general.quitWhenLastFileClosedCheck, "Quit when the last datafile is closed");

    m_general.useAlternatingRowColorsCheck =
        new QCheckBox(localized(QStringLiteral("Use alternating row colors")));
    connect(m_general.useAlternatingRowColorsCheck, &QCheckBox::clicked, this,
            &PreferencesController::useAlternatingColorHit);
    column->addWidget(m_general.useAlternatingRowColorsCheck);

    auto* colors = new QFormLayout;
    m_general.colorWell = new ColorWell;
    connect(m_general.colorWell, &ColorWell::colorChosen, this, &PreferencesController::colorWellHit);
    colors->addRow(localized(QStringLiteral("Highlighter color:")), m_general.colorWell);
    m_general.searchHitColorWell = new ColorWell;
    connect(m_general.searchHitColorWell, &ColorWell::colorChosen, this,
            &PreferencesController::searchHitColorWellHit);
    colors->addRow(localized(QStringLiteral("Search hit color:")), m_general.searchHitColorWell);
    column->addLayout(colors);

    column->addWidget(new QLabel(localized(QStringLiteral("Date stamp:"))));
    auto* dates = new QGridLayout;
    m_general.dateFormatMatrix = new QButtonGroup(pane);
    int row = 0;
    for (const DateFormatCell& cell : dateFormatCells) {
        auto* button = new QRadioButton(localized(QString::fromLatin1(cell.title)));
        m_general.dateFormatMatrix->addButton(button, cell.tag);
        auto* sample = new QLabel;
        m_general.*cell.sample = sample;
        dates->addWidget(button, row, 0);
        dates->addWidget(sample, row, 1);
        ++row;
    }
    connect(m_general.dateFormatMatrix, &QButtonGroup::idClicked, this,
            &PreferencesController::generalPrefHit);
    column->addLayout(dates);
    addCheck(m_general.timeInDateStampCheck, "Include the time");
    addCheck(m_general.showSecondsInTimeStampCheck, "Show seconds");

    m_general.factorySettingsButton =
        addPaneButtons(pane, GeneralPane, &PreferencesController::generalFactorySettingsButtonHit);
    return pane;
}

void PreferencesController::loadGeneralPane()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const std::pair<QCheckBox*, QString> checks[] = {
        {m_general.spellCheckerOffCheck, spellCheckerOffKey},
        {m_general.highlightFindFieldCheck, highlightFindFieldKey},
        {m_general.beepWhenFindFailsCheck, beepWhenFindFailsKey},
        {m_general.leaveTextSelectedCheck, leaveTextSelectedKey},
        {m_general.highlightFieldTextCheck, highlightFieldTextKey},
        {m_general.quitWhenLastFileClosedCheck, quitAfterLastFileKey},
        {m_general.timeInDateStampCheck, timeInDateStampKey},
        {m_general.showSecondsInTimeStampCheck, showSecondsKey},
        {m_general.useAlternatingRowColorsCheck, useAlternatingColorsKey},
    };
    for (const auto& [check, key] : checks)
        check->setChecked(defaults.boolForKey(key));
    m_general.noUpdateForViewChangesCheck->setChecked(
        defaults.integerForKey(noUpdateForViewChangesKey) != 0);

    // An unknown tag leaves every cell off.
    const int format = int(defaults.integerForKey(dateTimeFormatKey));
    if (QAbstractButton* cell = m_general.dateFormatMatrix->button(format)) {
        cell->setChecked(true);
    } else if (QAbstractButton* checked = m_general.dateFormatMatrix->checkedButton()) {
        m_general.dateFormatMatrix->setExclusive(false);
        checked->setChecked(false);
        m_general.dateFormatMatrix->setExclusive(true);
    }
    for (const DateFormatCell& cell : dateFormatCells)
        (m_general.*cell.sample)->setText(
            DateFormatting::format(cell.style, DateFormatting::Style::None));

    m_general.colorWell->setColor(storedColor(highlighterColorKey, Qt::yellow));
    m_general.searchHitColorWell->setColor(storedColor(searchHitColorKey, Qt::red));
    generalEnableControls();
}

void PreferencesController::generalPrefHit()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setBool(m_general.spellCheckerOffCheck->isChecked(), spellCheckerOffKey);
    defaults.setBool(m_general.highlightFindFieldCheck->isChecked(), highlightFindFieldKey);
    defaults.setBool(m_general.beepWhenFindFailsCheck->isChecked(), beepWhenFindFailsKey);
    defaults.setBool(m_general.noUpdateForViewChangesCheck->isChecked(), noUpdateForViewChangesKey);
    defaults.setBool(m_general.leaveTextSelectedCheck->isChecked(), leaveTextSelectedKey);
    defaults.setBool(m_general.highlightFieldTextCheck->isChecked(), highlightFieldTextKey);
    defaults.setBool(m_general.quitWhenLastFileClosedCheck->isChecked(), quitAfterLastFileKey);
    defaults.setBool(m_general.timeInDateStampCheck->isChecked(), timeInDateStampKey);
    defaults.setBool(m_general.showSecondsInTimeStampCheck->isChecked(), showSecondsKey);
    defaults.setInteger(std::max(0, m_general.dateFormatMatrix->checkedId()), dateTimeFormatKey);
    generalEnableControls();
}

void PreferencesController::useAlternatingColorHit()
{
    UserDefaults::standardUserDefaults().setBool(m_general.useAlternatingRowColorsCheck->isChecked(),
                                                 useAlternatingColorsKey);
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("UseAlternatingColorChanged"),
                                                         this);
}

void PreferencesController::colorWellHit()
{
    storeColor(m_general.colorWell, highlighterColorKey);
}

void PreferencesController::searchHitColorWellHit()
{
    storeColor(m_general.searchHitColorWell, searchHitColorKey);
}

void PreferencesController::generalEnableControls()
{
    enableFactorySettingsButton(m_general.factorySettingsButton, generalPreferenceKeys());
}

void PreferencesController::generalFactorySettingsButtonHit()
{
    restoreFactorySettings(generalPreferenceKeys());
}
