#pragma once

#include "PageLayoutHost.h"
#include "TemplatePrintHost.h"
#include "VKSheetController.h"

#include <functional>
#include <memory>

class DatafileSettingsData;
class PageView;
class PageViewController;
class PopUpButton;
class QAction;
class QMenu;
class QScrollArea;
class TemplateDocument;
class TemplateSettingsData;

// Print Single Envelope or Label: one envelope or label for the datafile window's current
// record, or, with Alt held as the command is given, for the clipboard's text. The sheet
// offers the templates of the application's Templates menu in one list, previews the
// item laid out by its own page layout engine on the chosen template (opened without a
// window, only to print), and prints it; closing it, the datafile remembers the template.
class SinglePageSheetController : public VKSheetController,
                                  public PageLayoutHost,
                                  public TemplatePrintHost {
    Q_OBJECT

public:
    // The application's Templates menu, and how many fixed commands it begins with.
    using TemplatesMenu = std::function<const QMenu*()>;
    static void setTemplatesMenu(TemplatesMenu menu, int fixedItemCount);

    SinglePageSheetController();
    ~SinglePageSheetController() override;

    // Reads Alt and the clipboard, then shows the sheet on the datafile's window.
    void beginSheetWithSettings(std::shared_ptr<DatafileSettingsData> settings,
                                QWidget* window, std::shared_ptr<PageRecordSource> editor);
    bool prepare() override;
    // The pop-up filled afresh from the Templates menu, the datafile's template chosen.
    void setUpTemplatesPopup();
    // Every template item of the menu from that index on, folders flattened in menu order.
    void processTemplatesMenu(const QMenu* menu, int startingFromIndex);
    // A template chosen in the pop-up: opened, the sheet sized to its paper, laid out.
    void selectTemplate(QAction* item);
    // The pop-up's template opened and laid out again, the sheet as it is.
    void hit(QObject* sender = nullptr);
    void printSingle();
    void printCurrentRecord();
    // The datafile remembers the template, then the sheet closes.
    void cancel(QObject* sender = nullptr) override;
    QString titleForAction(const QString& selector) const override;

    const std::shared_ptr<DatafileSettingsData>& settings() const { return m_settings; }
    void setSettings(std::shared_ptr<DatafileSettingsData> settings)
    {
        m_settings = std::move(settings);
    }
    TemplateDocument* templateDocument() const { return m_templateDocument.get(); }
    std::shared_ptr<TemplateSettingsData> templateSettings() const;
    const QString& defaultTemplateName() const { return m_defaultTemplateName; }
    const QString& templatePath() const { return m_templatePath; }
    const QString& templateFileType() const { return m_templateFileType; }
    bool optionKeyDown() const { return m_optionKeyDown; }
    PopUpButton* templatesPopUp() const { return m_templatesPopUp; }
    QPushButton* printerButton() const { return m_printerButton; }
    PageView* pageView() const { return m_pageView; }

    // TemplatePrintHost
    PageViewController& pageViewController() const override { return *m_pageViewController; }
    QWidget* printWindow() override { return window(); }

    // PageLayoutHost: the datafile is the window's own, already open.
    std::shared_ptr<PageRecordSource> openDatafile(const QString& path) override;
    QString templateDisplayName() const override;
    void setWindowTitle(const QString&) override {}
    void showDatafileRequiredAlert() override {}
    bool isSinglePageSheet() const override { return true; }
    // The sheet has no status bar.
    void reloadStatusBar() override {}

protected:
    QString nibName() const override { return QStringLiteral("SinglePageSheet"); }
    void buildInterface(QDialog* window) override;
    bool maintainButtons() override;

private:
    // The template of the pop-up's selected item, opened for printing.
    void openSelectedTemplate();
    void resetPageLayout();
    void sizeToPaper();
    void alertNoPrintableText();

    std::shared_ptr<DatafileSettingsData> m_settings;
    std::shared_ptr<PageRecordSource> m_editorWindowController;
    bool m_optionKeyDown = false;
    QString m_templatePath;
    QString m_defaultTemplateName;
    QString m_templateFileType;
    std::unique_ptr<TemplateDocument> m_templateDocument;
    std::unique_ptr<PageViewController> m_pageViewController;
    PopUpButton* m_templatesPopUp = nullptr;
    QScrollArea* m_previewScrollView = nullptr;
    PageView* m_pageView = nullptr;
    QPushButton* m_printerButton = nullptr;
};
