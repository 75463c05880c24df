#include "RtfReader.h"

#include "RtfCodePage.h"
#include "RtfTextProperty.h"
#include "RtfTokenizer.h"

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QTextCursor>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr int MaximumGroupDepth = 256;
constexpr double TwipsPerPoint = 20.0;
// What pictures may cost to show, in pixels: one picture, and all of a document's. A
// picture past them is kept as a file, its bytes unchanged, and not shown.
constexpr qint64 MaximumPicturePixels = 30'000'000;
constexpr qint64 MaximumDocumentPixels = 200'000'000;
// Tables past these sizes are no text anyone wrote; what is beyond goes into the last cell.
constexpr qint64 MaximumTableCells = 100'000;
constexpr size_t MaximumTableColumns = 63;

enum class Destination {
    Text,
    Skip,
    FontTable,
    ColorTable,
    ExpandedColorTable,
    FieldInstruction,
    Attachment,
    ListTable,
    LevelMarker,
    ListOverrideTable,
    Info,
};

// In groups, each a range the control-word dispatch tells apart by comparison: a new
// keyword goes into its group.
enum class Keyword {
    // destinations
    FontTable,
    ColorTable,
    ExpandedColorTable,
    Field,
    FieldInstruction,
    FieldResult,
    NeXTGraphic,
    ListTable,
    ListOverrideTable,
    LevelMarker,
    Info,
    SkippedDestination,
    // document
    AnsiCodePage,
    Mac,
    Pc,
    Pca,
    DefaultFont,
    PaperWidth,
    PaperHeight,
    MarginLeft,
    MarginRight,
    MarginTop,
    MarginBottom,
    ViewWidth,
    ViewHeight,
    ViewKind,
    ViewScale,
    OtherDocumentControl,
    // text
    Par,
    Line,
    Tab,
    Uc,
    U,
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    // character
    Plain,
    Font,
    FontSize,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Foreground,
    Background,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Down,
    Shadow,
    ShadowX,
    ShadowY,
    ShadowRadius,
    ShadowOpacity,
    ShadowColor,
    Kerning,
    Expansion,
    ExpansionTwips,
    Ligature,
    // paragraph
    Pard,
    AlignLeft,
    AlignRight,
    AlignCenter,
    AlignJustify,
    AlignNatural,
    FirstIndent,
    LeftIndent,
    RightIndent,
    TabRight,
    TabCenter,
    TabDecimal,
    TabPosition,
    SpaceBefore,
    SpaceAfter,
    LineSpacing,
    LineMultiple,
    LineLeading,
    LineMinimum,
    LineMaximum,
    DefaultTab,
    ListOverride,
    ListLevel,
    // table rows
    InTable,
    RowDefaults,
    CellBoundary,
    Cell,
    Row,
    // tables
    Red,
    Green,
    Blue,
    ColorComponent,
    ColorSpaceGray,
    ColorSpaceRgb,
    FontCharset,
    List,
    NewListLevel,
    LevelNumberFormat,
    ListId,
    Width,
    Height,
};

const std::unordered_map<std::string_view, Keyword>& keywords()
{
    static const std::unordered_map<std::string_view, Keyword> table = {
        {"fonttbl", Keyword::FontTable},
        {"colortbl", Keyword::ColorTable},
        {"expandedcolortbl", Keyword::ExpandedColorTable},
        {"field", Keyword::Field},
        {"fldinst", Keyword::FieldInstruction},
        {"fldrslt", Keyword::FieldResult},
        {"NeXTGraphic", Keyword::NeXTGraphic},
        {"listtable", Keyword::ListTable},
        {"listoverridetable", Keyword::ListOverrideTable},
        {"levelmarker", Keyword::LevelMarker},
        {"info", Keyword::Info},
        {"stylesheet", Keyword::SkippedDestination},
        {"listtext", Keyword::SkippedDestination},
        {"leveltext", Keyword::SkippedDestination},
        {"levelnumbers", Keyword::SkippedDestination},
        {"listname", Keyword::SkippedDestination},
        {"pntext", Keyword::SkippedDestination},
        {"pict", Keyword::SkippedDestination},
        {"object", Keyword::SkippedDestination},
        {"header", Keyword::SkippedDestination},
        {"headerl", Keyword::SkippedDestination},
        {"headerr", Keyword::SkippedDestination},
        {"headerf", Keyword::SkippedDestination},
        {"footer", Keyword::SkippedDestination},
        {"footerl", Keyword::SkippedDestination},
        {"footerr", Keyword::SkippedDestination},
        {"footerf", Keyword::SkippedDestination},
        {"footnote", Keyword::SkippedDestination},
        {"annotation", Keyword::SkippedDestination},
        {"xe", Keyword::SkippedDestination},
        {"tc", Keyword::SkippedDestination},
        {"ansicpg", Keyword::AnsiCodePage},
        {"mac", Keyword::Mac},
        {"pc", Keyword::Pc},
        {"pca", Keyword::Pca},
        {"deff", Keyword::DefaultFont},
        {"paperw", Keyword::PaperWidth},
        {"paperh", Keyword::PaperHeight},
        {"margl", Keyword::MarginLeft},
        {"margr", Keyword::MarginRight},
        {"margt", Keyword::MarginTop},
        {"margb", Keyword::MarginBottom},
        {"vieww", Keyword::ViewWidth},
        {"viewh", Keyword::ViewHeight},
        {"viewkind", Keyword::ViewKind},
        {"viewscale", Keyword::ViewScale},
        {"cocoasubrtf", Keyword::OtherDocumentControl},
        {"cocoatextscaling", Keyword::OtherDocumentControl},
        {"cocoaplatform", Keyword::OtherDocumentControl},
        {"deftab", Keyword::OtherDocumentControl},
        {"readonlydoc", Keyword::OtherDocumentControl},
        {"hyphauto", Keyword::OtherDocumentControl},
        {"hyphfactor", Keyword::OtherDocumentControl},
        {"hyphcaps", Keyword::OtherDocumentControl},
        {"hyphhotz", Keyword::OtherDocumentControl},
        {"landscape", Keyword::OtherDocumentControl},
        {"facingp", Keyword::OtherDocumentControl},
        {"gutter", Keyword::OtherDocumentControl},
        {"par", Keyword::Par},
        {"sect", Keyword::Par},
        {"page", Keyword::Par},
        {"line", Keyword::Line},
        {"tab", Keyword::Tab},
        {"uc", Keyword::Uc},
        {"u", Keyword::U},
        {"emdash", Keyword::EmDash},
        {"endash", Keyword::EnDash},
        {"bullet", Keyword::Bullet},
        {"lquote", Keyword::LeftQuote},
        {"rquote", Keyword::RightQuote},
        {"ldblquote", Keyword::LeftDoubleQuote},
        {"rdblquote", Keyword::RightDoubleQuote},
        {"plain", Keyword::Plain},
        {"f", Keyword::Font},
        {"fs", Keyword::FontSize},
        {"b", Keyword::Bold},
        {"i", Keyword::Italic},
        {"ul", Keyword::Underline},
        {"uld", Keyword::Underline},
        {"uldb", Keyword::Underline},
        {"uldash", Keyword::Underline},
        {"ulth", Keyword::Underline},
        {"ulw", Keyword::Underline},
        {"ulwave", Keyword::Underline},
        {"ulnone", Keyword::UnderlineNone},
        {"strike", Keyword::Strike},
        {"striked", Keyword::Strike},
        {"cf", Keyword::Foreground},
        {"cb", Keyword::Background},
        {"highlight", Keyword::Background},
        {"chcbpat", Keyword::Background},
        {"super", Keyword::Super},
        {"sub", Keyword::Sub},
        {"nosupersub", Keyword::NoSuperSub},
        {"up", Keyword::Up},
        {"dn", Keyword::Down},
        {"shad", Keyword::Shadow},
        {"shadx", Keyword::ShadowX},
        {"shady", Keyword::ShadowY},
        {"shadr", Keyword::ShadowRadius},
        {"shado", Keyword::ShadowOpacity},
        {"shadc", Keyword::ShadowColor},
        {"kerning", Keyword::Kerning},
        {"expnd", Keyword::Expansion},
        {"expndtw", Keyword::ExpansionTwips},
        {"ligature", Keyword::Ligature},
        {"pard", Keyword::Pard},
        {"ql", Keyword::AlignLeft},
        {"qr", Keyword::AlignRight},
        {"qc", Keyword::AlignCenter},
        {"qj", Keyword::AlignJustify},
        {"qnatural", Keyword::AlignNatural},
        {"fi", Keyword::FirstIndent},
        {"li", Keyword::LeftIndent},
        {"ri", Keyword::RightIndent},
        {"tqr", Keyword::TabRight},
        {"tqc", Keyword::TabCenter},
        {"tqdec", Keyword::TabDecimal},
        {"tx", Keyword::TabPosition},
        {"tb", Keyword::TabPosition},
        {"sb", Keyword::SpaceBefore},
        {"sa", Keyword::SpaceAfter},
        {"sl", Keyword::LineSpacing},
        {"slmult", Keyword::LineMultiple},
        {"slleading", Keyword::LineLeading},
        {"slminimum", Keyword::LineMinimum},
        {"slmaximum", Keyword::LineMaximum},
        {"pardeftab", Keyword::DefaultTab},
        {"ls", Keyword::ListOverride},
        {"ilvl", Keyword::ListLevel},
        {"intbl", Keyword::InTable},
        {"trowd", Keyword::RowDefaults},
        {"cellx", Keyword::CellBoundary},
        {"cell", Keyword::Cell},
        {"row", Keyword::Row},
        {"red", Keyword::Red},
        {"green", Keyword::Green},
        {"blue", Keyword::Blue},
        {"c", Keyword::ColorComponent},
        {"csgray", Keyword::ColorSpaceGray},
        {"csgenericgray", Keyword::ColorSpaceGray},
        {"cscalibratedgray", Keyword::ColorSpaceGray},
        {"csgenericrgb", Keyword::ColorSpaceRgb},
        {"cssrgb", Keyword::ColorSpaceRgb},
        {"csdevicergb", Keyword::ColorSpaceRgb},
        {"cscalibratedrgb", Keyword::ColorSpaceRgb},
        {"csdisplayp3", Keyword::ColorSpaceRgb},
        {"fcharset", Keyword::FontCharset},
        {"list", Keyword::List},
        {"listlevel", Keyword::NewListLevel},
        {"levelnfc", Keyword::LevelNumberFormat},
        {"listid", Keyword::ListId},
        {"width", Keyword::Width},
        {"height", Keyword::Height},
    };
    return table;
}

struct Shadow {
    bool on = false;
    int x = 0;
    int y = 0;
    int radius = 0;
    int opacity = 255;
    QColor color;
};

struct AttachmentReference {
    QString fileName;
    int width = 0;  // twips
    int height = 0; // twips
};

struct ParagraphState {
    QTextBlockFormat format;
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    std::optional<int> lineSpacing;
    int lineMultiple = 0;
    std::optional<int> lineLeading;
    std::optional<int> lineMinimum;
    int listOverride = 0;
    int listLevel = 0;
    bool inTable = false;
};

struct GroupState {
    Destination destination = Destination::Text;
    QTextCharFormat format;
    ParagraphState paragraph;
    Shadow shadow;
    int codePage = RtfCodePage::Windows1252;
    int unicodeSkip = 1;
    QString linkHref;
    QString fieldHref;
    std::optional<AttachmentReference> pendingAttachment;
    qsizetype startPosition = 0; // of the group's opening brace
};

struct FontEntry {
    QString name;
    int codePage = 0;
};

struct ListLevelInfo {
    int numberFormat = 23;
    QString marker;
};

QTextListFormat::Style styleForMarkerName(const QString& name, int numberFormat)
{
    static const std::map<QString, QTextListFormat::Style> byName = {
        {QStringLiteral("disc"), QTextListFormat::ListDisc},
        {QStringLiteral("circle"), QTextListFormat::ListCircle},
        {QStringLiteral("square"), QTextListFormat::ListSquare},
        {QStringLiteral("decimal"), QTextListFormat::ListDecimal},
        {QStringLiteral("lower-alpha"), QTextListFormat::ListLowerAlpha},
        {QStringLiteral("lower-latin"), QTextListFormat::ListLowerAlpha},
        {QStringLiteral("upper-alpha"), QTextListFormat::ListUpperAlpha},
        {QStringLiteral("upper-latin"), QTextListFormat::ListUpperAlpha},
        {QStringLiteral("lower-roman"), QTextListFormat::ListLowerRoman},
        {QStringLiteral("upper-roman"), QTextListFormat::ListUpperRoman},
    };
    if (const auto found = byName.find(name); found != byName.end())
        return found->second;
    switch (numberFormat) {
    case 0:
        return QTextListFormat::ListDecimal;
    case 1:
        return QTextListFormat::ListUpperRoman;
    case 2:
        return QTextListFormat::ListLowerRoman;
    case 3:
        return QTextListFormat::ListUpperAlpha;
    case 4:
        return QTextListFormat::ListLowerAlpha;
    default:
        return QTextListFormat::ListDisc;
    }
}

// The link target of a HYPERLINK field instruction, or empty for other fields.
QString hyperlinkTarget(const QString& instruction)
{
    QString text = instruction.trimmed();
    if (!text.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    text = text.mid(9).trimmed();
    if (text.startsWith(QLatin1Char('"'))) {
        const qsizetype end = text.indexOf(QLatin1Char('"'), 1);
        return end < 0 ? text.mid(1) : text.mid(1, end - 1);
    }
    return text.section(QLatin1Char(' '), 0, 0);
}

// The picture a file holds, decoded only when its header shows it within `allowedPixels`;
// a null image otherwise, or when the file is no picture.
QImage decodedPicture(const QByteArray& bytes, qint64 allowedPixels)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > allowedPixels)
        return {};
    QImage image;
    if (!reader.read(&image) || qint64(image.width()) * image.height() > allowedPixels)
        return {};
    return image;
}

// The text without the spaces and line ends RTF puts around a name; other spaces, such as
// the no-break ones of some file names, are part of it.
QString withoutOuterSpaces(const QString& text)
{
    const auto outer = [](QChar c) { return c.unicode() <= u' '; };
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && outer(text[start]))
        ++start;
    while (end > start && outer(text[end - 1]))
        --end;
    return text.sliced(start, end - start);
}

class Parser {
public:
    Parser(QByteArrayView rtf, const QList<RtfdFile>& files)
        : m_rtf(rtf), m_tokens(rtf), m_files(files), m_document(new QTextDocument),
          m_cursor(m_document.get())
    {
        // The first of equal names wins, as a search from the start would find it.
        for (qsizetype i = files.size() - 1; i >= 0; --i) {
            m_filesByName.insert(files[i].name, i);
            m_filesByNormalizedName.insert(files[i].name.normalized(QString::NormalizationForm_C),
                                           i);
        }
    }

    RichTextResult run();

private:
    GroupState& state() { return m_stack.back(); }

    void handleToken(const RtfToken& token);
    void handleGroupEnd();
    // Looks the word up and hands it to its destination's or its group's handler.
    void handleControlWord(const RtfToken& token);
    void handleDestinationWord(Keyword keyword);
    void handleUnicodeWord(Keyword keyword, int value);
    void handleFontTableWord(Keyword keyword, int value);
    void handleColorTableWord(Keyword keyword, int value);
    void handleExpandedColorTableWord(Keyword keyword, int value);
    void handleAttachmentWord(Keyword keyword, int value);
    void handleListTableWord(Keyword keyword, int value);
    void handleListOverrideTableWord(Keyword keyword, int value);
    // The words of the text, a handler per keyword group.
    void handleDocumentWord(const RtfToken& token, Keyword keyword);
    void handleSpecialCharacterWord(Keyword keyword);
    void handleCharacterWord(const RtfToken& token, Keyword keyword);
    void handleShadowWord(const RtfToken& token, Keyword keyword);
    void handleParagraphWord(Keyword keyword, int value);
    void handleTableRowWord(Keyword keyword, int value);
    void handleSymbol(char symbol);
    void handleText(QByteArrayView bytes);
    void handleDestinationText(const QString& text);

    void flushBytes();
    void appendText(QString text);
    static void showBaselineOffset(QTextCharFormat& format);
    void insertAttachment(const AttachmentReference& reference);
    const RtfdFile* fileNamed(const QString& name) const;
    QUrl pictureOf(const RtfdFile& file);
    void finishParagraph(bool startNext);
    // Before a paragraph's content: into the table (a new one, or its next row) for a
    // table paragraph, after it for any other.
    void placeInTable();
    void startTable();
    void endCell();
    void applyShadow();
    void setColor(QTextFormat::Property property, int index);
    bool applyFont(GroupState& group, int index);
    void applyDefaultFont(GroupState& group);
    QColor colorAt(int index) const;
    void addToList(int listOverride, int level);

    QByteArrayView m_rtf;
    RtfTokenizer m_tokens;
    const QList<RtfdFile>& m_files;
    std::unique_ptr<QTextDocument> m_document;
    QTextCursor m_cursor;
    RtfCodePage m_codePages;
    RichTextResult m_result;

    std::vector<GroupState> m_stack;
    int m_documentCodePage = RtfCodePage::Windows1252;
    int m_skipCount = 0;
    bool m_starred = false;
    bool m_firstInGroup = false;
    bool m_wordOpensGroup = false;

    QByteArray m_bytes;
    QString m_pendingText;

    std::map<int, FontEntry> m_fonts;
    int m_currentFont = 0;
    std::optional<int> m_defaultFont;
    QString m_fontName;

    std::vector<QColor> m_colors;
    std::vector<QColor> m_expandedColors;
    int m_red = -1, m_green = -1, m_blue = -1;
    std::vector<int> m_components;
    bool m_grayColorSpace = false;

    QString m_fieldInstruction;
    QString m_attachmentName;
    AttachmentReference m_attachment;
    QHash<QString, qsizetype> m_filesByName;
    QHash<QString, qsizetype> m_filesByNormalizedName;
    // Each file's picture, decoded once however often the text refers to it; an empty
    // name for a file shown as an attachment.
    QHash<QString, QUrl> m_pictures;
    qint64 m_pixelsLeft = MaximumDocumentPixels;
    qsizetype m_infoStart = 0;

    std::map<int, std::vector<ListLevelInfo>> m_lists;
    std::vector<ListLevelInfo> m_currentList;
    std::map<int, int> m_listOverrides;
    int m_overrideListId = 0;
    std::map<std::pair<int, int>, QTextList*> m_textLists;

    // The cell boundaries of the row being defined, in twips.
    std::vector<int> m_rowBoundaries;
    QTextTable* m_table = nullptr;
    int m_tableRow = 0;
    int m_tableColumn = 0;
    bool m_rowEnded = false;
    qint64 m_cellsLeft = MaximumTableCells;
};

RichTextResult Parser::run()
{
    if (!m_rtf.startsWith("{\\rtf")) {
        m_result.error = QStringLiteral("The data is not RTF.");
        return std::move(m_result);
    }
    m_document->setUndoRedoEnabled(false);
    for (;;) {
        const RtfToken token = m_tokens.next();
        if (token.kind == RtfToken::Kind::End)
            break;
        if (token.kind == RtfToken::Kind::GroupStart && m_stack.size() >= MaximumGroupDepth) {
            m_result.error = QStringLiteral("The RTF groups are nested too deeply.");
            return std::move(m_result);
        }
        if (token.kind == RtfToken::Kind::Malformed) {
            m_result.error = QStringLiteral("The RTF has a malformed hex escape at byte %1.")
                                 .arg(m_tokens.position() - 2);
            return std::move(m_result);
        }
        handleToken(token);
        if (m_stack.empty())
            break; // the document's group closed; what follows is not part of it
    }
    if (!m_stack.empty()) {
        m_result.error = QStringLiteral("The RTF data ends inside a group, at byte %1.")
                             .arg(m_tokens.position());
        return std::move(m_result);
    }
    m_result.document = std::move(m_document);
    return std::move(m_result);
}

void Parser::handleToken(const RtfToken& token)
{
    const bool firstInGroup = m_firstInGroup;
    if (token.kind != RtfToken::Kind::ControlSymbol || token.symbol != '*')
        m_firstInGroup = false;
    if (token.kind != RtfToken::Kind::Text && token.kind != RtfToken::Kind::HexByte)
        flushBytes();

    switch (token.kind) {
    case RtfToken::Kind::GroupStart:
        m_skipCount = 0;
        if (m_stack.empty())
            m_stack.emplace_back();
        else
            m_stack.push_back(state());
        state().pendingAttachment.reset();
        state().startPosition = m_tokens.position() - 1;
        m_firstInGroup = true;
        m_starred = false;
        return;
    case RtfToken::Kind::GroupEnd:
        m_skipCount = 0;
        handleGroupEnd();
        return;
    case RtfToken::Kind::End:
        return;
    default:
        break;
    }
    if (m_stack.empty())
        return;
    if (state().destination == Destination::Skip)
        return;

    if (m_skipCount > 0 && token.kind != RtfToken::Kind::Text) {
        --m_skipCount;
        return;
    }

    switch (token.kind) {
    case RtfToken::Kind::ControlWord:
        m_wordOpensGroup = firstInGroup;
        handleControlWord(token);
        m_starred = false;
        return;
    case RtfToken::Kind::ControlSymbol:
        if (token.symbol == '*') {
            m_starred = true;
            return;
        }
        handleSymbol(token.symbol);
        return;
    case RtfToken::Kind::HexByte:
        m_bytes.append(char(token.parameter));
        return;
    case RtfToken::Kind::Text:
        handleText(token.word);
        return;
    default:
        return;
    }
}

void Parser::handleGroupEnd()
{
    if (m_stack.empty())
        return;
    if (state().destination == Destination::Text && state().pendingAttachment) {
        const AttachmentReference reference = *state().pendingAttachment;
        state().pendingAttachment.reset();
        insertAttachment(reference);
    }
    if (m_stack.size() == 1) {
        // The document's group: its state at the end is the last paragraph's.
        finishParagraph(false);
        m_stack.pop_back();
        return;
    }
    GroupState closing = std::move(m_stack.back());
    m_stack.pop_back();
    GroupState& parent = state();
    if (closing.destination == parent.destination)
        return;
    switch (closing.destination) {
    case Destination::FieldInstruction:
        parent.fieldHref = hyperlinkTarget(m_fieldInstruction);
        break;
    case Destination::Attachment:
        m_attachment.fileName = withoutOuterSpaces(m_attachmentName);
        parent.pendingAttachment = m_attachment;
        break;
    case Destination::FontTable:
        // Text before any font change is in the default font, known only now.
        applyDefaultFont(parent);
        break;
    case Destination::Info:
        m_result.attributes.info =
            m_rtf.sliced(m_infoStart, m_tokens.position() - m_infoStart).toByteArray();
        break;
    default:
        break;
    }
}

void Parser::handleControlWord(const RtfToken& token)
{
    const auto found = keywords().find(std::string_view(token.word.data(), token.word.size()));
    if (found == keywords().end() || (m_starred && found->second > Keyword::SkippedDestination)) {
        // An ignorable destination we do not know is skipped whole.
        if (m_starred)
            state().destination = Destination::Skip;
        return;
    }
    const Keyword keyword = found->second;
    const int value = token.parameter;

    if (keyword <= Keyword::SkippedDestination) {
        handleDestinationWord(keyword);
        return;
    }
    // Unicode characters count in every destination: a name or an instruction holds them too.
    if (keyword == Keyword::Uc || keyword == Keyword::U) {
        handleUnicodeWord(keyword, value);
        return;
    }

    switch (state().destination) {
    case Destination::Text:
        break;
    case Destination::FontTable:
        handleFontTableWord(keyword, value);
        return;
    case Destination::ColorTable:
        handleColorTableWord(keyword, value);
        return;
    case Destination::ExpandedColorTable:
        handleExpandedColorTableWord(keyword, value);
        return;
    case Destination::Attachment:
        handleAttachmentWord(keyword, value);
        return;
    case Destination::ListTable:
        handleListTableWord(keyword, value);
        return;
    case Destination::ListOverrideTable:
        handleListOverrideTableWord(keyword, value);
        return;
    default:
        return;
    }

    // In the text, by the keyword's group; the words of the font, colour and list tables
    // mean nothing here.
    if (keyword <= Keyword::OtherDocumentControl)
        handleDocumentWord(token, keyword);
    else if (keyword <= Keyword::RightDoubleQuote)
        handleSpecialCharacterWord(keyword);
    else if (keyword >= Keyword::Shadow && keyword <= Keyword::ShadowColor)
        handleShadowWord(token, keyword);
    else if (keyword <= Keyword::Ligature)
        handleCharacterWord(token, keyword);
    else if (keyword <= Keyword::ListLevel)
        handleParagraphWord(keyword, value);
    else if (keyword <= Keyword::Row)
        handleTableRowWord(keyword, value);
}

void Parser::handleUnicodeWord(Keyword keyword, int value)
{
    GroupState& s = state();
    if (keyword == Keyword::Uc) {
        s.unicodeSkip = std::clamp(value, 0, 16);
        return;
    }
    const int unit = value < 0 ? value + 65536 : value;
    appendText(QString(QChar(char16_t(std::clamp(unit, 0, 0xFFFF)))));
    m_skipCount = s.unicodeSkip;
}

void Parser::handleFontTableWord(Keyword keyword, int value)
{
    if (keyword == Keyword::Font)
        m_currentFont = value;
    else if (keyword == Keyword::FontCharset)
        m_fonts[m_currentFont].codePage = RtfCodePage::codePageForCharset(value);
}

void Parser::handleColorTableWord(Keyword keyword, int value)
{
    if (keyword == Keyword::Red)
        m_red = std::clamp(value, 0, 255);
    else if (keyword == Keyword::Green)
        m_green = std::clamp(value, 0, 255);
    else if (keyword == Keyword::Blue)
        m_blue = std::clamp(value, 0, 255);
}

void Parser::handleExpandedColorTableWord(Keyword keyword, int value)
{
    if (keyword == Keyword::ColorComponent && m_components.size() < 8)
        m_components.push_back(std::clamp(value, 0, 100000));
    else if (keyword == Keyword::ColorSpaceGray)
        m_grayColorSpace = true;
    else if (keyword == Keyword::ColorSpaceRgb)
        m_grayColorSpace = false;
}

void Parser::handleAttachmentWord(Keyword keyword, int value)
{
    if (keyword == Keyword::Width)
        m_attachment.width = value;
    else if (keyword == Keyword::Height)
        m_attachment.height = value;
}

void Parser::handleListTableWord(Keyword keyword, int value)
{
    if (keyword == Keyword::List) {
        m_currentList.clear();
    } else if (keyword == Keyword::NewListLevel) {
        if (m_currentList.size() < 9)
            m_currentList.emplace_back();
    } else if (!m_currentList.empty() && keyword == Keyword::LevelNumberFormat) {
        m_currentList.back().numberFormat = value;
    } else if (keyword == Keyword::ListId) {
        m_lists[value] = m_currentList;
    }
}

void Parser::handleListOverrideTableWord(Keyword keyword, int value)
{
    if (keyword == Keyword::ListId)
        m_overrideListId = value;
    else if (keyword == Keyword::ListOverride)
        m_listOverrides[value] = m_overrideListId;
}

void Parser::handleDocumentWord(const RtfToken& token, Keyword keyword)
{
    GroupState& s = state();
    const int value = token.parameter;
    DocumentAttributes& attributes = m_result.attributes;
    switch (keyword) {
    case Keyword::AnsiCodePage:
        m_documentCodePage = value;
        s.codePage = value;
        break;
    case Keyword::Mac:
        m_documentCodePage = s.codePage = 10000;
        break;
    case Keyword::Pc:
        m_documentCodePage = s.codePage = 437;
        break;
    case Keyword::Pca:
        m_documentCodePage = s.codePage = 850;
        break;
    case Keyword::DefaultFont:
        m_defaultFont = value;
        applyDefaultFont(s);
        break;
    case Keyword::PaperWidth:
        attributes.paperWidth = value;
        break;
    case Keyword::PaperHeight:
        attributes.paperHeight = value;
        break;
    case Keyword::MarginLeft:
        attributes.leftMargin = value;
        break;
    case Keyword::MarginRight:
        attributes.rightMargin = value;
        break;
    case Keyword::MarginTop:
        attributes.topMargin = value;
        break;
    case Keyword::MarginBottom:
        attributes.bottomMargin = value;
        break;
    case Keyword::ViewWidth:
        attributes.viewWidth = value;
        break;
    case Keyword::ViewHeight:
        attributes.viewHeight = value;
        break;
    case Keyword::ViewKind:
        attributes.viewKind = value;
        break;
    case Keyword::ViewScale:
        attributes.viewScale = value;
        break;
    case Keyword::OtherDocumentControl:
        if (attributes.otherControls.size() < 64) {
            attributes.otherControls.append(
                {token.word.toByteArray(),
                 token.hasParameter ? std::optional<int>(value) : std::nullopt});
        }
        break;
    default:
        break;
    }
}

void Parser::handleSpecialCharacterWord(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Par:
        finishParagraph(true);
        break;
    case Keyword::Line:
        appendText(QString(QChar(0x2028)));
        break;
    case Keyword::Tab:
        appendText(QStringLiteral("\t"));
        break;
    case Keyword::EmDash:
        appendText(QString(QChar(0x2014)));
        break;
    case Keyword::EnDash:
        appendText(QString(QChar(0x2013)));
        break;
    case Keyword::Bullet:
        appendText(QString(QChar(0x2022)));
        break;
    case Keyword::LeftQuote:
        appendText(QString(QChar(0x2018)));
        break;
    case Keyword::RightQuote:
        appendText(QString(QChar(0x2019)));
        break;
    case Keyword::LeftDoubleQuote:
        appendText(QString(QChar(0x201C)));
        break;
    case Keyword::RightDoubleQuote:
        appendText(QString(QChar(0x201D)));
        break;
    default:
        break;
    }
}

void Parser::handleCharacterWord(const RtfToken& token, Keyword keyword)
{
    GroupState& s = state();
    QTextCharFormat& format = s.format;
    const int value = token.parameter;
    const bool on = !token.hasParameter || value != 0;
    switch (keyword) {
    case Keyword::Plain:
        format = QTextCharFormat();
        s.shadow = Shadow();
        s.codePage = m_documentCodePage;
        applyDefaultFont(s);
        break;
    case Keyword::Font:
        applyFont(s, value);
        break;
    case Keyword::FontSize:
        if (value > 0)
            format.setFontPointSize(std::min(value, 32000) / 2.0);
        break;
    // A property switched off is cleared rather than stored as off, as text that
    // never had it.
    case Keyword::Bold:
        if (on)
            format.setFontWeight(QFont::Bold);
        else
            format.clearProperty(QTextFormat::FontWeight);
        break;
    case Keyword::Italic:
        if (on)
            format.setFontItalic(true);
        else
            format.clearProperty(QTextFormat::FontItalic);
        break;
    case Keyword::Underline:
    case Keyword::UnderlineNone:
        if (on && keyword == Keyword::Underline) {
            format.setFontUnderline(true);
        } else {
            format.clearProperty(QTextFormat::TextUnderlineStyle);
            format.clearProperty(QTextFormat::FontUnderline);
        }
        break;
    case Keyword::Strike:
        if (on)
            format.setFontStrikeOut(true);
        else
            format.clearProperty(QTextFormat::FontStrikeOut);
        break;
    case Keyword::Foreground:
        setColor(QTextFormat::ForegroundBrush, value);
        break;
    case Keyword::Background:
        setColor(QTextFormat::BackgroundBrush, value);
        break;
    case Keyword::Super:
    case Keyword::Sub:
    case Keyword::NoSuperSub:
        if (on && keyword != Keyword::NoSuperSub)
            format.setVerticalAlignment(keyword == Keyword::Super
                                            ? QTextCharFormat::AlignSuperScript
                                            : QTextCharFormat::AlignSubScript);
        else
            format.clearProperty(QTextFormat::TextVerticalAlignment);
        break;
    case Keyword::Up:
    case Keyword::Down: {
        const int offset = token.hasParameter ? value : 6;
        if (offset == 0)
            format.clearProperty(RtfTextProperty::BaselineOffset);
        else
            format.setProperty(RtfTextProperty::BaselineOffset,
                               keyword == Keyword::Up ? offset : -offset);
        break;
    }
    case Keyword::Kerning:
        if (value == 0)
            format.clearProperty(RtfTextProperty::Kerning);
        else
            format.setProperty(RtfTextProperty::Kerning, value);
        break;
    case Keyword::Expansion:
    case Keyword::ExpansionTwips: {
        // 0 is kept: it turns kerning off, where no value leaves the standard kerning.
        const int twips = keyword == Keyword::Expansion ? value * 5 : value;
        format.setProperty(RtfTextProperty::Expansion, twips);
        if (twips != 0) {
            format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            format.setFontLetterSpacing(twips / TwipsPerPoint);
        } else {
            format.clearProperty(QTextFormat::FontLetterSpacing);
            format.clearProperty(QTextFormat::FontLetterSpacingType);
        }
        break;
    }
    case Keyword::Ligature:
        format.setProperty(RtfTextProperty::Ligature, value);
        break;
    default:
        break;
    }
}

void Parser::handleShadowWord(const RtfToken& token, Keyword keyword)
{
    Shadow& shadow = state().shadow;
    const int value = token.parameter;
    switch (keyword) {
    case Keyword::Shadow:
        shadow.on = !token.hasParameter || value != 0;
        break;
    case Keyword::ShadowX:
        shadow.x = value;
        break;
    case Keyword::ShadowY:
        shadow.y = value;
        break;
    case Keyword::ShadowRadius:
        shadow.radius = value;
        break;
    case Keyword::ShadowOpacity:
        shadow.opacity = value;
        break;
    case Keyword::ShadowColor:
        shadow.color = colorAt(value);
        break;
    default:
        return;
    }
    applyShadow();
}

void Parser::handleParagraphWord(Keyword keyword, int value)
{
    ParagraphState& paragraph = state().paragraph;
    switch (keyword) {
    case Keyword::Pard:
        paragraph = ParagraphState();
        break;
    case Keyword::AlignLeft:
        paragraph.format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        break;
    case Keyword::AlignRight:
        paragraph.format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    case Keyword::AlignCenter:
        paragraph.format.setAlignment(Qt::AlignHCenter);
        break;
    case Keyword::AlignJustify:
        paragraph.format.setAlignment(Qt::AlignJustify);
        break;
    case Keyword::AlignNatural:
        paragraph.format.clearProperty(QTextFormat::BlockAlignment);
        break;
    case Keyword::FirstIndent:
        paragraph.format.setTextIndent(value / TwipsPerPoint);
        break;
    case Keyword::LeftIndent:
        paragraph.format.setLeftMargin(value / TwipsPerPoint);
        break;
    case Keyword::RightIndent:
        paragraph.format.setRightMargin(value / TwipsPerPoint);
        break;
    case Keyword::TabRight:
        paragraph.nextTabType = QTextOption::RightTab;
        break;
    case Keyword::TabCenter:
        paragraph.nextTabType = QTextOption::CenterTab;
        break;
    case Keyword::TabDecimal:
        paragraph.nextTabType = QTextOption::DelimiterTab;
        break;
    case Keyword::TabPosition:
        if (paragraph.tabs.size() < 256) {
            QTextOption::Tab tab(value / TwipsPerPoint, paragraph.nextTabType);
            if (paragraph.nextTabType == QTextOption::DelimiterTab)
                tab.delimiter = QLatin1Char('.');
            paragraph.tabs.append(tab);
        }
        paragraph.nextTabType = QTextOption::LeftTab;
        break;
    case Keyword::SpaceBefore:
        paragraph.format.setTopMargin(value / TwipsPerPoint);
        break;
    case Keyword::SpaceAfter:
        paragraph.format.setBottomMargin(value / TwipsPerPoint);
        break;
    case Keyword::LineSpacing:
        paragraph.lineSpacing = value;
        break;
    case Keyword::LineMultiple:
        paragraph.lineMultiple = value;
        break;
    case Keyword::LineLeading:
        paragraph.lineLeading = value;
        break;
    case Keyword::LineMinimum:
        paragraph.lineMinimum = value;
        break;
    case Keyword::LineMaximum:
        paragraph.format.setProperty(RtfTextProperty::MaximumLineHeight, value);
        break;
    case Keyword::DefaultTab:
        paragraph.format.setProperty(RtfTextProperty::DefaultTabInterval, value);
        break;
    case Keyword::ListOverride:
        paragraph.listOverride = value;
        break;
    case Keyword::ListLevel:
        paragraph.listLevel = std::clamp(value, 0, 8);
        break;
    default:
        break;
    }
}

void Parser::handleTableRowWord(Keyword keyword, int value)
{
    switch (keyword) {
    case Keyword::InTable:
        state().paragraph.inTable = true;
        break;
    case Keyword::RowDefaults:
        m_rowBoundaries.clear();
        break;
    case Keyword::CellBoundary:
        if (m_rowBoundaries.size() < MaximumTableColumns)
            m_rowBoundaries.push_back(value);
        break;
    case Keyword::Cell:
        endCell();
        break;
    case Keyword::Row:
        if (m_table)
            m_rowEnded = true;
        break;
    default:
        break;
    }
}

void Parser::handleDestinationWord(Keyword keyword)
{
    GroupState& s = state();
    switch (keyword) {
    case Keyword::FontTable:
        s.destination = Destination::FontTable;
        break;
    case Keyword::ColorTable:
        s.destination = Destination::ColorTable;
        m_colors.clear();
        m_red = m_green = m_blue = -1;
        break;
    case Keyword::ExpandedColorTable:
        s.destination = Destination::ExpandedColorTable;
        m_expandedColors.clear();
        m_components.clear();
        m_grayColorSpace = false;
        break;
    case Keyword::Field:
        s.fieldHref.clear();
        break;
    case Keyword::FieldInstruction:
        s.destination = Destination::FieldInstruction;
        m_fieldInstruction.clear();
        break;
    case Keyword::FieldResult:
        if (s.destination == Destination::Text)
            s.linkHref = s.fieldHref;
        break;
    case Keyword::NeXTGraphic:
        s.destination = Destination::Attachment;
        m_attachmentName.clear();
        m_attachment = AttachmentReference();
        break;
    case Keyword::ListTable:
        s.destination = Destination::ListTable;
        break;
    case Keyword::ListOverrideTable:
        s.destination = Destination::ListOverrideTable;
        break;
    case Keyword::LevelMarker:
        if (s.destination == Destination::ListTable && !m_currentList.empty()) {
            s.destination = Destination::LevelMarker;
            m_currentList.back().marker.clear();
        } else {
            s.destination = Destination::Skip;
        }
        break;
    case Keyword::Info:
        // Kept as its bytes only when it is a group of its own, so that writing it back
        // cannot carry anything else along.
        if (m_wordOpensGroup && m_stack.size() == 2) {
            s.destination = Destination::Info;
            m_infoStart = s.startPosition;
        } else {
            s.destination = Destination::Skip;
        }
        break;
    default:
        s.destination = Destination::Skip;
        break;
    }
}

void Parser::handleSymbol(char symbol)
{
    switch (symbol) {
    case '\n':
        if (state().destination == Destination::Text)
            finishParagraph(true);
        return;
    case '~':
        appendText(QString(QChar(0x00A0)));
        return;
    case '-':
        appendText(QString(QChar(0x00AD)));
        return;
    case '_':
        appendText(QString(QChar(0x2011)));
        return;
    case '\t':
        appendText(QStringLiteral("\t"));
        return;
    case '\\':
    case '{':
    case '}':
        m_bytes.append(symbol);
        flushBytes();
        return;
    default:
        return;
    }
}

void Parser::handleText(QByteArrayView bytes)
{
    if (m_skipCount > 0) {
        const qsizetype skipped = std::min<qsizetype>(m_skipCount, bytes.size());
        m_skipCount -= int(skipped);
        bytes = bytes.sliced(skipped);
    }
    m_bytes.append(bytes);
}

void Parser::flushBytes()
{
    if (m_bytes.isEmpty() || m_stack.empty())
        return;
    const Destination destination = state().destination;
    const int codePage = destination == Destination::Text ? state().codePage : m_documentCodePage;
    const QString text = m_codePages.decode(m_bytes, codePage);
    m_bytes.clear();
    if (destination == Destination::Text)
        appendText(text);
    else
        handleDestinationText(text);
}

void Parser::handleDestinationText(const QString& text)
{
    switch (state().destination) {
    case Destination::FontTable:
        for (const QChar c : text) {
            if (c == QLatin1Char(';')) {
                m_fonts[m_currentFont].name = m_fontName.trimmed();
                m_fontName.clear();
            } else if (m_fontName.size() < 256) {
                m_fontName.append(c);
            }
        }
        return;
    case Destination::ColorTable:
        for (const QChar c : text) {
            if (c != QLatin1Char(';') || m_colors.size() >= 4096)
                continue;
            if (m_red < 0 && m_green < 0 && m_blue < 0)
                m_colors.emplace_back();
            else
                m_colors.emplace_back(std::max(m_red, 0), std::max(m_green, 0),
                                      std::max(m_blue, 0));
            m_red = m_green = m_blue = -1;
        }
        return;
    case Destination::ExpandedColorTable:
        for (const QChar c : text) {
            if (c != QLatin1Char(';') || m_expandedColors.size() >= 4096)
                continue;
            QColor color;
            const auto component = [this](size_t i) { return m_components[i] / 100000.0; };
            if (m_grayColorSpace && !m_components.empty()) {
                color.setRgbF(component(0), component(0), component(0));
                if (m_components.size() > 1)
                    color.setAlphaF(component(1));
            } else if (m_components.size() >= 3) {
                color.setRgbF(component(0), component(1), component(2));
                if (m_components.size() > 3)
                    color.setAlphaF(component(3));
            }
            m_expandedColors.push_back(color);
            m_components.clear();
            m_grayColorSpace = false;
        }
        return;
    case Destination::FieldInstruction:
        if (m_fieldInstruction.size() < 8192)
            m_fieldInstruction += text;
        return;
    case Destination::Attachment:
        if (m_attachmentName.size() < 1024)
            m_attachmentName += text;
        return;
    case Destination::LevelMarker:
        if (!m_currentList.empty() && m_currentList.back().marker.size() < 64)
            m_currentList.back().marker += text;
        return;
    default:
        return;
    }
}

void Parser::appendText(QString text)
{
    if (m_stack.empty() || text.isEmpty())
        return;
    GroupState& s = state();
    if (s.destination != Destination::Text) {
        handleDestinationText(text);
        return;
    }
    // Qt's frame markers must never enter the document as text.
    text.replace(QChar(0xFDD0), QChar::ReplacementCharacter);
    text.replace(QChar(0xFDD1), QChar::ReplacementCharacter);
    placeInTable();
    if (s.pendingAttachment) {
        // The character that follows an attachment's reference stands for it.
        const AttachmentReference reference = *s.pendingAttachment;
        s.pendingAttachment.reset();
        insertAttachment(reference);
        text.remove(0, 1);
        if (text.isEmpty())
            return;
    }
    QTextCharFormat format = s.format;
    showBaselineOffset(format);
    if (!s.linkHref.isEmpty()) {
        format.setAnchor(true);
        format.setAnchorHref(s.linkHref);
    }
    m_cursor.insertText(text, format);
}

// The offset is kept in half-points; it is drawn as a share of the run's size, which is
// known only once the run's text comes (\fs may follow \up).
void Parser::showBaselineOffset(QTextCharFormat& format)
{
    if (!format.hasProperty(RtfTextProperty::BaselineOffset))
        return;
    const qreal size =
        format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : 12.0;
    if (size > 0)
        format.setBaselineOffset(format.intProperty(RtfTextProperty::BaselineOffset) / 2.0 / size *
                                 100.0);
}

void Parser::insertAttachment(const AttachmentReference& reference)
{
    placeInTable();
    const RtfdFile* file = fileNamed(reference.fileName);
    QTextCharFormat format = state().format;
    // The folder's spelling of the name, so that file and reference are written together.
    format.setProperty(RtfTextProperty::AttachmentFileName, file ? file->name : reference.fileName);
    if (reference.width > 0)
        format.setProperty(QTextFormat::ImageWidth, reference.width / TwipsPerPoint);
    if (reference.height > 0)
        format.setProperty(QTextFormat::ImageHeight, reference.height / TwipsPerPoint);
    if (file)
        format.setProperty(RtfTextProperty::AttachmentContents, file->contents);
    const QUrl picture = file ? pictureOf(*file) : QUrl();
    if (picture.isEmpty()) {
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
        return;
    }
    QTextImageFormat imageFormat;
    imageFormat.merge(format);
    imageFormat.setName(picture.toString());
    m_cursor.insertImage(imageFormat);
}

// The file a reference names. The text spells the name in its own encoding and the folder
// in UTF-8, either of them perhaps with accents decomposed, as older file systems kept them.
const RtfdFile* Parser::fileNamed(const QString& name) const
{
    auto found = m_filesByName.constFind(name);
    if (found == m_filesByName.cend()) {
        found = m_filesByNormalizedName.constFind(name.normalized(QString::NormalizationForm_C));
        if (found == m_filesByNormalizedName.cend())
            return nullptr;
    }
    return &m_files[*found];
}

QUrl Parser::pictureOf(const RtfdFile& file)
{
    if (const auto found = m_pictures.constFind(file.name); found != m_pictures.cend())
        return *found;
    const QImage image =
        decodedPicture(file.contents, std::min(MaximumPicturePixels, m_pixelsLeft));
    QUrl url;
    if (image.isNull()) {
        m_result.attachments.append(file);
    } else {
        m_pixelsLeft -= qint64(image.width()) * image.height();
        url.setScheme(QStringLiteral("attachment"));
        url.setPath(file.name);
        m_document->addResource(QTextDocument::ImageResource, url, image);
    }
    m_pictures.insert(file.name, url);
    return url;
}

void Parser::placeInTable()
{
    if (!state().paragraph.inTable) {
        if (m_table) {
            m_cursor.setPosition(m_table->lastPosition() + 1);
            m_table = nullptr;
        }
        return;
    }
    if (!m_table) {
        startTable();
        return;
    }
    if (!m_rowEnded)
        return;
    m_rowEnded = false;
    const int columns = m_table->columns();
    if (m_cellsLeft < columns)
        return; // the rest goes into the last row
    m_cellsLeft -= columns;
    m_table->appendRows(1);
    ++m_tableRow;
    m_tableColumn = 0;
    // A row of more cells than the rows before widens the whole table.
    const int extra = int(m_rowBoundaries.size()) - columns;
    if (extra > 0 && m_cellsLeft >= qint64(extra) * m_table->rows()) {
        m_cellsLeft -= qint64(extra) * m_table->rows();
        m_table->appendColumns(extra);
    }
    m_cursor = m_table->cellAt(m_tableRow, 0).firstCursorPosition();
}

void Parser::startTable()
{
    const int columns = std::max(1, int(m_rowBoundaries.size()));
    if (m_cellsLeft < columns) {
        state().paragraph.inTable = false; // too many cells: the text goes on outside
        return;
    }
    m_cellsLeft -= columns;
    // A table follows the paragraph before it, not an empty paragraph of its own.
    const QTextBlock block = m_cursor.block();
    if (block.length() == 1 && block.previous().isValid() &&
        QTextCursor(block.previous()).currentFrame() == m_cursor.currentFrame()) {
        const QTextBlockFormat kept = block.previous().blockFormat();
        m_cursor.deletePreviousChar();
        m_cursor.setBlockFormat(kept);
    }
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    QList<QTextLength> widths;
    int left = 0;
    for (const int boundary : m_rowBoundaries) {
        widths.append(boundary > left ? QTextLength(QTextLength::FixedLength, (boundary - left) / TwipsPerPoint)
                                      : QTextLength());
        left = std::max(left, boundary);
    }
    if (!widths.isEmpty())
        format.setColumnWidthConstraints(widths);
    m_table = m_cursor.insertTable(1, columns, format);
    m_tableRow = 0;
    m_tableColumn = 0;
    m_rowEnded = false;
}

void Parser::endCell()
{
    // A cell ends the paragraph it is in, a table paragraph whether or not it said so.
    state().paragraph.inTable = true;
    finishParagraph(false);
    if (!m_table)
        return;
    if (m_tableColumn + 1 < m_table->columns())
        m_cursor = m_table->cellAt(m_tableRow, ++m_tableColumn).firstCursorPosition();
    else
        m_cursor = m_table->cellAt(m_tableRow, m_tableColumn).lastCursorPosition();
}

void Parser::finishParagraph(bool startNext)
{
    placeInTable();
    const ParagraphState& paragraph = state().paragraph;
    QTextBlockFormat format = paragraph.format;
    if (!paragraph.tabs.isEmpty())
        format.setTabPositions(paragraph.tabs);
    if (paragraph.lineSpacing && *paragraph.lineSpacing != 0) {
        const int spacing = *paragraph.lineSpacing;
        if (paragraph.lineMultiple == 1)
            format.setLineHeight(spacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (spacing < 0)
            format.setLineHeight(-spacing / TwipsPerPoint, QTextBlockFormat::FixedHeight);
        else
            format.setLineHeight(spacing / TwipsPerPoint, QTextBlockFormat::MinimumHeight);
    } else if (paragraph.lineLeading) {
        format.setLineHeight(*paragraph.lineLeading / TwipsPerPoint,
                             QTextBlockFormat::LineDistanceHeight);
    } else if (paragraph.lineMinimum) {
        format.setLineHeight(*paragraph.lineMinimum / TwipsPerPoint,
                             QTextBlockFormat::MinimumHeight);
    }
    m_cursor.setBlockFormat(format);
    if (paragraph.listOverride > 0)
        addToList(paragraph.listOverride, paragraph.listLevel);
    if (startNext)
        m_cursor.insertBlock(QTextBlockFormat(), state().format);
}

void Parser::addToList(int listOverride, int level)
{
    const std::pair<int, int> key{listOverride, level};
    if (const auto found = m_textLists.find(key); found != m_textLists.end()) {
        found->second->add(m_cursor.block());
        return;
    }
    if (m_textLists.size() >= 1024)
        return;

    ListLevelInfo info;
    if (const auto override = m_listOverrides.find(listOverride);
        override != m_listOverrides.end()) {
        const auto list = m_lists.find(override->second);
        if (list != m_lists.end() && size_t(level) < list->second.size())
            info = list->second[size_t(level)];
    }
    QTextListFormat format;
    QString name;
    const qsizetype open = info.marker.indexOf(QLatin1Char('{'));
    const qsizetype close = info.marker.indexOf(QLatin1Char('}'), open + 1);
    if (open >= 0 && close > open)
        name = info.marker.mid(open + 1, close - open - 1);
    format.setStyle(styleForMarkerName(name, info.numberFormat));
    if (open >= 0 && close > open && format.style() <= QTextListFormat::ListDecimal) {
        format.setNumberPrefix(info.marker.left(open));
        format.setNumberSuffix(info.marker.mid(close + 1));
    }
    format.setIndent(level + 1);
    m_textLists.emplace(key, m_cursor.createList(format));
}

void Parser::applyShadow()
{
    const Shadow& shadow = state().shadow;
    if (!shadow.on) {
        state().format.clearProperty(RtfTextProperty::Shadow);
        return;
    }
    state().format.setProperty(
        RtfTextProperty::Shadow,
        QVariantList{shadow.x, shadow.y, shadow.radius, shadow.opacity, shadow.color});
}

bool Parser::applyFont(GroupState& group, int index)
{
    const auto font = m_fonts.find(index);
    if (font == m_fonts.end())
        return false;
    group.format.setFontFamilies(QStringList{font->second.name});
    group.codePage = font->second.codePage ? font->second.codePage : m_documentCodePage;
    return true;
}

// Gives text that has no font yet the one \deff names, with its character set.
void Parser::applyDefaultFont(GroupState& group)
{
    if (m_defaultFont && !group.format.hasProperty(QTextFormat::FontFamilies))
        applyFont(group, *m_defaultFont);
}

QColor Parser::colorAt(int index) const
{
    if (index <= 0)
        return {};
    if (size_t(index) < m_expandedColors.size() && m_expandedColors[size_t(index)].isValid())
        return m_expandedColors[size_t(index)];
    if (size_t(index) < m_colors.size())
        return m_colors[size_t(index)];
    return {};
}

void Parser::setColor(QTextFormat::Property property, int index)
{
    const QColor color = colorAt(index);
    if (color.isValid())
        state().format.setProperty(property, QBrush(color));
    else
        state().format.clearProperty(property);
}

} // namespace

RichTextResult RtfReader::read(QByteArrayView rtf, const QList<RtfdFile>& folderFiles)
{
    Parser parser(rtf, folderFiles);
    return parser.run();
}
