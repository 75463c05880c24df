#include "RtfWriter.h"

#include "RtfTextProperty.h"

#include <QBuffer>
#include <QColor>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr double TwipsPerPoint = 20.0;
const QLatin1String ImageSuffixes[] = {
    QLatin1String("png"),  QLatin1String("tiff"), QLatin1String("tif"), QLatin1String("jpg"),
    QLatin1String("jpeg"), QLatin1String("gif"),  QLatin1String("bmp"), QLatin1String("heic")};

int twips(double points)
{
    return qRound(points * TwipsPerPoint);
}

// The character attributes of a run, as RTF states them. Empty family and zero size
// mean "not set".
struct RunState {
    QString family;
    int halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int foreground = 0;
    int background = 0;
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
    int baseline = 0;
    QVariant shadow;
    int kerning = 0;
    // None: the standard kerning; 0 turns kerning off.
    std::optional<int> expansion;
    std::optional<int> ligature;

    bool operator==(const RunState&) const = default;
};

// Where a paragraph stands in a table: none, or its cell and whether it begins or ends it.
struct TablePlace {
    QTextTable* table = nullptr;
    int row = 0;
    int column = 0;
    bool firstInCell = false;
    bool lastInCell = false;
};

// A column without a width of its own: two inches.
constexpr int DefaultCellWidth = 2880;

struct ListEntry {
    int number = 0;
    QTextListFormat format;
};

QByteArray markerName(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListCircle:
        return "circle";
    case QTextListFormat::ListSquare:
        return "square";
    case QTextListFormat::ListDecimal:
        return "decimal";
    case QTextListFormat::ListLowerAlpha:
        return "lower-alpha";
    case QTextListFormat::ListUpperAlpha:
        return "upper-alpha";
    case QTextListFormat::ListLowerRoman:
        return "lower-roman";
    case QTextListFormat::ListUpperRoman:
        return "upper-roman";
    default:
        return "disc";
    }
}

int numberFormat(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListDecimal:
        return 0;
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    default:
        return 23;
    }
}

bool isNumbered(QTextListFormat::Style style)
{
    return numberFormat(style) != 23;
}

QChar bulletCharacter(QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListCircle:
        return QChar(0x25E6);
    case QTextListFormat::ListSquare:
        return QChar(0x25AA);
    default:
        return QChar(0x2022);
    }
}

bool hasImageSuffix(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    for (const QLatin1String image : ImageSuffixes) {
        if (suffix == image)
            return true;
    }
    return false;
}

// A name that is safe as a file of the folder: no path, never the text's own file.
QString safeFileName(QString name)
{
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(0), QLatin1Char('_'));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        name == QLatin1String("TXT.rtf"))
        name = QStringLiteral("Attachment");
    return name;
}

class Writer {
public:
    Writer(const QTextDocument& document, const DocumentAttributes& attributes,
           QList<RtfdFile>* files)
        : m_document(document), m_attributes(attributes), m_files(files)
    {
    }

    QByteArray run();

private:
    void writeBlock(const QTextBlock& block, bool first);
    TablePlace placeOf(const QTextBlock& block) const;
    void writeRowDefinition(const QTextTable* table);
    void writeParagraphFormat(const QTextBlock& block);
    void writeFragment(const QTextFragment& fragment);
    void writeRunState(const RunState& wanted);
    void writeAttachment(const QTextCharFormat& format);
    void writeText(QStringView text);
    void writeDocumentAttributes(QByteArray& out) const;
    QByteArray header() const;

    RunState stateOf(const QTextCharFormat& format);
    int fontIndex(const QString& family);
    int colorIndex(const QColor& color);
    int listNumber(QTextList* list);
    QString attachmentFile(const QTextCharFormat& format);
    std::pair<QString, QByteArray> pictureFile(const QString& imageName, const QString& name);

    static void appendEscaped(QByteArray& out, QStringView text);

    const QTextDocument& m_document;
    const DocumentAttributes& m_attributes;
    QList<RtfdFile>* m_files;

    QByteArray m_body;
    RunState m_run;
    QString m_link;
    RunState m_runOutsideLink;
    std::optional<QTextBlockFormat> m_paragraph;
    QTextList* m_paragraphList = nullptr;
    bool m_paragraphInTable = false;
    bool m_hasTables = false;
    TablePlace m_place; // of the paragraph written last

    QStringList m_fonts;
    std::vector<QColor> m_colors;
    std::map<QTextList*, ListEntry> m_lists;
    std::map<QString, QByteArray> m_attachmentNames;
    // Each picture of the document's own, encoded once however often the text shows it.
    std::map<std::pair<QString, QString>, std::pair<QString, QByteArray>> m_encodedPictures;
};

QByteArray Writer::run()
{
    m_hasTables = !m_document.rootFrame()->childFrames().isEmpty();
    bool first = true;
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        writeBlock(block, first);
        first = false;
    }
    if (!m_link.isEmpty())
        m_body += "}}";
    m_body += '}';
    return header() + m_body;
}

void Writer::writeBlock(const QTextBlock& block, bool first)
{
    if (!first) {
        // The text system's paragraph end: a backslash before a line feed. A link
        // never spans paragraphs here.
        if (!m_link.isEmpty()) {
            m_body += "}}";
            m_link.clear();
            m_run = m_runOutsideLink;
        }
        if (m_place.table && m_place.lastInCell) {
            // A cell ends its last paragraph; the row's last cell ends the row too.
            m_body += "\\cell ";
            if (m_place.column + 1 >= m_place.table->columns()) {
                if (m_place.row + 1 >= m_place.table->rows())
                    m_body += "\\lastrow";
                m_body += "\\row\n";
            }
        } else {
            m_body += "\\\n";
        }
    }
    const TablePlace place = placeOf(block);
    if (place.table && place.firstInCell && place.column == 0)
        writeRowDefinition(place.table);
    m_place = place;
    writeParagraphFormat(block);
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        if (it.fragment().isValid())
            writeFragment(it.fragment());
    }
}

TablePlace Writer::placeOf(const QTextBlock& block) const
{
    if (!m_hasTables)
        return {};
    QTextTable* table = QTextCursor(block).currentTable();
    if (!table)
        return {};
    const QTextTableCell cell = table->cellAt(block.position());
    if (!cell.isValid())
        return {};
    return TablePlace{table, cell.row(), cell.column(),
                      cell.firstCursorPosition().block() == block,
                      cell.lastCursorPosition().block() == block};
}

void Writer::writeRowDefinition(const QTextTable* table)
{
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    QByteArray out = "\\itap1\\trowd \\taflags1 \\trgaph108\\trleft-108 ";
    int right = 0;
    for (int column = 0; column < table->columns(); ++column) {
        const QTextLength width = column < widths.size() ? widths[column] : QTextLength();
        right += width.type() == QTextLength::FixedLength ? twips(width.rawValue()) : DefaultCellWidth;
        out += "\\clvertalt \\clbrdrt\\brdrs\\brdrw20 \\clbrdrl\\brdrs\\brdrw20 "
               "\\clbrdrb\\brdrs\\brdrw20 \\clbrdrr\\brdrs\\brdrw20 \\gaph\\cellx" +
               QByteArray::number(right) + "\n";
    }
    m_body += out;
}

void Writer::writeParagraphFormat(const QTextBlock& block)
{
    QTextBlockFormat format = block.blockFormat();
    format.clearProperty(QTextFormat::ObjectIndex);
    QTextList* list = block.textList();
    const bool inTable = m_place.table != nullptr;
    if (!m_paragraph || *m_paragraph != format || m_paragraphList != list ||
        m_paragraphInTable != inTable) {
        m_paragraph = format;
        m_paragraphList = list;
        m_paragraphInTable = inTable;
        QByteArray out = inTable ? "\\pard\\intbl\\itap1" : "\\pard";
        for (const QTextOption::Tab& tab : format.tabPositions()) {
            if (tab.type == QTextOption::RightTab)
                out += "\\tqr";
            else if (tab.type == QTextOption::CenterTab)
                out += "\\tqc";
            else if (tab.type == QTextOption::DelimiterTab)
                out += "\\tqdec";
            out += "\\tx" + QByteArray::number(twips(tab.position));
        }
        if (format.hasProperty(QTextFormat::TextIndent))
            out += "\\fi" + QByteArray::number(twips(format.textIndent()));
        if (format.hasProperty(QTextFormat::BlockLeftMargin))
            out += "\\li" + QByteArray::number(twips(format.leftMargin()));
        if (format.hasProperty(QTextFormat::BlockRightMargin))
            out += "\\ri" + QByteArray::number(twips(format.rightMargin()));
        if (format.hasProperty(QTextFormat::BlockTopMargin))
            out += "\\sb" + QByteArray::number(twips(format.topMargin()));
        if (format.hasProperty(QTextFormat::BlockBottomMargin))
            out += "\\sa" + QByteArray::number(twips(format.bottomMargin()));
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            out += "\\sl" + QByteArray::number(qRound(format.lineHeight() * 240.0 / 100.0)) +
                   "\\slmult1";
            break;
        case QTextBlockFormat::FixedHeight:
            out += "\\sl-" + QByteArray::number(twips(format.lineHeight())) + "\\slmult0";
            break;
        case QTextBlockFormat::MinimumHeight:
            out += "\\sl" + QByteArray::number(twips(format.lineHeight())) + "\\slmult0";
            break;
        case QTextBlockFormat::LineDistanceHeight:
            out += "\\slleading" + QByteArray::number(twips(format.lineHeight()));
            break;
        default:
            break;
        }
        if (format.hasProperty(RtfTextProperty::MaximumLineHeight))
            out += "\\slmaximum" +
                   QByteArray::number(format.intProperty(RtfTextProperty::MaximumLineHeight));
        if (format.hasProperty(RtfTextProperty::DefaultTabInterval))
            out += "\\pardeftab" +
                   QByteArray::number(format.intProperty(RtfTextProperty::DefaultTabInterval));
        if (!format.hasProperty(QTextFormat::BlockAlignment)) {
            out += "\\pardirnatural";
        } else {
            const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
            if (alignment & Qt::AlignHCenter)
                out += "\\qc";
            else if (alignment & Qt::AlignJustify)
                out += "\\qj";
            else if (alignment & (Qt::AlignRight))
                out += "\\qr";
            else
                out += "\\ql";
        }
        if (list) {
            out += "\\ls" + QByteArray::number(listNumber(list)) + "\\ilvl" +
                   QByteArray::number(std::clamp(list->format().indent(), 1, 9) - 1);
        }
        out += "\\partightenfactor0\n";
        m_body += out;
    }
    if (list) {
        const QTextListFormat::Style style = list->format().style();
        const QString marker =
            isNumbered(style) ? list->itemText(block) : QString(bulletCharacter(style));
        m_body += "{\\listtext\t";
        appendEscaped(m_body, marker);
        m_body += "\t}";
    }
}

void Writer::writeFragment(const QTextFragment& fragment)
{
    const QTextCharFormat format = fragment.charFormat();
    const QString href = format.isAnchor() ? format.anchorHref() : QString();
    if (href != m_link) {
        if (!m_link.isEmpty()) {
            m_body += "}}";
            m_run = m_runOutsideLink;
        }
        m_link = href;
        if (!href.isEmpty()) {
            m_runOutsideLink = m_run;
            QString target = href;
            target.replace(QLatin1Char('"'), QLatin1String("%22"));
            m_body += "{\\field{\\*\\fldinst{HYPERLINK \"";
            appendEscaped(m_body, target);
            m_body += "\"}}{\\fldrslt ";
        }
    }
    writeRunState(stateOf(format));

    const QString text = fragment.text();
    const bool attachment =
        format.isImageFormat() || format.hasProperty(RtfTextProperty::AttachmentFileName);
    if (!attachment) {
        writeText(text);
        return;
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QChar::ObjectReplacementCharacter)
            continue;
        writeText(QStringView(text).sliced(start, i - start));
        writeAttachment(format);
        start = i + 1;
    }
    writeText(QStringView(text).sliced(start));
}

void Writer::writeRunState(const RunState& wanted)
{
    if (wanted == m_run)
        return;
    QByteArray out;
    if ((m_run.halfPoints && !wanted.halfPoints) ||
        (!m_run.family.isEmpty() && wanted.family.isEmpty()) ||
        (m_run.ligature && !wanted.ligature) || (m_run.expansion && !wanted.expansion)) {
        out += "\\plain";
        m_run = RunState();
    }
    if (wanted.family != m_run.family)
        out += "\\f" + QByteArray::number(fontIndex(wanted.family));
    if (wanted.halfPoints != m_run.halfPoints)
        out += "\\fs" + QByteArray::number(wanted.halfPoints);
    if (wanted.bold != m_run.bold)
        out += wanted.bold ? "\\b" : "\\b0";
    if (wanted.italic != m_run.italic)
        out += wanted.italic ? "\\i" : "\\i0";
    if (wanted.underline != m_run.underline)
        out += wanted.underline ? "\\ul\\ulc0" : "\\ulnone";
    if (wanted.strike != m_run.strike)
        out += wanted.strike ? "\\strike\\strikec0" : "\\strike0\\striked0";
    if (wanted.foreground != m_run.foreground)
        out += "\\cf" + QByteArray::number(wanted.foreground);
    if (wanted.background != m_run.background)
        out += "\\cb" + QByteArray::number(wanted.background);
    if (wanted.vertical != m_run.vertical) {
        if (wanted.vertical == QTextCharFormat::AlignSuperScript)
            out += "\\super";
        else if (wanted.vertical == QTextCharFormat::AlignSubScript)
            out += "\\sub";
        else
            out += "\\nosupersub";
    }
    if (wanted.baseline != m_run.baseline) {
        out += wanted.baseline < 0 ? "\\dn" + QByteArray::number(-wanted.baseline)
                                   : "\\up" + QByteArray::number(wanted.baseline);
    }
    if (wanted.shadow != m_run.shadow) {
        const QVariantList shadow = wanted.shadow.toList();
        if (shadow.size() == 5) {
            out += "\\shad\\shadx" + QByteArray::number(shadow[0].toInt()) + "\\shady" +
                   QByteArray::number(shadow[1].toInt()) + "\\shadr" +
                   QByteArray::number(shadow[2].toInt()) + "\\shado" +
                   QByteArray::number(shadow[3].toInt()) + " \\shadc" +
                   QByteArray::number(colorIndex(shadow[4].value<QColor>()));
        } else {
            out += "\\shad0";
        }
    }
    if (wanted.kerning != m_run.kerning)
        out += "\\kerning" + QByteArray::number(wanted.kerning);
    if (wanted.expansion != m_run.expansion) {
        const int expansion = wanted.expansion.value_or(0);
        out += "\\expnd" + QByteArray::number(expansion / 5) + "\\expndtw" +
               QByteArray::number(expansion);
    }
    if (wanted.ligature != m_run.ligature && wanted.ligature)
        out += "\\ligature" + QByteArray::number(*wanted.ligature);
    m_run = wanted;
    if (!out.isEmpty())
        m_body += out + ' ';
}

void Writer::writeAttachment(const QTextCharFormat& format)
{
    const QString name = attachmentFile(format);
    m_body += "{{\\NeXTGraphic ";
    appendEscaped(m_body, name);
    // An attachment not shown as a picture keeps the size its reference gave it.
    if (format.hasProperty(QTextFormat::ImageWidth))
        m_body +=
            " \\width" + QByteArray::number(twips(format.doubleProperty(QTextFormat::ImageWidth)));
    if (format.hasProperty(QTextFormat::ImageHeight))
        m_body += " \\height" +
                  QByteArray::number(twips(format.doubleProperty(QTextFormat::ImageHeight)));
    m_body += " \\appleattachmentpadding0 \\appleembedtype0 \\appleaqc\n}\\'ac}";
}

void Writer::writeText(QStringView text)
{
    appendEscaped(m_body, text);
}

void Writer::appendEscaped(QByteArray& out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u == 0x2028) {
            out += "\\line ";
        } else if (u >= 0x20 && u < 0x7F) {
            out += char(u);
        } else if (u < 0x20 || (u >= 0xA0 && u <= 0xFF)) {
            // The same byte in Windows-1252 as in Latin-1.
            out += "\\'";
            out += hex[u >> 4];
            out += hex[u & 0xF];
        } else {
            out += "\\uc0\\u" + QByteArray::number(u > 0x7FFF ? int(u) - 0x10000 : int(u)) + ' ';
        }
    }
}

RunState Writer::stateOf(const QTextCharFormat& format)
{
    RunState state;
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty())
        state.family = families.first();
    if (format.hasProperty(QTextFormat::FontPointSize))
        state.halfPoints = qRound(format.fontPointSize() * 2);
    state.bold = format.fontWeight() >= QFont::DemiBold;
    state.italic = format.fontItalic();
    state.underline = format.fontUnderline();
    state.strike = format.fontStrikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        state.foreground = colorIndex(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) &&
        format.background().style() != Qt::NoBrush)
        state.background = colorIndex(format.background().color());
    state.vertical = format.verticalAlignment();
    if (state.vertical != QTextCharFormat::AlignSuperScript &&
        state.vertical != QTextCharFormat::AlignSubScript)
        state.vertical = QTextCharFormat::AlignNormal;
    state.baseline = format.intProperty(RtfTextProperty::BaselineOffset);
    if (format.hasProperty(RtfTextProperty::Shadow))
        state.shadow = format.property(RtfTextProperty::Shadow);
    state.kerning = format.intProperty(RtfTextProperty::Kerning);
    if (format.hasProperty(RtfTextProperty::Expansion))
        state.expansion = format.intProperty(RtfTextProperty::Expansion);
    if (format.hasProperty(RtfTextProperty::Ligature))
        state.ligature = format.intProperty(RtfTextProperty::Ligature);
    return state;
}

int Writer::fontIndex(const QString& family)
{
    qsizetype index = m_fonts.indexOf(family);
    if (index < 0) {
        index = m_fonts.size();
        m_fonts.append(family);
    }
    return int(index);
}

int Writer::colorIndex(const QColor& color)
{
    if (!color.isValid())
        return 0;
    const QColor rgb = color.toRgb();
    for (size_t i = 0; i < m_colors.size(); ++i) {
        if (m_colors[i] == rgb)
            return int(i) + 1;
    }
    m_colors.push_back(rgb);
    return int(m_colors.size());
}

int Writer::listNumber(QTextList* list)
{
    auto found = m_lists.find(list);
    if (found == m_lists.end())
        found = m_lists.emplace(list, ListEntry{int(m_lists.size()) + 1, list->format()}).first;
    return found->second.number;
}

QString Writer::attachmentFile(const QTextCharFormat& format)
{
    QString name = format.stringProperty(RtfTextProperty::AttachmentFileName);
    QByteArray contents = format.property(RtfTextProperty::AttachmentContents).toByteArray();
    const bool kept = format.hasProperty(RtfTextProperty::AttachmentContents);
    if (format.isImageFormat() && !kept)
        std::tie(name, contents) = pictureFile(format.toImageFormat().name(), name);
    name = safeFileName(name);
    if (contents.isEmpty() && !kept)
        return name;

    // One file per distinct attachment; an equal name with other bytes gets a number.
    const QString base = QFileInfo(name).completeBaseName();
    const QString suffix = QFileInfo(name).suffix();
    for (int number = 2;; ++number) {
        const auto found = m_attachmentNames.find(name);
        if (found == m_attachmentNames.end()) {
            m_attachmentNames.emplace(name, contents);
            if (m_files)
                m_files->append({name, contents});
            return name;
        }
        // References to one file share its bytes: no need to compare them all.
        if ((found->second.constData() == contents.constData() &&
             found->second.size() == contents.size()) ||
            found->second == contents)
            return name;
        name = base + QLatin1Char(' ') + QString::number(number) +
               (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    }
}

// The file name and bytes of a picture the document holds as a resource, not as a file.
std::pair<QString, QByteArray> Writer::pictureFile(const QString& imageName, const QString& name)
{
    const auto key = std::pair{imageName, name};
    if (const auto found = m_encodedPictures.find(key); found != m_encodedPictures.end())
        return found->second;
    QString fileName = name.isEmpty() ? QFileInfo(QUrl(imageName).path()).fileName() : name;
    QByteArray contents;
    const QVariant resource = m_document.resource(QTextDocument::ImageResource, QUrl(imageName));
    QImage image;
    if (resource.typeId() == QMetaType::QByteArray)
        contents = resource.toByteArray();
    else if (resource.typeId() == QMetaType::QPixmap)
        image = resource.value<QPixmap>().toImage();
    else
        image = resource.value<QImage>();
    if (contents.isEmpty() && !image.isNull()) {
        QBuffer buffer(&contents);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        if (!hasImageSuffix(fileName))
            fileName += QStringLiteral(".png");
    }
    return m_encodedPictures.emplace(key, std::pair{fileName, contents}).first->second;
}

void Writer::writeDocumentAttributes(QByteArray& out) const
{
    const auto put = [&out](const char* word, const std::optional<int>& value) {
        if (value)
            out += QByteArray("\\") + word + QByteArray::number(*value);
    };
    const DocumentAttributes& a = m_attributes;
    put("paperw", a.paperWidth);
    put("paperh", a.paperHeight);
    put("margl", a.leftMargin);
    put("margr", a.rightMargin);
    put("margt", a.topMargin);
    put("margb", a.bottomMargin);
    put("vieww", a.viewWidth);
    put("viewh", a.viewHeight);
    put("viewkind", a.viewKind);
    put("viewscale", a.viewScale);
}

QByteArray Writer::header() const
{
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639\n";
    for (const auto& [word, value] : m_attributes.otherControls) {
        out += '\\' + word;
        if (value)
            out += QByteArray::number(*value);
    }
    out += "{\\fonttbl";
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        out += "\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
        QString name = m_fonts[i];
        name.remove(QLatin1Char(';'));
        appendEscaped(out, name);
        out += ';';
    }
    out += "}\n{\\colortbl;";
    QByteArray expanded = "{\\*\\expandedcolortbl;";
    for (const QColor& color : m_colors) {
        out += "\\red" + QByteArray::number(color.red()) + "\\green" +
               QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) +
               ';';
        const auto component = [](float value) { return QByteArray::number(qRound(value * 1e5)); };
        expanded += "\\cssrgb\\c" + component(color.redF()) + "\\c" + component(color.greenF()) +
                    "\\c" + component(color.blueF());
        if (color.alpha() != 255)
            expanded += "\\c" + component(color.alphaF());
        expanded += ';';
    }
    out += "}\n" + expanded + "}\n";

    if (!m_lists.empty()) {
        QByteArray table = "{\\*\\listtable";
        QByteArray overrides = "{\\*\\listoverridetable";
        std::vector<const ListEntry*> ordered(m_lists.size());
        for (const auto& [list, entry] : m_lists)
            ordered[size_t(entry.number - 1)] = &entry;
        for (const ListEntry* entry : ordered) {
            const QByteArray number = QByteArray::number(entry->number);
            const QTextListFormat& format = entry->format;
            const QTextListFormat::Style style = format.style();
            const int levels = std::clamp(format.indent(), 1, 9);
            table += "{\\list\\listtemplateid" + number + "\\listhybrid";
            for (int level = 0; level < levels; ++level) {
                const QByteArray nfc = QByteArray::number(numberFormat(style));
                table += "{\\listlevel\\levelnfc" + nfc + "\\levelnfcn" + nfc +
                         "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1\\levelspace360\\leveli"
                         "ndent0{\\*\\levelmarker ";
                QByteArray levelText;
                int levelTextLength = 1;
                if (isNumbered(style)) {
                    // Qt numbers "1." when a list states no suffix.
                    const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix)
                                               ? format.numberSuffix()
                                               : QStringLiteral(".");
                    appendEscaped(table, format.numberPrefix());
                    table += "\\{" + markerName(style) + "\\}";
                    appendEscaped(table, suffix);
                    appendEscaped(levelText, format.numberPrefix());
                    levelText += "\\'0" + QByteArray::number(level);
                    appendEscaped(levelText, suffix);
                    levelTextLength += int(format.numberPrefix().size() + suffix.size());
                } else {
                    table += "\\{" + markerName(style) + "\\}";
                    appendEscaped(levelText, QString(bulletCharacter(style)));
                }
                const char hex[] = "0123456789abcdef";
                const int length = std::min(levelTextLength, 255);
                table += "}{\\leveltext\\leveltemplateid" +
                         QByteArray::number(entry->number * 100 + level + 1) + "\\'" +
                         hex[length >> 4] + hex[length & 0xF] + levelText +
                         ";}{\\levelnumbers;}\\fi-360\\li" + QByteArray::number(720 * (level + 1)) +
                         "\\lin" + QByteArray::number(720 * (level + 1)) + " }";
            }
            table += "{\\listname ;}\\listid" + number + '}';
            overrides +=
                "{\\listoverride\\listid" + number + "\\listoverridecount0\\ls" + number + '}';
        }
        out += table + "}\n" + overrides + "}\n";
    }
    out += m_attributes.info;
    writeDocumentAttributes(out);
    out += '\n';
    return out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument& document, const DocumentAttributes& attributes,
                            QList<RtfdFile>* attachmentFiles)
{
    Writer writer(document, attributes, attachmentFiles);
    return writer.run();
}
