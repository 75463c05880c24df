#include "TemplatePageWindowController.h"

#include "DatafileDocument.h"
#include "DatafileRecordSource.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "FieldGraphic.h"
#include "Localization.h"
#include "NonPrintableRecordsEditor.h"
#include "NotificationCenter.h"
#include "PageRecordSource.h"
#include "PageView.h"
#include "PageViewController.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "TemplateDocument.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>
#include <typeinfo>

namespace {

const QString pageActions[] = {QStringLiteral("goToFirstPage:"),
                               QStringLiteral("goToPreviousPage:"), QStringLiteral("goToNextPage:"),
                               QStringLiteral("goToLastPage:")};
const QString recordActions[] = {
    QStringLiteral("goToFirstRecord:"), QStringLiteral("goToPreviousRecord:"),
    QStringLiteral("goToNextRecord:"), QStringLiteral("goToLastRecord:")};
const QString pageTitles[] = {QStringLiteral("First Page"), QStringLiteral("Previous Page"),
                              QStringLiteral("Next Page"), QStringLiteral("Last Page")};

QPushButton* statusBarButton(QStatusBar* bar, const char* name)
{
    auto* button = new QPushButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

TemplatePageWindowController::TemplatePageWindowController(InstallMenus installMenus)
    : m_installMenus(std::move(installMenus)),
      m_pageViewController(std::make_unique<PageViewController>(this))
{
    registerActions();
}

void TemplatePageWindowController::registerActions()
{
    PageViewController& engine = *m_pageViewController;
    const std::function<void()> turns[] = {
        [&engine] { engine.goToFirstPage(); }, [&engine] { engine.goToPreviousPage(); },
        [&engine] { engine.goToNextPage(); }, [&engine] { engine.goToLastPage(); }};
    for (int i = 0; i < 4; ++i) {
        const std::function<void()> turn = turns[i];
        registerAction(pageActions[i], [this, turn](QObject*) {
            turn();
            reloadStatusBar();
        });
        // The Records menu's items turn the pages here.
        const QString page = pageActions[i];
        registerAction(recordActions[i],
                       [this, page](QObject* sender) { performAction(page, sender); });
    }
    // The shared print item prints the template's pages.
    registerAction(QStringLiteral("printCurrentRecord:"), [this](QObject* sender) {
        if (Document* shown = document())
            shown->performAction(QStringLiteral("printDocument:"), sender);
    });
    registerAction(QStringLiteral("testNonPrintableRecords:"),
                   [this](QObject*) { testNonPrintableRecords(); });
    registerDesignActions();
}

TemplatePageWindowController::~TemplatePageWindowController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

TemplateDocument* TemplatePageWindowController::templateDocument() const
{
    return qobject_cast<TemplateDocument*>(document());
}

std::unique_ptr<QWidget> TemplatePageWindowController::makeWindow()
{
    auto window = std::make_unique<QMainWindow>();
    m_mainWindow = window.get();
    if (m_installMenus)
        m_installMenus(window->menuBar());
    m_pageArea = new QScrollArea(window.get());
    m_pageArea->setAlignment(Qt::AlignCenter);
    m_pageArea->setBackgroundRole(QPalette::Dark);
    m_pageView = new PageView(m_pageArea);
    m_pageArea->setWidget(m_pageView);
    m_pageViewController->setPageView(m_pageView);
    window->setCentralWidget(m_pageArea);
    QStatusBar* bar = window->statusBar();
    m_recordNumberButton = statusBarButton(bar, "recordNumberButton");
    m_selectionButton = statusBarButton(bar, "selectionButton");
    bar->addWidget(m_recordNumberButton);
    bar->addPermanentWidget(m_selectionButton);
    return window;
}

void TemplatePageWindowController::prepare()
{
    QWidget* shown = window();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this);
    m_editingNonPrintableRecords = false;
    resetPageLayout();
    // The whole page in view, beside the scroll bar, where the screen has room for it.
    const int frame = m_pageArea->frameWidth() * 2;
    const int scroller = m_pageArea->verticalScrollBar()->sizeHint().width();
    QSize wanted = m_pageView->size() + QSize(frame + scroller, frame + scroller) +
                   QSize(0, shown->height() - m_pageArea->height());
    if (const QScreen* screen = shown->screen())
        wanted = wanted.boundedTo(screen->availableSize() - QSize(0, 40));
    shown->resize(wanted);
    reloadStatusBar();
    showWindow();
    handleNonPrintableRecords();
    center.addObserver(TemplateDocument::RevertedTemplateWindow, document(), this,
                       [this](const Notification&) { resetPageLayout(); });
}

void TemplatePageWindowController::reloadStatusBar()
{
    window();
    const PageViewController& engine = *m_pageViewController;
    const quint64 count = engine.pageCount();
    const quint64 shown = engine.currentPage() + 1;
    m_recordNumberButton->setText(
        count != 1 ? stringWithFormat(localized(QStringLiteral("%d of %d pages")), shown, count)
                   : stringWithFormat(localized(QStringLiteral("%d of %d page")), shown, 1));
    m_selectionButton->setText(stringWithFormat(
        localized(QStringLiteral("%d of %d selected")), engine.printableRecordCount(),
        engine.printableRecordCount() + engine.nonPrintableRecordCount()));
}

NonPrintableRecordsEditor* TemplatePageWindowController::nonPrintableRecordsEditor() const
{
    return dynamic_cast<NonPrintableRecordsEditor*>(
        m_pageViewController->editorWindowController().get());
}

void TemplatePageWindowController::handleNonPrintableRecords()
{
    const qint64 count = m_pageViewController->nonPrintableRecordCount();
    if (count == 0)
        return;
    AlertRequest alert;
    if (count == 1) {
        alert.messageText =
            localized(QStringLiteral("There is 1 record that is too large to fit this template."));
        alert.informativeText =
            localized(QStringLiteral("Do you want to edit the problem record?"));
    } else {
        alert.messageText =
            stringWithFormat(localized(QStringLiteral(
                                 "There are %d records that are too large to fit this template.")),
                             count);
        alert.informativeText =
            localized(QStringLiteral("Do you want to edit the problem records?"));
    }
    alert.buttons = {localized(QStringLiteral("Edit Records")),
                     localized(QStringLiteral("Do Nothing"))};
    Presenter::shared().beginAlertSheet(alert, window(), [this](const AlertResponse& response) {
        NonPrintableRecordsEditor* editor = nonPrintableRecordsEditor();
        if (response.returnCode == AlertFirstButtonReturn && editor) {
            m_editingNonPrintableRecords = true;
            editor->editNonPrintableRecords(m_pageViewController->printableRecords(), this);
        } else {
            m_editingNonPrintableRecords = editor && editor->editingNonPrintableRecords();
        }
    });
}

void TemplatePageWindowController::testNonPrintableRecords()
{
    if (const std::shared_ptr<PageRecordSource>& records =
            m_pageViewController->editorWindowController())
        records->saveAndReloadCurrentRecord();
    prepare();
    if (m_pageViewController->nonPrintableRecordCount() == 0)
        showAlert(localized(QStringLiteral("All records fit on this template.")), QString());
}

void TemplatePageWindowController::showAlert(const QString& message, const QString& information)
{
    AlertRequest alert;
    alert.messageText = message;
    alert.informativeText = information;
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

bool TemplatePageWindowController::templateChanged() const
{
    return document() && document()->isDocumentEdited();
}

void TemplatePageWindowController::setTemplateChanged()
{
    if (document())
        document()->updateChangeCount(Document::ChangeType::Done);
}

bool TemplatePageWindowController::validateAction(const QString& selector) const
{
    const PageViewController& engine = *m_pageViewController;
    // Turning needs a second page; at none, the last page would lie before the first.
    if (std::find(std::begin(pageActions), std::end(pageActions), selector) !=
            std::end(pageActions) ||
        std::find(std::begin(recordActions), std::end(recordActions), selector) !=
            std::end(recordActions))
        return engine.pageCount() > 1;
    if (selector == QLatin1String("editLabelCopies:")) {
        const GraphicList& design = engine.masterGraphics();
        return engine.addressGraphic() ||
               std::any_of(design.cbegin(), design.cend(), [](const auto& graphic) {
                   return graphic && typeid(*graphic) == typeid(FieldGraphic);
               });
    }
    if (selector == QLatin1String("testNonPrintableRecords:"))
        return bool(engine.addressGraphic());
    if (selector == QLatin1String("printCurrentRecord:"))
        return document() && document()->respondsToAction(QStringLiteral("printDocument:"));
    return WindowController::validateAction(selector);
}

QString TemplatePageWindowController::titleForAction(const QString& selector) const
{
    for (int i = 0; i < 4; ++i)
        if (selector == recordActions[i])
            return localized(pageTitles[i]);
    if (selector == QLatin1String("printCurrentRecord:"))
        return localized(QStringLiteral("Print..."));
    return WindowController::titleForAction(selector);
}

void TemplatePageWindowController::resetPageLayout()
{
    TemplateDocument* document = templateDocument();
    if (!document)
        return;
    window();
    m_pageViewController->resetWithSettings(document->templateSettings(),
                                            document->masterGraphics(), false);
}

std::shared_ptr<PageRecordSource> TemplatePageWindowController::openDatafile(const QString& path)
{
    // The editor of the document this opening answers, whichever window is in front.
    auto* datafile =
        qobject_cast<DatafileDocument*>(DocumentController::shared().openDocumentWithContentsOfURL(
            QUrl::fromLocalFile(path), true));
    auto* editor = datafile ? dynamic_cast<EditorWindowController*>(datafile->editor()) : nullptr;
    if (!editor)
        return nullptr;
    return std::make_shared<DatafileRecordSource>(editor);
}

QString TemplatePageWindowController::templateDisplayName() const
{
    return document() ? document()->displayName() : localized(QStringLiteral("Untitled"));
}

void TemplatePageWindowController::setWindowTitle(const QString& title)
{
    m_pageTitle = title;
    m_pageTitleName = templateDisplayName();
    synchronizeWindowTitleWithDocumentName();
}

QString
TemplatePageWindowController::windowTitleForDocumentDisplayName(const QString& displayName) const
{
    if (m_pageTitle.isEmpty())
        return displayName;
    // Saved under another name, the template keeps its datafile's part of the title.
    if (m_pageTitle.startsWith(m_pageTitleName))
        return displayName + m_pageTitle.mid(m_pageTitleName.size());
    return m_pageTitle;
}

void TemplatePageWindowController::showDatafileRequiredAlert()
{
    QWidget* shown = window();
    shown->raise();
    shown->activateWindow();
    showAlert(
        localized(QStringLiteral("Please select a datafile from the popup menu on this window.")),
        localized(QStringLiteral("A datafile is required, because the template includes an address "
                                 "block or field contents.")));
}

void TemplatePageWindowController::windowWillClose()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    // The datafile no longer waits for this template.
    if (m_pageViewController->editorWindowControllerInformed())
        if (const std::shared_ptr<PageRecordSource>& records =
                m_pageViewController->editorWindowController())
            records->decrementOpenTemplateCount();
    m_pageViewController->setEditorController(nullptr);
}
