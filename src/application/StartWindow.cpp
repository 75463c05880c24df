#include "StartWindow.h"

#include "Application.h"
#include "ApplicationMenus.h"
#include "Document.h"
#include "DocumentController.h"
#include "Localization.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>

StartWindow::StartWindow(const ApplicationMenus& menus)
{
    setWindowTitle(QStringLiteral("Norva"));
    menus.installInto(menuBar());
    auto* hint = new QLabel(localized(QStringLiteral("Open a datafile with File ▸ Open…")));
    hint->setAlignment(Qt::AlignCenter);
    hint->setWordWrap(true);
    hint->setMargin(24);
    setCentralWidget(hint);
    resize(480, 200);
}

void StartWindow::followDocuments()
{
    DocumentController& documents = DocumentController::shared();
    const auto update = [this, &documents] { setVisible(documents.documents().empty()); };
    connect(&documents, &DocumentController::documentAdded, this, update);
    connect(&documents, &DocumentController::documentRemoved, this, update, Qt::QueuedConnection);
}

void StartWindow::closeEvent(QCloseEvent* event)
{
    if (DocumentController::shared().documents().empty() && !Application::shared().isQuitting()) {
        // The quit closes the window once it is certain.
        event->ignore();
        Application::shared().terminate();
        return;
    }
    QMainWindow::closeEvent(event);
}
