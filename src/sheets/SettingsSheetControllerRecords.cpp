// The Records tab: where new and duplicated records go, the record the datafile opens
// to, field wrapping, and the fields a Web page's title and URL go into.
#include "SettingsSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "Presenter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QRadioButton* addRadio(QButtonGroup* group, QVBoxLayout* layout, const QString& title, int tag)
{
    auto* radio = new QRadioButton(localized(title));
    group->addButton(radio, tag);
    layout->addWidget(radio);
    return radio;
}

} // namespace

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

void SettingsSheetController::loadRecordsTab()
{
    const DatafileSettingsData& settings = *m_settings;
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
    fillFieldPopUp(m_titleFieldPopUp, settings.titleField());
    fillFieldPopUp(m_urlFieldPopUp, settings.urlField());
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

void SettingsSheetController::fieldWrappingCheckHit()
{
    const bool wrapping = m_fieldWrappingCheck->isChecked();
    m_liveWrappingCheck->setEnabled(wrapping);
    for (QAbstractButton* cell : m_wrappingCriteriaCells)
        cell->setEnabled(wrapping);
}

bool SettingsSheetController::webPageFieldsAccepted()
{
    const int titleIndex = m_titleFieldPopUp->currentIndex();
    if (titleIndex == m_titleFieldPopUp->count() - 1 || titleIndex != m_urlFieldPopUp->currentIndex())
        return true;
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = localized(
        QStringLiteral("The Title field and the URL field are the same. Please change one of them."));
    alert.informativeText =
        localized(QStringLiteral("The title and the URL cannot both be put into the same field."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
    return false;
}

void SettingsSheetController::storeRecordsTab()
{
    DatafileSettingsData& settings = *m_settings;
    settings.setFieldWrapping(m_fieldWrappingCheck->isChecked());
    settings.setLiveFieldWrapping(m_liveWrappingCheck->isChecked());
    settings.setFieldWrappingCriteriaIsSpeed(m_wrappingCriteriaMatrix->checkedId() == 1);
    if (m_newRecordLocationMatrix->checkedId() >= 0)
        settings.setNewRecordLocation(m_newRecordLocationMatrix->checkedId());
    settings.setDuplicateRecordLocationMatchesNewRecordLocation(m_duplicateLocationCheck->isChecked());
    if (m_openToRecordMatrix->checkedId() >= 0)
        settings.setOpenToRecord(m_openToRecordMatrix->checkedId());
    settings.setTitleField(m_titleFieldPopUp->currentData().toString());
    settings.setUrlField(m_urlFieldPopUp->currentData().toString());
}
