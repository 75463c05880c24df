#pragma once

#include "ArchivedFont.h"
#include "GraphicList.h"
#include "PageCell.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>
#include <vector>

class AddressGraphic;
class FieldGraphic;
class PageDisplay;
class PageLayoutHost;
class PageRecordSource;
class TemplateSettingsData;

// The page layout engine of one envelope or label template: lays the design out over
// the sheet's cells (rows x columns; an envelope is one cell), decides which selected
// record of the associated datafile goes into which cell, fits each record's address
// block and field contents into the cell's copy of the design, keeps apart the records
// too large to print, counts the pages and turns them. The window or sheet that shows the
// page is its host; the cells are plain objects its page view paints.
class PageViewController {
public:
    // The title before the first save, and what cells show in place of a record's contents.
    static const QString untitledName;
    static const QString addressBlockPlaceholder;
    static const QString noFieldData;
    static const QString tooLarge;
    // The alert the host shows when the design needs a datafile and has none.
    static const QString datafileRequiredMessage;
    static const QString datafileRequiredInformation;
    // The page view's tool tips on the first page of a label sheet.
    static const QString clickToPrintToolTip;
    static const QString clickToStartToolTip;

    explicit PageViewController(PageLayoutHost* host = nullptr);
    ~PageViewController();
    PageViewController(const PageViewController&) = delete;
    PageViewController& operator=(const PageViewController&) = delete;

    PageLayoutHost* host() const { return m_host; }
    void setHost(PageLayoutHost* host) { m_host = host; }
    PageDisplay* pageView() const { return m_pageView; }
    void setPageView(PageDisplay* pageView) { m_pageView = pageView; }

    // Lays everything out afresh and shows the first page. A sheet's engine never shows
    // the alert that a datafile is needed.
    void resetWithSettings(std::shared_ptr<TemplateSettingsData> settings,
                           const GraphicList& graphics, bool isSheet);
    // Rebuilds the printable and the non-printable records.
    void buildRecordArrays();
    // Rebuilds the cells of the page shown, from that entry of the printable records on.
    void addDesignViews(qint64 firstIndex);

    // How a record's text is fitted and shown: on screen, or on paper, where the block is
    // drawn 2 points narrower, an empty address counts as one empty line, a shrunk field
    // keeps 12 points of room, and nothing stands in for what does not fit.
    struct FitRules {
        float addressWidthPadding;
        bool emptyAddressFits;
        float shrunkFieldMargin;
        bool onPaper;
    };
    static constexpr FitRules screenFit{18, false, 0, false};
    static constexpr FitRules paperFit{16, true, 12, true};

    // Fits the lines of the address block into the rectangle, shrinking the font one
    // point at a time down to the minimum; on a fit the rectangle becomes the block's
    // place inside it by the placements (0 left or top, 1 centre, 2 right or bottom).
    static bool calculateAddressRectangle(QRectF& rect, const QString& addressBlock,
                                          ArchivedFont& font, float minimumPointSize,
                                          qint64 horizontalPlacement, qint64 verticalPlacement,
                                          const FitRules& rules = screenFit);
    // Fits one line of text into the rectangle's width the same way; on a fit the
    // rectangle is one line high, centred on the old one.
    static bool fieldTextFits(QRectF& rect, const QString& text, ArchivedFont& font,
                              float minimumPointSize, const FitRules& rules = screenFit);
    // A cell's copy of the address graphic shows the text fitted in its place, in its
    // alignment; text that does not fit leaves the design's placeholder on screen and
    // nothing on paper.
    static void fillAddressGraphic(AddressGraphic& graphic, const QString& text,
                                   const FitRules& rules);
    // A cell's copy of a field graphic shows the content fitted on its line; on screen a
    // missing content and one too wide say so in red, on paper they show nothing.
    static void fillFieldGraphic(FieldGraphic& graphic, const std::optional<QString>& content,
                                 const FitRules& rules);
    // Fills a cell's copy of the design with the record's address block (the text given,
    // when not null) and field contents.
    static void fillCell(GraphicList& graphics, PageRecordSource* source,
                         const QString& addressBlockText, qint64 record, const FitRules& rules);
    // Whether the design holds an address or a field graphic, which take records.
    static bool takesRecords(const GraphicList& design);
    // A copy of the design for one cell, belonging to no canvas.
    static std::shared_ptr<GraphicList> cellCopyOf(const GraphicList& design);
    // The smallest size a font may shrink to: a size below 1 counts as 8.
    static float usableMinimumPointSize(float minimumPointSize);

    // The bounds of the design's address graphic, 0 high when it has none; takes that
    // graphic's font, minimum size and placements.
    QRectF addressBlockRect();
    // A copy of the design's first address graphic; none without one.
    std::shared_ptr<AddressGraphic> addressGraphic() const;

    quint64 pageCount() const;
    // Page turning wraps around; nothing happens without the datafile's records.
    void goToNextPage();
    void goToPreviousPage();
    void goToFirstPage();
    void goToLastPage();

    // The records of the associated datafile's editor window; none (or no longer
    // available) when the datafile is not open.
    const std::shared_ptr<PageRecordSource>& editorWindowController() const
    {
        return m_editorWindowController;
    }
    void setEditorController(std::shared_ptr<PageRecordSource> records);
    bool editorWindowControllerInformed() const { return m_editorWindowControllerInformed; }
    void setEditorWindowControllerInformed(bool informed)
    {
        m_editorWindowControllerInformed = informed;
    }
    const QUrl& associatedDatafileURL() const { return m_associatedDatafileURL; }

    // The label printing starts from on the first page; the cells are laid out again.
    void setStartingLabelRow(qint64 row, qint64 column);
    qint64 startingLabelRow() const { return m_startingLabelRow; }
    qint64 startingLabelColumn() const { return m_startingLabelColumn; }
    // The cells skipped on the first page.
    qint64 firstLabelOffset() const { return m_firstLabelOffset; }
    void setFirstLabelOffset(qint64 offset) { m_firstLabelOffset = offset; }

    // Record indexes among the selected records, one entry per printed label; for a
    // design without record graphics, cell numbers.
    const QList<qint64>& printableRecords() const { return m_printableRecords; }
    void setPrintableRecords(const QList<qint64>& records) { m_printableRecords = records; }
    const QList<qint64>& nonPrintableRecords() const { return m_nonPrintableRecords; }
    void setNonPrintableRecords(const QList<qint64>& records) { m_nonPrintableRecords = records; }
    qint64 printableRecordCount() const { return m_printableRecords.size(); }
    qint64 nonPrintableRecordCount() const { return m_nonPrintableRecords.size(); }

    const std::shared_ptr<TemplateSettingsData>& templateSettings() const
    {
        return m_templateSettings;
    }
    void setTemplateSettings(std::shared_ptr<TemplateSettingsData> settings)
    {
        m_templateSettings = std::move(settings);
    }
    const GraphicList& masterGraphics() const { return m_masterGraphics; }
    void setMasterGraphics(const GraphicList& graphics) { m_masterGraphics = graphics; }

    // The address graphic's font: the system font of 13 points until one is taken.
    ArchivedFont addressBlockFont();
    void setAddressBlockFont(const ArchivedFont& font) { m_addressBlockFont = font; }
    float minimumPointSize() const { return usableMinimumPointSize(m_minimumPointSize); }
    void setMinimumPointSize(float size) { m_minimumPointSize = size; }
    qint64 horizontalAddressBlockPlacement() const { return m_horizontalPlacement; }
    void setHorizontalAddressBlockPlacement(qint64 placement) { m_horizontalPlacement = placement; }
    qint64 verticalAddressBlockPlacement() const { return m_verticalPlacement; }
    void setVerticalAddressBlockPlacement(qint64 placement) { m_verticalPlacement = placement; }

    bool scaleToFit() const { return m_scaleToFit; }
    void setScaleToFit(bool scale) { m_scaleToFit = scale; }
    // One record on one chosen label or envelope.
    bool showingSingleTemplate() const { return m_showingSingleTemplate; }
    void setShowingSingleTemplate(bool single) { m_showingSingleTemplate = single; }
    // The single item's address is the given text, not the datafile's.
    bool textInPasteboard() const { return m_textInPasteboard; }
    void setTextInPasteboard(bool inPasteboard) { m_textInPasteboard = inPasteboard; }
    const QString& addressBlockText() const { return m_addressBlockText; }
    void setAddressBlockText(const QString& text) { m_addressBlockText = text; }
    // In single-item mode, the record to print.
    qint64 currentRecord() const { return m_currentRecord; }
    void setCurrentRecord(qint64 record) { m_currentRecord = record; }
    qint64 labelCopies() const { return m_labelCopies; }
    void setLabelCopies(qint64 copies) { m_labelCopies = copies; }

    quint64 currentPage() const { return m_currentPage; }
    // The entry of the printable records in the first cell of the page shown.
    qint64 firstRecordOnPage() const { return m_firstRecordOnPage; }
    // The cells of the page shown, row by row.
    const std::vector<PageCell>& cells() const { return m_cells; }

    // The sheet's grid; an envelope is one cell, no rows or columns count as one, and no
    // sheet has more than a thousand a side.
    qint64 rows() const { return rowsOf(m_templateSettings.get()); }
    qint64 columns() const { return columnsOf(m_templateSettings.get()); }
    static qint64 rowsOf(const TemplateSettingsData* settings);
    static qint64 columnsOf(const TemplateSettingsData* settings);
    // Cell (r, c) of the sheet, in points on the paper.
    QRectF cellRect(qint64 row, qint64 column) const;
    static QRectF cellRect(const TemplateSettingsData& settings, qint64 row, qint64 column);

private:
    // The records while the datafile's window is open.
    PageRecordSource* records() const;
    bool designHasAddressGraphic() const;
    bool designHasFieldGraphic() const;
    void associateDatafile(bool isSheet);
    QString firstPageToolTip() const;
    void showPage(const QString& toolTip);

    PageLayoutHost* m_host = nullptr;
    PageDisplay* m_pageView = nullptr;
    std::shared_ptr<TemplateSettingsData> m_templateSettings;
    GraphicList m_masterGraphics;
    QList<qint64> m_printableRecords;
    QList<qint64> m_nonPrintableRecords;
    QUrl m_associatedDatafileURL;
    std::shared_ptr<PageRecordSource> m_editorWindowController;
    bool m_editorWindowControllerInformed = false;
    std::optional<ArchivedFont> m_addressBlockFont;
    float m_minimumPointSize = 0;
    qint64 m_horizontalPlacement = 0;
    qint64 m_verticalPlacement = 0;
    bool m_scaleToFit = false;
    bool m_showingSingleTemplate = false;
    bool m_textInPasteboard = false;
    QString m_addressBlockText;
    quint64 m_currentPage = 0;
    qint64 m_firstRecordOnPage = 0;
    qint64 m_startingLabelRow = 0;
    qint64 m_startingLabelColumn = 0;
    qint64 m_firstLabelOffset = 0;
    qint64 m_labelCopies = 1;
    qint64 m_currentRecord = 0;
    std::vector<PageCell> m_cells;
};
