#include "RichText.h"
#include "RtfTextProperty.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <functional>

#include <gtest/gtest.h>

namespace {

// Switched-off attributes mean the same stored or absent.
QTextCharFormat normalized(QTextCharFormat format)
{
    if (format.fontWeight() == QFont::Normal)
        format.clearProperty(QTextFormat::FontWeight);
    for (const int property : {int(QTextFormat::FontItalic), int(QTextFormat::FontStrikeOut),
                               int(QTextFormat::FontUnderline)}) {
        if (format.hasProperty(property) && !format.boolProperty(property))
            format.clearProperty(property);
    }
    if (format.underlineStyle() == QTextCharFormat::NoUnderline)
        format.clearProperty(QTextFormat::TextUnderlineStyle);
    if (format.verticalAlignment() == QTextCharFormat::AlignNormal)
        format.clearProperty(QTextFormat::TextVerticalAlignment);
    return format;
}

std::string describe(const QTextFormat& format)
{
    std::string out;
    const QMap<int, QVariant> properties = format.properties();
    for (auto it = properties.begin(); it != properties.end(); ++it)
        out += std::to_string(it.key()) + "=" + it.value().toString().toStdString() + " ";
    return out;
}

// Every character's text and format and every paragraph's format and list, compared.
void expectSameDocument(const QTextDocument& expected, const QTextDocument& actual,
                        const std::string& label)
{
    EXPECT_EQ(RichText::plainText(actual).toStdString(),
              RichText::plainText(expected).toStdString())
        << label;
    ASSERT_EQ(actual.blockCount(), expected.blockCount()) << label;
    QTextBlock a = actual.begin();
    for (QTextBlock e = expected.begin(); e.isValid(); e = e.next(), a = a.next()) {
        QTextBlockFormat ef = e.blockFormat();
        QTextBlockFormat af = a.blockFormat();
        ef.clearProperty(QTextFormat::ObjectIndex);
        af.clearProperty(QTextFormat::ObjectIndex);
        EXPECT_TRUE(ef.properties() == af.properties())
            << label << " block " << e.blockNumber() << "\n expected " << describe(ef)
            << "\n actual   " << describe(af);
        ASSERT_EQ(a.textList() != nullptr, e.textList() != nullptr) << label;
        if (e.textList()) {
            const QTextListFormat el = e.textList()->format();
            const QTextListFormat al = a.textList()->format();
            EXPECT_EQ(al.style(), el.style()) << label;
            EXPECT_EQ(al.indent(), el.indent()) << label;
            EXPECT_EQ(a.textList()->itemText(a).toStdString(),
                      e.textList()->itemText(e).toStdString())
                << label;
        }
        for (int i = 0; i < e.length() - 1; ++i) {
            QTextCursor ec(const_cast<QTextDocument*>(&expected));
            QTextCursor ac(const_cast<QTextDocument*>(&actual));
            ec.setPosition(e.position() + i + 1);
            ac.setPosition(a.position() + i + 1);
            const QTextCharFormat echar = normalized(ec.charFormat());
            const QTextCharFormat achar = normalized(ac.charFormat());
            EXPECT_TRUE(echar.properties() == achar.properties())
                << label << " block " << e.blockNumber() << " character " << i << "\n expected "
                << describe(echar) << "\n actual   " << describe(achar);
        }
    }
}

QTextCharFormat font(const QString& family, double size)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{family});
    format.setFontPointSize(size);
    return format;
}

using Builder = std::function<void(QTextCursor&)>;

struct Case {
    const char* name;
    Builder build;
};

const Case Cases[] = {
    {"paragraphs",
     [](QTextCursor& c) {
         const QTextCharFormat base = font(QStringLiteral("Helvetica"), 12);
         c.insertText(QStringLiteral("First"), base);
         c.insertBlock();
         c.insertText(QStringLiteral("Second"), base);
         c.insertBlock();
         c.insertBlock();
         c.insertText(QStringLiteral("Fourth"), base);
     }},
    {"character attributes",
     [](QTextCursor& c) {
         const QTextCharFormat base = font(QStringLiteral("Helvetica"), 12);
         const auto run = [&](const char* text, const std::function<void(QTextCharFormat&)>& set) {
             QTextCharFormat format = base;
             set(format);
             c.insertText(QString::fromUtf8(text), format);
             c.insertText(QStringLiteral(" "), base);
         };
         run("bold", [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
         run("italic", [](QTextCharFormat& f) { f.setFontItalic(true); });
         run("under", [](QTextCharFormat& f) { f.setFontUnderline(true); });
         run("struck", [](QTextCharFormat& f) { f.setFontStrikeOut(true); });
         run("red", [](QTextCharFormat& f) { f.setForeground(QColor(200, 10, 20)); });
         run("marked", [](QTextCharFormat& f) { f.setBackground(QColor(255, 250, 0, 128)); });
         run("up",
             [](QTextCharFormat& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });
         run("down",
             [](QTextCharFormat& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); });
         // Drawn as it reads: half-points as a share of the 12-point size.
         run("raised", [](QTextCharFormat& f) {
             f.setProperty(RtfTextProperty::BaselineOffset, 6);
             f.setBaselineOffset(25.0);
         });
         run("lowered", [](QTextCharFormat& f) {
             f.setProperty(RtfTextProperty::BaselineOffset, -4);
             f.setBaselineOffset(-2.0 / 12.0 * 100.0);
         });
         run("shadow", [](QTextCharFormat& f) {
             f.setProperty(RtfTextProperty::Shadow,
                           QVariantList{20, -20, 30, 255, QColor(0, 0, 0, 87)});
         });
         run("kerned", [](QTextCharFormat& f) { f.setProperty(RtfTextProperty::Kerning, 1); });
         run("spaced", [](QTextCharFormat& f) {
             f.setProperty(RtfTextProperty::Expansion, 12);
             // Drawn as it reads.
             f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
             f.setFontLetterSpacing(0.6);
         });
         run("ligature", [](QTextCharFormat& f) { f.setProperty(RtfTextProperty::Ligature, 0); });
         run("all", [](QTextCharFormat& f) {
             f.setFontWeight(QFont::Bold);
             f.setFontItalic(true);
             f.setFontUnderline(true);
             f.setForeground(QColor(0, 128, 255));
         });
         c.insertText(QStringLiteral("mono"), font(QStringLiteral("Menlo-Regular"), 10.5));
         c.insertText(QStringLiteral("unset"), QTextCharFormat());
         c.insertText(QStringLiteral("again"), base);
     }},
    {"paragraph attributes",
     [](QTextCursor& c) {
         const QTextCharFormat base = font(QStringLiteral("Helvetica"), 12);
         const auto paragraph = [&](const char* text,
                                    const std::function<void(QTextBlockFormat&)>& set) {
             QTextBlockFormat format;
             set(format);
             c.insertBlock(format);
             c.insertText(QString::fromUtf8(text), base);
         };
         c.insertText(QStringLiteral("natural"), base);
         paragraph("left",
                   [](QTextBlockFormat& f) { f.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); });
         paragraph("centre", [](QTextBlockFormat& f) { f.setAlignment(Qt::AlignHCenter); });
         paragraph("right",
                   [](QTextBlockFormat& f) { f.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); });
         paragraph("justified", [](QTextBlockFormat& f) { f.setAlignment(Qt::AlignJustify); });
         paragraph("indented", [](QTextBlockFormat& f) {
             f.setLeftMargin(36);
             f.setRightMargin(18.5);
             f.setTextIndent(-12);
         });
         paragraph("tabs\tone\ttwo\tthree\t4.5", [](QTextBlockFormat& f) {
             QTextOption::Tab decimal(200, QTextOption::DelimiterTab, QLatin1Char('.'));
             f.setTabPositions({QTextOption::Tab(28.35, QTextOption::LeftTab),
                                QTextOption::Tab(100, QTextOption::CenterTab),
                                QTextOption::Tab(150, QTextOption::RightTab), decimal});
         });
         paragraph("proportional", [](QTextBlockFormat& f) {
             f.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
         });
         paragraph("fixed",
                   [](QTextBlockFormat& f) { f.setLineHeight(14, QTextBlockFormat::FixedHeight); });
         paragraph("minimum", [](QTextBlockFormat& f) {
             f.setLineHeight(12, QTextBlockFormat::MinimumHeight);
         });
         paragraph("leading", [](QTextBlockFormat& f) {
             f.setLineHeight(3, QTextBlockFormat::LineDistanceHeight);
         });
         paragraph("spaced", [](QTextBlockFormat& f) {
             f.setTopMargin(6);
             f.setBottomMargin(12);
             f.setProperty(RtfTextProperty::MaximumLineHeight, 300);
             f.setProperty(RtfTextProperty::DefaultTabInterval, 720);
         });
     }},
    {"lists",
     [](QTextCursor& c) {
         const QTextCharFormat base = font(QStringLiteral("Helvetica"), 12);
         c.insertText(QStringLiteral("Shopping"), base);
         QTextListFormat bullets;
         bullets.setStyle(QTextListFormat::ListDisc);
         c.insertList(bullets);
         c.insertText(QStringLiteral("bread"), base);
         c.insertBlock();
         c.insertText(QStringLiteral("milk"), base);
         QTextListFormat nested;
         nested.setStyle(QTextListFormat::ListCircle);
         nested.setIndent(2);
         c.insertList(nested);
         c.insertText(QStringLiteral("skimmed"), base);
         QTextListFormat numbered;
         numbered.setStyle(QTextListFormat::ListDecimal);
         c.insertList(numbered);
         c.insertText(QStringLiteral("one"), base);
         c.insertBlock();
         c.insertText(QStringLiteral("two"), base);
         QTextListFormat roman;
         roman.setStyle(QTextListFormat::ListUpperRoman);
         c.insertList(roman);
         c.insertText(QStringLiteral("first"), base);
         c.insertBlock(QTextBlockFormat());
         c.insertText(QStringLiteral("after"), base);
     }},
    {"links",
     [](QTextCursor& c) {
         const QTextCharFormat base = font(QStringLiteral("Helvetica"), 12);
         const auto link = [&](const char* text, const char* href) {
             QTextCharFormat format = base;
             format.setAnchor(true);
             format.setAnchorHref(QString::fromUtf8(href));
             c.insertText(QString::fromUtf8(text), format);
         };
         c.insertText(QStringLiteral("See "), base);
         link("the site", "https://example.com/a?b=1&c=%22q%22#top");
         c.insertText(QStringLiteral(" or "), base);
         link("this record", "uuid://0F3A-77");
         link("then mail", "mailto:a@example.com");
         c.insertBlock();
         QTextCharFormat bold = base;
         bold.setFontWeight(QFont::Bold);
         bold.setAnchor(true);
         bold.setAnchorHref(QStringLiteral("file:///tmp/a b/{x}.txt"));
         c.insertText(QStringLiteral("bold file"), bold);
     }},
    {"unicode and specials",
     [](QTextCursor& c) {
         const QTextCharFormat base = font(QStringLiteral("Helvetica"), 12);
         c.insertText(QString::fromUtf8("caf\u00e9 \u20ac \U0001F600 \u00a0nbsp {braces} \\ "
                                        "tab\there line\u2028break \ufffc bare \u0434\u0430"),
                      base);
         c.insertText(QString::fromUtf8("\u65e5\u672c"),
                      font(QString::fromUtf8("\u30d2\u30e9\u30ae\u30ce"), 14));
     }},
};

std::unique_ptr<QTextDocument> build(const Builder& builder)
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    builder(cursor);
    return document;
}

QImage redSquare()
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 0));
    return image;
}

} // namespace

TEST(RichTextRoundTripTest, DocumentThroughRtfAndRtfd_KeepsTextAttributesAndLinks)
{
    for (const Case& c : Cases) {
        const std::unique_ptr<QTextDocument> original = build(c.build);

        const RichTextResult fromRtf = RichText::fromRtf(RichText::toRtf(*original));
        ASSERT_TRUE(fromRtf.ok()) << c.name << ": " << fromRtf.error->toStdString();
        expectSameDocument(*original, *fromRtf.document, std::string(c.name) + " (RTF)");

        const RichTextResult fromRtfd = RichText::fromRtfd(RichText::toRtfd(*original));
        ASSERT_TRUE(fromRtfd.ok()) << c.name << ": " << fromRtfd.error->toStdString();
        expectSameDocument(*original, *fromRtfd.document, std::string(c.name) + " (RTFD)");
    }
}

TEST(RichTextRoundTripTest, DocumentAttributes_AreWrittenBack)
{
    DocumentAttributes attributes;
    attributes.paperWidth = 11900;
    attributes.paperHeight = 16840;
    attributes.leftMargin = 1440;
    attributes.rightMargin = 1440;
    attributes.topMargin = 1000;
    attributes.bottomMargin = 900;
    attributes.viewWidth = 12000;
    attributes.viewHeight = 15840;
    attributes.viewKind = 1;
    attributes.viewScale = 150;
    attributes.otherControls = {{"cocoatextscaling", 0}, {"hyphauto", 1}, {"readonlydoc", 1}};
    attributes.info = "{\\info{\\title Notes}}";
    const std::unique_ptr<QTextDocument> document =
        build([](QTextCursor& c) { c.insertText(QStringLiteral("text")); });

    EXPECT_EQ(RichText::fromRtf(RichText::toRtf(*document, attributes)).attributes, attributes);
    EXPECT_EQ(RichText::fromRtfd(RichText::toRtfd(*document, attributes)).attributes, attributes);
    EXPECT_EQ(RichText::fromRtf(RichText::toRtf(*document)).attributes, DocumentAttributes());
}

TEST(RichTextRoundTripTest, Images_TravelAsRtfdAttachmentsAndStayStable)
{
    auto document = std::make_unique<QTextDocument>();
    document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("red")), redSquare());
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("Before "));
    QTextImageFormat image;
    image.setName(QStringLiteral("red"));
    image.setWidth(40);
    image.setHeight(30);
    cursor.insertImage(image);
    cursor.insertText(QStringLiteral(" after"));

    const QList<RtfdFile> files = RichText::toRtfdFiles(*document);
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0].name.toStdString(), "TXT.rtf");
    EXPECT_EQ(files[1].name.toStdString(), "red.png");

    const RichTextResult read = RichText::fromRtfd(RichText::toRtfd(*document));
    ASSERT_TRUE(read.ok()) << read.error->toStdString();
    EXPECT_TRUE(read.attachments.isEmpty());
    EXPECT_EQ(RichText::plainText(*read.document).toStdString(),
              QStringLiteral("Before \ufffc after").toStdString());
    QTextCursor at(read.document.get());
    at.setPosition(8);
    ASSERT_TRUE(at.charFormat().isImageFormat());
    const QTextImageFormat readImage = at.charFormat().toImageFormat();
    EXPECT_EQ(readImage.width(), 40.0);
    EXPECT_EQ(readImage.height(), 30.0);
    const QImage pixels =
        read.document->resource(QTextDocument::ImageResource, QUrl(readImage.name()))
            .value<QImage>();
    EXPECT_EQ(pixels.convertToFormat(QImage::Format_RGB32), redSquare());

    // Read and written again, the container is byte for byte the same.
    const QByteArray once = RichText::toRtfd(*read.document);
    const RichTextResult again = RichText::fromRtfd(once);
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(RichText::toRtfd(*again.document), once);

    // Plain RTF refers to the attachment by name only and carries no file.
    const RichTextResult rtfOnly = RichText::fromRtf(RichText::toRtf(*document));
    ASSERT_TRUE(rtfOnly.ok());
    EXPECT_EQ(RichText::plainText(*rtfOnly.document), RichText::plainText(*document));
}

TEST(RichTextRoundTripTest, PlainText_UsesLineFeedsAndKeepsAttachmentsAndNonBreakingSpaces)
{
    const std::unique_ptr<QTextDocument> document = build([](QTextCursor& c) {
        c.insertText(QString::fromUtf8("one\u00a0two"));
        c.insertBlock();
        c.insertText(QStringLiteral("x"));
        c.insertImage(QStringLiteral("missing"));
        c.insertBlock();
    });
    EXPECT_EQ(RichText::plainText(*document).toStdString(),
              QString::fromUtf8("one\u00a0two\nx\ufffc\n").toStdString());
}

TEST(RichTextRoundTripTest, Tables_KeepTheirCellsWidthsAndTheTextAround)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("Before");
    QTextTableFormat format;
    format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 90),
                                      QTextLength(QTextLength::FixedLength, 120)});
    QTextTable* table = cursor.insertTable(2, 2, format);
    const char* cells[] = {"A", "B", "C", ""};
    for (int i = 0; i < 4; ++i) {
        QTextCursor cell = table->cellAt(i / 2, i % 2).firstCursorPosition();
        cell.insertText(QString::fromLatin1(cells[i]));
    }
    // Two paragraphs in one cell, the second centred.
    QTextCursor second = table->cellAt(1, 0).lastCursorPosition();
    second.insertBlock();
    second.insertText("C2");
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    second.setBlockFormat(centred);
    QTextCursor after(&document);
    after.movePosition(QTextCursor::End);
    after.insertText("After");
    const QString plain = RichText::plainText(document);
    EXPECT_EQ(plain, "Before\nA\nB\nC\nC2\n\nAfter");

    for (const bool rtfd : {false, true}) {
        SCOPED_TRACE(rtfd);
        const RichTextResult read = rtfd ? RichText::fromRtfd(RichText::toRtfd(document))
                                         : RichText::fromRtf(RichText::toRtf(document));
        ASSERT_TRUE(read.ok()) << read.error->toStdString();
        EXPECT_EQ(RichText::plainText(*read.document), plain);
        QTextTable* back = nullptr;
        for (QTextFrame* frame : read.document->rootFrame()->childFrames())
            back = back ? back : qobject_cast<QTextTable*>(frame);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->rows(), 2);
        EXPECT_EQ(back->columns(), 2);
        EXPECT_EQ(back->cellAt(0, 1).firstCursorPosition().block().text(), "B");
        EXPECT_EQ(back->cellAt(1, 0).lastCursorPosition().block().text(), "C2");
        EXPECT_EQ(back->cellAt(1, 0).lastCursorPosition().blockFormat().alignment() & Qt::AlignHCenter,
                  Qt::AlignHCenter);
        const QList<QTextLength> widths = back->format().columnWidthConstraints();
        ASSERT_EQ(widths.size(), 2);
        EXPECT_EQ(widths[1].rawValue(), 120);
        // Written again, the same.
        EXPECT_EQ(RichText::toRtf(*read.document), RichText::toRtf(document));
    }
}

TEST(RichTextRoundTripTest, Tables_AsTheTextSystemWritesThem_AndBrokenOnesReadSafely)
{
    const QByteArray cocoa =
        "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\n{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;}\n"
        "{\\colortbl;\\red255\\green255\\blue255;}\n\\pard\\f0\\fs24 Top\\\n"
        "\\itap1\\trowd \\taflags1 \\trgaph108\\trleft-108 \\trbrdrt\\brdrnil \\trbrdrl\\brdrnil "
        "\\trbrdrr\\brdrnil \n\\clvertalc \\clshdrawnil \\clwWidth2000\\clftsWidth3 \\clbrdrt\\brdrs"
        "\\brdrw20\\brdrcf2 \\gaph\\cellx4320\n\\clvertalc \\clshdrawnil \\gaph\\cellx8640\n"
        "\\pard\\intbl\\itap1\\pardeftab720\\partightenfactor0\n\\cf0 one\\cell \n"
        "\\pard\\intbl\\itap1\\pardeftab720\\partightenfactor0\n\\cf0 two\\cell \\row\n"
        "\\itap1\\trowd \\taflags1 \\trgaph108\\trleft-108 \\gaph\\cellx4320\n\\gaph\\cellx8640\n"
        "\\gaph\\cellx9000\n"
        "\\pard\\intbl\\itap1 three\\cell \\pard\\intbl\\itap1 four\\cell five\\cell \\lastrow\\row\n"
        "\\pard\\pardeftab720 Bottom}";
    const RichTextResult read = RichText::fromRtf(cocoa);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(RichText::plainText(*read.document), "Top\none\ntwo\n\nthree\nfour\nfive\nBottom");

    // Cells without rows, rows without cells and a cell outside any table: text, no crash.
    for (const char* broken : {"{\\rtf1 \\cell\\cell\\row\\row x}", "{\\rtf1 \\intbl a\\row\\intbl b\\cell}",
                               "{\\rtf1 \\trowd\\cellx-5\\cellx0 \\intbl a\\cell\\row\\pard b\\intbl c}"}) {
        const RichTextResult result = RichText::fromRtf(QByteArray(broken));
        ASSERT_TRUE(result.ok()) << broken;
        EXPECT_TRUE(RichText::plainText(*result.document).contains('a') ||
                    RichText::plainText(*result.document).contains('x'))
            << broken;
    }
}
