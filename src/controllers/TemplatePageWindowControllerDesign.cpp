// The template page window's Edit Design command.
#include "TemplatePageWindowController.h"

#include "DatafileRecordSource.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "PageViewController.h"
#include "TemplateDesignSheetController.h"
#include "TemplateDocument.h"

#include <QPointer>
#include <QWidget>

namespace {
// Until the application installs its own, the flag of a program without one.
bool designWindowOpenHere = false;
} // namespace

void TemplatePageWindowController::registerDesignActions()
{
    registerAction(QStringLiteral("editDesignLayout:"), [this](QObject*) { editDesignLayout(); });
}

bool TemplatePageWindowController::designWindowOpen() const
{
    return m_designWindowFlag.isOpen ? m_designWindowFlag.isOpen() : designWindowOpenHere;
}

void TemplatePageWindowController::setDesignWindowOpen(bool open)
{
    if (m_designWindowFlag.setOpen)
        m_designWindowFlag.setOpen(open);
    else
        designWindowOpenHere = open;
}

void TemplatePageWindowController::editDesignLayout()
{
    TemplateDocument* shown = templateDocument();
    if (!shown)
        return;
    if (designWindowOpen()) {
        showAlert(
            localized(QStringLiteral("Another template already has the Edit Design window open.")),
            localized(QStringLiteral("Only one Edit Design window can be open at a time.")));
        return;
    }
    setDesignWindowOpen(true);
    const auto* records =
        dynamic_cast<const DatafileRecordSource*>(m_pageViewController->editorWindowController().get());
    auto* sheet = VKSheetController::controller<TemplateDesignSheetController>();
    QPointer<TemplatePageWindowController> page(this);
    const DesignWindowFlag flag = m_designWindowFlag;
    sheet->beginSheetWithSettings(
        shown->templateSettings(), shown->masterGraphics(), records ? records->editor() : nullptr,
        window(), [page, flag, sheet](QWidget*, int returnCode) {
            if (page) {
                page->designSheetDidEnd(*sheet, returnCode);
            } else if (flag.setOpen) {
                flag.setOpen(false);
            } else {
                designWindowOpenHere = false;
            }
        });
}

void TemplatePageWindowController::designSheetDidEnd(TemplateDesignSheetController& sheet,
                                                     int returnCode)
{
    setDesignWindowOpen(false);
    TemplateDocument* shown = templateDocument();
    if (!shown)
        return;
    if (returnCode != 1) {
        if (!shown->isDocumentEdited())
            setDocumentEdited(false);
        return;
    }
    shown->setTemplateDocumentEdited(true);
    if (const std::shared_ptr<GraphicList>& design = sheet.graphics())
        shown->setMasterGraphics(*design);
    sheet.setGraphics(std::nullopt);
    resetPageLayout();
    reloadStatusBar();
    window()->raise();
    window()->activateWindow();
    handleNonPrintableRecords();
}
