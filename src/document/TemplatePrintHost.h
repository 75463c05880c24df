#pragma once

class PageViewController;
class QWidget;

// What prints a template: the page window, or the single envelope or label sheet for a
// template opened only to print one item. Its engine lays the pages out; its window
// holds the print panel.
class TemplatePrintHost {
public:
    virtual ~TemplatePrintHost() = default;

    virtual PageViewController& pageViewController() const = 0;
    virtual QWidget* printWindow() = 0;
};
