#pragma once

#include "Responder.h"

#include <QString>

#include <memory>

class CurrentRecordEngine;
class DatafileChanges;
class DatafileDocument;
class DatafileSettingsData;
class EditorTableController;
class FreeformTextView;
class QMimeData;
class QWidget;
class RecordData;
class SubsetSortedData;

// The progress sheet for long work on the main thread. Without a window to show it on,
// the work goes on unshown: each step does nothing.
class ProgressSheet {
public:
    virtual ~ProgressSheet() = default;
    virtual void startIndeterminateProgressPanel(const QString&) {}
    virtual void incrementProgressPanel(const QString&) {}
    virtual void endIndeterminateProgressPanel() {}
    // The sheet itself, for a panel that opens on top of it; nullptr while none is up.
    virtual QWidget* progressPanel() const { return nullptr; }
};

// What a feature asks of the window it serves, beyond the document. Its views and
// window are optional: a template window or a headless run has none, and the defaults
// say so.
class FeatureWindow {
public:
    virtual ~FeatureWindow() = default;

    virtual DatafileDocument* datafileDocument() const = 0;
    // Where sheets and alerts attach; nullptr without a window.
    virtual QWidget* sheetWindow() { return nullptr; }
    // The window in front, for an alert about a datafile just opened.
    virtual QWidget* frontWindow() { return sheetWindow(); }
    virtual QString windowTitle() const;
    virtual bool nowSyncing() const { return false; }
    // The last typed value in the tables and the text reaches the current record.
    virtual void endEditing() {}
    virtual void reloadTables() {}
    virtual void reloadStatusBar() {}
    virtual FreeformTextView* freeformTextView() const { return nullptr; }
    virtual EditorTableController* tableController() const { return nullptr; }
    // Counts as the window activated last.
    virtual void makeMain() {}
    // Searches every field and the text onwards from where the window stands and shows
    // the hit; whether there was one.
    virtual bool findInAllFields(const QString&, bool /*caseSensitive*/, bool /*wholeWord*/)
    {
        return false;
    }

    // The window's record and field operations that other features build on.
    virtual void selectAllRecords() = 0;
    virtual std::shared_ptr<RecordData> addNewRecord() = 0;
    // Add Record: a blank record shown, unless the current one is blank already; a window
    // without a current record has none to add.
    virtual void addRecord() {}
    virtual std::shared_ptr<RecordData> addRecordForModification() = 0;
    // How many records went.
    virtual qint64 stripDuplicateRecords(bool compareRichText) = 0;
    // The new field, first or last, and its identifier; the caller posts the
    // field-format change.
    virtual QString addNewFieldWithName(const QString& name) = 0;
    virtual QString appendNewFieldWithName(const QString& name) = 0;
    // The tables laid out afresh after fields were added.
    virtual void resetSplitView() = 0;
    // The current record moved to the start or the end of the datafile's order.
    virtual void makeThisTheFirstRecord() {}
    virtual void makeThisTheLastRecord() {}
    // Web and mail addresses in the Freeform Text Area made links.
    virtual void activateFreeformLinks() {}
    // The pasteboard read into the Freeform Text Area's selection, as rich or plain text;
    // a paste that throws is reported. Whether it counts as pasted: a plain-text paste
    // always does unless it threw.
    virtual bool pasteIntoFreeformText(const QMimeData*, bool /*plainText*/) { return false; }
};

// What a feature controller works with, in place of the whole editor window: the
// document and its settings, the records shown, the current record or none, the progress
// sheet, the window sheets attach to and the registration of its menu actions. Records
// change through the document's door (`changes()`), or through the current-record engine
// where the window's views must follow. The parts are owned elsewhere
// and outlive the context.
class FeatureContext {
public:
    // No engine: no current record, the document's catalog. No responder: the actions
    // are not registered. No progress sheet: long work goes unshown.
    explicit FeatureContext(FeatureWindow& window, Responder* actions = nullptr,
                            CurrentRecordEngine* engine = nullptr,
                            ProgressSheet* progress = nullptr);

    DatafileDocument* document() const { return m_window.datafileDocument(); }
    // Throws without a document.
    DatafileChanges& changes() const;
    std::shared_ptr<DatafileSettingsData> settings() const;
    bool isMobile() const;
    bool nowSyncing() const { return m_window.nowSyncing(); }
    // The records shown: the window's selection and order, else the document's catalog.
    std::shared_ptr<SubsetSortedData> catalog() const;
    // Whether the records shown are a selection, not all of them.
    bool haveCurrentSelection() const;

    bool hasCurrentRecordEngine() const { return m_engine != nullptr; }
    // The current record and the moves between records; throws where there is none.
    CurrentRecordEngine& engine() const;
    // Nullptr without a current record.
    std::shared_ptr<RecordData> currentRecord() const;

    ProgressSheet& progress() const { return *m_progress; }
    QWidget* window() const { return m_window.sheetWindow(); }
    FeatureWindow& host() const { return m_window; }
    void registerAction(const QString& selector, Responder::Action action) const;

private:
    FeatureWindow& m_window;
    Responder* m_actions;
    CurrentRecordEngine* m_engine;
    ProgressSheet* m_progress;
    // Stands in when none is given.
    std::unique_ptr<ProgressSheet> m_noProgress;
};

// A window whose features work through a context: how a feature reaches another
// document's window (`DatafileDocument::editor()`).
class FeatureContextOwner {
public:
    virtual ~FeatureContextOwner() = default;
    virtual FeatureContext& featureContext() = 0;
};
