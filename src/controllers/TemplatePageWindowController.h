#pragma once

#include "PageLayoutHost.h"
#include "TemplatePrintHost.h"
#include "TemplateWindow.h"
#include "WindowController.h"

#include <functional>
#include <memory>

class NonPrintableRecordsEditor;
class PageView;
class PageViewController;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QScrollArea;
class TemplateDocument;

// The window of one open envelope or label template: its page, laid out over the selected
// records of the datafile it is associated with. It hosts the page layout: it opens the
// datafile for it, names the window after the template and the datafile, and tells the
// user when the design needs a datafile. It turns the pages, counts them and the records
// in its status bar, and offers to edit the records too large for the template.
class TemplatePageWindowController : public WindowController,
                                     public TemplateWindow,
                                     public PageLayoutHost,
                                     public TemplatePrintHost {
    Q_OBJECT

public:
    using InstallMenus = std::function<void(QMenuBar* menuBar)>;
    explicit TemplatePageWindowController(InstallMenus installMenus = {});
    ~TemplatePageWindowController() override;

    TemplateDocument* templateDocument() const;
    // The page layout engine and the view of its page.
    PageViewController& pageViewController() const override { return *m_pageViewController; }
    QWidget* printWindow() override { return window(); }
    PageView* pageView() const { return m_pageView; }

    void prepare() override;
    void resetPageLayout() override;

    std::shared_ptr<PageRecordSource> openDatafile(const QString& path) override;
    QString templateDisplayName() const override;
    void setWindowTitle(const QString& title) override;
    void showDatafileRequiredAlert() override;
    bool isSinglePageSheet() const override { return false; }
    void reloadStatusBar() override;
    // The status bar: the page shown of how many, the records laid out of how many.
    QPushButton* recordNumberButton() const { return m_recordNumberButton; }
    QPushButton* selectionButton() const { return m_selectionButton; }

    // The alert on the records that do not fit, when there are any.
    void handleNonPrintableRecords();
    // Lays the template out again over the datafile's records as they are now.
    void testNonPrintableRecords();
    bool editingNonPrintableRecords() const { return m_editingNonPrintableRecords; }
    // Whether the document has changes to save.
    bool templateChanged() const;
    void setTemplateChanged();

    bool validateAction(const QString& selector) const override;
    // The shared record items read as page items here.
    QString titleForAction(const QString& selector) const override;

    QString windowTitleForDocumentDisplayName(const QString& displayName) const override;
    void windowWillClose() override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;

private:
    void registerActions();
    NonPrintableRecordsEditor* nonPrintableRecordsEditor() const;
    void showAlert(const QString& message, const QString& information);

    InstallMenus m_installMenus;
    QMainWindow* m_mainWindow = nullptr;
    QScrollArea* m_pageArea = nullptr;
    PageView* m_pageView = nullptr;
    QPushButton* m_recordNumberButton = nullptr;
    QPushButton* m_selectionButton = nullptr;
    std::unique_ptr<PageViewController> m_pageViewController;
    bool m_editingNonPrintableRecords = false;
    // The title the layout gave, and the template's name it began with.
    QString m_pageTitle;
    QString m_pageTitleName;
};
