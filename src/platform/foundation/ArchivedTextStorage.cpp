#include "ArchivedTextStorage.h"

#include "ArchivedAttributedString.h"
#include "ArchivedColor.h"
#include "ArchivedFont.h"
#include "ArchivedParagraphStyle.h"
#include "ShownColor.h"
#include "SystemLog.h"
#include "TypedStreamReader.h"
#include "TypedStreamWriter.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

using Attributes = ArchivedAttributedString::Attributes;
using Alignment = ArchivedParagraphStyle::Alignment;
using LineBreakMode = ArchivedParagraphStyle::LineBreakMode;

const QString FontAttribute = QStringLiteral("NSFont");
const QString ColorAttribute = QStringLiteral("NSColor");
const QString ParagraphStyleAttribute = QStringLiteral("NSParagraphStyle");

// The archived objects a format came from, kept so that what the user did not change
// is written back as it was read (a named colour, a font's flags, a paragraph style's
// tab stops), and the line-break mode, which the document has no property for.
enum FormatProperty {
    ArchivedFontProperty = QTextFormat::UserProperty + 1,
    ArchivedColorProperty,
    ArchivedParagraphStyleProperty,
    LineBreakModeProperty,
};

QByteArray archiveOf(const std::shared_ptr<TypedStreamObject>& object)
{
    return TypedStreamWriter::toBytes({{"@", {TypedStreamValue::object(object)}}});
}

std::shared_ptr<TypedStreamObject> objectIn(const QVariant& archive)
{
    if (!archive.isValid())
        return nullptr;
    return typedStreamRootObject(TypedStreamReader::read(archive.toByteArray()).groups);
}

// What a font's name says of its face: "Helvetica-BoldOblique" is the bold italic
// face of the family "Helvetica".
struct FontFace {
    QString family;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontFace&) const = default;

    static FontFace of(const QString& name)
    {
        const qsizetype dash = name.indexOf(QLatin1Char('-'));
        const QString style = dash < 0 ? QString() : name.mid(dash + 1).toLower();
        return {dash < 0 ? name : name.left(dash), style.contains(QLatin1String("bold")),
                style.contains(QLatin1String("italic")) ||
                    style.contains(QLatin1String("oblique"))};
    }

    QString name() const
    {
        QString name = family;
        name.remove(QLatin1Char(' '));
        if (bold && italic)
            return name + QLatin1String("-BoldItalic");
        if (bold)
            return name + QLatin1String("-Bold");
        if (italic)
            return name + QLatin1String("-Italic");
        return name;
    }
};

Qt::Alignment qtAlignment(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Justified:
        return Qt::AlignJustify;
    case Alignment::Left:
    case Alignment::Natural:
        break;
    }
    return Qt::AlignLeft;
}

// A block without an alignment of its own follows the writing direction.
Alignment alignmentOf(const QTextBlockFormat& format)
{
    if (!format.hasProperty(QTextFormat::BlockAlignment))
        return Alignment::Natural;
    const Qt::Alignment horizontal = format.alignment() & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignRight)
        return Alignment::Right;
    if (horizontal & Qt::AlignHCenter)
        return Alignment::Center;
    if (horizontal & Qt::AlignJustify)
        return Alignment::Justified;
    return Alignment::Left;
}

LineBreakMode lineBreakModeOf(const QTextBlockFormat& format)
{
    return LineBreakMode(format.intProperty(LineBreakModeProperty));
}

QTextOption::WrapMode wrapModeFor(LineBreakMode mode)
{
    switch (mode) {
    case LineBreakMode::WordWrapping:
        return QTextOption::WrapAtWordBoundaryOrAnywhere;
    case LineBreakMode::CharWrapping:
        return QTextOption::WrapAnywhere;
    case LineBreakMode::Clipping:
    case LineBreakMode::TruncatingHead:
    case LineBreakMode::TruncatingTail:
    case LineBreakMode::TruncatingMiddle:
        break;
    }
    return QTextOption::NoWrap;
}

// ---- archive to document ----

QTextCharFormat charFormatOf(const Attributes* attributes)
{
    QTextCharFormat format;
    if (!attributes)
        return format;
    if (const auto object = attributes->object(FontAttribute)) {
        if (const std::optional<ArchivedFont> font = ArchivedFont::fromObject(*object)) {
            const FontFace face = FontFace::of(font->name());
            format.setFontFamilies(QStringList{face.family});
            if (font->size() > 0)
                format.setFontPointSize(font->size());
            format.setFontWeight(face.bold ? QFont::Bold : QFont::Normal);
            format.setFontItalic(face.italic);
            format.setProperty(ArchivedFontProperty, archiveOf(object));
        }
    }
    if (const auto object = attributes->object(ColorAttribute)) {
        if (const std::optional<ArchivedColor> color = ArchivedColor::fromObject(*object)) {
            format.setForeground(shownColor(*color));
            format.setProperty(ArchivedColorProperty, archiveOf(object));
        }
    }
    return format;
}

QTextBlockFormat blockFormatOf(const Attributes* attributes)
{
    QTextBlockFormat format;
    const auto object = attributes ? attributes->object(ParagraphStyleAttribute) : nullptr;
    if (!object)
        return format;
    // A style we cannot read still goes back as it came while the paragraph keeps the
    // look it shows here.
    format.setProperty(ArchivedParagraphStyleProperty, archiveOf(object));
    if (const std::optional<ArchivedParagraphStyle> style =
            ArchivedParagraphStyle::fromObject(*object)) {
        if (style->alignment != Alignment::Natural)
            format.setAlignment(qtAlignment(style->alignment));
        if (style->lineBreakMode != LineBreakMode::WordWrapping)
            format.setProperty(LineBreakModeProperty, int(style->lineBreakMode));
    }
    return format;
}

bool isParagraphSeparator(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

void fill(QTextDocument& document, const ArchivedAttributedString& archived)
{
    const QString& text = archived.string;
    QTextCursor cursor(&document);
    // A paragraph takes its style from its first character, as the platform's layout does.
    std::vector<qint64> paragraphStarts{0};
    qint64 position = 0;
    const auto insert = [&](qint64 end, const QTextCharFormat& format) {
        qint64 from = position;
        for (; position < end; ++position) {
            if (!isParagraphSeparator(text[position]))
                continue;
            cursor.insertText(text.mid(from, position - from), format);
            if (text[position] == QLatin1Char('\r') && position + 1 < text.size() &&
                text[position + 1] == QLatin1Char('\n'))
                ++position;
            // An empty paragraph's look is its own line end's, which is what archives it.
            const qint64 next = position + 1;
            cursor.insertBlock(QTextBlockFormat(), next < text.size()
                                                       ? charFormatOf(archived.attributesAt(next))
                                                       : format);
            paragraphStarts.push_back(next);
            from = position + 1;
        }
        // A CR LF split between two runs leaves the LF to the run before.
        if (end > from)
            cursor.insertText(text.mid(from, end - from), format);
        position = std::max(position, end);
    };
    if (!archived.runs.empty())
        cursor.setBlockCharFormat(charFormatOf(archived.runs.front().attributes.get()));
    for (const ArchivedAttributedString::Run& run : archived.runs) {
        if (run.location + run.length > position)
            insert(run.location + run.length, charFormatOf(run.attributes.get()));
    }
    insert(text.size(), QTextCharFormat());

    QTextBlock block = document.begin();
    for (const qint64 start : paragraphStarts) {
        if (!block.isValid())
            break;
        const Attributes* attributes = archived.attributesAt(start);
        if (!attributes && start > 0)
            attributes = archived.attributesAt(start - 1); // the empty last paragraph
        QTextCursor(block).setBlockFormat(blockFormatOf(attributes));
        block = block.next();
    }
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(wrapModeFor(lineBreakModeOf(document.begin().blockFormat())));
    document.setDefaultTextOption(option);
    // What was read is where editing starts, not a step to undo.
    document.clearUndoRedoStacks();
    document.setModified(false);
}

// ---- document to archive ----

std::optional<TypedStreamValue> fontOf(const QTextCharFormat& format, const QTextDocument& document)
{
    if (!format.hasProperty(QTextFormat::FontFamilies) &&
        !format.hasProperty(QTextFormat::FontPointSize) &&
        !format.hasProperty(QTextFormat::FontWeight) &&
        !format.hasProperty(QTextFormat::FontItalic) && !format.hasProperty(ArchivedFontProperty))
        return std::nullopt;
    // What the format leaves unsaid comes from the font it was read with, or else from
    // the document, so that showing the text in an editor of another font changes nothing.
    std::optional<ArchivedFont> font;
    if (const auto object = objectIn(format.property(ArchivedFontProperty)))
        font = ArchivedFont::fromObject(*object);
    const QFont fallback = document.defaultFont();
    const FontFace read = font ? FontFace::of(font->name())
                               : FontFace{fallback.family(), fallback.bold(), fallback.italic()};
    const QStringList families = format.fontFamilies().toStringList();
    const FontFace face{
        families.isEmpty() ? read.family : families.first(),
        format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                    : read.bold,
        format.hasProperty(QTextFormat::FontItalic) ? format.fontItalic() : read.italic};
    const double size = format.hasProperty(QTextFormat::FontPointSize)
                            ? format.fontPointSize()
                            : (font ? font->size() : std::max(0.0, fallback.pointSizeF()));
    if (!font)
        font = ArchivedFont(face.name(), size);
    else if (FontFace::of(font->name()) != face)
        font->setName(face.name());
    font->setSize(size);
    return TypedStreamValue::object(font->toObject());
}

std::optional<TypedStreamValue> colorOf(const QTextCharFormat& format)
{
    if (!format.hasProperty(QTextFormat::ForegroundBrush))
        return std::nullopt;
    const QColor shown = format.foreground().color();
    if (const auto object = objectIn(format.property(ArchivedColorProperty))) {
        if (const std::optional<ArchivedColor> color = ArchivedColor::fromObject(*object)) {
            if (shownColor(*color) == shown)
                return TypedStreamValue::object(object);
        }
    }
    float red = 0, green = 0, blue = 0, alpha = 0;
    shown.getRgbF(&red, &green, &blue, &alpha);
    return TypedStreamValue::object(
        ArchivedColor::calibratedRgb(red, green, blue, alpha).toObject());
}

std::optional<TypedStreamValue> paragraphStyleOf(const QTextBlockFormat& format)
{
    const ArchivedParagraphStyle shown(alignmentOf(format), lineBreakModeOf(format));
    if (const auto object = objectIn(format.property(ArchivedParagraphStyleProperty))) {
        if (ArchivedParagraphStyle::fromObject(*object).value_or(ArchivedParagraphStyle()) == shown)
            return TypedStreamValue::object(object);
    } else if (shown == ArchivedParagraphStyle()) {
        return std::nullopt; // the platform's default style needs no attribute
    }
    return TypedStreamValue::object(shown.toObject());
}

Attributes attributesOf(const QTextCharFormat& format,
                        const std::optional<TypedStreamValue>& paragraph,
                        const QTextDocument& document)
{
    Attributes attributes;
    if (std::optional<TypedStreamValue> font = fontOf(format, document))
        attributes.entries.emplace_back(FontAttribute, std::move(*font));
    if (std::optional<TypedStreamValue> color = colorOf(format))
        attributes.entries.emplace_back(ColorAttribute, std::move(*color));
    if (paragraph)
        attributes.entries.emplace_back(ParagraphStyleAttribute, *paragraph);
    return attributes;
}

ArchivedAttributedString attributedStringOf(const QTextDocument& document)
{
    ArchivedAttributedString archived;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const std::optional<TypedStreamValue> paragraph = paragraphStyleOf(block.blockFormat());
        QTextCharFormat last = block.charFormat();
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment part = fragment.fragment();
            if (!part.isValid())
                continue;
            last = part.charFormat();
            archived.append(part.text(), attributesOf(last, paragraph, document));
        }
        if (block.next().isValid())
            archived.append(QStringLiteral("\n"), attributesOf(last, paragraph, document));
    }
    return archived;
}

} // namespace

ArchivedTextStorage::ArchivedTextStorage() : ArchivedTextStorage(std::make_shared<QTextDocument>())
{
}

ArchivedTextStorage::ArchivedTextStorage(std::shared_ptr<QTextDocument> document)
    : m_document(document ? std::move(document) : std::make_shared<QTextDocument>())
{
}

ArchivedTextStorage::ArchivedTextStorage(const ArchivedTextStorage& other)
    : m_document(other.m_document->clone()), m_originalData(other.m_originalData),
      m_encodedAsRead(other.m_encodedAsRead), m_error(other.m_error)
{
}

ArchivedTextStorage& ArchivedTextStorage::operator=(const ArchivedTextStorage& other)
{
    if (this != &other)
        *this = ArchivedTextStorage(other);
    return *this;
}

ArchivedTextStorage::~ArchivedTextStorage() = default;

ArchivedTextStorage ArchivedTextStorage::fromData(const QByteArray& data)
{
    ArchivedTextStorage storage;
    storage.m_originalData = data;
    QString problem;
    if (const std::optional<ArchivedAttributedString> archived =
            ArchivedAttributedString::fromData(data, &problem)) {
        fill(*storage.m_document, *archived);
    } else {
        storage.m_error = problem.isEmpty() ? QStringLiteral("not decodable") : problem;
        SystemLog::log(QStringLiteral("Archived text not decoded: %1").arg(storage.m_error));
    }
    storage.m_encodedAsRead = encode(*storage.m_document);
    return storage;
}

ArchivedTextStorage ArchivedTextStorage::placeholder(const QString& text, const ArchivedFont& font,
                                                     const ArchivedColor& color, bool clips)
{
    Attributes attributes{{{FontAttribute, TypedStreamValue::object(font.toObject())},
                           {ColorAttribute, TypedStreamValue::object(color.toObject())}}};
    if (clips) {
        const ArchivedParagraphStyle clipping(Alignment::Natural, LineBreakMode::Clipping);
        attributes.entries.emplace_back(ParagraphStyleAttribute,
                                        TypedStreamValue::object(clipping.toObject()));
    }
    ArchivedAttributedString archived;
    archived.append(text, std::move(attributes));
    ArchivedTextStorage storage;
    fill(*storage.m_document, archived);
    return storage;
}

bool ArchivedTextStorage::isChanged() const
{
    return !m_originalData || encode(*m_document) != m_encodedAsRead;
}

QByteArray ArchivedTextStorage::toData() const
{
    const QByteArray encoded = encode(*m_document);
    if (m_originalData && encoded == m_encodedAsRead)
        return *m_originalData;
    return encoded;
}

QByteArray ArchivedTextStorage::encode(const QTextDocument& document)
{
    return attributedStringOf(document).toData();
}
