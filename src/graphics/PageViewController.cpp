#include "PageViewController.h"

#include "AddressGraphic.h"
#include "ArchivedColor.h"
#include "ArchivedTextStorage.h"
#include "FieldGraphic.h"
#include "Localization.h"
#include "PageDisplay.h"
#include "PageLayoutHost.h"
#include "PageRecordSource.h"
#include "ParallelChunks.h"
#include "TemplateSettingsData.h"
#include "TextMeasurer.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

const QString PageViewController::untitledName = QStringLiteral("Untitled");
const QString PageViewController::addressBlockPlaceholder = QStringLiteral("Address Block");
const QString PageViewController::noFieldData = QStringLiteral("No Field Data");
const QString PageViewController::tooLarge = QStringLiteral("Too Large");
const QString PageViewController::datafileRequiredMessage =
    QStringLiteral("Please select a datafile from the popup menu on this window.");
const QString PageViewController::datafileRequiredInformation = QStringLiteral(
    "A datafile is required, because the template includes an address block or field contents.");
const QString PageViewController::clickToPrintToolTip =
    QStringLiteral("Click the label to be printed.");
const QString PageViewController::clickToStartToolTip =
    QStringLiteral("Click the label to start printing from.");

namespace {

const QString lineHeightSample = QStringLiteral("Tg");
// More labels a side than any sheet holds: a file asking for millions of cells lays out
// this many, not a page that never ends.
constexpr qint64 maximumGridSize = 1000;
const QString addressGraphicType = QStringLiteral("AddressGraphic");
const QString fieldGraphicType = QStringLiteral("FieldGraphic");
const QString textGraphicType = QStringLiteral("TextGraphic");

ArchivedColor black()
{
    return ArchivedColor::calibratedWhite(0);
}

ArchivedColor red()
{
    return ArchivedColor::calibratedRgb(1, 0, 0);
}

ArchivedColor clear()
{
    return ArchivedColor::calibratedWhite(0, 0);
}

// A record's text as a cell shows it: one font and colour, lines clipped, not wrapped.
ArchivedTextStorage cellText(const QString& text, const ArchivedFont& font,
                             const ArchivedColor& color, Qt::Alignment alignment,
                             bool whiteBackground)
{
    ArchivedTextStorage storage = ArchivedTextStorage::placeholder(text, font, color, true);
    QTextCursor cursor(storage.document().get());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat block;
    block.setAlignment(alignment);
    cursor.mergeBlockFormat(block);
    if (whiteBackground) {
        QTextCharFormat background;
        background.setBackground(Qt::white);
        cursor.mergeCharFormat(background);
    }
    return storage;
}

// Where a block W wide lies in a room: 0 at the start, 1 centred, 2 at the end, and
// one point in for any other code.
float placementOffset(qint64 placement, double room, float size)
{
    switch (placement) {
    case 0:
        return 0;
    case 1:
        return float((room - size) / 2);
    case 2:
        return float(room - size);
    default:
        return 1;
    }
}

} // namespace

PageViewController::PageViewController(PageLayoutHost* host) : m_host(host)
{
}

PageViewController::~PageViewController() = default;

float PageViewController::usableMinimumPointSize(float minimumPointSize)
{
    return minimumPointSize >= 1 ? minimumPointSize : 8.0f;
}

// One cell's working copy of the design, shown by no canvas, so that filling it
// registers no undo with the designer's.
std::shared_ptr<GraphicList> PageViewController::cellCopyOf(const GraphicList& design)
{
    auto copy = std::make_shared<GraphicList>();
    copy->reserve(design.size());
    for (const std::shared_ptr<Graphic>& graphic : design) {
        if (!graphic)
            continue;
        std::shared_ptr<Graphic> cellGraphic = graphic->copy();
        cellGraphic->setDesignView(nullptr);
        copy->append(std::move(cellGraphic));
    }
    return copy;
}

qint64 PageViewController::rowsOf(const TemplateSettingsData* settings)
{
    if (!settings || settings->isEnvelope())
        return 1;
    return std::clamp<qint64>(settings->labelRows(), 1, maximumGridSize);
}

qint64 PageViewController::columnsOf(const TemplateSettingsData* settings)
{
    if (!settings || settings->isEnvelope())
        return 1;
    return std::clamp<qint64>(settings->labelColumns(), 1, maximumGridSize);
}

QRectF PageViewController::cellRect(qint64 row, qint64 column) const
{
    if (!m_templateSettings)
        return {};
    return cellRect(*m_templateSettings, row, column);
}

QRectF PageViewController::cellRect(const TemplateSettingsData& settings, qint64 row,
                                    qint64 column)
{
    const double width = settings.width();
    const double height = settings.height();
    return QRectF(double(settings.labelLeftMargin()) +
                      double(column) * (width + double(settings.labelHorizontalSpacing())),
                  double(settings.labelTopMargin()) +
                      double(row) * (height + double(settings.labelVerticalSpacing())),
                  width, height);
}

PageRecordSource* PageViewController::records() const
{
    return m_editorWindowController && m_editorWindowController->isAvailable()
               ? m_editorWindowController.get()
               : nullptr;
}

void PageViewController::setEditorController(std::shared_ptr<PageRecordSource> records)
{
    if (records != m_editorWindowController)
        m_editorWindowControllerInformed = false;
    m_editorWindowController = std::move(records);
}

bool PageViewController::designHasAddressGraphic() const
{
    return std::any_of(m_masterGraphics.cbegin(), m_masterGraphics.cend(),
                       [](const auto& g) { return g && g->graphicType() == addressGraphicType; });
}

bool PageViewController::designHasFieldGraphic() const
{
    return std::any_of(m_masterGraphics.cbegin(), m_masterGraphics.cend(),
                       [](const auto& g) { return g && g->graphicType() == fieldGraphicType; });
}

bool PageViewController::takesRecords(const GraphicList& design)
{
    return std::any_of(design.cbegin(), design.cend(), [](const auto& g) {
        return g && (g->graphicType() == addressGraphicType || g->graphicType() == fieldGraphicType);
    });
}

ArchivedFont PageViewController::addressBlockFont()
{
    if (!m_addressBlockFont) {
        const QString family = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                   ? QFontDatabase::systemFont(QFontDatabase::GeneralFont).family()
                                   : TextGraphic::defaultFont().name();
        m_addressBlockFont = ArchivedFont(family, 13);
    }
    return *m_addressBlockFont;
}

// ---- laying out ----

void PageViewController::resetWithSettings(std::shared_ptr<TemplateSettingsData> settings,
                                           const GraphicList& graphics, bool isSheet)
{
    if (!settings)
        return;
    m_templateSettings = std::move(settings);
    m_masterGraphics = graphics;
    if (m_pageView)
        m_pageView->setPageViewController(this);
    m_labelCopies = m_templateSettings->labelCopies();

    // A starting label the grid no longer has would skip cells no page shows.
    if (m_startingLabelRow < 0 || m_startingLabelRow >= rows() || m_startingLabelColumn < 0 ||
        m_startingLabelColumn >= columns()) {
        m_startingLabelRow = 0;
        m_startingLabelColumn = 0;
    }
    m_firstLabelOffset = m_startingLabelRow * columns() + m_startingLabelColumn;

    const PrintInfo printInfo = m_templateSettings->printInfo();
    const double paperWidth = printInfo.paperSize().width();
    const double paperHeight = printInfo.paperSize().height();
    double scale = printInfo.scalingFactor();

    if (!records())
        associateDatafile(isSheet);

    const TemplateSettingsData& layout = *m_templateSettings;
    const float top = layout.labelTopMargin();
    const float left = layout.labelLeftMargin();
    const float bottom = m_templateSettings->labelBottomMargin();
    const float right = m_templateSettings->labelRightMargin();
    const QRectF printableFrame(left, top, float(paperWidth) - left - right,
                                float(paperHeight) - top - bottom);

    if (m_pageView) {
        if (m_scaleToFit) {
            const QSizeF frame = m_pageView->frameSize();
            if (paperWidth > 0 && paperHeight > 0)
                scale = std::min(float(frame.width() / paperWidth),
                                 float(frame.height() / paperHeight));
        } else {
            m_pageView->setFrameSize(QSizeF(paperWidth, paperHeight));
        }
        m_pageView->setPaperFrame(QRectF(0, 0, paperWidth, paperHeight));
        m_pageView->setPrintableFrame(printableFrame);
        if (!m_pageView->isScaled() && std::isfinite(scale) && scale > 0)
            m_pageView->scaleUnitSquare(scale);
    }

    buildRecordArrays();

    m_currentPage = 0;
    m_firstRecordOnPage = 0;
    showPage(firstPageToolTip());
}

QString PageViewController::firstPageToolTip() const
{
    if (m_templateSettings && m_templateSettings->isEnvelope())
        return QString();
    return localized(m_host && m_host->isSinglePageSheet() ? clickToPrintToolTip
                                                           : clickToStartToolTip);
}

void PageViewController::associateDatafile(bool isSheet)
{
    // A window that has gone leaves no records behind.
    setEditorController(nullptr);
    m_associatedDatafileURL = m_templateSettings->associatedDatafileURL();
    bool datafileRequired = false;
    if (!m_associatedDatafileURL.isEmpty()) {
        const QFileInfo file(m_associatedDatafileURL.path());
        const QString extension = file.suffix();
        const QString path = m_associatedDatafileURL.isLocalFile()
                                 ? m_associatedDatafileURL.toLocalFile()
                                 : QString();
        if ((extension == QLatin1String("nv3") || extension == QLatin1String("nvm")) &&
            !path.isEmpty()) {
            QString name = m_host ? m_host->templateDisplayName() : QString();
            if (name.isEmpty())
                name = localized(untitledName);
            const QString title =
                name + QStringLiteral(" (") + file.completeBaseName() + QLatin1Char(')');
            std::shared_ptr<PageRecordSource> opened =
                m_host ? m_host->openDatafile(path) : nullptr;
            if (opened && opened->isAvailable())
                setEditorController(std::move(opened));
            else
                datafileRequired = true;
            if (m_host)
                m_host->setWindowTitle(title);
        } else {
            datafileRequired = true;
        }
    } else {
        datafileRequired = designHasAddressGraphic() || designHasFieldGraphic();
    }
    if (datafileRequired && !isSheet && m_host)
        m_host->showDatafileRequiredAlert();
    if (PageRecordSource* source = records(); source && !m_editorWindowControllerInformed) {
        m_editorWindowControllerInformed = true;
        source->incrementOpenTemplateCount();
    }
}

void PageViewController::buildRecordArrays()
{
    const qint64 copies = std::max<qint64>(m_labelCopies, 1);
    m_printableRecords.clear();
    m_nonPrintableRecords.clear();

    enum class Entries { PlainCells, FittedRecords, Records };
    Entries entries = Entries::PlainCells;
    qint64 count = rows() * columns();
    QRectF addressRect;
    PageRecordSource* source = records();
    if (source) {
        addressRect = addressBlockRect();
        if (addressRect.height() != 0) {
            entries = Entries::FittedRecords;
            count = source->countSelected();
        } else if (designHasFieldGraphic()) {
            entries = Entries::Records;
            count = source->countSelected();
        }
    }
    const qint64 from = m_showingSingleTemplate ? m_currentRecord : 0;
    const qint64 to = m_showingSingleTemplate ? m_currentRecord + 1 : std::max<qint64>(count, 0);

    if (entries == Entries::PlainCells) {
        for (qint64 index = from; index < to; ++index)
            m_printableRecords.append(index);
        return;
    }
    m_printableRecords.reserve((to - from) * copies);
    const auto appendCopies = [&](qint64 index) {
        for (qint64 copy = 0; copy < copies; ++copy)
            m_printableRecords.append(index);
    };
    if (entries == Entries::Records) {
        for (qint64 index = from; index < to; ++index)
            appendCopies(index);
        return;
    }

    // The texts are read here, where the datafile lives; measuring them, nearly all of the
    // work, runs on every core, a block of records at a time.
    const ArchivedFont font = addressBlockFont();
    const float minimum = minimumPointSize();
    constexpr qint64 blockSize = 32768;
    std::vector<QString> texts;
    std::vector<char> fits;
    for (qint64 blockStart = from; blockStart < to; blockStart += blockSize) {
        const qint64 blockEnd = std::min(to, blockStart + blockSize);
        texts.clear();
        for (qint64 index = blockStart; index < blockEnd; ++index)
            texts.push_back(m_textInPasteboard ? m_addressBlockText
                                               : source->addressBlockAtIndex(index));
        fits.assign(texts.size(), 0);
        forEachChunk(
            qsizetype(texts.size()),
            [&](qsizetype begin, qsizetype end) {
                for (qsizetype i = begin; i < end; ++i) {
                    QRectF rect = addressRect;
                    ArchivedFont shrunk = font;
                    fits[size_t(i)] =
                        calculateAddressRectangle(rect, texts[size_t(i)], shrunk, minimum,
                                                  m_horizontalPlacement, m_verticalPlacement);
                }
            },
            256);
        for (qint64 index = blockStart; index < blockEnd; ++index) {
            if (fits[size_t(index - blockStart)])
                appendCopies(index);
            else
                m_nonPrintableRecords.append(index);
        }
    }
}

QRectF PageViewController::addressBlockRect()
{
    for (const std::shared_ptr<Graphic>& graphic : m_masterGraphics) {
        if (!graphic || graphic->graphicType() != addressGraphicType)
            continue;
        const auto& address = static_cast<const AddressGraphic&>(*graphic);
        m_addressBlockFont = address.font();
        m_minimumPointSize = address.minimumPointSize();
        m_horizontalPlacement = address.horizontalAddressBlockPlacement();
        m_verticalPlacement = address.verticalAddressBlockPlacement();
        return address.bounds();
    }
    return QRectF(0, 0, 0, 0);
}

std::shared_ptr<AddressGraphic> PageViewController::addressGraphic() const
{
    for (const std::shared_ptr<Graphic>& graphic : m_masterGraphics) {
        if (graphic && graphic->graphicType() == addressGraphicType) {
            auto copy = std::static_pointer_cast<AddressGraphic>(graphic->copy());
            copy->setDesignView(nullptr);
            return copy;
        }
    }
    return nullptr;
}

// ---- fitting ----

bool PageViewController::calculateAddressRectangle(QRectF& rect, const QString& addressBlock,
                                                   ArchivedFont& font, float minimumPointSize,
                                                   qint64 horizontalPlacement,
                                                   qint64 verticalPlacement,
                                                   const FitRules& rules)
{
    if (addressBlock.isEmpty() && !rules.emptyAddressFits)
        return false;
    const TextMeasurer& measurer = TextMeasurer::shared();
    const QStringList lines = addressBlock.split(QLatin1Char('\n'));
    const float lineCount = float(lines.size());
    qsizetype widest = 0;
    float width = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const float lineWidth = measurer.widthOfString(lines[i], font);
        if (i == 0 || lineWidth > width) {
            width = lineWidth;
            widest = i;
        }
    }
    float lineHeight = measurer.heightOfString(lineHeightSample, font);
    const auto fits = [&] {
        return width + 8 <= rect.width() && lineHeight * lineCount <= rect.height();
    };
    if (!fits()) {
        const float minimum = usableMinimumPointSize(minimumPointSize);
        bool found = false;
        for (double size = font.size() - 1; size >= minimum; size -= 1) {
            font.setSize(size);
            width = measurer.widthOfString(lines[widest], font);
            lineHeight = measurer.heightOfString(lineHeightSample, font);
            if (fits()) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    const float blockWidth = width + rules.addressWidthPadding;
    const float blockHeight = lineHeight * lineCount;
    rect = QRectF(rect.x() + placementOffset(horizontalPlacement, rect.width(), blockWidth),
                  rect.y() + placementOffset(verticalPlacement, rect.height(), blockHeight),
                  blockWidth, blockHeight);
    return true;
}

bool PageViewController::fieldTextFits(QRectF& rect, const QString& text, ArchivedFont& font,
                                       float minimumPointSize, const FitRules& rules)
{
    const TextMeasurer& measurer = TextMeasurer::shared();
    if (!(measurer.widthOfString(text, font) <= rect.width())) {
        const float minimum = usableMinimumPointSize(minimumPointSize);
        bool found = false;
        for (double size = font.size() - 1; size >= minimum; size -= 1) {
            font.setSize(size);
            if (rect.width() > measurer.widthOfString(text, font) + rules.shrunkFieldMargin) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    const float lineHeight = measurer.heightOfString(lineHeightSample, font);
    rect = QRectF(rect.x(), rect.y() + float((rect.height() - lineHeight) / 2), rect.width(),
                  lineHeight);
    return true;
}

// ---- cells ----

void PageViewController::fillAddressGraphic(AddressGraphic& graphic, const QString& text,
                                            const FitRules& rules)
{
    QRectF rect = graphic.bounds();
    ArchivedFont font = graphic.font();
    if (!calculateAddressRectangle(rect, text, font, graphic.minimumPointSize(),
                                   graphic.horizontalAddressBlockPlacement(),
                                   graphic.verticalAddressBlockPlacement(), rules)) {
        if (rules.onPaper) {
            graphic.setContents(cellText(QString(), font, clear(), Qt::AlignLeft, false));
            graphic.setStrokeColor(clear());
        }
        return;
    }
    Qt::Alignment alignment = Qt::AlignLeft;
    if (graphic.addressBlockAlignment() == 1)
        alignment = Qt::AlignHCenter;
    else if (graphic.addressBlockAlignment() == 2)
        alignment = Qt::AlignRight;
    graphic.setContents(cellText(text, font, black(), alignment, true));
    graphic.setStrokeColor(clear());
    graphic.setStrokeLineWidth(0.5);
    graphic.setBounds(rect);
}

void PageViewController::fillFieldGraphic(FieldGraphic& graphic,
                                          const std::optional<QString>& content,
                                          const FitRules& rules)
{
    // Paper shows nothing where the screen says what is wrong.
    const auto missing = [&rules](const QString& message) {
        return rules.onPaper ? QString() : localized(message);
    };
    ArchivedColor color = black();
    QString text;
    if (content) {
        text = *content;
    } else {
        text = missing(noFieldData);
        color = rules.onPaper ? clear() : red();
    }
    QRectF rect = graphic.bounds();
    ArchivedFont font = graphic.font();
    if (!fieldTextFits(rect, text, font, graphic.minimumPointSize(), rules)) {
        text = missing(tooLarge);
        color = rules.onPaper ? clear() : red();
    }
    // The font first: a placeholder shows its own text again in a new font.
    graphic.setFont(font);
    graphic.setContents(cellText(text, font, color, Qt::AlignLeft, false));
    graphic.setStrokeColor(clear());
    graphic.setStrokeLineWidth(0.5);
    graphic.setBounds(rect);
}

void PageViewController::fillCell(GraphicList& graphics, PageRecordSource* source,
                                  const QString& addressBlockText, qint64 record,
                                  const FitRules& rules)
{
    for (const std::shared_ptr<Graphic>& graphic : graphics) {
        const QString type = graphic->graphicType();
        if (type == addressGraphicType) {
            QString text;
            // Without the datafile the screen shows where the address goes; paper, nothing.
            if (!source && rules.onPaper)
                text = QString();
            else if (!addressBlockText.isNull())
                text = addressBlockText;
            else if (source)
                text = source->addressBlockAtIndex(record);
            else
                text = localized(addressBlockPlaceholder);
            fillAddressGraphic(static_cast<AddressGraphic&>(*graphic), text, rules);
        } else if (type == fieldGraphicType) {
            auto& field = static_cast<FieldGraphic&>(*graphic);
            std::optional<QString> content;
            if (source && field.fieldName() != FieldGraphic::noFieldName)
                content = source->contentOfField(field.fieldName(), record);
            fillFieldGraphic(field, content, rules);
        }
    }
}

void PageViewController::addDesignViews(qint64 firstIndex)
{
    m_cells.clear();
    if (!m_templateSettings) {
        if (m_pageView)
            m_pageView->setNeedsDisplay();
        return;
    }
    const bool single = m_showingSingleTemplate;
    const qint64 printable = printableRecordCount();
    const bool startingCellMode = single && printable > 0;
    const bool envelope = m_templateSettings->isEnvelope();
    qint64 index = firstIndex;
    bool active = false;
    m_cells.reserve(std::size_t(rows() * columns()));
    for (qint64 row = 0; row < rows(); ++row) {
        for (qint64 column = 0; column < columns(); ++column) {
            const bool isStartingLabel =
                row == m_startingLabelRow && column == m_startingLabelColumn;
            active = active || isStartingLabel || m_currentPage != 0;
            const bool filled = startingCellMode
                                    ? isStartingLabel
                                    : active && index >= 0 && index < printable && !single;
            PageCell cell;
            cell.frame = cellRect(row, column);
            cell.envelope = envelope;
            // A cell without a record shows only its outline.
            cell.graphics = filled ? cellCopyOf(m_masterGraphics) : std::make_shared<GraphicList>();
            if (filled) {
                // In single-item mode the one entry is the record to show.
                fillCell(*cell.graphics, records(), m_addressBlockText,
                         m_printableRecords.at(single ? 0 : index), screenFit);
            }
            m_cells.push_back(std::move(cell));
            if (active && !single)
                ++index;
        }
    }
    if (m_pageView)
        m_pageView->setNeedsDisplay();
}

void PageViewController::setStartingLabelRow(qint64 row, qint64 column)
{
    m_startingLabelRow = row;
    m_startingLabelColumn = column;
    addDesignViews(0);
}

// ---- pages ----

quint64 PageViewController::pageCount() const
{
    if (!takesRecords(m_masterGraphics))
        return 1;
    const qint64 entries = printableRecordCount() + std::max<qint64>(m_firstLabelOffset, 0);
    if (entries <= 0)
        return 0;
    const qint64 perPage = rows() * columns();
    return quint64((entries + perPage - 1) / perPage);
}

void PageViewController::showPage(const QString& toolTip)
{
    if (m_pageView) {
        m_pageView->setCurrentPage(m_currentPage);
        m_pageView->setPageToolTip(toolTip);
    }
    addDesignViews(m_firstRecordOnPage);
}

void PageViewController::goToNextPage()
{
    if (!records())
        return;
    if (m_currentPage + 1 >= pageCount()) {
        goToFirstPage();
        return;
    }
    m_firstRecordOnPage += rows() * columns();
    if (m_currentPage == 0)
        m_firstRecordOnPage -= m_firstLabelOffset;
    ++m_currentPage;
    showPage(QString());
}

void PageViewController::goToPreviousPage()
{
    if (!records())
        return;
    if (m_currentPage == 0) {
        goToLastPage();
        return;
    }
    if (m_currentPage == 1) {
        goToFirstPage();
        return;
    }
    m_firstRecordOnPage -= rows() * columns();
    --m_currentPage;
    showPage(QString());
}

void PageViewController::goToFirstPage()
{
    if (!records())
        return;
    m_firstRecordOnPage = 0;
    m_currentPage = 0;
    showPage(firstPageToolTip());
}

void PageViewController::goToLastPage()
{
    if (!records())
        return;
    const quint64 count = pageCount();
    // The first page is also the last: its cells begin at the starting label.
    if (count <= 1) {
        goToFirstPage();
        return;
    }
    m_currentPage = count - 1;
    m_firstRecordOnPage = rows() * columns() * qint64(m_currentPage) - m_firstLabelOffset;
    showPage(QString());
}
