#pragma once

// What a template document asks of its page window: the window controller answers; tests
// answer with a stand-in.
class TemplateWindow {
public:
    virtual ~TemplateWindow() = default;

    // Lays the template out and shows its window.
    virtual void prepare() = 0;
    // Lays the template out again from the document's settings and design.
    virtual void resetPageLayout() = 0;
};
