// The datafile as a whole: showing the datafile's file.
#include "EditorDatafileController.h"

#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "Presenter.h"

EditorDatafileController::EditorDatafileController(FeatureContext& context) : m_context(context)
{
    registerCommand("revealInFinder:", [this] { revealInFinder(); });
    registerCommand("mergeDatafiles:", [this] { mergeDatafiles(); });
    registerCommand("saveAsOtherFormatDatafile:", [this] { saveAsOtherFormatDatafile(); });
    registerCommand("saveSelectedAs:", [this] { performSaveSelectedAs(); });
    registerCommand("splitDatafile:", [this] { splitDatafile(); });
}

void EditorDatafileController::registerCommand(const char* selector, std::function<void()> command)
{
    m_context.registerAction(QString::fromLatin1(selector), [this, command](QObject*) {
        if (!m_context.nowSyncing())
            command();
    });
}

void EditorDatafileController::revealInFinder()
{
    const QString path = m_context.document()->fileURL().toLocalFile();
    if (path.isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    Presenter::shared().revealFile(path);
}
