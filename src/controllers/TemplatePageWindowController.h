#pragma once

#include "PageLayoutHost.h"
#include "TemplateWindow.h"
#include "WindowController.h"

#include <functional>
#include <memory>

class PageView;
class PageViewController;
class QMainWindow;
class QMenuBar;
class QScrollArea;
class TemplateDocument;

// The window of one open envelope or label template: its page, laid out over the selected
// records of the datafile it is associated with. It hosts the page layout: it opens the
// datafile for it, names the window after the template and the datafile, and tells the
// user when the design needs a datafile.
class TemplatePageWindowController : public WindowController,
                                     public TemplateWindow,
                                     public PageLayoutHost {
    Q_OBJECT

public:
    using InstallMenus = std::function<void(QMenuBar* menuBar)>;
    explicit TemplatePageWindowController(InstallMenus installMenus = {});
    ~TemplatePageWindowController() override;

    TemplateDocument* templateDocument() const;
    // The page layout engine and the view of its page.
    PageViewController& pageViewController() const { return *m_pageViewController; }
    PageView* pageView() const { return m_pageView; }

    void prepare() override;
    void resetPageLayout() override;

    std::shared_ptr<PageRecordSource> openDatafile(const QString& path) override;
    QString templateDisplayName() const override;
    void setWindowTitle(const QString& title) override;
    void showDatafileRequiredAlert() override;
    bool isSinglePageSheet() const override { return false; }
    void reloadStatusBar() override {}

    QString windowTitleForDocumentDisplayName(const QString& displayName) const override;
    void windowWillClose() override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;

private:
    InstallMenus m_installMenus;
    QMainWindow* m_mainWindow = nullptr;
    QScrollArea* m_pageArea = nullptr;
    PageView* m_pageView = nullptr;
    std::unique_ptr<PageViewController> m_pageViewController;
    // The title the layout gave, and the template's name it began with.
    QString m_pageTitle;
    QString m_pageTitleName;
};
