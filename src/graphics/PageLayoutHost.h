#pragma once

#include <QString>

#include <memory>

class PageRecordSource;

// What the page layout engine asks of the window or sheet that shows its page: the
// engine itself opens no datafile and shows no window.
class PageLayoutHost {
public:
    virtual ~PageLayoutHost() = default;

    // Opens the datafile at the path, displayed, and answers its records; none when it
    // cannot be opened.
    virtual std::shared_ptr<PageRecordSource> openDatafile(const QString& path) = 0;
    // The template's file name, or "Untitled" before its first save.
    virtual QString templateDisplayName() const = 0;
    virtual void setWindowTitle(const QString& title) = 0;
    // The alert that the design needs a datafile, as a sheet on the host's window;
    // nothing waits for it.
    virtual void showDatafileRequiredAlert() = 0;
    // Whether the host is the single envelope or label sheet.
    virtual bool isSinglePageSheet() const = 0;
    virtual void reloadStatusBar() = 0;
};
