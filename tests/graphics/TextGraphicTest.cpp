#include "AddressGraphic.h"
#include "ArchivedImage.h"
#include "FieldGraphic.h"
#include "GraphicTesting.h"
#include "ImageGraphic.h"
#include "PointPainting.h"
#include "TextGraphic.h"

#include <QFontMetricsF>
#include <QPainter>
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
    const QFontMetricsF points(bold, PointPainting::pointDevice());
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

namespace {

// The scene drawn on a white image at a resolution, a point being dpi / 72 pixels.
QImage drawn(const Graphic& graphic, int dpi, bool isDraft = false)
{
    const double scale = dpi / 72.0;
    QImage image(qRound(200 * scale), qRound(60 * scale), QImage::Format_ARGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.scale(scale, scale);
    graphic.drawInView(painter, false, isDraft);
    return image;
}

// The extent, in pixels, of what is not white within the rows and columns given.
QRect inkWithin(const QImage& image, const QRect& area)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

} // namespace

TEST_F(TextGraphicTest, Drawing_PlacesTheTextByTheFieldsAlignment_AtItsPointSizeAtAnyResolution)
{
    // 40 points wide with the fake measurer, in a field 100 wide.
    FieldGraphic field(QStringLiteral("Postcode"));
    field.setFont(ArchivedFont(QStringLiteral("Helvetica"), 10));
    field.setBounds(QRectF(20, 10, 100, 14));
    const struct {
        qint64 alignment;
        double offset;
    } cases[] = {{0, 0}, {1, 27}, {2, 54}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.alignment);
        field.setFieldAlignment(c.alignment);
        QRect previous;
        for (const int dpi : {72, 300}) {
            SCOPED_TRACE(dpi);
            const double scale = dpi / 72.0;
            const QImage image = drawn(field, dpi);
            // Inside the stroke: the text alone.
            const QRect inside(qCeil(21 * scale), qCeil(11 * scale), qFloor(98 * scale),
                               qFloor(12 * scale));
            const QRect ink = inkWithin(image, inside);
            ASSERT_FALSE(ink.isEmpty());
            EXPECT_NEAR(ink.left() / scale, 20 + c.offset, 2);
            if (!previous.isEmpty()) {
                // The same text, the resolution's times as large.
                EXPECT_NEAR(ink.width() / scale, previous.width(), 2);
                EXPECT_NEAR(ink.height() / scale, previous.height(), 2);
            }
            previous = ink;
        }
    }
}

TEST_F(TextGraphicTest, Drawing_ClipsTheTextToTheBounds_AndShowsAFrameWhileEdited)
{
    AddressGraphic address(QStringLiteral("WWWWWWWWWWWWWWWWWWWW"));
    address.setBounds(QRectF(10, 10, 40, 20));
    const QImage image = drawn(address, 72, true);
    EXPECT_FALSE(inkWithin(image, QRect(12, 12, 36, 16)).isEmpty());
    EXPECT_TRUE(inkWithin(image, QRect(52, 0, 148, 60)).isEmpty());

    // While the editor shows the text, a frame one point outside the bounds, no text.
    TextGraphic text;
    text.document().setPlainText(QStringLiteral("Hello"));
    text.setBounds(QRectF(10, 10, 60, 20));
    EXPECT_FALSE(inkWithin(drawn(text, 72), QRect(12, 12, 56, 16)).isEmpty());
    text.startContentsEditing();
    const QImage editing = drawn(text, 72);
    EXPECT_TRUE(inkWithin(editing, QRect(11, 11, 58, 18)).isEmpty());
    EXPECT_EQ(inkWithin(editing, QRect(0, 0, 200, 60)), QRect(9, 9, 63, 23));
    text.stopContentsEditing();
}
