#include "AddressGraphic.h"

#include "StringFormat.h"

namespace {

const QString kAddressFont = QStringLiteral("AddressFont");
const QString kMinimumSize = QStringLiteral("MinimumSize");
const QString kHorizontalAlignment = QStringLiteral("HorizontalAlignment");
const QString kVerticalAlignment = QStringLiteral("VerticalAlignment");
const QString kAddressBlockAlignment = QStringLiteral("AddressBlockAlignment");

} // namespace

AddressGraphic::AddressGraphic() : AddressGraphic(QStringLiteral("Address"))
{
}

AddressGraphic::AddressGraphic(const QString& text)
{
    showPlaceholder(text, placeholderColor(), true);
}

ArchivedColor AddressGraphic::placeholderColor()
{
    return ArchivedColor::calibratedRgb(0, 0.5, 0);
}

std::shared_ptr<Graphic> AddressGraphic::copy() const
{
    return copyAs<AddressGraphic>();
}

void AddressGraphic::copyInto(Graphic& copy) const
{
    PlaceholderGraphic::copyInto(copy);
    auto& address = static_cast<AddressGraphic&>(copy);
    address.m_minimumPointSize = m_minimumPointSize;
    address.m_horizontalPlacement = m_horizontalPlacement;
    address.m_verticalPlacement = m_verticalPlacement;
    address.m_alignment = m_alignment;
}

QString AddressGraphic::graphicType() const
{
    return QStringLiteral("AddressGraphic");
}

float AddressGraphic::minimumPointSize() const
{
    return minimumSizeOrDefault(m_minimumPointSize);
}

void AddressGraphic::writePropertyList(PlistDictionary& dictionary) const
{
    PlaceholderGraphic::writePropertyList(dictionary);
    dictionary.insert(kAddressFont, fontArchive());
    dictionary.insert(kMinimumSize, stringWithFormat(QStringLiteral("%f"), m_minimumPointSize));
    dictionary.insert(kHorizontalAlignment,
                      stringWithFormat(QStringLiteral("%ld"), m_horizontalPlacement));
    dictionary.insert(kVerticalAlignment,
                      stringWithFormat(QStringLiteral("%ld"), m_verticalPlacement));
    dictionary.insert(kAddressBlockAlignment, PlistValue(m_alignment));
}

void AddressGraphic::loadPropertyListRepresentation(const PlistDictionary& dictionary)
{
    PlaceholderGraphic::loadPropertyListRepresentation(dictionary);
    if (const std::optional<QByteArray> font = dataForKey(dictionary, kAddressFont)) {
        setFontArchive(*font);
        setPlaceholderContents(QStringLiteral("Address"), this->font(), placeholderColor(), true);
    }
    if (const std::optional<float> size = floatForKey(dictionary, kMinimumSize))
        m_minimumPointSize = *size;
    // A file from before the placements centres the block.
    const auto placement = [&](const QString& key) -> qint64 {
        const PlistValue* value = dictionary.find(key);
        return value ? value->integerValue() : 1;
    };
    m_horizontalPlacement = placement(kHorizontalAlignment);
    m_verticalPlacement = placement(kVerticalAlignment);
    if (const PlistValue* alignment = dictionary.find(kAddressBlockAlignment))
        m_alignment = alignment->integerValue();
}
