#include "AddressGraphic.h"
#include "ArchivedImage.h"
#include "FieldGraphic.h"
#include "GraphicTesting.h"
#include "ImageGraphic.h"
#include "PointTextMeasurer.h"
#include "TextGraphic.h"

#include <QFontMetricsF>
#include <QTextCursor>
#include <QTextDocument>

namespace {

class TextGraphicTest : public GraphicTest {};

// "Hello" in bold red Helvetica 12, centred, as a text graphic stores it.
QByteArray helloArchive()
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat format;
    format.setFontFamilies(QStringList{QStringLiteral("Helvetica")});
    format.setFontPointSize(12);
    format.setFontWeight(QFont::Bold);
    format.setForeground(QColor(255, 0, 0));
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(QStringLiteral("Hello"), format);
    return ArchivedTextStorage::encode(document);
}

std::shared_ptr<TextGraphic> readText(const QByteArray& archive)
{
    return std::dynamic_pointer_cast<TextGraphic>(Graphic::graphicWithPropertyListRepresentation(
        PlistValue(PlistDictionary{{"Class", "Text"},
                                   {"Bounds", "{{10, 20}, {100, 40}}"},
                                   {"Text", archive}})));
}

QByteArray writtenText(const Graphic& graphic)
{
    const PlistValue text = graphic.propertyListRepresentation().value(QStringLiteral("Text"));
    return text.isData() ? *text.asData() : QByteArray();
}

QTextCharFormat formatOfFirstCharacter(const TextGraphic& graphic)
{
    QTextCursor cursor(&graphic.document());
    cursor.setPosition(1);
    return cursor.charFormat();
}

void typeAtEnd(TextGraphic& graphic, const QString& text)
{
    QTextCursor cursor(&graphic.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
}

} // namespace

TEST_F(TextGraphicTest, TextFromTheFile_IsShownAndWrittenBackUntilEdited_TheEditIsOneUndoStep)
{
    const QByteArray archive = helloArchive();
    const std::shared_ptr<TextGraphic> text = readText(archive);
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->contents().isDecoded());
    EXPECT_EQ(plainText(*text), QStringLiteral("Hello"));
    EXPECT_TRUE(formatOfFirstCharacter(*text).font().bold());
    EXPECT_EQ(writtenText(*text), archive);

    FakeGraphicView view;
    text->setDesignView(&view);
    ChangeCounter changes(*text);
    view.step([&] {
        text->startContentsEditing();
        typeAtEnd(*text, QStringLiteral(" world"));
        text->stopContentsEditing();
    });
    EXPECT_EQ(plainText(*text), QStringLiteral("Hello world"));
    EXPECT_NE(writtenText(*text), archive);
    EXPECT_EQ(changes.count, 1);

    view.undo().undo();
    EXPECT_EQ(plainText(*text), QStringLiteral("Hello"));
    EXPECT_EQ(writtenText(*text), archive);
    EXPECT_FALSE(view.undo().canUndo());
    view.undo().redo();
    EXPECT_EQ(plainText(*text), QStringLiteral("Hello world"));

    // An edit that changes nothing leaves nothing to undo.
    view.undo().removeAllActions();
    view.step([&] {
        text->startContentsEditing();
        text->stopContentsEditing();
    });
    EXPECT_FALSE(view.undo().canUndo());
}

TEST_F(TextGraphicTest, Placeholders_ShowTheirTextInTheirFontAndColour)
{
    AddressGraphic address;
    FieldGraphic field(QStringLiteral("City"));
    struct Case {
        const char* name;
        PlaceholderGraphic& graphic;
        QString text;
        QColor colour;
        ArchivedColor archived;
        bool clips;
    } cases[] = {
        {"address", address, QStringLiteral("Address"), QColor::fromRgbF(0, 0.5f, 0),
         AddressGraphic::placeholderColor(), true},
        {"field", field, QStringLiteral("City"), QColor::fromRgbF(0, 0, 1),
         FieldGraphic::placeholderColor(), false},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(plainText(c.graphic), c.text);
        EXPECT_EQ(formatOfFirstCharacter(c.graphic).foreground().color(), c.colour);
        EXPECT_EQ(c.graphic.document().defaultTextOption().wrapMode() == QTextOption::NoWrap,
                  c.clips);
        EXPECT_EQ(writtenText(c.graphic),
                  ArchivedTextStorage::placeholder(c.text, c.graphic.font(), c.archived, c.clips)
                      .toData());

        c.graphic.setFont(ArchivedFont(QStringLiteral("Times-Roman"), 18));
        EXPECT_EQ(plainText(c.graphic), c.text);
        EXPECT_EQ(formatOfFirstCharacter(c.graphic).fontFamilies().toStringList().value(0),
                  QStringLiteral("Times"));
        EXPECT_EQ(formatOfFirstCharacter(c.graphic).fontPointSize(), 18);
    }
}

TEST_F(TextGraphicTest, Image_DecodesOnce_AndWritesItsBytes)
{
    QImage pixels(4, 3, QImage::Format_RGB32);
    pixels.fill(Qt::red);
    const ArchivedImage archived(pixels);
    auto image = std::make_shared<ImageGraphic>();
    image->setImage(archived);
    EXPECT_TRUE(image->isDecodable());
    EXPECT_EQ(image->image().image().pixel(1, 1), QColor(Qt::red).rgb());

    const PlistDictionary written = image->propertyListRepresentation();
    ASSERT_TRUE(written.value(QStringLiteral("Image")).isData());
    const QByteArray bytes = *written.value(QStringLiteral("Image")).asData();
    EXPECT_EQ(bytes, archived.toData());
    const auto loaded = std::dynamic_pointer_cast<ImageGraphic>(
        Graphic::graphicWithPropertyListRepresentation(PlistValue(written)));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->isDecodable());
    EXPECT_EQ(loaded->imageData(), bytes);
    EXPECT_EQ(loaded->copy()->propertyListRepresentation().value(QStringLiteral("Image")),
              PlistValue(bytes));
}

TEST_F(TextGraphicTest, RequiredSize_IsTheTextLaidOutInPoints_NeverBelowTheMinimum)
{
    TextGraphic empty;
    EXPECT_EQ(empty.requiredSize(1e6f), empty.minSize());

    const std::shared_ptr<TextGraphic> hello = readText(helloArchive());
    ASSERT_TRUE(hello);
    QFont bold(QStringLiteral("Helvetica"));
    bold.setPointSizeF(12);
    bold.setBold(true);
    const QFontMetricsF points(bold, PointTextMeasurer::pointDevice());
    const QSizeF line = hello->requiredSize(1e6f);
    EXPECT_NEAR(line.width(), points.horizontalAdvance(QStringLiteral("Hello")) + 1, 1);
    EXPECT_NEAR(line.height(), std::max(15.0, points.height()), 1);

    // A narrow width wraps the words onto more lines; a narrower one than the minimum
    // still answers the minimum.
    typeAtEnd(*hello, QStringLiteral(" there, and welcome back"));
    const QSizeF wrapped = hello->requiredSize(60);
    EXPECT_LE(wrapped.width(), 61);
    EXPECT_GT(wrapped.height(), 2 * line.height());
    EXPECT_GE(hello->requiredSize(1).width(), hello->minSize().width());
    // Measuring leaves the document's own width alone.
    EXPECT_LT(hello->document().textWidth(), 0);
}

TEST_F(TextGraphicTest, Field_IsOneLineHigh_AndPlacesItsTextByItsAlignment)
{
    // "Postcode" in 10 points is 40 wide and 12 high with the fake measurer.
    FieldGraphic field(QStringLiteral("Postcode"));
    field.setFont(ArchivedFont(QStringLiteral("Courier"), 10));
    field.setBounds(QRectF(0, 0, 100, 14));
    EXPECT_EQ(field.requiredSize(1e6f).height(), 14);
    EXPECT_LE(field.requiredSize(1e6f).width(), 100);

    const struct {
        qint64 alignment;
        double offset;
    } cases[] = {{0, 0}, {1, 27}, {2, 54}, {3, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alignment);
        field.setFieldAlignment(c.alignment);
        EXPECT_DOUBLE_EQ(field.horizontalTextOffset(), c.offset);
    }
    TextGraphic text;
    EXPECT_EQ(text.horizontalTextOffset(), 0);
}
