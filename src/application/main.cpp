#include "Application.h"
#include "ApplicationIcon.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "MainController.h"
#include "StartWindow.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norva"));
    QApplication::setOrganizationName(QStringLiteral("Norva"));
    // Closing the last window quits only when the user's preference says so.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(applicationIcon());

    // The kinds of document; templates can be opened once their windows exist.
    DocumentController& documents = DocumentController::shared();
    const auto makeDatafile = [] { return std::make_unique<DatafileDocument>(); };
    documents.registerDocumentType(
        {DatafileDocument::ProDatafileType, {QStringLiteral("nv3")}, makeDatafile});
    documents.registerDocumentType(
        {DatafileDocument::MobileDatafileType, {QStringLiteral("nvm")}, makeDatafile});
    documents.registerDocumentType(
        {QStringLiteral("Norva Label"), {QStringLiteral("zlabel")}, nullptr});
    documents.registerDocumentType(
        {QStringLiteral("Norva Envelope"), {QStringLiteral("zenv")}, nullptr});
    DatafileDocument::setEditorFactory(
        [](DatafileDocument&) { return std::make_unique<EditorWindowController>(); });

    MainController mainController;
    mainController.initialize();
    Application::shared().setDelegate(&mainController);
    DatafileDocument::setDidWriteHook(
        [&mainController] { mainController.services().setupDatafilesMenu(); });

    StartWindow startWindow(mainController.menus());
    startWindow.followDocuments();
    startWindow.show();

    Application::shared().finishLaunchingWhenRunning();
    // Files named on the command line open once launching has finished.
    const QStringList files = QApplication::arguments().mid(1);
    QObject::connect(&Application::shared(), &Application::didFinishLaunching, [&documents, files] {
        for (const QString& file : files)
            documents.openDocumentWithContentsOfURL(
                QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()), true);
    });
    return QApplication::exec();
}
