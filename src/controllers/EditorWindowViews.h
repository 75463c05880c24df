#pragma once

#include "CurrentRecordEngine.h"

class EditorWindowController;

// The editor window's views as its current-record engine sees them.
class EditorWindowViews : public CurrentRecordTextArea,
                          public CurrentRecordTables,
                          public CurrentRecordDocument,
                          public CurrentRecordStatusBar,
                          public RecordDeletionNotifier,
                          public CurrentRecordFindBox {
public:
    explicit EditorWindowViews(EditorWindowController& editor) : m_editor(editor) {}

    CurrentRecordEngine::Views views()
    {
        return CurrentRecordEngine::Views{this, this, this, this, this, this};
    }

    // CurrentRecordTextArea
    QString plainText() const override;
    QByteArray rtfd() const override;
    bool showRtfd(const QByteArray& rtfd) override;
    void showPlainText(const QString& text) override;
    void removeLinks() override;
    void activateLinks() override;
    void setEditable(bool editable) override;
    void resetSelection() override;

    // CurrentRecordTables
    bool tableViewActive() const override;
    void endEditing() override;
    quint64 currentField() const override;
    void reloadTables() override;
    void scrollRowToVisible(qint64 row) override;
    void makeCurrentTableFirstResponder() override;
    void tableViewHit() override;
    void editListCell(quint64 column, qint64 row) override;

    // CurrentRecordDocument
    bool isMobile() const override;
    std::shared_ptr<DatafileSettingsData> settings() const override;
    bool isDocumentEdited() const override;
    void markDocumentEdited() override;
    DatafileChanges& changes() override;
    void saveDocument() override;
    // The text view keeps its own undo, emptied when a record is loaded.
    void removeAllUndoActions() override {}

    // CurrentRecordStatusBar
    void showRecordLocked(bool locked) override;
    void reloadStatusBar() override;
    void showRecordInfo() override;

    // RecordDeletionNotifier
    void didDeleteRecord(const QString& identifier) override;

    // CurrentRecordFindBox
    void activateFindBox() override;

private:
    EditorWindowController& m_editor;
};
