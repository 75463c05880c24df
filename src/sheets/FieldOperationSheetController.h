#pragma once

#include "PropertyList.h"
#include "VKSheetController.h"

class QButtonGroup;
class QComboBox;

// The base of the sheets of the Fields menu's bulk operations: their help page, and the
// pop-up of the datafile's fields they share.
class FieldOperationSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The tag of the one item a pop-up of no fields holds.
    static constexpr int NoFieldTag = 99999;

    // One item per field (its name; its position as tag, its identifier as data), the
    // first selected; with no fields a single "<none>" whose identifier is empty.
    static void addFieldsToPopup(QComboBox* popup, const PlistArray& fields);
    // The identifier of the field chosen in such a pop-up.
    static QString selectedFieldIdentifier(const QComboBox* popup);
    static int selectedFieldTag(const QComboBox* popup);

    void help(QObject* sender = nullptr) override;

protected:
    // A box of radio buttons in the content area, tagged 0, 1 ... in order; the first on.
    QButtonGroup* addMatrix(const QString& title, const QStringList& cells);
};
