#pragma once

#include <QString>

#include <optional>

class QPaintDevice;
class QPainter;

// What a print job draws: content laid out in pages of the paper, drawn one by one.
class PrintableView {
public:
    virtual ~PrintableView() = default;

    // The job's name in the printer's queue and in the page header.
    virtual QString printJobTitle() const = 0;
    // Lays the content out and answers its number of pages.
    virtual int pageCount() = 0;
    // Draws page `index` (from 0) with its border; the painter measures in points from
    // the paper's top left corner.
    virtual void drawPage(QPainter& painter, int index) = 0;

    // The pages of a job, from 1: every page, or the range chosen cut to the page count.
    // None for a reversed range, which is refused.
    struct PageRange {
        int first = 1;
        int last = 0;
        bool operator==(const PageRange&) const = default;
    };
    static std::optional<PageRange> pageRange(int pageCount, std::optional<PageRange> chosen);
    // The pages a view prints whatever range the panel chose; none: the range chosen.
    virtual std::optional<PageRange> fixedPageRange() const { return std::nullopt; }
    // What the job prints: the fixed range, or the range chosen cut to the page count.
    std::optional<PageRange> pagesToPrint(std::optional<PageRange> chosen);

    // A device of 72 dots per inch: text laid out or measured on it measures in points.
    static QPaintDevice* pointDevice();
    // A text document on that device still takes tab positions in the screen's pixels
    // and scales them to the device: a tab stop in points, as the document takes it.
    static double documentTabPosition(double points);
};

