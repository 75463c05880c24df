#include "Application.h"
#include "ApplicationIcon.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "MainController.h"
#include "StartWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norva"));
    QApplication::setOrganizationName(QStringLiteral("Norva"));
    // Closing the last window quits only when the user's preference says so.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(applicationIcon());

    // The kinds of document; each can be opened once its window exists.
    DocumentController& documents = DocumentController::shared();
    for (const auto& [name, extension] :
         {std::pair{"Norva Pro Datafile", "nv3"}, std::pair{"Norva Mobile Datafile", "nvm"},
          std::pair{"Norva Label", "zlabel"}, std::pair{"Norva Envelope", "zenv"}})
        documents.registerDocumentType(
            {QString::fromLatin1(name), {QString::fromLatin1(extension)}, nullptr});

    MainController mainController;
    mainController.initialize();
    Application::shared().setDelegate(&mainController);
    DatafileDocument::setDidWriteHook(
        [&mainController] { mainController.services().setupDatafilesMenu(); });

    StartWindow startWindow(mainController.menus());
    startWindow.followDocuments();
    startWindow.show();

    Application::shared().finishLaunchingWhenRunning();
    return QApplication::exec();
}
