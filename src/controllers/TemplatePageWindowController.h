#pragma once

#include "PageLayoutHost.h"
#include "TemplatePrintHost.h"
#include "TemplateWindow.h"
#include "WindowController.h"

#include <functional>
#include <memory>

class NonPrintableRecordsEditor;
class PageView;
class QAction;
class TemplatePageSheetController;
class TemplatePageToolbarController;
class PageViewController;
class QMainWindow;
class QMenuBar;
class QPushButton;
class QScrollArea;
class TemplateDesignSheetController;
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

    // The label-copies sheet; on OK the copies go to the template and the layout.
    void editLabelCopies();
    // The page-layout sheet on a copy of the settings; from the application's delegate
    // (right after a new template was made) Page Setup opens at once.
    void editPageLayout(QObject* sender = nullptr);
    // The associate-datafile sheet, then the page layout.
    void associateDatafile();
    // The datafile of the menu item becomes the template's.
    void selectDatafile(QAction* item);
    // The template no longer takes records from a datafile.
    void disassociateDatafile();
    // The datafile last chosen from the menu, and its name without extension.
    const QString& datafilePath() const { return m_datafilePath; }
    const QString& datafileShortName() const { return m_datafileShortName; }

    TemplatePageToolbarController* templatePageToolbarController() const
    {
        return m_templatePageToolbarController.get();
    }
    // The window came to the front: the datafile menu afresh, and while the records that
    // do not fit are edited, the datafile's window in front instead.
    void windowDidBecomeMain();
    void windowDidBecomeKey();
    void windowDidResignKey();
    // The program's one Edit Design sheet: whether one is open, and its setter.
    struct DesignWindowFlag {
        std::function<bool()> isOpen;
        std::function<void(bool open)> setOpen;
    };
    void setDesignWindowFlag(DesignWindowFlag flag) { m_designWindowFlag = std::move(flag); }
    // Edit Design: the design sheet over this window, unless another template has one.
    void editDesignLayout();
    void designSheetDidEnd(TemplateDesignSheetController& sheet, int returnCode);

    bool validateAction(const QString& selector) const override;
    // The shared record items read as page items here.
    QString titleForAction(const QString& selector) const override;

    QString windowTitleForDocumentDisplayName(const QString& displayName) const override;
    void windowWillClose() override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void registerActions();
    void registerDesignActions();
    bool designWindowOpen() const;
    void setDesignWindowOpen(bool open);
    NonPrintableRecordsEditor* nonPrintableRecordsEditor() const;
    void showAlert(const QString& message, const QString& information);
    void templateReverted();
    // The datafile's window no longer counts this template, and the layout has no records.
    void releaseDatafile();
    void pageSheetDidEnd(TemplatePageSheetController& sheet);
    // The window just large enough for the paper in its scroll area, its top left corner
    // kept.
    void sizeWindowToPaper();

    InstallMenus m_installMenus;
    DesignWindowFlag m_designWindowFlag;
    QMainWindow* m_mainWindow = nullptr;
    QScrollArea* m_pageArea = nullptr;
    PageView* m_pageView = nullptr;
    QPushButton* m_recordNumberButton = nullptr;
    QPushButton* m_selectionButton = nullptr;
    std::unique_ptr<PageViewController> m_pageViewController;
    std::unique_ptr<TemplatePageToolbarController> m_templatePageToolbarController;
    bool m_editingNonPrintableRecords = false;
    bool m_handingOverActivation = false;
    QString m_datafilePath;
    QString m_datafileShortName;
    // The size of one label or envelope before the page-layout sheet opened.
    float m_originalLabelWidth = 0;
    float m_originalLabelHeight = 0;
    // The title the layout gave, and the template's name it began with.
    QString m_pageTitle;
    QString m_pageTitleName;
};
