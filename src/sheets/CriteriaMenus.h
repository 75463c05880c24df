#pragma once

#include "PlistValue.h"

#include <QList>
#include <QString>
#include <QVariant>

class PopUpButton;

// One item of a pop-up menu of the selection and sort sheets: its title, the code it
// carries as its tag and its represented object; or a separator.
struct CriteriaMenuItem {
    QString title;
    int code = 0;
    QVariant representedObject;
    bool separator = false;

    static CriteriaMenuItem separatorItem() { return {QString(), 0, QVariant(), true}; }
    bool operator==(const CriteriaMenuItem& other) const = default;
};
using CriteriaMenuItems = QList<CriteriaMenuItem>;

// What the pop-ups of the selection and sort sheets hold, decided apart from the widgets.
// Codes are those the criteria store and the catalog reads.
namespace CriteriaMenus {

// What a criteria row is based on; a field's code is its position.
enum BasedOn : int {
    WholeRecord = 1000,
    CreatedDate = 1001,
    ModifiedDate = 1002,
    // The Freeform Text Area, or the whole record of a datafile without fields.
    FreeformText = 1003,
};

enum TreatAs : int {
    CaseInsensitiveText = 1000,
    CaseSensitiveText = 1001,
    Dates = 1002,
    Numbers = 1003,
};

enum Where : int {
    Contains = 1000,
    DoesNotContain = 1001,
    Equals = 1002,
    DoesNotEqual = 1003,
    BeginsWith = 1004,
    DoesNotBeginWith = 1005,
    IsEmpty = 1006,
    IsNotEmpty = 1007,
    DateEquals = 1008,
    DateDoesNotEqual = 1009,
    IsLaterThan = 1010,
    IsEarlierThan = 1011,
    IsLessThan = 1012,
    IsGreaterThan = 1013,
    NumberEquals = 1014,
    NumberDoesNotEqual = 1015,
};

// The based-on menu of the Select Records sheet for these field definitions.
CriteriaMenuItems basedOnItems(const PlistArray& fields, const QString& textName);
// The treat-as and where menus once the row is based on the code.
CriteriaMenuItems treatAsItemsForBasedOn(int basedOn);
CriteriaMenuItems whereItemsForBasedOn(int basedOn);
// The where menu once the row is treated as the code.
CriteriaMenuItems whereItemsForTreatAs(int treatAs, bool hasFields, int basedOn);
// The where menu a reset starts from.
CriteriaMenuItems resetWhereItems(bool hasFields);

// The field-based sort sheet's primary and secondary key menus.
CriteriaMenuItems sortPrimaryItems(const PlistArray& fields, const QString& textName);
CriteriaMenuItems sortSecondaryItems(const PlistArray& fields, const QString& textName);

// Replaces the pop-up's items with these and selects the first.
void fillPopUp(PopUpButton* popUp, const CriteriaMenuItems& items);

} // namespace CriteriaMenus
