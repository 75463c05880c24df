#include "TestPrintView.h"

#include "DesignPainting.h"
#include "PageViewController.h"
#include "TemplateSettingsData.h"

#include <QPainter>

TestPrintView::TestPrintView(const QRectF& frame) : PaperPrintView(frame)
{
}

QList<QRectF> TestPrintView::labelOutlines() const
{
    QList<QRectF> outlines;
    if (!m_templateSettings)
        return outlines;
    const TemplateSettingsData& settings = *m_templateSettings;
    const qint64 rows = PageViewController::rowsOf(&settings);
    const qint64 columns = PageViewController::columnsOf(&settings);
    for (qint64 row = 0; row < rows; ++row)
        for (qint64 column = 0; column < columns; ++column)
            outlines.append(PageViewController::cellRect(settings, row, column));
    return outlines;
}

void TestPrintView::drawPage(QPainter& painter, int)
{
    painter.fillRect(paperFrame(), Qt::white);
    // Each label outlined as a label's draft is: grey, its corners rounded by 10.
    for (const QRectF& outline : labelOutlines())
        frameLabel(painter, outline);
}
