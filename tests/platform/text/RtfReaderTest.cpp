#include "FlatRtfd.h"
#include "RichText.h"
#include "RtfTextProperty.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(NORVA_FIXTURES_DIR "/rtf/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

// The character format at a document position (of the character after it).
QTextCharFormat formatAt(const QTextDocument& document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QTextCharFormat formatOf(const QTextDocument& document, const QString& text)
{
    const int position = int(RichText::plainText(document).indexOf(text));
    EXPECT_GE(position, 0) << text.toStdString();
    return formatAt(document, position);
}

std::string show(const QString& text)
{
    return text.toStdString();
}

QByteArray pngOf(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(10, 200, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A run-length coded BMP whose pixel data ends at once: a few bytes, whatever size its
// header claims, and a picture of that size to every decoder.
QByteArray bmpOf(int width, int height)
{
    QByteArray out;
    const auto u16 = [&out](quint16 value) {
        char bytes[2];
        qToLittleEndian(value, bytes);
        out.append(bytes, 2);
    };
    const auto u32 = [&out](quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        out.append(bytes, 4);
    };
    out += "BM";
    u32(64); // file size
    u32(0);
    u32(62); // pixel data offset
    u32(40); // info header size
    u32(quint32(width));
    u32(quint32(height));
    u16(1); // planes
    u16(8); // bits per pixel
    u32(1); // run-length coded, 8 bits
    u32(2); // pixel data size
    u32(2835);
    u32(2835);
    u32(2); // colours
    u32(0);
    u32(0x00ff0000);
    u32(0x000000ff);
    out += QByteArray::fromHex("0001"); // end of picture
    return out;
}

// The characters of a document that stand for attachments, with their formats.
QList<QTextCharFormat> attachmentFormats(const QTextDocument& document)
{
    QList<QTextCharFormat> formats;
    const QString text = RichText::plainText(document);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar::ObjectReplacementCharacter)
            formats.append(formatAt(document, int(i)));
    }
    return formats;
}

const RtfdFile* fileNamed(const QList<RtfdFile>& files, const QString& name)
{
    for (const RtfdFile& file : files) {
        if (file.name == name)
            return &file;
    }
    return nullptr;
}

} // namespace

TEST(RtfReaderTest, PlatformDialect_ReadsTextAttributesAndDocumentAttributes)
{
    const RichTextResult result = RichText::fromRtf(fixture(QStringLiteral("cocoa-styled.rtf")));
    ASSERT_TRUE(result.ok()) << show(*result.error);
    const QTextDocument& document = *result.document;

    EXPECT_EQ(show(RichText::plainText(document)),
              show(QStringLiteral("Plain bold italic under struck red marked H2O raised shadow "
                                  "spaced\nCentred caf\u00e9 \u20ac and \u20ac once, link here\n"
                                  "first\nsecond\ncode\u00a0nbsp\u2028next")));

    const QTextCharFormat plain = formatOf(document, QStringLiteral("Plain"));
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{QStringLiteral("Helvetica")});
    EXPECT_EQ(plain.fontPointSize(), 12.0);
    EXPECT_FALSE(plain.hasProperty(QTextFormat::ForegroundBrush));

    const QTextCharFormat bold = formatOf(document, QStringLiteral("bold"));
    EXPECT_EQ(bold.fontWeight(), QFont::Bold);
    EXPECT_EQ(bold.fontFamilies().toStringList(), QStringList{QStringLiteral("Helvetica-Bold")});
    EXPECT_TRUE(formatOf(document, QStringLiteral("italic")).fontItalic());
    EXPECT_FALSE(formatOf(document, QStringLiteral("italic")).fontUnderline());
    EXPECT_TRUE(formatOf(document, QStringLiteral("under")).fontUnderline());
    EXPECT_TRUE(formatOf(document, QStringLiteral("struck")).fontStrikeOut());
    EXPECT_EQ(formatOf(document, QStringLiteral("red")).foreground().color(), QColor(255, 0, 0));
    // The expanded colour table wins over the 8-bit one, alpha included.
    const QColor marked = formatOf(document, QStringLiteral("marked")).background().color();
    EXPECT_EQ(marked.red(), 255);
    EXPECT_EQ(marked.green(), 250);
    EXPECT_NEAR(marked.alphaF(), 0.5, 0.001);
    EXPECT_EQ(formatOf(document, QStringLiteral("2O")).verticalAlignment(),
              QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatOf(document, QStringLiteral("O ")).verticalAlignment(),
              QTextCharFormat::AlignNormal);
    EXPECT_EQ(
        formatOf(document, QStringLiteral("raised")).intProperty(RtfTextProperty::BaselineOffset),
        6);
    // 6 half-points over a 12-point run are drawn a quarter of the size up.
    EXPECT_DOUBLE_EQ(formatOf(document, QStringLiteral("raised")).baselineOffset(), 25.0);
    const QVariantList shadow =
        formatOf(document, QStringLiteral("shadow")).property(RtfTextProperty::Shadow).toList();
    ASSERT_EQ(shadow.size(), 5);
    EXPECT_EQ(shadow[0].toInt(), 20);
    EXPECT_EQ(shadow[1].toInt(), -20);
    EXPECT_EQ(shadow[2].toInt(), 30);
    EXPECT_NEAR(shadow[4].value<QColor>().alphaF(), 0.34, 0.001);
    const QTextCharFormat spaced = formatOf(document, QStringLiteral("spaced"));
    EXPECT_EQ(spaced.intProperty(RtfTextProperty::Kerning), 1);
    EXPECT_EQ(spaced.intProperty(RtfTextProperty::Expansion), 10);
    EXPECT_EQ(spaced.fontLetterSpacing(), 0.5); // drawn as well as kept

    const QTextCharFormat link = formatOf(document, QStringLiteral("link"));
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(show(link.anchorHref()), "https://example.com/a?b=1");
    EXPECT_FALSE(formatOf(document, QStringLiteral(" here")).isAnchor());

    ASSERT_EQ(document.blockCount(), 5);
    const QTextBlock first = document.firstBlock();
    ASSERT_EQ(first.blockFormat().tabPositions().size(), 2);
    EXPECT_EQ(first.blockFormat().tabPositions()[1].type, QTextOption::RightTab);
    EXPECT_EQ(first.blockFormat().tabPositions()[1].position, 216.0);
    EXPECT_FALSE(first.blockFormat().hasProperty(QTextFormat::BlockAlignment));
    EXPECT_EQ(first.next().blockFormat().alignment(), Qt::AlignHCenter);

    const QTextBlock item = first.next().next();
    ASSERT_NE(item.textList(), nullptr);
    EXPECT_EQ(item.textList(), item.next().textList());
    EXPECT_EQ(item.textList()->format().style(), QTextListFormat::ListDisc);
    EXPECT_EQ(item.blockFormat().leftMargin(), 36.0);
    EXPECT_EQ(item.blockFormat().textIndent(), -36.0);
    EXPECT_EQ(item.blockFormat().bottomMargin(), 6.0);
    EXPECT_EQ(item.blockFormat().lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(item.blockFormat().lineHeight(), 120.0);
    EXPECT_EQ(item.next().next().textList(), nullptr);
    EXPECT_EQ(formatOf(document, QStringLiteral("code")).fontPointSize(), 11.0);

    const DocumentAttributes& attributes = result.attributes;
    EXPECT_EQ(attributes.paperWidth, 11900);
    EXPECT_EQ(attributes.paperHeight, 16840);
    EXPECT_EQ(attributes.leftMargin, 1440);
    EXPECT_EQ(attributes.viewWidth, 12000);
    EXPECT_EQ(attributes.viewKind, 0);
    EXPECT_TRUE(attributes.otherControls.contains(
        std::pair<QByteArray, std::optional<int>>{"hyphauto", 1}));
    EXPECT_TRUE(attributes.info.startsWith("{\\info"));
    EXPECT_TRUE(attributes.info.endsWith("}}"));
}

TEST(RtfReaderTest, RtfdFolder_ImagesBecomeImagesAndOtherFilesAreKept)
{
    const QDir folder(QStringLiteral(NORVA_FIXTURES_DIR "/rtf/attachments.rtfd"));
    QList<RtfdFile> files;
    for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
        files.append({name, fixture(QStringLiteral("attachments.rtfd/") + name)});
    const RichTextResult result = RichText::fromRtfdFiles(files);
    ASSERT_TRUE(result.ok()) << show(*result.error);
    const QTextDocument& document = *result.document;

    EXPECT_EQ(show(RichText::plainText(document)),
              show(QStringLiteral("Photo: \ufffc\nFile: \ufffc end")));
    const QTextCharFormat image = formatAt(document, 7);
    ASSERT_TRUE(image.isImageFormat());
    EXPECT_EQ(image.toImageFormat().width(), 3.0);
    EXPECT_EQ(image.toImageFormat().height(), 2.0);
    const QImage picture =
        document.resource(QTextDocument::ImageResource, QUrl(image.toImageFormat().name()))
            .value<QImage>();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(255, 0, 0));

    const QTextCharFormat pdf = formatAt(document, 15);
    EXPECT_FALSE(pdf.isImageFormat());
    EXPECT_EQ(show(pdf.stringProperty(RtfTextProperty::AttachmentFileName)), "notes.pdf");
    ASSERT_EQ(result.attachments.size(), 1);
    EXPECT_EQ(show(result.attachments[0].name), "notes.pdf");
    EXPECT_TRUE(result.attachments[0].contents.startsWith("%PDF"));
    EXPECT_EQ(result.attributes.paperWidth, 11900);

    // Written back, both files travel with the text under their names.
    const QList<RtfdFile> written = RichText::toRtfdFiles(document, result.attributes);
    ASSERT_EQ(written.size(), 3);
    EXPECT_EQ(written[1], files[0]); // "Pasted Graphic.png", its bytes unchanged
    EXPECT_EQ(written[2], files[2]); // "notes.pdf"
    EXPECT_TRUE(written[0].contents.contains("\\NeXTGraphic Pasted Graphic.png \\width60"));
}

TEST(RtfReaderTest, CharacterEncodings_DecodeToTheSameText)
{
    struct Case {
        const char* rtf;
        const char16_t* text;
    };
    const Case cases[] = {
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'80}", u"caf\u00e9 \u20ac"},
        {"{\\rtf1\\ansi\\ansicpg1251 \\'e4\\'e0}", u"\u0434\u0430"},
        {"{\\rtf1\\mac \\'8e}", u"\u00e9"},
        {"{\\rtf1\\ansi{\\fonttbl\\f0\\fnil\\fcharset128 Osaka;}\\f0 \\'82\\'a0}", u"\u3042"},
        {"{\\rtf1\\ansi\\uc1\\u8364\\'80 x}", u"\u20ac x"},
        {"{\\rtf1\\ansi\\uc2\\u8364\\'80\\'81x}", u"\u20acx"},
        {"{\\rtf1\\ansi\\u-10179\\'3f\\u-8704\\'3f}", u"\U0001F600"},
        {"{\\rtf1\\ansi a{\\*\\unknown {b} c}d{\\stylesheet{\\s0 Normal;}}e}", u"ade"},
        {"{\\rtf1\\ansi a\\~b\\line c\\tab d\\par e}", u"a\u00a0b\u2028c\td\ne"},
        {"{\\rtf1\\ansi \\{braces\\} and \\\\}", u"{braces} and \\"},
        {"{\\rtf1\\ansi a\\bin3 {}}b}", u"ab"},
        // Text before any font change is in the default font's character set.
        {"{\\rtf1\\ansi\\deff1{\\fonttbl\\f0\\fnil Helvetica;\\f1\\fnil\\fcharset204 Cyr;}"
         "\\'e4\\'e0 \\f0\\'e4\\'e0\\plain \\'e4}",
         u"\u0434\u0430 \u00e4\u00e0\u0434"},
        {"{\\rtf1\\ansi{\\fonttbl\\f0\\fnil\\fcharset128 Osaka;}\\deff0 \\'82\\'a0}", u"\u3042"},
    };
    for (const Case& c : cases) {
        const RichTextResult result = RichText::fromRtf(QByteArray(c.rtf));
        ASSERT_TRUE(result.ok()) << c.rtf;
        EXPECT_EQ(show(RichText::plainText(*result.document)), show(QString::fromUtf16(c.text)))
            << c.rtf;
    }
}

TEST(RtfReaderTest, DefaultFont_NamesTheFontOfTextBeforeAnyFontChange)
{
    const RichTextResult result = RichText::fromRtf(
        QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fswiss Helvetica;}{\\f1\\froman Times;}}"
                   "first {\\b bold} \\f0 swiss\\plain  plain}"));
    ASSERT_TRUE(result.ok()) << show(*result.error);
    const QTextDocument& document = *result.document;
    const QStringList times{QStringLiteral("Times")};
    EXPECT_EQ(formatOf(document, QStringLiteral("first")).fontFamilies().toStringList(), times);
    EXPECT_EQ(formatOf(document, QStringLiteral("bold")).fontFamilies().toStringList(), times);
    EXPECT_EQ(formatOf(document, QStringLiteral("swiss")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("Helvetica")});
    EXPECT_EQ(formatOf(document, QStringLiteral("plain")).fontFamilies().toStringList(), times);

    // Written and read back, the text keeps its fonts.
    const RichTextResult again = RichText::fromRtf(RichText::toRtf(document));
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(formatOf(*again.document, QStringLiteral("first")).fontFamilies().toStringList(),
              times);
    EXPECT_EQ(formatOf(*again.document, QStringLiteral("swiss")).fontFamilies().toStringList(),
              QStringList{QStringLiteral("Helvetica")});
}

TEST(RtfReaderTest, MalformedRtf_GivesAnErrorAndNoDocument)
{
    const QByteArray deep = "{\\rtf1 " + QByteArray(100000, '{');
    const QByteArray cases[] = {
        "",
        "plain text",
        "{\\rtf1 unterminated",
        "{\\rtf1 {\\b open} {\\i still open}",
        deep,
        "{\\rtf1\\ansi\\'",
        "{\\rtf1\\ansi\\u",
        // Hex escapes without their two digits, in text and in a skipped destination.
        "{\\rtf1\\ansi a\\'zzb}",
        "{\\rtf1\\ansi a\\'4}",
        "{\\rtf1\\ansi a\\'4",
        "{\\rtf1\\ansi a\\'-1b}",
        "{\\rtf1\\ansi\\u8364\\'g0}",
        "{\\rtf1{\\*\\unknown \\'xy}a}",
    };
    for (const QByteArray& rtf : cases) {
        const RichTextResult result = RichText::fromRtf(rtf);
        EXPECT_FALSE(result.ok()) << rtf.left(40).toStdString();
        EXPECT_EQ(result.document, nullptr);
        EXPECT_FALSE(result.error.value_or(QString()).isEmpty());
    }
}

TEST(RtfReaderTest, HostileValues_AreBoundedAndReadCleanly)
{
    const QByteArray cases[] = {
        "{\\rtf1\\fs999999999999 big\\fi-99999999999 x\\cf99999 y\\ls5\\ilvl99 z}",
        "{\\rtf1{\\colortbl;\\red999\\green-4\\blue0;}\\cf1 a\\cb-3 b}",
        "{\\rtf1\\ansicpg99999 \\'e9\\uc999999\\u65 abc}",
        "{\\rtf1{\\*\\expandedcolortbl;\\c1\\c2;\\csgray;}{\\field{\\fldrslt x}}"
        "{{\\NeXTGraphic missing.png}}{\\*\\listtable{\\listlevel}\\listid1}}",
    };
    for (const QByteArray& rtf : cases) {
        const RichTextResult result = RichText::fromRtf(rtf);
        EXPECT_TRUE(result.ok()) << rtf.toStdString();
        ASSERT_NE(result.document, nullptr);
        EXPECT_FALSE(RichText::plainText(*result.document).isEmpty());
    }
}

TEST(RtfReaderTest, RtfdFolder_NonAsciiAttachmentNamesKeepTheirFilesThroughReadAndWrite)
{
    struct Case {
        const char* codePage;
        const char* nameInText;
        const char16_t* nameInFolder;
        bool picture;
    };
    const Case cases[] = {
        {"1252", "caf\\'e9.png", u"caf\u00e9.png", true},
        {"1252", "Screenshot 2026-01-01 at 10.00.00\\uc0\\u8239 AM.png",
         u"Screenshot 2026-01-01 at 10.00.00\u202fAM.png", true},
        {"1252", "\\u1044?\\u1072?.png", u"\u0414\u0430.png", true},
        {"1252", "\\uc0\\u8239 AM.png\\'a0", u"\u202fAM.png\u00a0", true},
        {"1251", "\\'e4\\'e0.png", u"\u0434\u0430.png", true},
        // Accents decomposed in the folder, or in the text.
        {"1252", "caf\\'e9.png", u"cafe\u0301.png", true},
        {"1252", "cafe\\uc0\\u769 .png", u"caf\u00e9.png", true},
        {"1252", "r\\'e9sum\\'e9.pdf", u"r\u00e9sum\u00e9.pdf", false},
    };
    const QByteArray png = pngOf(3, 2);
    const QByteArray pdf = "%PDF-1.4 not really";
    for (const Case& c : cases) {
        const QString name = QString::fromUtf16(c.nameInFolder);
        const QByteArray contents = c.picture ? png : pdf;
        const QByteArray rtf = QByteArray("{\\rtf1\\ansi\\ansicpg") + c.codePage +
                               " Photo: {{\\NeXTGraphic " + c.nameInText +
                               " \\width60 \\height40}\\'ac} end}";
        const QByteArray rtfd =
            FlatRtfd::write({{RichText::textFileName(), rtf}, {name, contents}});

        const RichTextResult read = RichText::fromRtfd(rtfd);
        ASSERT_TRUE(read.ok()) << c.nameInText << ": " << show(*read.error);
        EXPECT_EQ(show(RichText::plainText(*read.document)),
                  show(QStringLiteral("Photo: \ufffc end")));
        const QTextCharFormat attachment = formatAt(*read.document, 7);
        EXPECT_EQ(show(attachment.stringProperty(RtfTextProperty::AttachmentFileName)), show(name))
            << c.nameInText;
        if (c.picture) {
            ASSERT_TRUE(attachment.isImageFormat()) << c.nameInText;
            EXPECT_FALSE(read.document
                             ->resource(QTextDocument::ImageResource,
                                        QUrl(attachment.toImageFormat().name()))
                             .value<QImage>()
                             .isNull())
                << c.nameInText;
        } else {
            ASSERT_EQ(read.attachments.size(), 1) << c.nameInText;
            EXPECT_EQ(read.attachments[0], (RtfdFile{name, contents}));
        }

        // Written back, the file travels with its reference, under the folder's name, and
        // reads back the same.
        const QByteArray written = RichText::toRtfd(*read.document, read.attributes);
        const FlatRtfd::ReadResult files = FlatRtfd::read(written);
        ASSERT_TRUE(files.ok());
        ASSERT_EQ(files.files.size(), 2) << c.nameInText;
        EXPECT_EQ(files.files[1], (RtfdFile{name, contents})) << c.nameInText;
        const RichTextResult again = RichText::fromRtfd(written);
        ASSERT_TRUE(again.ok());
        EXPECT_EQ(formatAt(*again.document, 7).isImageFormat(), c.picture) << c.nameInText;
        EXPECT_EQ(RichText::toRtfd(*again.document, again.attributes), written) << c.nameInText;
    }
}

TEST(RtfReaderTest, RtfdFolder_AttachmentReferredToManyTimesIsDecodedOnceAndWrittenOnce)
{
    constexpr int References = 3000;
    const QByteArray png = pngOf(1000, 1000);
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int i = 0; i < References; ++i)
        rtf += "{{\\NeXTGraphic pic.png \\width20 \\height20}\\'ac}";
    rtf += "}";
    const QByteArray rtfd =
        FlatRtfd::write({{RichText::textFileName(), rtf}, {QStringLiteral("pic.png"), png}});

    QElapsedTimer timer;
    timer.start();
    const RichTextResult read = RichText::fromRtfd(rtfd);
    const qint64 elapsed = timer.elapsed();
    ASSERT_TRUE(read.ok()) << show(*read.error);
    // Decoding the picture for each reference takes tens of seconds, and would soon
    // run past what a document's pictures may cost, leaving most references unshown.
    // The bound leaves room for a sanitizer build on a loaded machine.
    EXPECT_LT(elapsed, 15000);
    const QList<QTextCharFormat> formats = attachmentFormats(*read.document);
    ASSERT_EQ(formats.size(), References);
    for (const QTextCharFormat& format : formats) {
        ASSERT_TRUE(format.isImageFormat());
        ASSERT_EQ(format.toImageFormat().name(), formats[0].toImageFormat().name());
    }
    EXPECT_FALSE(
        read.document
            ->resource(QTextDocument::ImageResource, QUrl(formats[0].toImageFormat().name()))
            .value<QImage>()
            .isNull());

    const QList<RtfdFile> written = RichText::toRtfdFiles(*read.document, read.attributes);
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[1], (RtfdFile{QStringLiteral("pic.png"), png}));
}

TEST(RtfReaderTest, RtfdFolder_PictureClaimingTooManyPixelsIsKeptUndecoded)
{
    // 32 million pixels: less than Qt refuses on its own, more than a picture may cost.
    const QByteArray huge = bmpOf(8000, 4000);
    const QByteArray small = bmpOf(3, 2);
    const QByteArray rtf = "{\\rtf1\\ansi {{\\NeXTGraphic small.bmp}\\'ac} and "
                           "{{\\NeXTGraphic huge.bmp \\width60 \\height40}\\'ac}}";
    const QList<RtfdFile> files{{RichText::textFileName(), rtf},
                                {QStringLiteral("small.bmp"), small},
                                {QStringLiteral("huge.bmp"), huge}};

    const RichTextResult read = RichText::fromRtfdFiles(files);
    ASSERT_TRUE(read.ok()) << show(*read.error);
    const QList<QTextCharFormat> formats = attachmentFormats(*read.document);
    ASSERT_EQ(formats.size(), 2);
    EXPECT_TRUE(formats[0].isImageFormat());
    EXPECT_FALSE(formats[1].isImageFormat());
    EXPECT_EQ(show(formats[1].stringProperty(RtfTextProperty::AttachmentFileName)), "huge.bmp");
    ASSERT_EQ(read.attachments.size(), 1);
    EXPECT_EQ(read.attachments[0], files[2]);

    // Its bytes and the size the text gave it are written back unchanged.
    const QList<RtfdFile> written = RichText::toRtfdFiles(*read.document, read.attributes);
    ASSERT_NE(fileNamed(written, QStringLiteral("huge.bmp")), nullptr);
    EXPECT_EQ(*fileNamed(written, QStringLiteral("huge.bmp")), files[2]);
    EXPECT_EQ(*fileNamed(written, QStringLiteral("small.bmp")), files[1]);
    EXPECT_TRUE(written[0].contents.contains("\\NeXTGraphic huge.bmp \\width60 \\height40"))
        << written[0].contents.toStdString();
}
