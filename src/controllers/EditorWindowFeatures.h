#pragma once

#include "FeatureContext.h"

class EditorWindowController;

// The editor window as its feature controllers see it, and its progress sheet.
class EditorWindowFeatures : public FeatureWindow, public ProgressSheet {
public:
    explicit EditorWindowFeatures(EditorWindowController& editor) : m_editor(editor) {}

    // FeatureWindow
    DatafileDocument* datafileDocument() const override;
    QWidget* sheetWindow() override;
    QWidget* frontWindow() override;
    QString windowTitle() const override;
    bool nowSyncing() const override;
    void endEditing() override;
    void reloadTables() override;
    void reloadStatusBar() override;
    FreeformTextView* freeformTextView() const override;
    EditorTableController* tableController() const override;
    void makeMain() override;
    bool findInAllFields(const QString& text, bool caseSensitive, bool wholeWord) override;
    void selectAllRecords() override;
    std::shared_ptr<RecordData> addNewRecord() override;
    void addRecord() override;
    std::shared_ptr<RecordData> addRecordForModification() override;
    qint64 stripDuplicateRecords(bool compareRichText) override;
    QString addNewFieldWithName(const QString& name) override;
    QString appendNewFieldWithName(const QString& name) override;
    void resetSplitView() override;
    void makeThisTheFirstRecord() override;
    void makeThisTheLastRecord() override;
    void activateFreeformLinks() override;
    bool pasteIntoFreeformText(const QMimeData* pasteboard, bool plainText) override;

    // ProgressSheet
    void startIndeterminateProgressPanel(const QString& message) override;
    void incrementProgressPanel(const QString& message) override;
    void endIndeterminateProgressPanel() override;
    QWidget* progressPanel() const override;

private:
    EditorWindowController& m_editor;
};
