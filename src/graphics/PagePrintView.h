#pragma once

#include "GraphicList.h"
#include "PageCell.h"
#include "PaperPrintView.h"

#include <QList>
#include <QRectF>

#include <memory>
#include <vector>

class PageRecordSource;
class PageViewController;
class TemplateSettingsData;

// A template's pages as they print: each page's filled cells from the page layout
// engine's printable records, on white paper, with the records' texts fitted by the
// paper's rules. What the engine holds is taken when the view is handed it, so a page
// window that changes meanwhile changes no print under way.
class PagePrintView : public PaperPrintView {
public:
    explicit PagePrintView(const QRectF& frame);

    quint64 firstLabelOffset() const { return m_firstLabelOffset; }
    void setFirstLabelOffset(quint64 offset) { m_firstLabelOffset = offset; }
    void setPageViewController(const PageViewController& controller,
                               std::shared_ptr<TemplateSettingsData> settings,
                               const GraphicList& masterGraphics);

    // PrintableView: the engine's pages, or page 1 alone for a single item.
    int pageCount() override;
    std::optional<PageRange> fixedPageRange() const override;
    void drawPage(QPainter& painter, int index) override;

    // Builds the cells of page p (from 1) and answers the paper.
    QRectF rectForPage(quint64 page);
    // The filled cells of the page built last; cells without a record have none.
    const std::vector<PageCell>& cells() const { return m_cells; }
    quint64 currentPage() const { return m_currentPage; }
    // The entry of the printable records in the first cell of the page built last.
    qint64 firstRecordOnPage() const { return m_firstRecordOnPage; }

private:
    void addDesignViews();
    // The records while the datafile's window is open.
    PageRecordSource* records() const;

    quint64 m_totalPages = 0;
    quint64 m_currentPage = 1;
    quint64 m_firstLabelOffset = 0;
    qint64 m_firstRecordOnPage = 0;
    std::shared_ptr<PageRecordSource> m_editorWindowController;
    std::shared_ptr<TemplateSettingsData> m_templateSettings;
    GraphicList m_masterGraphics;
    QList<qint64> m_printableRecords;
    bool m_showingSingleTemplate = false;
    qint64 m_startingLabelRow = 0;
    qint64 m_startingLabelColumn = 0;
    QString m_addressBlockText;
    std::vector<PageCell> m_cells;
};
