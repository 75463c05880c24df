#include "SinglePageSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "PageRecordSource.h"
#include "PageView.h"
#include "PageViewController.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "TemplateDocument.h"
#include "VKWindowCategories.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

struct TemplatesMenuSource {
    SinglePageSheetController::TemplatesMenu menu;
    int fixedItemCount = 0;
};

TemplatesMenuSource& templatesMenuSource()
{
    static TemplatesMenuSource source;
    return source;
}

const QString selectTemplateAction = QStringLiteral("selectTemplate:");

} // namespace

void SinglePageSheetController::setTemplatesMenu(TemplatesMenu menu, int fixedItemCount)
{
    templatesMenuSource() = {std::move(menu), fixedItemCount};
}

SinglePageSheetController::SinglePageSheetController()
    : m_pageViewController(std::make_unique<PageViewController>(this))
{
    registerAction(QStringLiteral("hit:"), [this](QObject* sender) { hit(sender); });
    registerAction(QStringLiteral("printSingle:"), [this](QObject*) { printSingle(); });
    registerAction(QStringLiteral("printCurrentRecord:"),
                   [this](QObject*) { printCurrentRecord(); });
    registerAction(selectTemplateAction, [this](QObject* sender) {
        selectTemplate(qobject_cast<QAction*>(sender));
    });
}

SinglePageSheetController::~SinglePageSheetController() = default;

void SinglePageSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Print Single Envelope or Label")));
    auto* column = new QVBoxLayout(window);
    auto* choice = new QHBoxLayout;
    m_templatesPopUp = new PopUpButton(window);
    m_templatesPopUp->setObjectName(QStringLiteral("templatesPopUp"));
    m_templatesPopUp->menu()->setTitle(QStringLiteral("SingleTemplates"));
    connect(m_templatesPopUp, &PopUpButton::activated, this,
            [this](QAction* item) { performAction(selectTemplateAction, item); });
    choice->addWidget(new QLabel(localized(QStringLiteral("Template:")), window));
    choice->addWidget(m_templatesPopUp, 1);
    column->addLayout(choice);

    m_previewScrollView = new QScrollArea(window);
    m_previewScrollView->setAlignment(Qt::AlignCenter);
    m_previewScrollView->setBackgroundRole(QPalette::Dark);
    m_pageView = new PageView(m_previewScrollView);
    m_previewScrollView->setWidget(m_pageView);
    m_pageViewController->setPageView(m_pageView);
    column->addWidget(m_previewScrollView, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* close = new QPushButton(localized(QStringLiteral("Close")), window);
    setCancelButton(close);
    connectButton(close, QStringLiteral("cancel:"));
    m_printerButton = new QPushButton(localized(QStringLiteral("Print")), window);
    m_printerButton->setDefault(true);
    connectButton(m_printerButton, QStringLiteral("printSingle:"));
    buttons->addWidget(close);
    buttons->addWidget(m_printerButton);
    column->addLayout(buttons);
}

bool SinglePageSheetController::maintainButtons()
{
    // Nothing to print without a template.
    m_printerButton->setEnabled(m_templateDocument != nullptr);
    return true;
}

void SinglePageSheetController::beginSheetWithSettings(
    std::shared_ptr<DatafileSettingsData> settings, QWidget* window,
    std::shared_ptr<PageRecordSource> editor)
{
    window = window ? window->window() : nullptr;
    // Alt is read as the command runs; the clipboard counts when it holds text.
    m_optionKeyDown = false;
    QString clipboardText;
    if (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier ||
        QGuiApplication::keyboardModifiers() & Qt::AltModifier) {
        const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
        if (clipboard && clipboard->hasText()) {
            m_optionKeyDown = true;
            clipboardText = clipboard->text();
        }
    }
    m_pageViewController->setAddressBlockText(m_optionKeyDown ? clipboardText : QString());
    m_settings = std::move(settings);
    m_editorWindowController = std::move(editor);
    beginSheetModalForWindow(window, {});
    if (m_templateDocument && m_pageViewController->printableRecordCount() == 0)
        alertNoPrintableText();
}

bool SinglePageSheetController::prepare()
{
    this->window();
    setUpTemplatesPopup();
    openSelectedTemplate();
    PageViewController& engine = *m_pageViewController;
    engine.setEditorController(m_editorWindowController);
    engine.setShowingSingleTemplate(true);
    engine.setTextInPasteboard(m_optionKeyDown);
    engine.setCurrentRecord(m_editorWindowController ? m_editorWindowController->indexOfCurrentRecord()
                                                     : 0);
    engine.setStartingLabelRow(0, 0);
    resetPageLayout();
    sizeToPaper();
    return true;
}

void SinglePageSheetController::setUpTemplatesPopup()
{
    this->window();
    m_templatesPopUp->removeAllItems();
    const TemplatesMenuSource& source = templatesMenuSource();
    if (const QMenu* menu = source.menu ? source.menu() : nullptr)
        processTemplatesMenu(menu, source.fixedItemCount);

    m_defaultTemplateName = m_settings ? m_settings->defaultTemplateName() : QString();
    if (m_defaultTemplateName.isEmpty() && m_templatesPopUp->numberOfItems() > 0)
        m_defaultTemplateName = m_templatesPopUp->itemAtIndex(0)->text();
    QAction* chosen = nullptr;
    for (QAction* item : m_templatesPopUp->itemArray())
        if (item->text() == m_defaultTemplateName) {
            chosen = item;
            break;
        }
    // A template gone since it was last used: the first one.
    if (!chosen && m_templatesPopUp->numberOfItems() > 0) {
        chosen = m_templatesPopUp->itemAtIndex(0);
        m_defaultTemplateName = chosen->text();
    }
    m_templatesPopUp->selectItem(chosen);
    m_templatesPopUp->synchronizeTitleAndSelectedItem();
}

void SinglePageSheetController::processTemplatesMenu(const QMenu* menu, int startingFromIndex)
{
    const QList<QAction*> items = menu->actions();
    for (qsizetype index = std::max(startingFromIndex, 0); index < items.size(); ++index) {
        const QAction* item = items[index];
        if (const QMenu* folder = item->menu()) {
            processTemplatesMenu(folder, 0);
            continue;
        }
        if (item->isSeparator())
            continue;
        QAction* copy = m_templatesPopUp->menu()->addAction(item->text());
        PopUpButton::setRepresentedObject(copy, PopUpButton::representedObject(item));
    }
}

void SinglePageSheetController::openSelectedTemplate()
{
    QAction* selected = m_templatesPopUp->selectedItem();
    m_templatePath = selected ? PopUpButton::representedObject(selected).toString() : QString();
    m_templateFileType = QFileInfo(m_templatePath).suffix() == TemplateDocument::LabelExtension
                             ? TemplateDocument::LabelType
                             : TemplateDocument::EnvelopeType;
    m_templateDocument.reset();
    // No template in the menu: no preview and nothing to print.
    if (m_templatePath.isEmpty())
        return;
    m_templateDocument =
        TemplateDocument::templateForPrintingWithFile(m_templatePath, m_templateFileType, this);
}

void SinglePageSheetController::resetPageLayout()
{
    if (!m_templateDocument) {
        m_pageViewController->setTemplateSettings(nullptr);
        m_pageViewController->setPrintableRecords({});
        m_pageViewController->addDesignViews(0);
        m_pageView->setPaperFrame(QRectF());
        m_pageView->setPrintableFrame(QRectF());
        maintainButtons();
        return;
    }
    m_pageViewController->resetWithSettings(m_templateDocument->templateSettings(),
                                            m_templateDocument->masterGraphics(), false);
    maintainButtons();
}

void SinglePageSheetController::sizeToPaper()
{
    if (!m_templateDocument)
        return;
    // The preview shows the whole paper where the screen has room for it.
    const int frame = m_previewScrollView->frameWidth() * 2;
    QSize wanted = m_pageView->size() + QSize(frame, frame);
    if (const QScreen* screen = window()->screen()) {
        const QSize room = screen->availableSize() - (window()->size() -
                                                      m_previewScrollView->size()) -
                           QSize(40, 80);
        wanted = wanted.boundedTo(room.expandedTo(QSize(200, 150)));
    }
    VKWindowCategories::setFrameSoView(window(), m_previewScrollView, wanted, true);
}

void SinglePageSheetController::selectTemplate(QAction* item)
{
    if (item)
        m_templatesPopUp->selectItem(item);
    m_defaultTemplateName = m_templatesPopUp->titleOfSelectedItem();
    openSelectedTemplate();
    sizeToPaper();
    m_pageViewController->setStartingLabelRow(0, 0);
    resetPageLayout();
    if (m_templateDocument && m_pageViewController->printableRecordCount() == 0)
        alertNoPrintableText();
}

void SinglePageSheetController::hit(QObject*)
{
    m_defaultTemplateName = m_templatesPopUp->titleOfSelectedItem();
    openSelectedTemplate();
    resetPageLayout();
}

void SinglePageSheetController::printSingle()
{
    if (m_templateDocument)
        m_templateDocument->printDocument();
}

void SinglePageSheetController::printCurrentRecord()
{
    printSingle();
}

void SinglePageSheetController::cancel(QObject* sender)
{
    if (m_settings && m_templatesPopUp->selectedItem())
        m_settings->setDefaultTemplateName(m_templatesPopUp->titleOfSelectedItem());
    VKSheetController::cancel(sender);
}

QString SinglePageSheetController::titleForAction(const QString& selector) const
{
    if (selector == QLatin1String("printCurrentRecord:"))
        return localized(QStringLiteral("Print..."));
    return VKSheetController::titleForAction(selector);
}

std::shared_ptr<TemplateSettingsData> SinglePageSheetController::templateSettings() const
{
    return m_templateDocument ? m_templateDocument->templateSettings() : nullptr;
}

std::shared_ptr<PageRecordSource> SinglePageSheetController::openDatafile(const QString&)
{
    return m_editorWindowController;
}

QString SinglePageSheetController::templateDisplayName() const
{
    return m_templateDocument ? m_templateDocument->displayName() : QString();
}

void SinglePageSheetController::alertNoPrintableText()
{
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("No printable text."));
    alert.informativeText =
        m_optionKeyDown
            ? localized(QStringLiteral(
                  "Either the clipboard contains no text, or the clipboard text is too large."))
            : localized(QStringLiteral("Either the current record contains no address block "
                                       "text, or the address block text is too large."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}
