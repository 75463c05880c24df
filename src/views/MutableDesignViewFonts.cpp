#include "MutableDesignView.h"

#include "AddressGraphic.h"
#include "FieldGraphic.h"

void MutableDesignView::changeAddressBlockFont(const ArchivedFont& font, float minimumPointSize,
                                               qint64 horizontalPlacement, qint64 verticalPlacement,
                                               qint64 addressBlockAlignment)
{
    const auto address = std::dynamic_pointer_cast<AddressGraphic>(addressGraphic());
    if (!address || !graphicIsSelected(address))
        return;
    address->setMinimumPointSize(minimumPointSize);
    // The word "Address" in the block's green, now in the new font.
    address->setFont(font);
    address->setHorizontalAddressBlockPlacement(horizontalPlacement);
    address->setVerticalAddressBlockPlacement(verticalPlacement);
    address->setAddressBlockAlignment(addressBlockAlignment);
    invalidateGraphic(address);
}

void MutableDesignView::changeFieldFont(const ArchivedFont& font, const QString& fieldName,
                                        qint64 fieldAlignment, float minimumPointSize)
{
    const auto field = std::dynamic_pointer_cast<FieldGraphic>(selectedFieldGraphic());
    if (!field)
        return;
    field->setFieldAlignment(fieldAlignment);
    field->setFieldName(fieldName);
    field->setFont(font);
    field->showFieldName();
    field->setMinimumPointSize(minimumPointSize);
    invalidateGraphic(field);
    // One line of the new font high.
    const QRectF bounds = field->bounds();
    field->setBounds(QRectF(bounds.topLeft(), QSizeF(bounds.width(), field->minSize().height())));
    invalidateGraphic(field);
}
