#pragma once

// A datafile file opened as the application opens it, into a shown editor window.
#include "DatafileDocument.h"
#include "EditorWindowController.h"

#include <QCoreApplication>
#include <QUrl>

// The document reads the desktop datafile at the path and shows its window; nullptr when
// the file cannot be read.
inline EditorWindowController* openInEditorWindow(DatafileDocument& document, const QString& path)
{
    DatafileDocument::setEditorFactory(
        [](DatafileDocument&) { return std::make_unique<EditorWindowController>(); });
    document.setFileType(DatafileDocument::ProDatafileType);
    document.setFileURL(QUrl::fromLocalFile(path));
    if (!document.readFromURL(QUrl::fromLocalFile(path), DatafileDocument::ProDatafileType))
        return nullptr;
    document.makeWindowControllers();
    document.showWindows();
    QCoreApplication::processEvents();
    return static_cast<EditorWindowController*>(document.windowControllers().front().get());
}
