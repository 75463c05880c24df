#pragma once

#include "PrintOperation.h"

#include <QAbstractTextDocumentLayout>
#include <QRectF>
#include <QString>
#include <QTextDocument>

// The text of a record print: laid out in pages of the frame's size and drawn page by
// page at the frame's place on the paper, then the one-line page header: the job's
// title at the left, the date in the middle and the page number at the right. A page
// scaling shrinks or enlarges the text, which still fills the frame; the header keeps
// its size.
class BasicPrintView : public PrintableView {
public:
    // The frame in points from the paper's top left corner; the scaling of the print
    // settings (1 is the text's own size).
    explicit BasicPrintView(const QRectF& frame, double scalingFactor = 1.0);

    // The scaling a print applies: a stored factor that is no number, not above zero or
    // beyond what leaves a readable page is taken as the nearest one that does.
    static double usableScalingFactor(double factor);
    static constexpr double SmallestScalingFactor = 0.01;
    static constexpr double LargestScalingFactor = 10.0;

    // The text printed; laid out in points once the pages are asked for.
    QTextDocument& textStorage() { return m_textStorage; }
    QRectF frame() const { return m_frame; }
    double scalingFactor() const { return m_scalingFactor; }

    bool printHeader() const { return m_printHeader; }
    void setPrintHeader(bool printHeader) { m_printHeader = printHeader; }
    QString printJobTitle() const override { return m_printJobTitle; }
    void setPrintJobTitle(const QString& title) { m_printJobTitle = title; }
    QRectF headerRect() const { return m_headerRect; }
    void setHeaderRect(const QRectF& rect) { m_headerRect = rect; }

    // The default page header ("<title>\t\t<date>") and footer ("\t\tPage <n>") made one
    // line: the tab after the title and the footer's first one go.
    QString headerText(int pageNumber) const { return headerText(m_printJobTitle, pageNumber); }
    static QString headerText(const QString& printJobTitle, int pageNumber);
    // That line in the rectangle: the title at the left, the date in the middle and the
    // page number at the right.
    static void drawPageHeader(QPainter& painter, const QRectF& rect, const QString& printJobTitle,
                               int pageNumber);

    int pageCount() override;
    void drawPage(QPainter& painter, int index) override;

private:
    QAbstractTextDocumentLayout* layout();

    QTextDocument m_textStorage;
    QRectF m_frame;
    double m_scalingFactor;
    bool m_laidOut = false;
    bool m_printHeader = false;
    QString m_printJobTitle;
    QRectF m_headerRect;
};
