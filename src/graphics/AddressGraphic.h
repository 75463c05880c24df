#pragma once

#include "PlaceholderGraphic.h"

// The place of the record's address block on a label or envelope: the word "Address" in
// the design, the address in the address font on the page.
class AddressGraphic : public PlaceholderGraphic {
public:
    AddressGraphic();
    explicit AddressGraphic(const QString& text);

    std::shared_ptr<Graphic> copy() const override;
    QString graphicType() const override;

    static ArchivedColor placeholderColor();

    // The smallest size the address font may shrink to; a stored size below 1 counts as 8.
    float minimumPointSize() const;
    void setMinimumPointSize(float size) { m_minimumPointSize = size; }
    // 0 left, 1 centre, 2 right.
    qint64 horizontalAddressBlockPlacement() const { return m_horizontalPlacement; }
    void setHorizontalAddressBlockPlacement(qint64 placement) { m_horizontalPlacement = placement; }
    // 0 top, 1 centre, 2 bottom.
    qint64 verticalAddressBlockPlacement() const { return m_verticalPlacement; }
    void setVerticalAddressBlockPlacement(qint64 placement) { m_verticalPlacement = placement; }
    // The lines inside the block: 0 left, 1 centre, 2 right.
    qint64 addressBlockAlignment() const { return m_alignment; }
    void setAddressBlockAlignment(qint64 alignment) { m_alignment = alignment; }

    void loadPropertyListRepresentation(const PlistDictionary& dictionary) override;

protected:
    void writePropertyList(PlistDictionary& dictionary) const override;
    void copyInto(Graphic& copy) const override;

private:
    float m_minimumPointSize = 0;
    qint64 m_horizontalPlacement = 0;
    qint64 m_verticalPlacement = 0;
    qint64 m_alignment = 0;
};
