#include "PagePrintView.h"

#include "PageRecordSource.h"
#include "PageViewController.h"
#include "TemplateSettingsData.h"

#include <QPainter>

#include <algorithm>
#include <limits>

PagePrintView::PagePrintView(const QRectF& frame) : PaperPrintView(frame)
{
}

void PagePrintView::setPageViewController(const PageViewController& controller,
                                          std::shared_ptr<TemplateSettingsData> settings,
                                          const GraphicList& masterGraphics)
{
    m_printableRecords = controller.printableRecords();
    m_editorWindowController = controller.editorWindowController();
    m_showingSingleTemplate = controller.showingSingleTemplate();
    m_startingLabelRow = controller.startingLabelRow();
    m_startingLabelColumn = controller.startingLabelColumn();
    m_addressBlockText = controller.addressBlockText();
    m_totalPages = controller.pageCount();
    m_templateSettings = std::move(settings);
    m_masterGraphics = masterGraphics;
}

PageRecordSource* PagePrintView::records() const
{
    return m_editorWindowController && m_editorWindowController->isAvailable()
               ? m_editorWindowController.get()
               : nullptr;
}

int PagePrintView::pageCount()
{
    if (m_showingSingleTemplate)
        return 1;
    return int(std::min<quint64>(m_totalPages, std::numeric_limits<int>::max()));
}

std::optional<PrintableView::PageRange> PagePrintView::fixedPageRange() const
{
    // One item is one page, whatever the panel asked for.
    if (m_showingSingleTemplate)
        return PageRange{1, 1};
    return std::nullopt;
}

QRectF PagePrintView::rectForPage(quint64 page)
{
    m_currentPage = page;
    addDesignViews();
    return paperFrame();
}

void PagePrintView::drawPage(QPainter& painter, int index)
{
    const QRectF paper = rectForPage(quint64(index) + 1);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.fillRect(paper, Qt::white);
    for (const PageCell& cell : m_cells)
        cell.paint(painter);
    painter.restore();
}

void PagePrintView::addDesignViews()
{
    m_cells.clear();
    if (!m_templateSettings)
        return;
    const TemplateSettingsData& settings = *m_templateSettings;
    const qint64 rows = PageViewController::rowsOf(&settings);
    const qint64 columns = PageViewController::columnsOf(&settings);
    const quint64 page = std::max<quint64>(m_currentPage, 1);
    const qint64 printable = m_printableRecords.size();
    qint64 index = 0;
    if (!m_showingSingleTemplate) {
        index = rows * columns * qint64(page - 1);
        if (page > 1)
            index -= qint64(m_firstLabelOffset);
    }
    m_firstRecordOnPage = index;
    // A design of text and shapes alone prints in every cell from the starting label.
    const bool recordDesign = PageViewController::takesRecords(m_masterGraphics);
    bool active = false;
    for (qint64 row = 0; row < rows; ++row) {
        for (qint64 column = 0; column < columns; ++column) {
            const bool isStartingLabel =
                row == m_startingLabelRow && column == m_startingLabelColumn;
            active = active || isStartingLabel || page >= 2;
            const bool filled = m_showingSingleTemplate
                                    ? printable > 0 && isStartingLabel
                                    : active && index >= 0 && index < printable;
            // A cell without a record stays bare paper.
            if (!filled)
                continue;
            PageCell cell;
            cell.frame = PageViewController::cellRect(settings, row, column);
            cell.draft = false;
            cell.envelope = settings.isEnvelope();
            cell.graphics = PageViewController::cellCopyOf(m_masterGraphics);
            PageViewController::fillCell(*cell.graphics, records(), m_addressBlockText,
                                         m_printableRecords.at(m_showingSingleTemplate ? 0 : index),
                                         PageViewController::paperFit);
            m_cells.push_back(std::move(cell));
            if (!m_showingSingleTemplate && recordDesign && ++index >= printable)
                return;
        }
    }
}
