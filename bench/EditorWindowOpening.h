#pragma once

// A datafile file opened as the application opens it, into a shown editor window.
#include "DatafileDocument.h"
#include "EditorWindowController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <QWidget>

// Seconds from the start of the opening: the file read into the document, and the window
// shown with its first page painted.
struct EditorWindowOpeningTimes {
    double read = 0;
    double shown = 0;
};

// The document reads the desktop datafile at the path and shows its window; nullptr when
// the file cannot be read.
inline EditorWindowController* openInEditorWindow(DatafileDocument& document, const QString& path,
                                                  EditorWindowOpeningTimes* times = nullptr)
{
    DatafileDocument::setEditorFactory(
        [](DatafileDocument&) { return std::make_unique<EditorWindowController>(); });
    QElapsedTimer timer;
    timer.start();
    document.setFileType(DatafileDocument::ProDatafileType);
    document.setFileURL(QUrl::fromLocalFile(path));
    if (!document.readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType))
        return nullptr;
    if (times)
        times->read = double(timer.nsecsElapsed()) / 1e9;
    document.makeWindowControllers();
    document.showWindows();
    QCoreApplication::processEvents();
    auto* editor = static_cast<EditorWindowController*>(document.windowControllers().front().get());
    if (times) {
        editor->window()->repaint();
        times->shown = double(timer.nsecsElapsed()) / 1e9;
    }
    return editor;
}
