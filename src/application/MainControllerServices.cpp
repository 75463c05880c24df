// The two services the desktop offers: text, or a link, sent from another program
// becomes a new record of the user's preferred datafile.
#include "MainController.h"

#include "CurrentRecordEngine.h"
#include "Document.h"
#include "EditorRecordsController.h"
#include "EditorWindowController.h"
#include "FileURL.h"
#include "Localization.h"
#include "Presenter.h"
#include "ServicesKeys.h"
#include "SystemLog.h"
#include "UserDefaults.h"
#include "WebCaptureController.h"
#include "WindowController.h"

#include <QGuiApplication>
#include <QUrl>

namespace {

void playSoundNamedBy(const QString& key)
{
    const QString name = UserDefaults::standardUserDefaults().stringForKey(key).value_or(QString());
    if (!name.isEmpty())
        Presenter::shared().playSound(name);
}

} // namespace

ServicesEndpoint::Reply MainController::performService(const QString& service,
                                                       const QMimeData& pasteboard)
{
    if (service == QLatin1String("addToPreferred"))
        return addToPreferred(pasteboard);
    if (service == QLatin1String("addToPreferredWithURL"))
        return addToPreferredWithURL(pasteboard);
    return {false, localized(QStringLiteral("Norva offers no service of that name."))};
}

ServicesEndpoint::Reply MainController::addToPreferred(const QMimeData& pasteboard)
{
    return addToPreferredDatafile(
        ServicesKeys::DatafilePath, pasteboard,
        [](EditorWindowController& editor, const QMimeData& pasteboard) -> ServicesEndpoint::Reply {
            if (editor.recordsController().addRecordWithPasteboard(&pasteboard))
                return {true, QString()};
            if (editor.engine().nowSyncing())
                return {false, localized(QStringLiteral("The datafile is being synchronized; "
                                                        "try again when it is done."))};
            return {false, localized(QStringLiteral("Nothing sent could be read into the new "
                                                    "record."))};
        });
}

ServicesEndpoint::Reply MainController::addToPreferredWithURL(const QMimeData& pasteboard)
{
    return addToPreferredDatafile(
        ServicesKeys::DatafilePathForURLs, pasteboard,
        [](EditorWindowController& editor, const QMimeData& pasteboard) -> ServicesEndpoint::Reply {
            if (editor.webCaptureController().grabURLWithPasteboard(
                    &pasteboard, QGuiApplication::queryKeyboardModifiers()))
                return {true, QString()};
            return {false, localized(QStringLiteral("No web page could be added."))};
        });
}

ServicesEndpoint::Reply MainController::addToPreferredDatafile(const QString& datafileKey,
                                                               const QMimeData& pasteboard,
                                                               const EditorService& operation)
{
    const QString path =
        UserDefaults::standardUserDefaults().stringForKey(datafileKey).value_or(QString());
    QString failure;
    Document* opened = nullptr;
    if (path.isEmpty()) {
        failure = QStringLiteral("Unable to open %1: Error %2")
                      .arg(path, localized(QStringLiteral("No datafile is chosen for this "
                                                          "service in the Services preferences.")));
        SystemLog::log(failure);
    } else {
        opened = openLoggingFailure(QUrl::fromLocalFile(FileURL::expandTilde(path)), path, failure);
    }
    // The document the opening yields receives the record, whatever path it was reached by.
    WindowController* window = opened && !opened->windowControllers().empty()
                                   ? opened->windowControllers().front().get()
                                   : nullptr;
    auto* editor = dynamic_cast<EditorWindowController*>(window);
    if (opened && !editor) {
        failure = localized(QStringLiteral("The file chosen for this service is no datafile."));
        SystemLog::log(failure);
    }
    if (!editor) {
        playSoundNamedBy(ServicesKeys::FailureSound);
        return {false, failure};
    }
    editor->showWindow();
    const ServicesEndpoint::Reply reply = operation(*editor, pasteboard);
    playSoundNamedBy(reply.result ? ServicesKeys::SuccessSound : ServicesKeys::FailureSound);
    return reply;
}
