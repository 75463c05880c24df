#pragma once

#include <QObject>
#include <QStringList>

class EditorWindowController;

// Keeps one editor window in step with its own document: records added and deleted,
// fields redefined, the file reverted, a selection the catalog refused. A clone window
// follows the document's first window instead of changing the shared catalog.
class EditorDocumentObserver : public QObject {
    Q_OBJECT

public:
    explicit EditorDocumentObserver(EditorWindowController& editor);
    ~EditorDocumentObserver() override;

    // Starts observing the window's document and catalog.
    void observe();

private:
    void willDeleteRecord(const QString& identifier);
    void didChangeRecords(const QStringList& identifiers);
    void didChangeFieldFormat();
    void datafileReverted();
    void emptySelectionAlert();

    EditorWindowController& m_editor;
};
