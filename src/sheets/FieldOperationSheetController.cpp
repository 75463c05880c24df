#include "FieldOperationSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "UserGuide.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>

namespace {
constexpr int TagRole = Qt::UserRole + 1;
}

void FieldOperationSheetController::addFieldsToPopup(QComboBox* popup, const PlistArray& fields)
{
    popup->clear();
    int position = 0;
    for (const PlistValue& field : fields) {
        const PlistDictionary* definition = field.asDictionary();
        const PlistValue* name =
            definition ? definition->find(DatafileSettingsData::FieldNameKey) : nullptr;
        const PlistValue* identifier =
            definition ? definition->find(DatafileSettingsData::FieldIdentifierKey) : nullptr;
        popup->addItem(name && name->asString() ? *name->asString() : QString(),
                       identifier && identifier->asString() ? *identifier->asString() : QString());
        popup->setItemData(popup->count() - 1, position++, TagRole);
    }
    if (popup->count() == 0) {
        popup->addItem(localized(QStringLiteral("<none>")), QString());
        popup->setItemData(0, NoFieldTag, TagRole);
    }
    popup->setCurrentIndex(0);
}

QString FieldOperationSheetController::selectedFieldIdentifier(const QComboBox* popup)
{
    return popup->currentData().toString();
}

int FieldOperationSheetController::selectedFieldTag(const QComboBox* popup)
{
    return popup->currentData(TagRole).toInt();
}

void FieldOperationSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("EditFields.html"));
}

QButtonGroup* FieldOperationSheetController::addMatrix(const QString& title,
                                                       const QStringList& cells)
{
    auto* box = new QGroupBox(title, contentArea());
    auto* layout = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    int tag = 0;
    for (const QString& cell : cells) {
        auto* radio = new QRadioButton(localized(cell), box);
        group->addButton(radio, tag++);
        layout->addWidget(radio);
    }
    group->button(0)->setChecked(true);
    contentLayout()->addWidget(box);
    return group;
}
