#include "TemplatePageWindowController.h"

#include "DatafileDocument.h"
#include "DatafileRecordSource.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "PageView.h"
#include "PageViewController.h"
#include "Presenter.h"
#include "TemplateDocument.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

TemplatePageWindowController::TemplatePageWindowController(InstallMenus installMenus)
    : m_installMenus(std::move(installMenus)),
      m_pageViewController(std::make_unique<PageViewController>(this))
{
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
    return window;
}

void TemplatePageWindowController::prepare()
{
    QWidget* shown = window();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this);
    resetPageLayout();
    // The whole page in view, beside the scroll bar, where the screen has room for it.
    const int frame = m_pageArea->frameWidth() * 2;
    const int scroller = m_pageArea->verticalScrollBar()->sizeHint().width();
    QSize wanted = m_pageView->size() + QSize(frame + scroller, frame + scroller) +
                   QSize(0, shown->height() - m_pageArea->height());
    if (const QScreen* screen = shown->screen())
        wanted = wanted.boundedTo(screen->availableSize() - QSize(0, 40));
    shown->resize(wanted);
    showWindow();
    center.addObserver(TemplateDocument::RevertedTemplateWindow, document(), this,
                       [this](const Notification&) { resetPageLayout(); });
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
    AlertRequest alert;
    alert.messageText =
        localized(QStringLiteral("Please select a datafile from the popup menu on this window."));
    alert.informativeText =
        localized(QStringLiteral("A datafile is required, because the template includes an address "
                                 "block or field contents."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, shown, [](const AlertResponse&) {});
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
