#pragma once

#include "EditorSearchController.h"

class EditorWindowController;

// The editor window as its search sees it, and the window's find commands: Find Next
// and Find Previous commit what was typed and search from the find box (the "and Edit"
// forms leave the hit selected for editing), the skip forms move one record first, Find
// Next in Clone Window searches in a new clone, and Go to Find Box focuses it. While the
// datafile syncs they do nothing.
class EditorWindowSearchViews : public EditorSearchWindow {
public:
    explicit EditorWindowSearchViews(EditorWindowController& editor);

    qint64 selectedRecordCount() const override;
    std::shared_ptr<RecordData> recordAtIndex(qint64 index) const override;
    std::shared_ptr<RecordData> currentRecord() const override;
    qint64 indexOfCurrentRecord() const override;
    qint64 lastHitField() const override;
    void setLastHitField(qint64 code) override;
    quint64 currentField() const override;
    bool tableTextSelected() const override;
    bool listViewShown() const override;
    TextRange freeformSelection() const override;
    bool freeformCanUndo() const override;
    void commitFreeformText() override;
    void updateCurrentRecord() override;
    void setDatafileChanged() override;
    void autoSaveChanges(bool force) override;
    void loadRecordAtIndex(qint64 index) override;
    void deleteIfEmptyRecordAtIndex(qint64 index) override;
    void goToNextRecord() override;
    void goToPreviousRecord() override;
    void freshenWindowContentSettings() override;
    void selectRow(qint64 row) override;
    void selectRangeInField(qint64 column, qint64 row) override;
    void setFieldFoundTextColor(const QColor& color) override;
    void scrollToField(qint64 row, qint64 field) override;
    void showFreeformHits(const QList<TextRange>& ranges, const QColor& color, bool focus) override;
    void activateFreeformText() override;
    void highlightBeginningOfCurrentRecord() override;
    void highlightEndOfCurrentRecord() override;
    void tableViewHit() override;
    QPlainTextEdit* fieldEditor() const override;

private:
    void searchForFindBoxText(bool forward, bool highlight);
    void skipThenSearch(bool forward);
    // A clone window with the find box's text searches forward from its next record;
    // nothing when the find box is empty.
    void findNextInClone();
    // The text area's character [location, location + 1) selected and shown.
    void highlightCharacter(qsizetype location);

    EditorWindowController& m_editor;
};
