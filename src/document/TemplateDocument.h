#pragma once

#include "Document.h"
#include "GraphicList.h"
#include "TemplateSettingsData.h"

#include <functional>
#include <memory>

class PrintableView;
class TemplatePrintHost;
class TemplateWindow;
class WindowController;

// One open envelope or label template: its page settings and its design (graphics front
// to back), read from and written to the template file. Its own edited flag is the only
// edited state. Besides the ordinary opening, a template can be opened without a window,
// only to print one item.
class TemplateDocument : public Document {
    Q_OBJECT

public:
    static inline const QString LabelType = QStringLiteral("Norva Label");
    static inline const QString EnvelopeType = QStringLiteral("Norva Envelope");
    static inline const QString LabelExtension = QStringLiteral("zlabel");
    static inline const QString EnvelopeExtension = QStringLiteral("zenv");
    static inline const QString RevertedTemplateWindow = QStringLiteral("RevertedTemplateWindow");

    // Makes the page window of a document.
    using PageWindowFactory = std::function<std::unique_ptr<WindowController>(TemplateDocument&)>;
    static void setPageWindowFactory(PageWindowFactory factory);
    // Called a moment after every write (the Templates menu is rebuilt).
    static void setDidWriteHook(std::function<void()> hook);

    // A template read from the file ("~" expanded) only to be printed by the controller,
    // which prints it in place of a page window; no window is made. A file that cannot
    // be read leaves the template empty: the caller checks the design.
    static std::unique_ptr<TemplateDocument>
    templateForPrintingWithFile(const QString& path, const QString& type,
                                TemplatePrintHost* controller);
    // The document of the kind the type names, empty.
    static std::unique_ptr<TemplateDocument> makeOfType(const QString& type);

    TemplateDocument();
    ~TemplateDocument() override;

    bool readFromURL(const QUrl& url, const QString& type) override;
    bool writeToURL(const QUrl& url, const QString& type) override;
    void makeWindowControllers() override;
    bool prepareSavePanel(SavePanelRequest& request) override;
    bool revertToContentsOfURL(const QUrl& url, const QString& type) override;
    bool validateAction(const QString& selector) const override;

    // Page Setup on the template's print settings, as a sheet on its window.
    void runPageLayout();
    // The pages laid out afresh over the selected records, from the starting label, to a
    // printer or a PDF file, the print panel on the print host's window.
    void printDocument();
    // The outline of every label of the sheet on one page.
    void printTestSheet();
    // The page window, or the controller the template was opened to print for.
    TemplatePrintHost* printHost() const;

    PlistArray masterGraphicsAsArrayOfDictionaries() const;
    // One graphic per dictionary, in order; an entry that names no graphic is left out.
    void setMasterGraphicsFromArrayOfDictionaries(const PlistArray& dictionaries);
    // Sets the document's edited flag and its window's mark.
    void setTemplateDocumentEdited(bool edited);

    const std::shared_ptr<TemplateSettingsData>& templateSettings() const
    {
        return m_templateSettings;
    }
    void setTemplateSettings(std::shared_ptr<TemplateSettingsData> settings);
    const GraphicList& masterGraphics() const { return m_masterGraphics; }
    void setMasterGraphics(GraphicList graphics) { m_masterGraphics = std::move(graphics); }
    bool printingSingleItem() const { return m_printingSingleItem; }
    void setPrintingSingleItem(bool single) { m_printingSingleItem = single; }

    // The page window; nullptr before it is made, or for a template opened for printing.
    TemplateWindow* pageWindow() const;

private:
    void documentDidRunModalPageLayout(const std::optional<PrintInfo>& accepted);
    void runPrintOperation(const std::shared_ptr<PrintableView>& view);

    std::shared_ptr<TemplateSettingsData> m_templateSettings;
    GraphicList m_masterGraphics;
    bool m_printingSingleItem = false;
    TemplatePrintHost* m_printHost = nullptr;
};
