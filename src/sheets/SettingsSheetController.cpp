#include "SettingsSheetController.h"

#include "AddressBlockLayoutEditor.h"
#include "ColorWell.h"
#include "DatafileSettingsData.h"
#include "FontStatisticLabel.h"
#include "Localization.h"
#include "Presenter.h"
#include "UserDefaults.h"
#include "UserGuide.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The statistic labels grow with their font up to this height.
constexpr qreal MaximumFontStatHeight = 70.0;

QCheckBox* addCheck(QVBoxLayout* layout, const QString& title)
{
    auto* check = new QCheckBox(localized(title));
    layout->addWidget(check);
    return check;
}

QRadioButton* addRadio(QButtonGroup* group, QVBoxLayout* layout, const QString& title, int tag)
{
    auto* radio = new QRadioButton(localized(title));
    group->addButton(radio, tag);
    layout->addWidget(radio);
    return radio;
}

void checkCell(QButtonGroup* group, qint64 tag)
{
    if (QAbstractButton* cell = group->button(int(tag)))
        cell->setChecked(true);
}

QPushButton* plainButton(const QString& title)
{
    auto* button = new QPushButton(localized(title));
    button->setAutoDefault(false);
    return button;
}

void selectAllOf(QLineEdit* field)
{
    field->setFocus();
    field->selectAll();
}

} // namespace

SettingsSheetController::~SettingsSheetController() = default;

void SettingsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Datafile Settings")));
    m_tabView = new QTabWidget;
    m_tabView->addTab(buildGeneralTab(), localized(QStringLiteral("General")));
    m_tabView->addTab(buildTextTab(), localized(QStringLiteral("Freeform Text Area")));
    m_tabView->addTab(buildRecordsTab(), localized(QStringLiteral("Records")));
    m_tabView->addTab(buildAddressTab(), localized(QStringLiteral("Address Block")));
    m_tabView->addTab(buildPasswordTab(), localized(QStringLiteral("Password")));
    auto* windowBox = new QVBoxLayout(window);
    windowBox->addWidget(m_tabView, 1);
    windowBox->addLayout(makeButtonRow());
}

QWidget* SettingsSheetController::buildGeneralTab()
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    m_autoOpenCheck = addCheck(box, QStringLiteral("Open this datafile when Norva starts"));
    m_saveChangesCheck = addCheck(box, QStringLiteral("Save changes automatically"));
    m_customSortingCheck = addCheck(box, QStringLiteral("Custom sorting"));
    m_readOnlyCheck = addCheck(box, QStringLiteral("Always open read-only"));
    m_readOnlyWarningCheck = addCheck(box, QStringLiteral("Warn when opened read-only"));
    m_readOnlyWarningCheck->setContentsMargins(20, 0, 0, 0);
    m_networkSharedCheck = addCheck(box, QStringLiteral("Shared on a network"));
    m_warnWhenTooLargeCheck = addCheck(box, QStringLiteral("Warn when the datafile is very large"));
    m_enableLinksCheck = addCheck(box, QStringLiteral("Enable links automatically"));
    m_pasteClipboardCheck =
        addCheck(box, QStringLiteral("Paste the clipboard into records added from a Web page"));
    connect(m_readOnlyCheck, &QCheckBox::clicked, this, [this] { readOnlyHit(); });
    box->addStretch(1);
    return tab;
}

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

QWidget* SettingsSheetController::buildRecordsTab()
{
    auto* tab = new QWidget;
    auto* columns = new QHBoxLayout(tab);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    auto* newRecords = new QGroupBox(localized(QStringLiteral("New records go")));
    auto* newBox = new QVBoxLayout(newRecords);
    m_newRecordLocationMatrix = new QButtonGroup(this);
    addRadio(m_newRecordLocationMatrix, newBox, QStringLiteral("After the current record"),
             NewRecordAfterCurrentTag);
    addRadio(m_newRecordLocationMatrix, newBox, QStringLiteral("First"), NewRecordFirstTag);
    addRadio(m_newRecordLocationMatrix, newBox, QStringLiteral("Last"), NewRecordLastTag);
    m_duplicateLocationCheck = addCheck(newBox, QStringLiteral("Duplicated records go there too"));
    left->addWidget(newRecords);

    auto* opening = new QGroupBox(localized(QStringLiteral("Open to")));
    auto* openBox = new QVBoxLayout(opening);
    m_openToRecordMatrix = new QButtonGroup(this);
    addRadio(m_openToRecordMatrix, openBox, QStringLiteral("The first record"), OpenToFirstRecordTag);
    addRadio(m_openToRecordMatrix, openBox, QStringLiteral("The last selected record"),
             OpenToLastSelectedRecordTag);
    addRadio(m_openToRecordMatrix, openBox, QStringLiteral("The most recently viewed record"),
             OpenToMostRecentRecordTag);
    left->addWidget(opening);
    left->addStretch(1);

    auto* wrapping = new QGroupBox(localized(QStringLiteral("Fields")));
    auto* wrapBox = new QVBoxLayout(wrapping);
    m_fieldWrappingCheck = addCheck(wrapBox, QStringLiteral("Wrap field text"));
    m_liveWrappingCheck = addCheck(wrapBox, QStringLiteral("Wrap while typing"));
    m_wrappingCriteriaMatrix = new QButtonGroup(this);
    m_wrappingCriteriaCells = {
        addRadio(m_wrappingCriteriaMatrix, wrapBox, QStringLiteral("Favour appearance"), 0),
        addRadio(m_wrappingCriteriaMatrix, wrapBox, QStringLiteral("Favour speed"), 1)};
    connect(m_fieldWrappingCheck, &QCheckBox::clicked, this, [this] { fieldWrappingCheckHit(); });
    right->addWidget(wrapping);

    auto* capture = new QGroupBox(localized(QStringLiteral("Web pages")));
    auto* captureGrid = new QGridLayout(capture);
    m_titleFieldPopUp = new QComboBox;
    m_urlFieldPopUp = new QComboBox;
    captureGrid->addWidget(new QLabel(localized(QStringLiteral("Put the title into:"))), 0, 0);
    captureGrid->addWidget(m_titleFieldPopUp, 0, 1);
    captureGrid->addWidget(new QLabel(localized(QStringLiteral("Put the URL into:"))), 1, 0);
    captureGrid->addWidget(m_urlFieldPopUp, 1, 1);
    right->addWidget(capture);
    right->addStretch(1);
    return tab;
}

QWidget* SettingsSheetController::buildAddressTab()
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    m_addressFreeformRadio = new QRadioButton(localized(QStringLiteral("From the Freeform Text Area")));
    m_addressFieldBasedRadio = new QRadioButton(localized(QStringLiteral("From fields")));
    // Each source's button turns the other off itself.
    m_addressFreeformRadio->setAutoExclusive(false);
    m_addressFieldBasedRadio->setAutoExclusive(false);
    connect(m_addressFreeformRadio, &QRadioButton::clicked, this,
            [this] { addressModeRadioHit(m_addressFreeformRadio); });
    connect(m_addressFieldBasedRadio, &QRadioButton::clicked, this,
            [this] { addressModeRadioHit(m_addressFieldBasedRadio); });

    box->addWidget(m_addressFreeformRadio);
    auto* freeform = new QGridLayout;
    freeform->setContentsMargins(20, 0, 0, 0);
    m_addressFreeformStartMatrix = new QButtonGroup(this);
    auto* atLine = new QRadioButton(localized(QStringLiteral("Starts at line")));
    auto* afterMarker = new QRadioButton(localized(QStringLiteral("Starts after the line holding")));
    m_addressFreeformStartMatrix->addButton(atLine, FreeformStartsAtLineTag);
    m_addressFreeformStartMatrix->addButton(afterMarker, FreeformStartsAtMarkerTag);
    m_addressStartLineField = new QLineEdit;
    m_addressMarkerField = new QLineEdit;
    m_addressBlankLineRadio = new QRadioButton(localized(QStringLiteral("Ends before a blank line")));
    m_addressFixedLinesRadio = new QRadioButton(localized(QStringLiteral("Number of lines")));
    m_addressBlankLineRadio->setAutoExclusive(false);
    m_addressFixedLinesRadio->setAutoExclusive(false);
    m_addressLineCountField = new QLineEdit;
    m_addressFreeformStartCells = {atLine, afterMarker};
    freeform->addWidget(atLine, 0, 0);
    freeform->addWidget(m_addressStartLineField, 0, 1);
    freeform->addWidget(afterMarker, 1, 0);
    freeform->addWidget(m_addressMarkerField, 1, 1);
    freeform->addWidget(m_addressBlankLineRadio, 2, 0);
    freeform->addWidget(m_addressFixedLinesRadio, 3, 0);
    freeform->addWidget(m_addressLineCountField, 3, 1);
    box->addLayout(freeform);
    connect(m_addressFreeformStartMatrix, &QButtonGroup::buttonClicked, this,
            [this] { addressFreeformStartRadioHit(); });
    connect(m_addressBlankLineRadio, &QRadioButton::clicked, this,
            [this] { addressFreeformEndRadioHit(m_addressBlankLineRadio); });
    connect(m_addressFixedLinesRadio, &QRadioButton::clicked, this,
            [this] { addressFreeformEndRadioHit(m_addressFixedLinesRadio); });

    box->addWidget(m_addressFieldBasedRadio);
    m_layoutEditor = new AddressBlockLayoutEditor(tab);
    m_layoutEditor->setFieldBasedSource(m_addressFieldBasedRadio,
                                        [this] { addressModeRadioHit(m_addressFieldBasedRadio); });
    auto* fieldBased = new QHBoxLayout;
    fieldBased->setContentsMargins(20, 0, 0, 0);
    fieldBased->addWidget(m_layoutEditor->layoutEditor(), 2);
    fieldBased->addWidget(m_layoutEditor->addressFieldNames(), 1);
    box->addLayout(fieldBased, 1);
    return tab;
}

QWidget* SettingsSheetController::buildPasswordTab()
{
    auto* tab = new QWidget;
    auto* box = new QVBoxLayout(tab);
    auto* note = new QLabel(localized(QStringLiteral(
        "Norva saves changes to this datafile only after the password is given. The password "
        "does not hide the records: anyone can read them.")));
    note->setWordWrap(true);
    box->addWidget(note);
    auto* grid = new QGridLayout;
    m_passwordField = new QLineEdit;
    m_reenterPasswordField = new QLineEdit;
    for (QLineEdit* field : {m_passwordField, m_reenterPasswordField}) {
        field->setEchoMode(QLineEdit::Password);
        connect(field, &QLineEdit::textChanged, this, [this] { passwordTextDidChange(); });
    }
    grid->addWidget(new QLabel(localized(QStringLiteral("Password:"))), 0, 0);
    grid->addWidget(m_passwordField, 0, 1);
    grid->addWidget(new QLabel(localized(QStringLiteral("Re-enter password:"))), 1, 0);
    grid->addWidget(m_reenterPasswordField, 1, 1);
    box->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    m_setPasswordButton = plainButton(QStringLiteral("Set"));
    m_removePasswordButton = plainButton(QStringLiteral("Remove"));
    connect(m_setPasswordButton, &QPushButton::clicked, this, [this] { setPasswordButtonHit(); });
    connect(m_removePasswordButton, &QPushButton::clicked, this,
            [this] { removePasswordButtonHit(); });
    buttons->addStretch(1);
    buttons->addWidget(m_removePasswordButton);
    buttons->addWidget(m_setPasswordButton);
    box->addLayout(buttons);
    box->addStretch(1);
    return tab;
}

void SettingsSheetController::beginSheetWithSettings(std::shared_ptr<DatafileSettingsData> settings,
                                                     const QString& path, QWidget* docWindow,
                                                     SettingsSheetEditor* editor,
                                                     DidEndCallback didEnd)
{
    window(); // the controls exist
    m_settings = std::move(settings);
    m_path = path;
    m_editor = editor;
    m_setPasswordButton->setEnabled(true);
    beginSheetModalForWindow(docWindow, std::move(didEnd));
    if (m_editor && m_editor->openedReadOnly() && m_settings->networkShared())
        warnReadOnly(window());
}

void SettingsSheetController::warnReadOnly(QWidget* window)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = localized(QStringLiteral("Changes to Datafile Settings will not be saved"));
    alert.informativeText =
        localized(QStringLiteral("This datafile has been opened as read-only, so no changes can be saved."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}

void SettingsSheetController::forgetEditor(const SettingsSheetEditor* editor)
{
    if (m_editor == editor)
        m_editor = nullptr;
}

bool SettingsSheetController::prepare()
{
    if (!m_settings)
        return VKSheetController::prepare();
    const DatafileSettingsData& settings = *m_settings;
    m_setClicked = false;
    m_removeClicked = false;
    m_tabView->setCurrentIndex(0);
    m_fontPanelStat = nullptr;

    const std::optional<QStringList> autoOpen =
        UserDefaults::standardUserDefaults().stringArrayForKey(AutoOpenDatafilePathsKey);
    m_autoOpenCheck->setChecked(!m_path.isEmpty() && autoOpen && autoOpen->contains(m_path));
    m_autoOpenCheck->setEnabled(!m_path.isEmpty());
    m_saveChangesCheck->setChecked(settings.autoSaveChanges());
    m_customSortingCheck->setChecked(settings.customSorting());
    m_readOnlyCheck->setChecked(settings.readOnly());
    m_readOnlyWarningCheck->setChecked(settings.readOnly() && settings.readOnlyWarning());
    m_networkSharedCheck->setChecked(settings.networkShared());
    readOnlyHit();
    m_hideMarginsCheck->setChecked(settings.hideMargins());
    m_enableLinksCheck->setChecked(settings.automaticallyEnableLinks());
    m_warnWhenTooLargeCheck->setChecked(settings.warnWhenTooLarge());
    m_fieldWrappingCheck->setChecked(settings.fieldWrapping());
    m_liveWrappingCheck->setChecked(settings.liveFieldWrapping());
    checkCell(m_wrappingCriteriaMatrix, settings.fieldWrappingCriteriaIsSpeed() ? 1 : 0);
    fieldWrappingCheckHit();
    checkCell(m_newRecordLocationMatrix, settings.newRecordLocation());
    m_duplicateLocationCheck->setChecked(settings.duplicateRecordLocationMatchesNewRecordLocation());
    const bool noMostRecent = DatafileSettingsData::noUpdateForViewChanges();
    qint64 openTo = settings.openToRecord();
    if (noMostRecent && openTo == OpenToMostRecentRecordTag)
        openTo = OpenToFirstRecordTag;
    checkCell(m_openToRecordMatrix, openTo);
    m_openToRecordMatrix->button(OpenToMostRecentRecordTag)->setEnabled(!noMostRecent);
    m_pasteClipboardCheck->setChecked(settings.pasteClipboard());
    setBackgroundColor(settings.backgroundFTAcolor());
    m_textNameField->setText(settings.textName());
    m_dontPrintEmptyFieldsCheck->setChecked(settings.basicViewDontPrintEmptyFields());
    m_printBoldFieldNamesCheck->setChecked(settings.basicViewPrintBoldFieldNames());
    m_printRecordNumbersCheck->setChecked(settings.basicViewPrintRecordNumbers());

    m_textFont = settings.textFont();
    m_fieldsFont = settings.fieldsFont();
    m_findBoxFont = settings.findBoxFont();
    refreshFontStats();

    m_openingPassword = settings.password();
    {
        const QSignalBlocker first(m_passwordField);
        const QSignalBlocker second(m_reenterPasswordField);
        m_passwordField->setText(m_openingPassword);
        m_reenterPasswordField->setText(m_openingPassword);
    }
    const bool canSave = m_editor && m_editor->canSaveChanges();
    const bool hasPassword = !m_openingPassword.isEmpty();
    m_passwordSet = canSave && hasPassword;
    m_passwordField->setEnabled(canSave);
    m_reenterPasswordField->setEnabled(canSave);
    m_setPasswordButton->setEnabled(canSave && hasPassword);
    m_removePasswordButton->setEnabled(canSave && hasPassword);

    selectAllOf(m_textNameField);
    fillFieldPopUp(m_titleFieldPopUp, settings.titleField());
    fillFieldPopUp(m_urlFieldPopUp, settings.urlField());
    showAddressBlock();
    return VKSheetController::prepare();
}

bool SettingsSheetController::maintainButtons()
{
    if (okayButton())
        okayButton()->setEnabled(m_editor && m_editor->canSaveChanges());
    return true;
}

void SettingsSheetController::fillFieldPopUp(QComboBox* popUp, const QString& selectedObject)
{
    popUp->clear();
    const PlistArray fields = m_settings->fields();
    for (qsizetype index = 0; index < fields.size(); ++index) {
        const PlistDictionary* definition = fields.at(index).asDictionary();
        const QString name = definition ? definition->value(DatafileSettingsData::FieldNameKey).stringValue()
                                        : QString();
        const QString identifier =
            definition ? definition->value(DatafileSettingsData::FieldIdentifierKey).stringValue()
                       : QString();
        popUp->addItem(name, identifier);
    }
    popUp->addItem(m_settings->textName(), TextItemObject);
    if (fields.isEmpty())
        return;
    const int selected = popUp->findData(selectedObject);
    if (selected >= 0)
        popUp->setCurrentIndex(selected);
}

void SettingsSheetController::showAddressBlock()
{
    const DatafileSettingsData& settings = *m_settings;
    const PlistArray fields = settings.fields();
    const bool hasFields = !fields.isEmpty();
    m_layoutEditor->setFields(fields);
    const bool freeform = !hasFields || settings.addressInText();
    m_addressFreeformRadio->setChecked(freeform);
    m_addressFieldBasedRadio->setChecked(!freeform);
    m_addressFieldBasedRadio->setEnabled(hasFields);
    m_layoutEditor->addressFieldNames()->setEnabled(hasFields);
    m_layoutEditor->layoutEditor()->clear();
    m_addressFixedLinesRadio->setChecked(settings.addressFixedLineCount());
    m_addressBlankLineRadio->setChecked(!settings.addressFixedLineCount());
    checkCell(m_addressFreeformStartMatrix, settings.addressStartsAtLineNumber()
                                                ? FreeformStartsAtLineTag
                                                : FreeformStartsAtMarkerTag);
    m_addressStartLineField->setText(QString::number(settings.addressBlockStartingLine()));
    m_addressLineCountField->setText(QString::number(settings.addressBlockLineCount()));
    m_addressMarkerField->setText(settings.addressSpecialCharacter());
    if (!freeform)
        m_layoutEditor->loadLayout(settings);
    addressModeRadioHit(freeform ? m_addressFreeformRadio : m_addressFieldBasedRadio);
}

void SettingsSheetController::readOnlyHit()
{
    m_readOnlyWarningCheck->setEnabled(m_readOnlyCheck->isChecked());
    m_networkSharedCheck->setEnabled(!m_readOnlyCheck->isChecked());
}

void SettingsSheetController::fieldWrappingCheckHit()
{
    const bool wrapping = m_fieldWrappingCheck->isChecked();
    m_liveWrappingCheck->setEnabled(wrapping);
    for (QAbstractButton* cell : m_wrappingCriteriaCells)
        cell->setEnabled(wrapping);
}

void SettingsSheetController::addressModeRadioHit(QAbstractButton* button)
{
    const bool freeform = button == m_addressFreeformRadio;
    m_addressFreeformRadio->setChecked(freeform);
    m_addressFieldBasedRadio->setChecked(!freeform);
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_addressFreeformStartCells[0], m_addressFreeformStartCells[1], m_addressStartLineField,
             m_addressMarkerField, m_addressBlankLineRadio, m_addressFixedLinesRadio})
        control->setEnabled(freeform);
    const bool fixedLines = freeform && m_addressFixedLinesRadio->isChecked();
    m_addressLineCountField->setEnabled(fixedLines);
    m_addressLineCountField->setReadOnly(!fixedLines);
    m_addressStartLineField->setReadOnly(!freeform);
    m_addressMarkerField->setReadOnly(!freeform);
    QTextEdit* layout = m_layoutEditor->layoutEditor();
    if (freeform) {
        m_layoutEditor->addressFieldNames()->setEnabled(false);
        layout->setReadOnly(true);
        addressFreeformStartRadioHit();
        return;
    }
    m_layoutEditor->addressFieldNames()->setEnabled(true);
    layout->setReadOnly(false);
    layout->setFocus();
}

void SettingsSheetController::addressFreeformStartRadioHit()
{
    if (!m_addressFreeformRadio->isChecked())
        return;
    const bool atLine = m_addressFreeformStartMatrix->checkedId() == FreeformStartsAtLineTag;
    m_addressStartLineField->setEnabled(atLine);
    m_addressMarkerField->setEnabled(!atLine);
    selectAllOf(atLine ? m_addressStartLineField : m_addressMarkerField);
}

void SettingsSheetController::addressFreeformEndRadioHit(QAbstractButton* button)
{
    const bool fixedLines = button == m_addressFixedLinesRadio;
    m_addressFixedLinesRadio->setChecked(fixedLines);
    m_addressBlankLineRadio->setChecked(!fixedLines);
    m_addressLineCountField->setEnabled(fixedLines);
    m_addressLineCountField->setReadOnly(!fixedLines);
    selectAllOf(fixedLines ? m_addressLineCountField : m_addressStartLineField);
}

void SettingsSheetController::storeAddressBlock()
{
    DatafileSettingsData& settings = *m_settings;
    const bool freeform = m_addressFreeformRadio->isChecked();
    settings.setAddressInText(freeform);
    if (!freeform) {
        m_layoutEditor->storeLayout(settings);
        return;
    }
    settings.setAddressFixedLineCount(m_addressFixedLinesRadio->isChecked());
    settings.setAddressStartsAtLineNumber(m_addressFreeformStartMatrix->checkedId() ==
                                          FreeformStartsAtLineTag);
    settings.setAddressBlockStartingLine(m_addressStartLineField->text().trimmed().toLongLong());
    settings.setAddressBlockLineCount(m_addressLineCountField->text().trimmed().toLongLong());
    settings.setAddressSpecialCharacter(m_addressMarkerField->text());
}

// Password

void SettingsSheetController::passwordTextDidChange()
{
    m_setPasswordButton->setEnabled(!m_passwordField->text().isEmpty() &&
                                    !m_reenterPasswordField->text().isEmpty());
    m_removePasswordButton->setEnabled(m_passwordSet);
}

void SettingsSheetController::setPasswordButtonHit()
{
    if (m_passwordField->text() == m_reenterPasswordField->text()) {
        m_settings->setPassword(m_passwordField->text());
        m_setClicked = true;
        m_removeClicked = false;
        m_passwordSet = true;
        m_removePasswordButton->setEnabled(true);
        return;
    }
    Presenter::shared().beep();
    {
        const QSignalBlocker first(m_passwordField);
        const QSignalBlocker second(m_reenterPasswordField);
        m_passwordField->clear();
        m_reenterPasswordField->clear();
    }
    m_setPasswordButton->setEnabled(false);
    m_removePasswordButton->setEnabled(false);
    m_passwordField->setFocus();
    m_setClicked = false;
    m_passwordSet = false;
    m_removeClicked = true;
}

void SettingsSheetController::removePasswordButtonHit()
{
    {
        const QSignalBlocker first(m_passwordField);
        const QSignalBlocker second(m_reenterPasswordField);
        m_passwordField->clear();
        m_reenterPasswordField->clear();
    }
    m_settings->setPassword(QString());
    m_removeClicked = true;
    m_setClicked = false;
    m_passwordSet = false;
    m_setPasswordButton->setEnabled(false);
    m_removePasswordButton->setEnabled(false);
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

// Ending

void SettingsSheetController::okay(QObject*)
{
    const int titleIndex = m_titleFieldPopUp->currentIndex();
    if (titleIndex != m_titleFieldPopUp->count() - 1 &&
        titleIndex == m_urlFieldPopUp->currentIndex()) {
        AlertRequest alert;
        alert.style = AlertRequest::Style::Informational;
        alert.messageText = localized(
            QStringLiteral("The Title field and the URL field are the same. Please change one of them."));
        alert.informativeText =
            localized(QStringLiteral("The title and the URL cannot both be put into the same field."));
        alert.buttons = {localized(QStringLiteral("OK"))};
        Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
        return;
    }
    const QString first = m_passwordField->text();
    if (first != m_reenterPasswordField->text()) {
        // Unconfirmed, the text could lock the user out of saving: treated as a
        // mismatched Set, and whatever Set stored stays.
        setPasswordButtonHit();
        return;
    }
    if (!first.isEmpty() && !m_setClicked) {
        AlertRequest question;
        question.messageText = localized(QStringLiteral("You have entered a password, but have not set it"));
        question.informativeText = localized(QStringLiteral("Do you want to set that password?"));
        question.buttons = {localized(QStringLiteral("Set")), localized(QStringLiteral("Do Not Set"))};
        const QPointer<SettingsSheetController> self(this);
        Presenter::shared().beginAlertSheet(question, window(), [self](const AlertResponse& answer) {
            if (!self)
                return;
            if (answer.returnCode == AlertFirstButtonReturn) {
                self->m_setClicked = true;
                self->m_removeClicked = false;
            }
            self->continueOkayFunction();
        });
        return;
    }
    continueOkayFunction();
}

void SettingsSheetController::continueOkayFunction()
{
    if (!m_settings || !window()->isVisible())
        return;
    DatafileSettingsData& settings = *m_settings;
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    QStringList autoOpen = defaults.stringArrayForKey(AutoOpenDatafilePathsKey).value_or(QStringList());
    const bool listed = autoOpen.contains(m_path);
    const bool autoOpenChecked = m_autoOpenCheck->isChecked();

    settings.setBackgroundFTAcolor(m_backgroundColor);
    settings.setAutoSaveChanges(m_saveChangesCheck->isChecked());
    settings.setCustomSorting(m_customSortingCheck->isChecked());
    settings.setNetworkShared(m_networkSharedCheck->isChecked());
    settings.setReadOnly(m_readOnlyCheck->isChecked());
    settings.setReadOnlyWarning(m_readOnlyWarningCheck->isChecked());
    settings.setHideMargins(m_hideMarginsCheck->isChecked());
    settings.setAutomaticallyEnableLinks(m_enableLinksCheck->isChecked());
    settings.setWarnWhenTooLarge(m_warnWhenTooLargeCheck->isChecked());
    settings.setFieldWrapping(m_fieldWrappingCheck->isChecked());
    settings.setLiveFieldWrapping(m_liveWrappingCheck->isChecked());
    settings.setFieldWrappingCriteriaIsSpeed(m_wrappingCriteriaMatrix->checkedId() == 1);
    if (m_newRecordLocationMatrix->checkedId() >= 0)
        settings.setNewRecordLocation(m_newRecordLocationMatrix->checkedId());
    settings.setDuplicateRecordLocationMatchesNewRecordLocation(m_duplicateLocationCheck->isChecked());
    if (m_openToRecordMatrix->checkedId() >= 0)
        settings.setOpenToRecord(m_openToRecordMatrix->checkedId());
    settings.setPasteClipboard(m_pasteClipboardCheck->isChecked());
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
    settings.setTitleField(m_titleFieldPopUp->currentData().toString());
    settings.setUrlField(m_urlFieldPopUp->currentData().toString());
    storeAddressBlock();

    // Only a confirmed entry: both fields agree here, or OK would have refused.
    if (m_setClicked && !m_removeClicked && !m_passwordField->text().isEmpty())
        settings.setPassword(m_passwordField->text());
    settings.setDatafileSettingsDidChange(true);

    if (autoOpenChecked != listed && !m_path.isEmpty()) {
        if (autoOpenChecked)
            autoOpen.append(m_path);
        else
            autoOpen.removeAll(m_path);
        defaults.removeObjectForKey(AutoOpenDatafilePathsKey);
        PlistArray paths;
        for (const QString& path : autoOpen)
            paths.append(path);
        defaults.setObject(paths, AutoOpenDatafilePathsKey);
    }
    if (m_editor)
        m_editor->showStoredSettings();
    endWithReturnCode(1);
    Presenter::shared().closeFontPanel();
}

void SettingsSheetController::cancel(QObject*)
{
    if (m_settings)
        m_settings->setPassword(m_openingPassword);
    Presenter::shared().closeFontPanel();
    endWithReturnCode(0);
}

void SettingsSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("FileSettings.html"));
}
