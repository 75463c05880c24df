#pragma once

#include "DatafileSettingsData.h"
#include "RecordData.h"
#include "RecordKeySearch.h"
#include "TextSearch.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <QStringList>

#include <memory>
#include <vector>

class FeatureContext;
class FindBoxView;
class QPlainTextEdit;
class QTextDocument;
class QTextEdit;
class QToolButton;
class SubsetSortedData;

// The editor window as its search sees it, beyond the features' context (settings,
// catalog, progress sheet, window, record writes): the records shown, by display index,
// the last-hit code, the cell and text selections, committing and loading records, and
// showing a hit.
class EditorSearchWindow {
public:
    virtual ~EditorSearchWindow() = default;

    // The selected records in display order.
    virtual qint64 selectedRecordCount() const = 0;
    virtual std::shared_ptr<RecordData> recordAtIndex(qint64 index) const = 0;
    virtual std::shared_ptr<RecordData> currentRecord() const = 0;
    virtual qint64 indexOfCurrentRecord() const = 0;
    virtual qint64 lastHitField() const = 0;
    virtual void setLastHitField(qint64 code) = 0;
    // The field the tables edit, and whether text is selected in its cell.
    virtual quint64 currentField() const = 0;
    virtual bool tableTextSelected() const = 0;
    virtual bool listViewShown() const = 0;

    // The Freeform Text Area: its selection, and typing that is not in the record yet,
    // stored through the records door.
    virtual TextRange freeformSelection() const = 0;
    virtual bool freeformCanUndo() const = 0;
    virtual void commitFreeformText() = 0;

    virtual void updateCurrentRecord() = 0;
    virtual void setDatafileChanged() = 0;
    virtual void autoSaveChanges(bool force) = 0;
    virtual void loadRecordAtIndex(qint64 index) = 0;
    virtual void deleteIfEmptyRecordAtIndex(qint64 index) = 0;
    virtual void goToNextRecord() = 0;
    virtual void goToPreviousRecord() = 0;
    // The find box focused with its text selected, and no hit to resume from.
    virtual void freshenWindowContentSettings() = 0;

    // Selects the record's row in the List View (field 0 in the Basic View).
    virtual void selectRow(qint64 row) = 0;
    // Edits the cell with the caret at its start: in the Basic View the row of field
    // `column`, in the List View that column of the record's row.
    virtual void selectRangeInField(qint64 column, qint64 row) = 0;
    virtual void setFieldFoundTextColor(const QColor& color) = 0;
    // Brings the field of the record into view.
    virtual void scrollToField(qint64 row, qint64 field) = 0;
    // Selects the last range and colours every one until the selection next changes,
    // scrolled into view; focused when asked.
    virtual void showFreeformHits(const QList<TextRange>& ranges, const QColor& color,
                                  bool focus) = 0;
    virtual void activateFreeformText() = 0;
    // Selects the text area's first or last character, when it has text.
    virtual void highlightBeginningOfCurrentRecord() = 0;
    virtual void highlightEndOfCurrentRecord() = 0;
    // Edits the current cell.
    virtual void tableViewHit() = 0;

    // What replacing needs: the editor of the cell being edited (nullptr when none is;
    // never made for this).
    virtual QPlainTextEdit* fieldEditor() const = 0;
};

// The search engine and find box of one editor window: the find box's text becomes
// search keys, forward and reverse searches walk the shown records for one key or for
// every key of a list and show the hit, and the find box's Select mode keeps only the
// records holding every key.
class EditorSearchController : public QObject {
    Q_OBJECT

public:
    // Where to search (`fieldsToSearchIn`): a field position, or these.
    static constexpr qint64 FreeformOnlyScope = RecordKeySearch::FreeformOnlyScope;
    static constexpr qint64 AllFieldsScope = RecordKeySearch::AllFieldsScope;
    // Last-hit codes besides a field position.
    static constexpr qint64 NoHit = -1;
    static constexpr qint64 FreeformHit = -2;
    static constexpr qint64 ReverseFieldMatch = -3; // a several-key reverse match in a field
    // A hit field position is limited to this: no field at or past it is ever searched.
    static constexpr qint64 MaxHitField = 9999;

    static constexpr qint64 FindDisplayMode = 0;
    static constexpr qint64 SelectDisplayMode = 1;
    static constexpr qint64 AmpersandEntryStyle = 0; // "Classic Norva-style"
    static constexpr qint64 PhraseEntryStyle = 1;    // "Internet-style"

    // The search keys of a find-box text in the entry style.
    static QStringList targetStringList(const QString& text, qint64 entryStyle);
    // What one key searches for: the whole text in the "&&" style, the key in the other.
    static QString singleKeyString(const QString& text, const QStringList& keys, qint64 entryStyle);
    // The List View column of field `index`: the shown fields before it.
    static qint64 columnFromFieldIndex(const PlistArray& fields, qint64 index);
    // The mode button's image for the entry style and case.
    static QString findButtonImageName(qint64 entryStyle, bool caseSensitive);

    // A hit in one record.
    struct Hit {
        qint64 field = 0; // the field count for the Freeform Text Area
        TextRange range;
        bool inFreeform = false;
        bool showFieldInListView = true;
    };

    // Without a parent the find bar is the controller's own.
    EditorSearchController(FeatureContext& context, EditorSearchWindow& window,
                           QWidget* barParent = nullptr);
    ~EditorSearchController() override;

    // The find box with its mode button and search buttons, laid out in a row.
    QWidget* findBar() const { return m_findBar; }
    FindBoxView* searchField() const { return m_searchField; }
    QToolButton* findToggleButton() const { return m_findToggleButton; }
    QToolButton* forwardSearchButton() const { return m_forwardSearchButton; }
    QToolButton* reverseSearchButton() const { return m_reverseSearchButton; }

    // Buttons in the settings' state, the find box sized for its font.
    void prepare();
    void adjustFindBox();
    void activateFindBox();
    void selectSearchField();
    // The mode button's tool tip as the lock of "MagnifyingGlassDisabled" says.
    void setSearchOptionLock();

    // Single key: the first hit after the last one (forward) or the last one before it.
    bool forwardSearchForString(const QString& key, bool caseSensitive, bool wholeWord,
                                bool activateSearchField, qint64 fieldsToSearchIn, bool okayToWrap,
                                bool limitToCurrentRecord, bool multiFileFind);
    bool reverseSearchForString(const QString& key, bool caseSensitive, bool wholeWord,
                                bool activateSearchField, qint64 fieldsToSearchIn);
    // Several keys: the next or previous record holding every key.
    bool forwardSearchForArrayOfStrings(const QStringList& keys, bool caseSensitive, bool wholeWord,
                                        bool activateSearchField, qint64 fieldsToSearchIn,
                                        bool okayToWrap, bool limitToCurrentRecord);
    bool reverseSearchForArrayOfStrings(const QStringList& keys, bool caseSensitive, bool wholeWord,
                                        bool activateSearchField, qint64 fieldsToSearchIn);

    // The tests of one record, by display index.
    bool forwardSearchInRecord(qint64 index, const QString& key, Hit& hit, bool caseSensitive,
                               bool wholeWord, qint64 fieldsToSearchIn, bool isCurrentRecord);
    bool reverseSearchInRecord(qint64 index, const QString& key, Hit& hit, bool caseSensitive,
                               qint64 fieldsToSearchIn, bool isCurrentRecord);
    bool forwardSearchInFieldsOfRecord(qint64 index, const QString& key, Hit& hit,
                                       bool caseSensitive, bool wholeWord, qint64 fieldsToSearchIn);
    bool reverseSearchInFieldsOfRecord(qint64 index, const QString& key, Hit& hit,
                                       bool caseSensitive);
    bool forwardSearchInFreeformOfRecord(qint64 index, const QString& key, Hit& hit,
                                         bool caseSensitive, bool isCurrentRecord);
    bool reverseSearchInFreeformOfRecord(qint64 index, const QString& key, Hit& hit,
                                         bool caseSensitive, bool isCurrentRecord);

    // Replacing (EditorSearchControllerReplacing.cpp).
    // The occurrences Replace All replaces, the last first: each search ends before the
    // occurrence replaced last, so a replacement is never searched again; a whole word
    // rejected lets the search go on with the occurrences overlapping it.
    static QList<TextRange> replacementRanges(QStringView text, const QString& key,
                                              bool caseSensitive, bool wholeWord);
    // Replaces those occurrences; the number replaced. In a rich text each replacement
    // takes the attributes of the first character it replaces.
    static qint64 replaceInString(QString& text, const QString& key, const QString& replacement,
                                  bool caseSensitive, bool wholeWord);
    static qint64 replaceInDocument(QTextDocument& document, const QString& key,
                                    const QString& replacement, bool caseSensitive,
                                    bool wholeWord);
    // The last hit's text, when it is selected and equal to the key, becomes the
    // replacement: in the cell being edited, or in the Freeform Text Area when the last
    // hit was there. Nothing in a locked record but the last hit forgotten.
    void replaceString(const QString& key, const QString& replacement, bool caseSensitive,
                       bool limitToCurrentRecord);
    // Every occurrence in the scope, in the current record or in every shown one but the
    // locked ones, reported in an alert sheet.
    void replaceAll(const QString& key, const QString& replacement, bool caseSensitive,
                    bool wholeWord, qint64 fieldsToSearchIn, bool limitToCurrentRecord);

    // The find box's commands; the modifiers are those held when the command ran.
    void forwardSearch(Qt::KeyboardModifiers modifiers);
    void reverseSearch(Qt::KeyboardModifiers modifiers);
    void forwardSearchSkip(Qt::KeyboardModifiers modifiers);
    void reverseSearchSkip(Qt::KeyboardModifiers modifiers);
    void quickSelect();
    void quickSelectAll();
    void toggleFindButton(Qt::KeyboardModifiers modifiers);
    // The next find command keeps the focus at the hit, as if Control were held.
    void setSimulatedControlKeyDown(bool down) { m_simulatedControlKeyDown = down; }
    bool simulatedControlKeyDown() const { return m_simulatedControlKeyDown; }
    bool foundInForwardSearch() const { return m_foundInForwardSearch; }
    // What typing the replacement into the find box does: Return and Enter search, Tab
    // edits the current cell; false when the text must not change.
    bool textShouldChange(const QString& replacement, Qt::KeyboardModifiers modifiers);

private:
    enum class Direction { Forward, Reverse };
    // The hit colour, and the typing in the text area put into the record.
    void prepareSearch();
    // A miss: the find box focused and selected, and the beep when the user wants one.
    void reportMiss(bool beep);
    void beepWhenFindFails() const;
    bool activateSearchFieldAfter(Qt::KeyboardModifiers modifiers);
    void search(Direction direction, Qt::KeyboardModifiers modifiers, bool optionRule);
    // A reverse hit outside the record it started in: that record goes when empty, unless
    // the hit lies past the first record the second pass examined. The hit's row after.
    qint64 leaveStartingRecord(qint64 current, bool beyondFirstExamined);
    void showHit(qint64 row, const Hit& hit, bool activateSearchField);
    // Shows the field of a several-key match: its cell, or only the row when hidden.
    void showFieldMatch(qint64 row, qint64 field);
    qint64 fieldCount() const;
    // The positions [first, end) a forward search examines after the last hit.
    std::pair<qint64, qint64> forwardFieldRange(qint64 fieldsToSearchIn) const;
    const PlistDictionary* fieldDefinition(qint64 position) const;
    void readFieldDefinitions();
    // The test of one record, which leaves no hit to resume from when it fails.
    template <typename Test> auto failingRecordsReset(Test test);
    bool recordHoldsEveryKey(qint64 index, const std::vector<RecordKeySearch>& keys) const;
    QStringView fieldValue(const RecordData& record, qint64 position) const;
    bool fieldShown(qint64 position) const;
    // Replace All in one record: its count of replacements, and whether its rich text
    // was rewritten.
    qint64 replaceAllInRecord(const std::shared_ptr<RecordData>& record, const QString& key,
                              const QString& replacement, bool caseSensitive, bool wholeWord,
                              qint64 fieldsToSearchIn, bool& richTextRewritten);
    void restyleSearchButtons(qint64 displayMode);
    void setFindButtonImage(qint64 entryStyle, bool caseSensitive);
    QString findBoxText() const;

    FeatureContext& m_context;
    EditorSearchWindow& m_window;
    QPointer<QWidget> m_findBar;
    FindBoxView* m_searchField = nullptr;
    QToolButton* m_findToggleButton = nullptr;
    QToolButton* m_forwardSearchButton = nullptr;
    QToolButton* m_reverseSearchButton = nullptr;
    bool m_ownsFindBar = false;

    bool m_foundInForwardSearch = false;
    bool m_simulatedControlKeyDown = false;
    QColor m_hitColor = Qt::red;
    // The field definitions, read once per search.
    PlistArray m_fields;
    QStringList m_fieldIdentifiers;
};
