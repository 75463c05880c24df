#pragma once

#include "PrintInfo.h"
#include "PrintableView.h"

#include <QRectF>
#include <QString>

#include <memory>
#include <optional>

class QPageSize;
class QPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

// The printer a run of print jobs goes to: chosen in the first job's print panel and
// kept for the jobs that follow. To a PDF file the jobs make one document, each starting
// a new page (a file each would overwrite the last); to a printer each is a job of its own.
class PrintSession {
public:
    PrintSession();
    ~PrintSession();
    PrintSession(const PrintSession&) = delete;
    PrintSession& operator=(const PrintSession&) = delete;

    QPrinter& printer() { return *m_printer; }
    // Whether a print panel chose where the jobs go.
    bool destinationChosen() const { return m_destinationChosen; }
    void setDestinationChosen() { m_destinationChosen = true; }
    // Sends the jobs to a PDF file.
    void setOutputFile(const QString& path);
    QString outputFile() const;

    // The paper and orientation of the print settings, on the printer.
    void setPaper(const PrintInfo& printInfo);
    enum class Outcome { Printed, Refused, Unwritable };
    // The view's pages in the chosen page range; refused for a reversed range, unwritable
    // when the printer cannot be drawn on (a file that cannot be written).
    Outcome print(PrintableView& view, const PrintInfo& printInfo);
    // Ends the file the jobs went into.
    void finish();

    // Draws the view's pages on a printer that is not in use (the preview's).
    static void drawPages(QPrinter& printer, PrintableView& view);
    // The part of the paper the printer can mark, in points from the paper's lower left
    // corner, as the platform measures it. No printer (a PDF file): the whole paper.
    static QRectF imageablePageBounds(const PrintInfo& printInfo, const QString& printerName);
    // The paper the printer has, in the print settings (unchanged fields keep their bytes).
    static PrintInfo withPaperOf(const PrintInfo& printInfo, const QPrinter& printer);

private:
    static void applyPaper(QPrinter& printer, const PrintInfo& printInfo);
    static void drawPage(QPrinter& printer, QPainter& painter, PrintableView& view, int index);

    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<QPainter> m_painter; // open while a run into a file lasts
    bool m_destinationChosen = false;
};

// One print job as the application asks for it.
struct PrintOperationRequest {
    PrintInfo printInfo;
    std::shared_ptr<PrintableView> view;
    bool showsPrintPanel = true;
    // Jobs that share one print panel's choice; none: a session of the job's own.
    std::shared_ptr<PrintSession> session;
};

struct PrintOperationResult {
    bool success = false;
    // The file that could not be written; empty when the job printed or was cancelled.
    QString unwritableFile;
};

// Prints the request's view in the session (the request's own, ended at once, when the
// request has none), as a presenter does once the print panel is accepted or skipped.
PrintOperationResult printInSession(const PrintOperationRequest& request, PrintSession& session);

// Tells the user, in a sheet on the window, when a job's file could not be written.
void reportUnwritablePrintFile(const PrintOperationResult& result, QWidget* window);
