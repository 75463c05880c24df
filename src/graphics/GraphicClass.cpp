#include "GraphicClass.h"

#include "AddressGraphic.h"
#include "CircleGraphic.h"
#include "FieldGraphic.h"
#include "LineGraphic.h"
#include "RectangleGraphic.h"
#include "TextGraphic.h"

namespace {
template <typename Kind> std::shared_ptr<Graphic> makeOne()
{
    return std::make_shared<Kind>();
}
} // namespace

GraphicClass GraphicClass::rectangle()
{
    return {QStringLiteral("RectangleGraphic"), &makeOne<RectangleGraphic>};
}

GraphicClass GraphicClass::circle()
{
    return {QStringLiteral("CircleGraphic"), &makeOne<CircleGraphic>};
}

GraphicClass GraphicClass::line()
{
    return {QStringLiteral("LineGraphic"), &makeOne<LineGraphic>};
}

GraphicClass GraphicClass::text()
{
    return {QStringLiteral("TextGraphic"), &makeOne<TextGraphic>};
}

GraphicClass GraphicClass::field()
{
    return {QStringLiteral("FieldGraphic"), &makeOne<FieldGraphic>};
}

GraphicClass GraphicClass::address()
{
    return {QStringLiteral("AddressGraphic"), &makeOne<AddressGraphic>};
}
