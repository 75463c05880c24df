#include "AddressGraphic.h"
#include "ArchivedFont.h"
#include "CircleGraphic.h"
#include "FieldGraphic.h"
#include "GraphicTesting.h"
#include "ImageGraphic.h"
#include "LineGraphic.h"
#include "RectangleGraphic.h"
#include "TextGraphic.h"

#include <QLocale>

#include <clocale>
#include <functional>

namespace {

class GraphicFileFormTest : public GraphicTest {};

// Bytes the codec does not decode; the file form must carry them unchanged.
const QByteArray kOpaqueArchive("\x04\x0bstreamtyped\x81\xe8\x03\x84\x01@\x84\x84\x84\x0dNSOpaque",
                                30);

std::shared_ptr<Graphic> read(const PlistDictionary& dictionary)
{
    return Graphic::graphicWithPropertyListRepresentation(PlistValue(dictionary));
}

// The text of a dictionary, for a failure message.
std::string describe(const PlistDictionary& dictionary)
{
    std::string text;
    for (const PlistDictionary::Entry* entry : dictionary.sortedEntries()) {
        text += entry->key.toStdString() + "=";
        const PlistValue& value = entry->value;
        text += value.isData() ? "<" + value.asData()->toHex().toStdString() + ">"
                               : value.stringValue().toStdString();
        text += "; ";
    }
    return text;
}

struct SampleGraphic {
    const char* className;
    std::function<std::shared_ptr<Graphic>()> make;
};

const SampleGraphic kSamples[] = {
    {"Text",
     [] {
         auto text = std::make_shared<TextGraphic>();
         text->setBounds(QRectF(12.5, 30, 200, 40));
         text->setFillColor(ArchivedColor::calibratedRgb(1, 0.9f, 0.8f));
         text->setContents(ArchivedTextStorage::fromData(kOpaqueArchive));
         return text;
     }},
    {"Address",
     [] {
         auto address = std::make_shared<AddressGraphic>();
         address->setBounds(QRectF(100, 80, 220, 90));
         address->setFont(ArchivedFont(QStringLiteral("Times-Roman"), 14));
         address->setMinimumPointSize(9.5);
         address->setHorizontalAddressBlockPlacement(2);
         address->setVerticalAddressBlockPlacement(0);
         address->setAddressBlockAlignment(1);
         return address;
     }},
    {"Field",
     [] {
         auto field = std::make_shared<FieldGraphic>(QStringLiteral("Company"));
         field->setFont(ArchivedFont(QStringLiteral("Courier"), 10));
         field->setFieldName(QStringLiteral("Company"));
         field->setFieldAlignment(2);
         field->setMinimumPointSize(7);
         field->setBounds(QRectF(5, 6, 150, 16));
         return field;
     }},
    {"Image",
     [] {
         auto image = std::make_shared<ImageGraphic>();
         image->setImage(kOpaqueArchive);
         image->setOriginalSize(QSizeF(120.25, 80));
         image->setBounds(QRectF(0, 0, 60, 40));
         return image;
     }},
    {"Line",
     [] {
         auto line = std::make_shared<LineGraphic>();
         line->setBounds(QRectF(10, 10, 0, 80));
         line->setStartsAtLowerLeft(true);
         line->setStrokeLineWidth(2.5);
         return line;
     }},
    {"Rectangle",
     [] {
         auto rectangle = std::make_shared<RectangleGraphic>();
         rectangle->setBounds(QRectF(1, 2, 30, 40));
         rectangle->setRadius(6.5);
         rectangle->setFillColor(ArchivedColor::deviceRgb(1, 0, 0));
         rectangle->setStrokeColor(ArchivedColor::calibratedWhite(0.25));
         rectangle->setDrawsStroke(false);
         return rectangle;
     }},
    {"Circle",
     [] {
         auto circle = std::make_shared<CircleGraphic>();
         circle->setBounds(QRectF(-5, 7, 50, 50));
         circle->setFillColor(ArchivedColor::calibratedWhite(0.5, 0.5));
         circle->setDrawsFill(false);
         return circle;
     }},
};

} // namespace

TEST_F(GraphicFileFormTest, EveryClass_WriteReadWrite_GivesTheSameDictionary)
{
    for (const SampleGraphic& sample : kSamples) {
        SCOPED_TRACE(sample.className);
        const std::shared_ptr<Graphic> original = sample.make();
        const PlistDictionary written = original->propertyListRepresentation();
        EXPECT_EQ(written.stringForKey(QStringLiteral("Class")),
                  QString::fromLatin1(sample.className));

        const std::shared_ptr<Graphic> loaded = read(written);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(loaded->graphicType(), original->graphicType());
        const PlistDictionary again = loaded->propertyListRepresentation();
        EXPECT_EQ(PlistValue(again), PlistValue(written)) << describe(again) << "\n"
                                                          << describe(written);

        // A copy is another graphic with the same dictionary.
        const std::shared_ptr<Graphic> copy = loaded->copy();
        EXPECT_NE(copy.get(), loaded.get());
        EXPECT_EQ(PlistValue(copy->propertyListRepresentation()), PlistValue(written));
    }
}

TEST_F(GraphicFileFormTest, BaseKeys_AreWrittenAsTheFileStoresThem)
{
    RectangleGraphic rectangle;
    rectangle.setBounds(QRectF(10, 20.5, 300, 0));
    rectangle.setStrokeLineWidth(1.5);
    rectangle.setFillColor(ArchivedColor::calibratedRgb(1, 0, 0));
    const PlistDictionary written = rectangle.propertyListRepresentation();
    EXPECT_EQ(written.stringForKey("Bounds"), QStringLiteral("{{10, 20.5}, {300, 0}}"));
    EXPECT_EQ(written.stringForKey("DrawsFill"), QStringLiteral("YES"));
    EXPECT_EQ(written.stringForKey("DrawsStroke"), QStringLiteral("YES"));
    EXPECT_EQ(written.stringForKey("StrokeLineWidth"), QStringLiteral("1.50"));
    EXPECT_EQ(written.stringForKey("RectangleRadius"), QStringLiteral("0.00"));
    EXPECT_EQ(written.value("FillColor"),
              PlistValue(ArchivedColor::calibratedRgb(1, 0, 0).toArchive()));

    rectangle.setStrokeColor(std::nullopt);
    const PlistDictionary noStroke = rectangle.propertyListRepresentation();
    EXPECT_FALSE(noStroke.contains("StrokeColor"));
    EXPECT_EQ(noStroke.stringForKey("DrawsStroke"), QStringLiteral("NO"));
}

TEST_F(GraphicFileFormTest, Numbers_AreWrittenWithAPointUnderAGermanLocale)
{
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // where the system has it
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    LineGraphic line;
    line.setBounds(QRectF(0.5, 1, 2, 3));
    line.setStrokeLineWidth(1.5);
    AddressGraphic address;
    address.setMinimumPointSize(9.5);
    const PlistDictionary lineWritten = line.propertyListRepresentation();
    const PlistDictionary addressWritten = address.propertyListRepresentation();
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(lineWritten.stringForKey("StrokeLineWidth"), QStringLiteral("1.50"));
    EXPECT_EQ(lineWritten.stringForKey("Bounds"), QStringLiteral("{{0.5, 1}, {2, 3}}"));
    EXPECT_EQ(addressWritten.stringForKey("MinimumSize"), QStringLiteral("9.500000"));
}

TEST_F(GraphicFileFormTest, ExplicitFlags_WinOverTheColoursAndTheWidth)
{
    const QByteArray red = ArchivedColor::calibratedRgb(1, 0, 0).toArchive();
    const std::shared_ptr<Graphic> graphic = read(PlistDictionary{
        {"Class", "Rectangle"},
        {"FillColor", red},
        {"DrawsFill", "NO"},
        {"StrokeLineWidth", "3.00"},
        {"DrawsStroke", "NO"},
    });
    ASSERT_TRUE(graphic);
    EXPECT_FALSE(graphic->drawsFill());
    EXPECT_EQ(graphic->fillColor(), ArchivedColor::calibratedRgb(1, 0, 0));
    EXPECT_FALSE(graphic->drawsStroke());
    EXPECT_FLOAT_EQ(graphic->strokeLineWidth(), 3);

    // Any text but "YES" is no; the colour alone turns fill on.
    const std::shared_ptr<Graphic> lower =
        read(PlistDictionary{{"Class", "Circle"}, {"FillColor", red}, {"DrawsStroke", "yes"}});
    ASSERT_TRUE(lower);
    EXPECT_TRUE(lower->drawsFill());
    EXPECT_FALSE(lower->drawsStroke());
}

TEST_F(GraphicFileFormTest, AbsentKeys_KeepTheDefaults)
{
    const std::shared_ptr<Graphic> graphic = read(PlistDictionary{{"Class", "Rectangle"}});
    ASSERT_TRUE(graphic);
    EXPECT_TRUE(sameRect(graphic->bounds(), QRectF(0, 0, 1, 1)));
    EXPECT_FALSE(graphic->drawsFill());
    EXPECT_EQ(graphic->fillColor(), ArchivedColor::calibratedWhite(1));
    EXPECT_TRUE(graphic->drawsStroke());
    EXPECT_EQ(graphic->strokeColor(), ArchivedColor::calibratedWhite(0));
    EXPECT_FLOAT_EQ(graphic->strokeLineWidth(), 1);
}

TEST_F(GraphicFileFormTest, AddressPlacements_AreOneWhenTheFileHasNone_ZeroWhenNew)
{
    const auto loaded = std::dynamic_pointer_cast<AddressGraphic>(
        read(PlistDictionary{{"Class", "Address"}, {"Bounds", "{{0, 0}, {100, 50}}"}}));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->horizontalAddressBlockPlacement(), 1);
    EXPECT_EQ(loaded->verticalAddressBlockPlacement(), 1);

    AddressGraphic created;
    EXPECT_EQ(created.horizontalAddressBlockPlacement(), 0);
    EXPECT_EQ(created.verticalAddressBlockPlacement(), 0);
    EXPECT_EQ(plainText(created), QStringLiteral("Address"));
    EXPECT_EQ(created.strokeColor(), ArchivedColor::calibratedRgb(0, 0.5, 0));
    EXPECT_FLOAT_EQ(created.strokeLineWidth(), 0.5);
    const PlistDictionary written = created.propertyListRepresentation();
    EXPECT_EQ(written.stringForKey("HorizontalAlignment"), QStringLiteral("0"));
    EXPECT_EQ(written.value("AddressBlockAlignment").type(), PlistValue::Type::Integer);
    EXPECT_EQ(written.value("AddressFont"),
              PlistValue(ArchivedFont(QStringLiteral("Helvetica"), 12).toArchive()));
}

TEST_F(GraphicFileFormTest, AddressFont_RebuildsThePlaceholderInThatFont)
{
    const QByteArray times = ArchivedFont(QStringLiteral("Times-Roman"), 18).toArchive();
    const auto loaded = std::dynamic_pointer_cast<AddressGraphic>(read(
        PlistDictionary{{"Class", "Address"}, {"Text", kOpaqueArchive}, {"AddressFont", times}}));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->font(), ArchivedFont(QStringLiteral("Times-Roman"), 18));
    EXPECT_EQ(loaded->contents().toData(),
              ArchivedTextStorage::placeholder(QStringLiteral("Address"), loaded->font(),
                                               AddressGraphic::placeholderColor())
                  .toData());
}

TEST_F(GraphicFileFormTest, FieldName_ForcesTheBlueHalfPointStroke)
{
    const auto loaded = std::dynamic_pointer_cast<FieldGraphic>(read(PlistDictionary{
        {"Class", "Field"},
        {"StrokeColor", ArchivedColor::calibratedRgb(1, 0, 0).toArchive()},
        {"StrokeLineWidth", "4.00"},
        {"FieldName", "City"},
        {"Alignment", 2},
    }));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->strokeColor(), ArchivedColor::calibratedRgb(0, 0, 1));
    EXPECT_FLOAT_EQ(loaded->strokeLineWidth(), 0.5);
    EXPECT_EQ(loaded->fieldName(), QStringLiteral("City"));
    EXPECT_EQ(plainText(*loaded), QStringLiteral("City"));
    EXPECT_EQ(loaded->fieldAlignment(), 2);

    // Without a name the stored stroke stays.
    const std::shared_ptr<Graphic> unnamed = read(PlistDictionary{
        {"Class", "Field"}, {"StrokeColor", ArchivedColor::calibratedRgb(1, 0, 0).toArchive()}});
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(unnamed->strokeColor(), ArchivedColor::calibratedRgb(1, 0, 0));
}

TEST_F(GraphicFileFormTest, FieldMinimumSize_IsAWholeNumberAndBelowOneCountsAsEight)
{
    FieldGraphic field;
    EXPECT_FLOAT_EQ(field.minimumPointSize(), 8);
    EXPECT_EQ(field.propertyListRepresentation().stringForKey("FieldMinimumSize"),
              QStringLiteral("0.000000"));
    field.setMinimumPointSize(9.7f);
    EXPECT_FLOAT_EQ(field.minimumPointSize(), 9);
    EXPECT_EQ(field.propertyListRepresentation().stringForKey("FieldMinimumSize"),
              QStringLiteral("9.000000"));

    const auto loaded = std::dynamic_pointer_cast<FieldGraphic>(
        read(PlistDictionary{{"Class", "Field"}, {"FieldMinimumSize", "12.900000"}}));
    ASSERT_TRUE(loaded);
    EXPECT_FLOAT_EQ(loaded->minimumPointSize(), 12);

    AddressGraphic address;
    EXPECT_FLOAT_EQ(address.minimumPointSize(), 8);
    address.setMinimumPointSize(0.5f);
    EXPECT_FLOAT_EQ(address.minimumPointSize(), 8);
    address.setMinimumPointSize(6.5f);
    EXPECT_FLOAT_EQ(address.minimumPointSize(), 6.5f);
}

TEST_F(GraphicFileFormTest, ImageWithoutOriginalHeight_HasOriginalBoundsOfAHundred)
{
    const auto loaded = std::dynamic_pointer_cast<ImageGraphic>(read(PlistDictionary{
        {"Class", "Image"},
        {"Bounds", "{{15, 25}, {300, 200}}"},
        {"Image", kOpaqueArchive},
        {"OriginalWidth", "300.00"},
    }));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(sameRect(loaded->originalBounds(), QRectF(15, 25, 100, 100)));
    EXPECT_EQ(loaded->imageData(), kOpaqueArchive);
    EXPECT_FALSE(loaded->isDecodable());

    const auto sized = std::dynamic_pointer_cast<ImageGraphic>(read(PlistDictionary{
        {"Class", "Image"},
        {"Bounds", "{{15, 25}, {30, 20}}"},
        {"OriginalWidth", "300.00"},
        {"OriginalHeight", "200.00"},
    }));
    ASSERT_TRUE(sized);
    EXPECT_TRUE(sameRect(sized->originalBounds(), QRectF(15, 25, 300, 200)));
    EXPECT_FLOAT_EQ(sized->originalWidth(), 300);
}

TEST_F(GraphicFileFormTest, UndecodableArchives_CountAsTheDefaultAndAreWrittenBackByteForByte)
{
    const QByteArray junk("not an archive at all");
    const std::shared_ptr<Graphic> loaded = read(PlistDictionary{
        {"Class", "Address"},
        {"FillColor", junk},
        {"StrokeColor", junk},
        {"AddressFont", junk},
    });
    ASSERT_TRUE(loaded);
    auto& address = dynamic_cast<AddressGraphic&>(*loaded);
    EXPECT_EQ(address.fillColor(), ArchivedColor::calibratedWhite(1));
    EXPECT_EQ(address.strokeColor(), ArchivedColor::calibratedWhite(0));
    EXPECT_EQ(address.font(), ArchivedFont(QStringLiteral("Helvetica"), 12));
    const PlistDictionary written = address.propertyListRepresentation();
    EXPECT_EQ(written.value("FillColor"), PlistValue(junk));
    EXPECT_EQ(written.value("StrokeColor"), PlistValue(junk));
    EXPECT_EQ(written.value("AddressFont"), PlistValue(junk));

    // A colour the user sets is written as its own archive.
    address.setStrokeColor(ArchivedColor::calibratedRgb(0, 0, 1));
    EXPECT_EQ(address.propertyListRepresentation().value("StrokeColor"),
              PlistValue(ArchivedColor::calibratedRgb(0, 0, 1).toArchive()));
    // The same colour as the default it counted as keeps the bytes.
    address.setFillColor(ArchivedColor::calibratedWhite(1));
    EXPECT_EQ(address.propertyListRepresentation().value("FillColor"), PlistValue(junk));
}

TEST_F(GraphicFileFormTest, BadEntries_GiveNoGraphicOrDefaults_NeverACrash)
{
    const QByteArray red = ArchivedColor::calibratedRgb(1, 0, 0).toArchive();
    const PlistValue noGraphic[] = {
        PlistValue(PlistDictionary{{"Class", "Polygon"}, {"Bounds", "{{0, 0}, {5, 5}}"}}),
        PlistValue(PlistDictionary{{"Class", "Graphic"}}),
        PlistValue(PlistDictionary{{"Class", "TextGraphic"}}),
        PlistValue(PlistDictionary{{"Class", ""}}),
        PlistValue(PlistDictionary{{"Class", PlistArray{"Text"}}}),
        PlistValue(PlistDictionary{{"Bounds", "{{0, 0}, {5, 5}}"}}),
        PlistValue(PlistArray{PlistDictionary{{"Class", "Text"}}}),
        PlistValue("Text"),
        PlistValue(12),
        PlistValue(),
    };
    for (const PlistValue& entry : noGraphic)
        EXPECT_FALSE(Graphic::graphicWithPropertyListRepresentation(entry));

    // Values of the wrong kind are passed over; unreadable numbers read as 0.
    for (const char* className :
         {"Text", "Address", "Field", "Image", "Line", "Rectangle", "Circle"}) {
        SCOPED_TRACE(className);
        const std::shared_ptr<Graphic> graphic = read(PlistDictionary{
            {"Class", className},
            {"Bounds", "junk"},
            {"FillColor", "red"},
            {"StrokeColor", PlistArray{red}},
            {"DrawsFill", PlistDictionary{}},
            {"StrokeLineWidth", "wide"},
            {"Text", "plain"},
            {"AddressFont", 3},
            {"Font", QByteArray("\x04\x0bstreamtyped", 13)},
            {"FieldName", PlistArray{}},
            {"Alignment", "center"},
            {"MinimumSize", PlistDictionary{}},
            {"Image", 1.5},
            {"OriginalWidth", "x"},
            {"OriginalHeight", PlistArray{}},
            {"LineStartsAtLowerLeft", 1},
            {"RectangleRadius", "-3"},
        });
        ASSERT_TRUE(graphic);
        EXPECT_EQ(graphic->bounds().topLeft(), QPointF(0, 0));
        EXPECT_FLOAT_EQ(graphic->strokeLineWidth(), 0);
        graphic->propertyListRepresentation();
    }
}
