// The datafile as a whole: the clone window and showing the datafile's file.
#include "EditorDatafileController.h"

#include "DatafileDocument.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "FindBoxView.h"
#include "Presenter.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace {

// How far the clone stands from the window it was opened from, right and down.
constexpr int CloneOffset = 20;

} // namespace

EditorDatafileController::EditorDatafileController(EditorWindowController& editor)
    : m_editor(editor)
{
    registerCommand("openCloneWindow:", [this] { openCloneWindowAndReturnController(); });
    registerCommand("revealInFinder:", [this] { revealInFinder(); });
    registerCommand("mergeDatafiles:", [this] { mergeDatafiles(); });
    registerCommand("saveAsOtherFormatDatafile:", [this] { saveAsOtherFormatDatafile(); });
    registerCommand("saveSelectedAs:", [this] { performSaveSelectedAs(); });
    registerCommand("splitDatafile:", [this] { splitDatafile(); });
}

void EditorDatafileController::registerCommand(const char* selector, std::function<void()> command)
{
    m_editor.registerAction(QString::fromLatin1(selector), [this, command](QObject*) {
        if (!m_editor.nowSyncing())
            command();
    });
}

EditorWindowController* EditorDatafileController::openCloneWindowAndReturnController()
{
    CurrentRecordEngine& engine = m_editor.engine();
    const qint64 index = engine.indexOfCurrentRecord();
    // The clone shows what has been typed here so far.
    engine.saveIfDifferentRecord(nullptr);
    auto* clone =
        dynamic_cast<EditorWindowController*>(m_editor.datafileDocument()->addCloneEditor());
    if (!clone)
        return nullptr;
    QWidget* window = clone->window();
    QWidget* source = m_editor.window();
    window->resize(source->size());
    window->move(source->pos() + QPoint(CloneOffset, CloneOffset));

    // A tinted find box tells the clone from the window that edits.
    FindBoxView* findBox = clone->editorSearchController().searchField();
    QPalette palette = findBox->palette();
    palette.setColor(QPalette::Base, QColor::fromRgbF(0.8f, 0.9f, 1.0f, 1.0f));
    findBox->setPalette(palette);

    window->show();
    window->raise();
    window->activateWindow();
    clone->engine().loadRecordAtIndex(index);
    clone->engine().updateTextEditability();
    return clone;
}

void EditorDatafileController::revealInFinder()
{
    const QString path = m_editor.document()->fileURL().toLocalFile();
    if (path.isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    Presenter::shared().revealFile(path);
}
