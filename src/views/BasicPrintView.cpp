#include "BasicPrintView.h"

#include "Localization.h"
#include "StringFormat.h"

#include <QAbstractTextDocumentLayout>
#include <QDateTime>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

constexpr double HeaderFontSize = 10.0;

} // namespace

BasicPrintView::BasicPrintView(const QRectF& frame, double scalingFactor)
    : m_frame(frame), m_scalingFactor(usableScalingFactor(scalingFactor))
{
    // Built once and printed: no undo, and no layout until the pages are asked for, so
    // that adding a thousand records does not lay the text out a thousand times.
    m_textStorage.setUndoRedoEnabled(false);
    m_textStorage.setDocumentMargin(0);
    // Drawn scaled, the text is laid out in the frame as large as the scaling makes it.
    m_textStorage.setPageSize(frame.size() / m_scalingFactor);
}

double BasicPrintView::usableScalingFactor(double factor)
{
    if (!std::isfinite(factor) || factor <= 0)
        return 1.0;
    return std::clamp(factor, SmallestScalingFactor, LargestScalingFactor);
}

QAbstractTextDocumentLayout* BasicPrintView::layout()
{
    if (!m_laidOut) {
        // A new layout has measured for the screen already.
        m_textStorage.documentLayout()->setPaintDevice(pointDevice());
        m_textStorage.markContentsDirty(0, m_textStorage.characterCount());
        m_laidOut = true;
    }
    return m_textStorage.documentLayout();
}

QString BasicPrintView::headerText(const QString& printJobTitle, int pageNumber)
{
    const QString date = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    QString header = printJobTitle + QStringLiteral("\t\t") + date;
    QString footer =
        QStringLiteral("\t\t") + stringWithFormat(localized(QStringLiteral("Page %d")), pageNumber);
    header.remove(printJobTitle.size(), 1);
    footer.remove(0, 1);
    return header + footer;
}

int BasicPrintView::pageCount()
{
    layout();
    return m_textStorage.pageCount();
}

void BasicPrintView::drawPage(QPainter& painter, int index)
{
    const QSizeF page = m_textStorage.pageSize();
    painter.save();
    painter.translate(m_frame.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), m_frame.size()));
    painter.scale(m_scalingFactor, m_scalingFactor);
    painter.translate(0, -index * page.height());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(QPointF(0, index * page.height()), page);
    context.palette.setColor(QPalette::Text, Qt::black);
    layout()->draw(&painter, context);
    painter.restore();
    if (m_printHeader)
        drawPageHeader(painter, m_headerRect, m_printJobTitle, index + 1);
}

void BasicPrintView::drawPageHeader(QPainter& painter, const QRectF& rect,
                                    const QString& printJobTitle, int pageNumber)
{
    QTextDocument header;
    header.documentLayout()->setPaintDevice(pointDevice());
    header.setDocumentMargin(0);
    QFont font = QGuiApplication::font();
    font.setPointSizeF(HeaderFontSize);
    header.setDefaultFont(font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    header.setDefaultTextOption(option);
    header.setTextWidth(rect.width());
    QTextBlockFormat stops;
    stops.setTabPositions(
        {QTextOption::Tab(documentTabPosition(rect.width() / 2), QTextOption::CenterTab),
         QTextOption::Tab(documentTabPosition(rect.width()), QTextOption::RightTab)});
    QTextCursor cursor(&header);
    cursor.setBlockFormat(stops);
    cursor.insertText(headerText(printJobTitle, pageNumber));
    painter.save();
    painter.translate(rect.topLeft());
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(QPointF(0, 0), rect.size());
    context.palette.setColor(QPalette::Text, Qt::black);
    header.documentLayout()->draw(&painter, context);
    painter.restore();
}
