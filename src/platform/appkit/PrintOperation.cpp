#include "PrintOperation.h"

#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>

namespace {

constexpr double PointsPerInch = 72.0;

// The platform's names of the usual papers; others keep Qt's.
struct PaperName {
    QPageSize::PageSizeId id;
    const char* name;
};
constexpr PaperName paperNames[] = {
    {QPageSize::Letter, "na-letter"}, {QPageSize::Legal, "na-legal"},
    {QPageSize::A3, "iso-a3"},        {QPageSize::A4, "iso-a4"},
    {QPageSize::A5, "iso-a5"},        {QPageSize::B5, "iso-b5"},
};

QString paperNameOf(const QPageSize& size)
{
    for (const PaperName& paper : paperNames)
        if (paper.id == size.id())
            return QString::fromLatin1(paper.name);
    return size.key();
}

} // namespace

PrintSession::PrintSession() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_printer->setFullPage(true);
    // A painter resolves its fonts for its device: at 72 dots per inch a device pixel is a
    // point, so text laid out on pointDevice() prints at its size. Both the PDF and the
    // CUPS engine draw vectors, so nothing is lost.
    m_printer->setResolution(int(PointsPerInch));
}

PrintSession::~PrintSession()
{
    finish();
}

void PrintSession::setOutputFile(const QString& path)
{
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_printer->setOutputFileName(path);
}

QString PrintSession::outputFile() const
{
    return m_printer->outputFileName();
}

void PrintSession::applyPaper(QPrinter& printer, const PrintInfo& printInfo)
{
    const QSizeF paper = printInfo.paperSize();
    const QSizeF portrait(std::min(paper.width(), paper.height()),
                          std::max(paper.width(), paper.height()));
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(portrait, QPageSize::Point));
    printer.setPageOrientation(printInfo.orientation() == PrintInfo::Orientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
}

void PrintSession::setPaper(const PrintInfo& printInfo)
{
    applyPaper(*m_printer, printInfo);
}

void PrintSession::drawPage(QPrinter& printer, QPainter& painter, PrintableView& view, int index)
{
    painter.save();
    const double scale = printer.resolution() / PointsPerInch;
    painter.scale(scale, scale);
    view.drawPage(painter, index);
    painter.restore();
}

PrintSession::Outcome PrintSession::print(PrintableView& view, const PrintInfo& printInfo)
{
    QPrinter& printer = *m_printer;
    const bool toFile = !printer.outputFileName().isEmpty();
    std::optional<PrintableView::PageRange> chosen;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
        chosen = PrintableView::PageRange{printer.fromPage(), printer.toPage()};
    const std::optional<PrintableView::PageRange> range = view.pagesToPrint(chosen);
    if (!range)
        return Outcome::Refused;
    if (m_painter) {
        // The next job in the same file starts on a page of its own.
        applyPaper(printer, printInfo);
        if (!printer.newPage())
            return Outcome::Unwritable;
    } else {
        applyPaper(printer, printInfo);
        printer.setDocName(view.printJobTitle());
        m_painter = std::make_unique<QPainter>();
        if (!m_painter->begin(&printer)) {
            m_painter.reset();
            return Outcome::Unwritable;
        }
    }
    for (int page = range->first; page <= range->last; ++page) {
        if (page > range->first && !printer.newPage())
            return Outcome::Unwritable;
        drawPage(printer, *m_painter, view, page - 1);
    }
    if (!toFile)
        finish();
    return Outcome::Printed;
}

void PrintSession::finish()
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void PrintSession::drawPages(QPrinter& printer, PrintableView& view)
{
    QPainter painter(&printer);
    const std::optional<PrintableView::PageRange> pages = view.pagesToPrint(std::nullopt);
    for (int page = pages ? pages->first : 1; pages && page <= pages->last; ++page) {
        if (page > pages->first)
            printer.newPage();
        drawPage(printer, painter, view, page - 1);
    }
}

QRectF PrintSession::imageablePageBounds(const PrintInfo& printInfo, const QString& printerName)
{
    const QSizeF paper = printInfo.paperSize();
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (printerName.isEmpty() || info.isNull())
        return QRectF(QPointF(0, 0), paper);
    QPrinter printer(info, QPrinter::HighResolution);
    applyPaper(printer, printInfo);
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(QPageLayout::Point);
    const QMarginsF border = layout.minimumMargins();
    return QRectF(border.left(), border.bottom(), paper.width() - border.left() - border.right(),
                  paper.height() - border.top() - border.bottom());
}

PrintInfo PrintSession::withPaperOf(const PrintInfo& printInfo, const QPrinter& printer)
{
    PrintInfo changed = printInfo;
    const QPageLayout layout = printer.pageLayout();
    const bool landscape = layout.orientation() == QPageLayout::Landscape;
    const QSizeF portrait = layout.pageSize().size(QPageSize::Point);
    const QString name = paperNameOf(layout.pageSize());
    // A paper the settings already have keeps its stored name and size.
    const QSizeF current = printInfo.paperSize();
    const QSizeF currentPortrait(std::min(current.width(), current.height()),
                                 std::max(current.width(), current.height()));
    if (qAbs(currentPortrait.width() - portrait.width()) > 0.5 ||
        qAbs(currentPortrait.height() - portrait.height()) > 0.5) {
        changed.setPaperName(name);
    }
    const QSizeF oriented = landscape ? portrait.transposed() : portrait;
    if (qAbs(current.width() - oriented.width()) > 0.5 ||
        qAbs(current.height() - oriented.height()) > 0.5)
        changed.setPaperSize(oriented);
    changed.setOrientation(landscape ? PrintInfo::Orientation::Landscape
                                     : PrintInfo::Orientation::Portrait);
    return changed;
}

PrintOperationResult printInSession(const PrintOperationRequest& request, PrintSession& session)
{
    PrintOperationResult result;
    const PrintSession::Outcome outcome = session.print(*request.view, request.printInfo);
    result.success = outcome == PrintSession::Outcome::Printed;
    if (outcome == PrintSession::Outcome::Unwritable)
        result.unwritableFile = session.outputFile();
    if (!request.session)
        session.finish();
    return result;
}

void reportUnwritablePrintFile(const PrintOperationResult& result, QWidget* window)
{
    if (result.unwritableFile.isEmpty())
        return;
    AlertRequest alert;
    alert.messageText = stringWithFormat(
        localized(QStringLiteral("The file “%@” could not be written.")), result.unwritableFile);
    alert.informativeText = localized(
        QStringLiteral("Check that its folder exists and that you may write in it, then print again."));
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}
