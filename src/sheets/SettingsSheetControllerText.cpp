// The Freeform Text Area tab: the text's name and background colour, the datafile's
// three fonts, and how the basic view prints.
#include "SettingsSheetController.h"

#include "ColorWell.h"
#include "DatafileSettingsData.h"
#include "FontStatisticLabel.h"
#include "Localization.h"
#include "Presenter.h"
#include "UserDefaults.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The statistic labels grow with their font up to this height.
constexpr qreal MaximumFontStatHeight = 70.0;

} // namespace

FontStatisticLabel* SettingsSheetController::addFontRow(
    QGridLayout* grid, int row, const QString& title, void (SettingsSheetController::*select)(),
    void (SettingsSheetController::*applyToAllNew)())
{
    auto* stat = new FontStatisticLabel(MaximumFontStatHeight);
    QPushButton* selectButton = plainButton(QStringLiteral("Select..."));
    QPushButton* applyButton = plainButton(QStringLiteral("Use for New Datafiles"));
    connect(selectButton, &QPushButton::clicked, this, [this, select] { (this->*select)(); });
    connect(applyButton, &QPushButton::clicked, this,
            [this, applyToAllNew] { (this->*applyToAllNew)(); });
    grid->addWidget(new QLabel(localized(title)), row, 0);
    grid->addWidget(stat, row, 1);
    grid->addWidget(selectButton, row, 2);
    grid->addWidget(applyButton, row, 3);
    return stat;
}

QWidget* SettingsSheetController::buildTextTab()
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    auto* nameRow = new QHBoxLayout;
    m_textNameField = new QLineEdit;
    nameRow->addWidget(new QLabel(localized(QStringLiteral("Name:"))));
    nameRow->addWidget(m_textNameField, 1);
    box->addLayout(nameRow);

    auto* colorRow = new QHBoxLayout;
    m_backgroundColorWell = new ColorWell;
    m_backgroundColorWell->setAutoDefault(false);
    connect(m_backgroundColorWell, &ColorWell::colorChosen, this,
            [this] { m_backgroundColor = m_backgroundColorWell->color(); });
    colorRow->addWidget(new QLabel(localized(QStringLiteral("Background colour:"))));
    colorRow->addWidget(m_backgroundColorWell);
    colorRow->addStretch(1);
    box->addLayout(colorRow);

    auto* fonts = new QGroupBox(localized(QStringLiteral("Fonts")));
    auto* grid = new QGridLayout(fonts);
    m_textFontStat = addFontRow(grid, 0, QStringLiteral("Text:"), &SettingsSheetController::selectTextFont,
                                &SettingsSheetController::applyTextFontToAllNew);
    m_fieldsFontStat = addFontRow(grid, 1, QStringLiteral("Fields:"),
                                  &SettingsSheetController::selectFieldsFont,
                                  &SettingsSheetController::applyFieldsFontToAllNew);
    m_findBoxFontStat = addFontRow(grid, 2, QStringLiteral("Find box:"),
                                   &SettingsSheetController::selectFindBoxFont,
                                   &SettingsSheetController::applyFindBoxFontToAllNew);
    grid->setColumnStretch(1, 1);
    box->addWidget(fonts);

    auto* printing = new QGroupBox(localized(QStringLiteral("Printing")));
    auto* printBox = new QVBoxLayout(printing);
    m_dontPrintEmptyFieldsCheck = addCheck(printBox, QStringLiteral("Don't print empty fields"));
    m_printBoldFieldNamesCheck = addCheck(printBox, QStringLiteral("Print field names in bold"));
    m_printRecordNumbersCheck = addCheck(printBox, QStringLiteral("Print record numbers"));
    m_hideMarginsCheck = addCheck(printBox, QStringLiteral("Don't show the margins sheet"));
    box->addWidget(printing);
    box->addStretch(1);
    return tab;
}

void SettingsSheetController::loadTextTab()
{
    const DatafileSettingsData& settings = *m_settings;
    m_fontPanelStat = nullptr;
    m_hideMarginsCheck->setChecked(settings.hideMargins());
    setBackgroundColor(settings.backgroundFTAcolor());
    m_textNameField->setText(settings.textName());
    m_dontPrintEmptyFieldsCheck->setChecked(settings.basicViewDontPrintEmptyFields());
    m_printBoldFieldNamesCheck->setChecked(settings.basicViewPrintBoldFieldNames());
    m_printRecordNumbersCheck->setChecked(settings.basicViewPrintRecordNumbers());
    m_textFont = settings.textFont();
    m_fieldsFont = settings.fieldsFont();
    m_findBoxFont = settings.findBoxFont();
    refreshFontStats();
    selectAllOf(m_textNameField);
}

void SettingsSheetController::storeTextTab()
{
    DatafileSettingsData& settings = *m_settings;
    settings.setBackgroundFTAcolor(m_backgroundColor);
    settings.setHideMargins(m_hideMarginsCheck->isChecked());
    settings.setTextName(m_textNameField->text());
    const auto storeFont = [](const QFont& font, auto setName, auto setSize) {
        setName(font.family());
        setSize(qint64(std::trunc(font.pointSizeF())));
    };
    storeFont(
        textFont(), [&](const QString& name) { settings.setTextFontName(name); },
        [&](qint64 size) { settings.setTextFontSize(size); });
    storeFont(
        fieldsFont(), [&](const QString& name) { settings.setFieldsFontName(name); },
        [&](qint64 size) { settings.setFieldsFontSize(size); });
    storeFont(
        findBoxFont(), [&](const QString& name) { settings.setFindBoxFontName(name); },
        [&](qint64 size) { settings.setFindBoxFontSize(size); });
    settings.setBasicViewDontPrintEmptyFields(m_dontPrintEmptyFieldsCheck->isChecked());
    settings.setBasicViewPrintBoldFieldNames(m_printBoldFieldNamesCheck->isChecked());
    settings.setBasicViewPrintRecordNumbers(m_printRecordNumbersCheck->isChecked());
}

// Fonts

QFont SettingsSheetController::defaultFont(const QString& nameKey, const QString& sizeKey)
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QString name = defaults.stringForKey(nameKey).value_or(QStringLiteral("Helvetica"));
    const qint64 size = defaults.integerForKey(sizeKey);
    QFont font = QFontDatabase::hasFamily(name) ? QFont(name) : QGuiApplication::font();
    font.setPointSizeF(size >= 1 ? qreal(size) : 12.0);
    return font;
}

QFont SettingsSheetController::textFont() const
{
    return m_textFont.family().isEmpty()
               ? defaultFont(QStringLiteral("DefaultTextFontName"), QStringLiteral("DefaultTextFontSize"))
               : m_textFont;
}

QFont SettingsSheetController::fieldsFont() const
{
    return m_fieldsFont.family().isEmpty() ? defaultFont(QStringLiteral("DefaultFieldsFontName"),
                                                         QStringLiteral("DefaultFieldsFontSize"))
                                           : m_fieldsFont;
}

QFont SettingsSheetController::findBoxFont() const
{
    return m_findBoxFont.family().isEmpty() ? defaultFont(QStringLiteral("DefaultFindBoxFontName"),
                                                          QStringLiteral("DefaultFindBoxFontSize"))
                                            : m_findBoxFont;
}

void SettingsSheetController::setTextFont(const QFont& font)
{
    m_textFont = font;
    refreshFontStats();
}

void SettingsSheetController::setFieldsFont(const QFont& font)
{
    m_fieldsFont = font;
    refreshFontStats();
}

void SettingsSheetController::setFindBoxFont(const QFont& font)
{
    m_findBoxFont = font;
    refreshFontStats();
}

void SettingsSheetController::refreshFontStats()
{
    m_textFontStat->showFont(textFont());
    m_fieldsFontStat->showFont(fieldsFont());
    m_findBoxFontStat->showFont(findBoxFont());
}

QFont* SettingsSheetController::workingFont(const FontStatisticLabel* label)
{
    if (label == m_textFontStat)
        return &m_textFont;
    if (label == m_fieldsFontStat)
        return &m_fieldsFont;
    if (label == m_findBoxFontStat)
        return &m_findBoxFont;
    return nullptr;
}

void SettingsSheetController::selectFont(FontStatisticLabel* label)
{
    label->setFocus();
    m_fontPanelStat = label;
    const QFont shown = label == m_textFontStat     ? textFont()
                        : label == m_fieldsFontStat ? fieldsFont()
                                                    : findBoxFont();
    const QPointer<SettingsSheetController> self(this);
    Presenter::shared().showFontPanel(shown, window(), [self](const QFont& font) {
        if (self)
            self->changeFont(font);
    });
}

void SettingsSheetController::selectTextFont()
{
    selectFont(m_textFontStat);
}

void SettingsSheetController::selectFieldsFont()
{
    selectFont(m_fieldsFontStat);
}

void SettingsSheetController::selectFindBoxFont()
{
    selectFont(m_findBoxFontStat);
}

void SettingsSheetController::changeFont(const QFont& font)
{
    QFont* working = workingFont(m_fontPanelStat);
    if (!working)
        return;
    *working = font;
    m_fontPanelStat->showFont(font);
}

void SettingsSheetController::applyFontToAllNew(const QFont& font, const QString& nameKey,
                                                const QString& sizeKey)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(font.family(), nameKey);
    defaults.setInteger(qint64(std::trunc(font.pointSizeF())), sizeKey);
}

void SettingsSheetController::applyTextFontToAllNew()
{
    applyFontToAllNew(textFont(), QStringLiteral("DefaultTextFontName"),
                      QStringLiteral("DefaultTextFontSize"));
}

void SettingsSheetController::applyFieldsFontToAllNew()
{
    applyFontToAllNew(fieldsFont(), QStringLiteral("DefaultFieldsFontName"),
                      QStringLiteral("DefaultFieldsFontSize"));
}

void SettingsSheetController::applyFindBoxFontToAllNew()
{
    applyFontToAllNew(findBoxFont(), QStringLiteral("DefaultFindBoxFontName"),
                      QStringLiteral("DefaultFindBoxFontSize"));
}

// Colour

void SettingsSheetController::setBackgroundColor(const QColor& color)
{
    m_backgroundColor = color;
    m_backgroundColorWell->setColor(color);
}
