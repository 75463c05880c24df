#include "TemplatePageWindowController.h"

#include "AssociateDatafileSheetController.h"
#include "DatafileDocument.h"
#include "DatafileRecordSource.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "FieldGraphic.h"
#include "FileURL.h"
#include "LabelCopiesSheetController.h"
#include "Localization.h"
#include "NonPrintableRecordsEditor.h"
#include "NotificationCenter.h"
#include "PageRecordSource.h"
#include "PageView.h"
#include "PageViewController.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "TemplateDocument.h"
#include "TemplatePageSheetController.h"
#include "TemplatePageToolbarController.h"
#include "Toolbar.h"
#include "VKSharedController.h"
#include "WindowFrameAutosave.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <cmath>
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
      m_pageViewController(std::make_unique<PageViewController>(this)),
      m_templatePageToolbarController(std::make_unique<TemplatePageToolbarController>())
{
    m_templatePageToolbarController->setEditorWindowController(this);
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
    registerAction(QStringLiteral("editLabelCopies:"), [this](QObject*) { editLabelCopies(); });
    registerAction(QStringLiteral("editPageLayout:"),
                   [this](QObject* sender) { editPageLayout(sender); });
    registerAction(QStringLiteral("associateDatafile:"), [this](QObject*) { associateDatafile(); });
    registerAction(QStringLiteral("selectDatafile:"),
                   [this](QObject* sender) { selectDatafile(qobject_cast<QAction*>(sender)); });
    registerAction(QStringLiteral("disassociateDatafile:"),
                   [this](QObject*) { disassociateDatafile(); });
    registerDesignActions();
}

TemplatePageWindowController::~TemplatePageWindowController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    // The toolbar goes before the window that shows it.
    m_templatePageToolbarController.reset();
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
    m_templatePageToolbarController->setWindow(window.get());
    m_templatePageToolbarController->setup();
    window->installEventFilter(this);
    return window;
}

bool TemplatePageWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mainWindow) {
        if (event->type() == QEvent::WindowActivate) {
            windowDidBecomeKey();
            windowDidBecomeMain();
        } else if (event->type() == QEvent::WindowDeactivate) {
            windowDidResignKey();
        }
    }
    return WindowController::eventFilter(watched, event);
}

void TemplatePageWindowController::windowDidBecomeKey()
{
    if (Toolbar* toolbar = m_templatePageToolbarController->toolbar())
        if (QToolBar* bar = toolbar->toolBar())
            bar->setEnabled(true);
}

void TemplatePageWindowController::windowDidResignKey()
{
    if (Toolbar* toolbar = m_templatePageToolbarController->toolbar())
        if (QToolBar* bar = toolbar->toolBar())
            bar->setEnabled(false);
}

void TemplatePageWindowController::windowDidBecomeMain()
{
    m_templatePageToolbarController->updateDatafileMenu();
    NonPrintableRecordsEditor* editor = nonPrintableRecordsEditor();
    if (!editor || m_handingOverActivation)
        return;
    m_editingNonPrintableRecords = editor->editingNonPrintableRecords();
    if (!m_editingNonPrintableRecords)
        return;
    // The records that do not fit are edited in the datafile's window: it comes first.
    const auto* source =
        dynamic_cast<DatafileRecordSource*>(m_pageViewController->editorWindowController().get());
    EditorWindowController* datafileEditor = source ? source->editor() : nullptr;
    if (!datafileEditor || !datafileEditor->isWindowLoaded())
        return;
    m_handingOverActivation = true;
    QWidget* datafileWindow = datafileEditor->window();
    datafileWindow->raise();
    datafileWindow->activateWindow();
    m_handingOverActivation = false;
}

void TemplatePageWindowController::prepare()
{
    QWidget* shown = window();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this);
    m_editingNonPrintableRecords = false;
    m_datafilePath.clear();
    // A saved template opens where the user left its window.
    bool framed = false;
    if (document() && document()->fileURL().isLocalFile()) {
        const QString path = document()->fileURL().toLocalFile();
        framed = WindowFrameAutosave::setFrameUsingName(shown, path);
        WindowFrameAutosave::setFrameAutosaveName(shown, path);
    }
    m_pageViewController->setShowingSingleTemplate(false);
    resetPageLayout();
    if (TemplateDocument* shownDocument = templateDocument()) {
        m_originalLabelWidth = shownDocument->templateSettings()->width();
        m_originalLabelHeight = shownDocument->templateSettings()->height();
    }
    if (!framed)
        sizeWindowToPaper();
    reloadStatusBar();
    showWindow();
    shown->raise();
    shown->activateWindow();
    handleNonPrintableRecords();
    center.addObserver(TemplateDocument::RevertedTemplateWindow, document(), this,
                       [this](const Notification& notification) {
                           if (notification.object == document())
                               templateReverted();
                       });
}

void TemplatePageWindowController::templateReverted()
{
    resetPageLayout();
    reloadStatusBar();
}

void TemplatePageWindowController::sizeWindowToPaper()
{
    QWidget* shown = window();
    // The whole paper in view beside the scroll bars, where the screen has room for it;
    // the window's bars (menu bar, toolbar, status bar) come on top.
    const int frame = m_pageArea->frameWidth() * 2;
    const int scroller = m_pageArea->verticalScrollBar()->sizeHint().width();
    QSize wanted = m_pageView->size() + QSize(frame + scroller, frame + scroller) +
                   QSize(0, shown->height() - m_pageArea->height());
    wanted.setWidth(std::max(wanted.width(), shown->minimumSizeHint().width()));
    if (const QScreen* screen = shown->screen())
        wanted = wanted.boundedTo(screen->availableSize() - QSize(0, 40));
    shown->resize(wanted);
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
    releaseDatafile();
}

void TemplatePageWindowController::releaseDatafile()
{
    if (m_pageViewController->editorWindowControllerInformed())
        if (const std::shared_ptr<PageRecordSource>& records =
                m_pageViewController->editorWindowController())
            records->decrementOpenTemplateCount();
    m_pageViewController->setEditorController(nullptr);
}

void TemplatePageWindowController::editLabelCopies()
{
    TemplateDocument* shownDocument = templateDocument();
    if (!shownDocument)
        return;
    auto* sheet = VKSheetController::controller<LabelCopiesSheetController>();
    sheet->beginLabelCopiesSheetForWindow(
        window(), shownDocument->templateSettings()->labelCopies(),
        [this, sheet, document = QPointer<TemplateDocument>(shownDocument)](QWidget*,
                                                                            int returnCode) {
            if (returnCode != 1 || !document)
                return;
            document->setTemplateDocumentEdited(true);
            document->templateSettings()->setLabelCopies(sheet->labelCopies());
            m_pageViewController->setLabelCopies(sheet->labelCopies());
            m_pageViewController->buildRecordArrays();
            resetPageLayout();
            reloadStatusBar();
            handleNonPrintableRecords();
        });
}

void TemplatePageWindowController::editPageLayout(QObject* sender)
{
    TemplateDocument* shownDocument = templateDocument();
    if (!shownDocument)
        return;
    const std::shared_ptr<TemplateSettingsData>& settings = shownDocument->templateSettings();
    if (settings->associatedDatafileURL().isEmpty() && m_pageViewController->addressGraphic()) {
        showAlert(localized(QStringLiteral("You must select an associated datafile for this "
                                           "template before editing the page layout further.")),
                  localized(QStringLiteral("The template includes an address block, but has no "
                                           "datafile set to get addresses from.")));
        return;
    }
    m_originalLabelWidth = settings->width();
    m_originalLabelHeight = settings->height();
    TemplatePageSheetController* sheet =
        TemplatePageSheetController::controllerForTemplate(settings->isEnvelope());
    // Right after a new template was made, Page Setup comes first.
    const bool fromApplication = sender && sender == VKSharedController::mainController();
    sheet->beginSheetWithSettings(
        settings, shownDocument->masterGraphics(), window(),
        [this, sheet, document = QPointer<TemplateDocument>(shownDocument)](QWidget*,
                                                                            int returnCode) {
            if (!document)
                return;
            if (returnCode != 1) {
                document->setTemplateDocumentEdited(document->isDocumentEdited());
                return;
            }
            pageSheetDidEnd(*sheet);
        },
        fromApplication);
}

void TemplatePageWindowController::pageSheetDidEnd(TemplatePageSheetController& sheet)
{
    TemplateDocument* shownDocument = templateDocument();
    shownDocument->setTemplateDocumentEdited(true);
    shownDocument->setTemplateSettings(sheet.settings());
    resetPageLayout();
    reloadStatusBar();
    const std::shared_ptr<TemplateSettingsData>& settings = shownDocument->templateSettings();
    const bool resized =
        std::abs(double(settings->height()) - double(m_originalLabelHeight)) > 1.0 ||
        std::abs(double(settings->width()) - double(m_originalLabelWidth)) > 1.0;
    if (resized && !m_pageViewController->masterGraphics().isEmpty())
        showAlert(localized(QStringLiteral("The label/envelope dimensions have changed.")),
                  localized(QStringLiteral("You should click the Edit Design button in this "
                                           "window and make sure that all the design elements "
                                           "still fit.")));
    sizeWindowToPaper();
}

void TemplatePageWindowController::associateDatafile()
{
    auto* sheet = VKSheetController::controller<AssociateDatafileSheetController>();
    sheet->beginDatafileSheetForWindow(window(), [this, sheet](QWidget*, int) {
        QAction* chosen = sheet->selectedDatafile();
        if (chosen && !PopUpButton::representedObject(chosen).toString().isEmpty())
            selectDatafile(chosen);
        editPageLayout(VKSharedController::mainController());
    });
}

void TemplatePageWindowController::selectDatafile(QAction* item)
{
    TemplateDocument* shownDocument = templateDocument();
    const QString path = item ? PopUpButton::representedObject(item).toString() : QString();
    // The menu's face and its title items name no datafile.
    if (!shownDocument || path.isEmpty())
        return;
    releaseDatafile();
    shownDocument->setTemplateDocumentEdited(true);
    m_datafilePath = path;
    m_datafileShortName = QFileInfo(path).completeBaseName();
    shownDocument->templateSettings()->setAssociatedDatafileURL(
        QUrl::fromLocalFile(FileURL::expandTilde(path)));
    m_pageViewController->setStartingLabelRow(0, 0);
    m_pageViewController->setFirstLabelOffset(0);
    resetPageLayout();
    handleNonPrintableRecords();
    reloadStatusBar();
    window()->raise();
}

void TemplatePageWindowController::disassociateDatafile()
{
    TemplateDocument* shownDocument = templateDocument();
    if (!shownDocument)
        return;
    const std::shared_ptr<TemplateSettingsData>& settings = shownDocument->templateSettings();
    // A datafile that could not be opened is let go as well: only a template without
    // any datafile has nothing to drop.
    if (!m_pageViewController->editorWindowController() &&
        settings->associatedDatafileURL().isEmpty())
        return;
    shownDocument->setTemplateDocumentEdited(true);
    settings->setAssociatedDatafile(QString());
    settings->setAssociatedDatafileURL(QUrl());
    m_pageTitle.clear();
    synchronizeWindowTitleWithDocumentName();
    releaseDatafile();
    prepare();
    reloadStatusBar();
}
