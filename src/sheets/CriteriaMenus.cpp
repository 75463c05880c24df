#include "CriteriaMenus.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "PopUpButton.h"
#include "VKPopUpButtonCategories.h"

#include <QMenu>

namespace CriteriaMenus {

namespace {

CriteriaMenuItem item(const char* title, int code, const QVariant& representedObject = QVariant())
{
    return {localized(QString::fromLatin1(title)), code, representedObject, false};
}

CriteriaMenuItem whereItem(int code)
{
    static const char* const titles[] = {
        "Contains",     "Does Not Contain",    "Equals",        "Does Not Equal",
        "Begins With",  "Does Not Begin With", "Is Empty",      "Is Not Empty",
        "Equals",       "Does Not Equal",      "Is Later Than", "Is Earlier Than",
        "Is Less Than", "Is Greater Than",     "Equals",        "Does Not Equal",
    };
    return item(titles[code - Contains], code);
}

CriteriaMenuItems whereItems(std::initializer_list<int> codes)
{
    CriteriaMenuItems items;
    for (const int code : codes)
        items.append(whereItem(code));
    return items;
}

// One item per field in definition order: its name, its position, its identifier.
CriteriaMenuItems fieldItems(const PlistArray& fields)
{
    CriteriaMenuItems items;
    int index = 0;
    for (const PlistValue& definition : fields) {
        const PlistDictionary* field = definition.asDictionary();
        const QString name =
            field ? field->stringForKey(DatafileSettingsData::FieldNameKey) : QString();
        const QString identifier =
            field ? field->stringForKey(DatafileSettingsData::FieldIdentifierKey) : QString();
        items.append({name, index++, identifier, false});
    }
    return items;
}

bool isDateBasis(int basedOn)
{
    return basedOn == CreatedDate || basedOn == ModifiedDate;
}

} // namespace

CriteriaMenuItems basedOnItems(const PlistArray& fields, const QString& textName)
{
    CriteriaMenuItems items;
    if (fields.isEmpty()) {
        items.append(item("Whole Record", FreeformText));
    } else {
        items.append(item("Whole Record", WholeRecord));
        items.append(CriteriaMenuItem::separatorItem());
        items.append(fieldItems(fields));
        items.append({textName, FreeformText, QVariant(), false});
    }
    items.append(CriteriaMenuItem::separatorItem());
    items.append(item("Created Date", CreatedDate));
    items.append(item("Modified Date", ModifiedDate));
    return items;
}

CriteriaMenuItems treatAsItemsForBasedOn(int basedOn)
{
    if (isDateBasis(basedOn))
        return {item("Dates", Dates)};
    return {item("Case-Insensitive Text", CaseInsensitiveText),
            item("Case-Sensitive Text", CaseSensitiveText), item("Dates", Dates),
            item("Numbers", Numbers)};
}

CriteriaMenuItems whereItemsForBasedOn(int basedOn)
{
    if (isDateBasis(basedOn))
        return whereItems({DateEquals, DateDoesNotEqual, IsLaterThan, IsEarlierThan});
    if (basedOn == FreeformText)
        return whereItems({Contains, DoesNotContain, Equals, DoesNotEqual, BeginsWith,
                           DoesNotBeginWith, IsEmpty, IsNotEmpty});
    if (basedOn == WholeRecord)
        return whereItems({Contains, DoesNotContain});
    return whereItems({Contains, DoesNotContain, Equals, DoesNotEqual, IsLessThan, IsGreaterThan,
                       BeginsWith, DoesNotBeginWith, IsEmpty, IsNotEmpty});
}

CriteriaMenuItems whereItemsForTreatAs(int treatAs, bool hasFields, int basedOn)
{
    switch (treatAs) {
    case Dates:
        return whereItems({DateEquals, DateDoesNotEqual, IsLaterThan, IsEarlierThan});
    case Numbers:
        return whereItems({NumberEquals, NumberDoesNotEqual, IsLessThan, IsGreaterThan});
    default:
        if (!hasFields || basedOn == WholeRecord)
            return whereItems({Contains, DoesNotContain});
        return whereItems({Contains, DoesNotContain, Equals, DoesNotEqual, BeginsWith,
                           DoesNotBeginWith, IsEmpty, IsNotEmpty});
    }
}

CriteriaMenuItems resetWhereItems(bool hasFields)
{
    if (hasFields)
        return whereItems({Contains, DoesNotContain});
    return whereItems(
        {Contains, DoesNotContain, Equals, DoesNotEqual, BeginsWith, DoesNotBeginWith});
}

CriteriaMenuItems sortPrimaryItems(const PlistArray& fields, const QString& textName)
{
    CriteriaMenuItems items = fieldItems(fields);
    items.append({textName, FreeformText, QStringLiteral("Text"), false});
    items.append(CriteriaMenuItem::separatorItem());
    items.append(item("Created Date", CreatedDate, QStringLiteral("CreatedDate")));
    items.append(item("Modified Date", ModifiedDate, QStringLiteral("ModifiedDate")));
    return items;
}

CriteriaMenuItems sortSecondaryItems(const PlistArray& fields, const QString& textName)
{
    if (fields.isEmpty())
        return {item("<none>", FreeformText)};
    CriteriaMenuItems items = fieldItems(fields);
    items.append({textName, FreeformText, QStringLiteral("Text"), false});
    return items;
}

void fillPopUp(PopUpButton* popUp, const CriteriaMenuItems& items)
{
    popUp->removeAllItems();
    for (const CriteriaMenuItem& entry : items) {
        if (entry.separator)
            popUp->menu()->addSeparator();
        else
            VKPopUpButtonCategories::addItemWithTitle(popUp, entry.title, entry.code,
                                                      entry.representedObject);
    }
    popUp->selectItemAtIndex(0);
}

} // namespace CriteriaMenus
