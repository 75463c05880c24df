// The search over a fake editor window: the key lists, the tests of one record, the
// forward and reverse walks, the find box's keys and the mode button.
#include "EditorSearchController.h"
#include "RecordDataTesting.h"

#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "FindBoxView.h"
#include "RecordKeySearch.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <random>

#include <gtest/gtest.h>

inline void PrintTo(const QString& string, std::ostream* stream)
{
    *stream << '"' << string.toStdString() << '"';
}

namespace {

// A window of records with the fields "Name" and "City" (City hidden from the List
// View when asked), each record given as its two values and its text. Its context has
// no current-record engine: the walk goes through the fake's own moves.
class FakeSearchWindow : public EditorSearchWindow, public FeatureWindow {
public:
    struct Values {
        QString name;
        QString city;
        QString text;
    };

    explicit FakeSearchWindow(const QList<Values>& records, bool cityShown = true)
    {
        m_settings->setFields(PlistArray{
            PlistDictionary{{"Identifier", "N"}, {"Name", "Name"}},
            PlistDictionary{{"Identifier", "C"}, {"Name", "City"}, {"Show", cityShown}}});
        for (const Values& values : records) {
            auto record = std::make_shared<RecordData>();
            PlistDictionary fields;
            fields.insert("N", values.name);
            fields.insert("C", values.city);
            record->setFields(fields, RecordDataTesting::key());
            record->setTextString(values.text, RecordDataTesting::key());
            m_records.append(record);
        }
        m_document.setDatafileSettings(m_settings);
    }

    // FeatureWindow
    DatafileDocument* datafileDocument() const override { return &m_document; }
    bool nowSyncing() const override { return syncing; }
    void selectAllRecords() override { log << "all"; }
    std::shared_ptr<RecordData> addNewRecord() override { return nullptr; }
    std::shared_ptr<RecordData> addRecordForModification() override { return nullptr; }
    qint64 stripDuplicateRecords(bool) override { return 0; }
    QString addNewFieldWithName(const QString&) override { return {}; }
    QString appendNewFieldWithName(const QString&) override { return {}; }
    void resetSplitView() override {}

    // EditorSearchWindow
    qint64 selectedRecordCount() const override { return m_records.size(); }
    std::shared_ptr<RecordData> recordAtIndex(qint64 index) const override
    {
        return index >= 0 && index < m_records.size() ? m_records.at(index) : nullptr;
    }
    std::shared_ptr<RecordData> currentRecord() const override { return recordAtIndex(current); }
    qint64 indexOfCurrentRecord() const override { return current; }
    qint64 lastHitField() const override { return lastHit; }
    void setLastHitField(qint64 code) override { lastHit = code; }
    quint64 currentField() const override { return field; }
    bool tableTextSelected() const override { return cellSelected; }
    bool listViewShown() const override { return listView; }
    TextRange freeformSelection() const override { return selection; }
    bool freeformCanUndo() const override { return !typed.isNull(); }
    // The typing stored, as the window's door would.
    void commitFreeformText() override
    {
        currentRecord()->setTextString(typed, RecordDataTesting::key());
        log << "changed";
    }
    void updateCurrentRecord() override { log << "commit"; }
    void setDatafileChanged() override { log << "changed"; }
    void autoSaveChanges(bool) override {}
    void loadRecordAtIndex(qint64 index) override
    {
        current = index;
        selection = {};
        log << QStringLiteral("load %1").arg(index);
    }
    void deleteIfEmptyRecordAtIndex(qint64 index) override
    {
        log << QStringLiteral("delete if empty %1").arg(index);
    }
    void goToNextRecord() override { log << "next"; }
    void goToPreviousRecord() override { log << "previous"; }
    void freshenWindowContentSettings() override { log << "freshen"; }
    void selectRow(qint64 row) override { log << QStringLiteral("row %1").arg(row); }
    void selectRangeInField(qint64 column, qint64 row) override
    {
        log << QStringLiteral("cell %1,%2").arg(column).arg(row);
    }
    void setFieldFoundTextColor(const QColor& color) override
    {
        log << QStringLiteral("colour %1").arg(color.name());
    }
    void scrollToField(qint64, qint64) override {}
    void showFreeformHits(const QList<TextRange>& ranges, const QColor&, bool focus) override
    {
        selection = ranges.last();
        QStringList shown;
        for (const TextRange& range : ranges)
            shown << QStringLiteral("%1+%2").arg(range.position).arg(range.length);
        log << QStringLiteral("text %1%2").arg(shown.join(' '), focus ? " focused" : "");
    }
    void activateFreeformText() override { log << "text focused"; }
    void highlightBeginningOfCurrentRecord() override { selection = {0, 1}; }
    void highlightEndOfCurrentRecord() override
    {
        const qsizetype length = currentRecord()->textString().size();
        selection = {length - 1, 1};
    }
    void tableViewHit() override { log << "edit cell"; }
    QPlainTextEdit* fieldEditor() const override { return nullptr; }

    FeatureContext context{*this};

    bool syncing = false;
    qint64 current = 0;
    qint64 lastHit = EditorSearchController::NoHit;
    quint64 field = 0;
    bool cellSelected = false;
    bool listView = false;
    TextRange selection;
    QString typed;
    QStringList log;

private:
    std::shared_ptr<DatafileSettingsData> m_settings = DatafileSettingsData::settings();
    mutable DatafileDocument m_document;
    QList<std::shared_ptr<RecordData>> m_records;
};

class EditorSearchControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Presenter::setShared(&m_presenter);
        UserDefaults::setStandardUserDefaults(&m_defaults);
        m_defaults.setBool(true, "GeneralBeepWhenFindFails");
    }
    void TearDown() override
    {
        UserDefaults::setStandardUserDefaults(nullptr);
        Presenter::setShared(nullptr);
    }

    // Searches forward for one key from where the window stands, as the find box does.
    static QString forward(EditorSearchController& search, FakeSearchWindow& window,
                           const QString& key)
    {
        window.log.clear();
        search.forwardSearchForString(key, false, false, true,
                                      EditorSearchController::AllFieldsScope, true, false, false);
        return window.log.join(" | ");
    }

    QTemporaryDir m_dir;
    ScriptedPresenter m_presenter;
    UserDefaults m_defaults{m_dir.filePath("defaults")};
};

TEST_F(EditorSearchControllerTest, TargetStringList_SplitsByEntryStyle)
{
    struct Case {
        qint64 style;
        QString text;
        QStringList keys;
    };
    const QString q = QStringLiteral("\"");
    const Case cases[] = {
        {0, "a&&b", {"a", "b"}},
        {0, "a&&", {"a"}},
        {0, "&&a", {"", "a"}},
        {0, "a&&&&b", {"a", "", "b"}},
        {0, "a&&&", {"a", "&"}},
        {0, "", {}},
        {0, " a b ", {" a b "}},
        {1, "  a  b ", {"a", "b"}},
        {1, q + "a b" + q + " c", {"a b", "c"}},
        {1, q + "a b", {"a b"}},
        {1, "x " + q, {"x", ""}},
        {1, "ab" + q + "cd ef", {"ab" + q + "cd", "ef"}},
        {1, "ab" + q + "cd", {"ab", "cd"}},
        {1, q, {""}},
        {1, q + q, {""}},
        {1, "   ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditorSearchController::targetStringList(c.text, c.style), c.keys)
            << c.style << " '" << c.text.toStdString() << "'";
    // One key: the whole text in the "&&" style, the phrase without its quotes in the other.
    EXPECT_EQ(EditorSearchController::singleKeyString("a&&", {"a"}, 0), "a&&");
    EXPECT_EQ(EditorSearchController::singleKeyString(q + "new york" + q, {"new york"}, 1),
              "new york");
}

TEST_F(EditorSearchControllerTest, ColumnFromFieldIndex_CountsShownFieldsBefore)
{
    const PlistArray fields{PlistDictionary{{"Show", false}}, PlistDictionary{},
                            PlistDictionary{{"Show", true}}, PlistDictionary{}};
    EXPECT_EQ(EditorSearchController::columnFromFieldIndex(fields, 0), 0);
    EXPECT_EQ(EditorSearchController::columnFromFieldIndex(fields, 1), 0);
    EXPECT_EQ(EditorSearchController::columnFromFieldIndex(fields, 3), 2);
}

TEST_F(EditorSearchControllerTest, RecordKeySearch_FindsTheRecordTheForwardSearchFinds)
{
    // Records searched on several threads without a window (as Multi-File Find reads a
    // datafile) against the window's own forward search from the first record.
    const QStringList words{"wren", "Wren", "WREN", "wrens", "awren", "wren-tit", "straße",
                            "Straße", "café", "cafe", "", "bird"};
    std::mt19937 random(66);
    const auto pick = [&] {
        QStringList chosen;
        for (int count = int(random() % 3); count > 0; --count)
            chosen << words[int(random() % words.size())];
        return chosen.join(' ');
    };
    QList<FakeSearchWindow::Values> values;
    for (int index = 0; index < 5000; ++index) {
        // Most records hold none of the keys, so that hits lie far apart.
        const bool plain = random() % 50 != 0;
        values.append({plain ? "bird" : pick(), plain ? "" : pick(), plain ? "a bird" : pick()});
    }
    FakeSearchWindow window(values);
    EditorSearchController search(window.context, window);
    DatafileDocument document;
    document.datafileSettings()->setFields(window.datafileDocument()->datafileSettings()->fields());
    for (qint64 index = 0; index < window.selectedRecordCount(); ++index) {
        const std::shared_ptr<RecordData> record = window.recordAtIndex(index);
        document.datafileRecords()->setRecord(record, record->identifier());
        document.datafileCatalog()->insertIdentifierAtEnd(record->identifier());
    }
    document.datafileCatalog()->selectAll();
    const QStringList identifiers = RecordKeySearch::fieldIdentifiers(
        document.datafileSettings()->fields(), EditorSearchController::MaxHitField);

    for (const QString& key : QStringList{"wren", "WREN", "wren-", "straße", "CAFÉ", "tit", "zebra"}) {
        for (const bool caseSensitive : {false, true}) {
            for (const bool wholeWord : {false, true}) {
                window.current = 0;
                window.lastHit = EditorSearchController::NoHit;
                const bool found = search.forwardSearchForString(
                    key, caseSensitive, wholeWord, false, EditorSearchController::AllFieldsScope,
                    false, false, true);
                const RecordKeySearch keySearch(
                    identifiers, key, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive,
                    wholeWord);
                EXPECT_EQ(keySearch.firstSelectedRecordHolding(*document.datafileCatalog()),
                          found ? window.current : -1)
                    << key.toStdString() << " " << caseSensitive << wholeWord;
            }
        }
    }
}

TEST_F(EditorSearchControllerTest, ForwardSingleKey_WalksFieldsThenTextThenNextRecord)
{
    FakeSearchWindow window({{"Smith Smith", "Smithfield", "a Smith and Smith"},
                             {"Jones", "Boston", ""},
                             {"Smithers", "", ""}});
    EditorSearchController search(window.context, window);
    // Two occurrences in one field: only the first, the cell opened and coloured.
    EXPECT_EQ(forward(search, window, "smith"), "cell 0,0 | colour #ff0000");
    EXPECT_EQ(window.lastHit, 0);
    EXPECT_EQ(forward(search, window, "smith"), "cell 1,0 | colour #ff0000");
    // Then the text area from its start, then after the hit there.
    EXPECT_EQ(forward(search, window, "smith"), "text 2+5 focused");
    EXPECT_EQ(window.lastHit, EditorSearchController::FreeformHit);
    EXPECT_EQ(forward(search, window, "smith"), "text 12+5 focused");
    EXPECT_EQ(forward(search, window, "smith"), "load 2 | cell 0,2 | colour #ff0000");
    EXPECT_TRUE(search.foundInForwardSearch());
}

TEST_F(EditorSearchControllerTest, ForwardSingleKey_WrapsOnceUnlessStartedAtTheVeryBeginning)
{
    FakeSearchWindow window({{"Ann", "", ""}, {"Bob", "", ""}, {"Cy", "", ""}});
    EditorSearchController search(window.context, window);
    // From record 0 at field 0 there is nothing before to wrap to: a miss, with a beep.
    EXPECT_EQ(forward(search, window, "Zed"), "");
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_EQ(window.lastHit, EditorSearchController::NoHit);
    EXPECT_EQ(window.current, 0);

    window.current = 2;
    EXPECT_EQ(forward(search, window, "Bob"), "load 1 | cell 0,1 | colour #ff0000");
    // One wrap, stopping at the record it started in (examined whole).
    window.current = 1;
    window.lastHit = 0;
    EXPECT_EQ(forward(search, window, "Bob"), "cell 0,1 | colour #ff0000");

    window.log.clear();
    window.current = 1;
    window.lastHit = EditorSearchController::NoHit;
    EXPECT_FALSE(search.forwardSearchForString("Ann", false, false, true,
                                               EditorSearchController::AllFieldsScope, true,
                                               true, false));
    EXPECT_EQ(window.current, 1); // limited to the current record: no wrap
}

TEST_F(EditorSearchControllerTest, ForwardSingleKey_NeverIndexesAMissingField)
{
    FakeSearchWindow window({{"x", "key", "key"}, {"key", "", ""}});
    EditorSearchController search(window.context, window);
    // A several-key reverse marker counts as no hit: the fields from the first.
    window.lastHit = EditorSearchController::ReverseFieldMatch;
    EXPECT_EQ(forward(search, window, "key"), "cell 1,0 | colour #ff0000");
    // After a several-key forward match nothing more in the fields, but the text.
    window.lastHit = 3;
    EXPECT_EQ(forward(search, window, "key"), "text 0+3 focused");
    window.lastHit = EditorSearchController::MaxHitField + 5;
    EXPECT_EQ(forward(search, window, "key"), "text 0+3 focused");
}

TEST_F(EditorSearchControllerTest, ForwardSingleKey_FieldScopeNotHitTwice)
{
    FakeSearchWindow window({{"key", "", ""}});
    EditorSearchController search(window.context, window);
    window.lastHit = 0;
    window.cellSelected = true;
    window.log.clear();
    EXPECT_FALSE(search.forwardSearchForString("key", false, false, true, 0, false, true, false));
    EXPECT_EQ(window.lastHit, EditorSearchController::NoHit);
    EXPECT_TRUE(search.forwardSearchForString("key", false, true, true, 0, false, true, false));
}

TEST_F(EditorSearchControllerTest, ForwardSingleKey_WholeWordAndCase)
{
    FakeSearchWindow window({{"concatenate", "cat9", "the cat."}, {"cat", "", ""}});
    EditorSearchController search(window.context, window);
    window.log.clear();
    EXPECT_TRUE(search.forwardSearchForString("cat", false, true, true,
                                              EditorSearchController::AllFieldsScope, true, false,
                                              false));
    EXPECT_EQ(window.log.join(" | "), "text 4+3 focused");
    window.log.clear();
    window.current = 0;
    window.lastHit = EditorSearchController::NoHit;
    EXPECT_FALSE(search.forwardSearchForString("CONCAT", true, false, true,
                                               EditorSearchController::AllFieldsScope, true, false,
                                               false));
}

TEST_F(EditorSearchControllerTest, ForwardSingleKey_HiddenListFieldSelectsTheRow)
{
    FakeSearchWindow window({{"Ann", "Boston", ""}, {"Bob", "Boston", ""}}, false);
    EditorSearchController search(window.context, window);
    window.listView = true;
    EXPECT_EQ(forward(search, window, "Boston"), "row 0");
    EXPECT_EQ(window.lastHit, 1);
    // A shown field in the List View: its column counts the shown fields before it.
    EXPECT_EQ(forward(search, window, "Bob"), "load 1 | cell 0,1 | colour #ff0000");
}

TEST_F(EditorSearchControllerTest, ForwardSingleKey_SearchesUncommittedTyping)
{
    FakeSearchWindow window({{"", "", "old"}});
    EditorSearchController search(window.context, window);
    window.typed = "new words";
    EXPECT_EQ(forward(search, window, "words"), "changed | text 4+5 focused");
    EXPECT_EQ(window.currentRecord()->textString(), "new words");
}

TEST_F(EditorSearchControllerTest, ReverseSingleKey_FromTheEndAndAroundOnce)
{
    FakeSearchWindow window({{"key", "", "key key"}, {"", "", ""}, {"", "key", ""}});
    EditorSearchController search(window.context, window);
    const auto reverse = [&] {
        window.log.clear();
        search.reverseSearchForString("key", false, false, true,
                                      EditorSearchController::AllFieldsScope);
        return window.log.join(" | ");
    };
    // A caret in the text area: the whole text, its last occurrence first.
    window.selection = {2, 0};
    EXPECT_EQ(reverse(), "text 4+3 focused");
    EXPECT_EQ(reverse(), "text 0+3 focused");
    EXPECT_EQ(reverse(), "cell 0,0 | colour #ff0000");
    // Field 0 hit: nothing before it; around to the last record, the empty one left.
    window.log.clear();
    EXPECT_EQ(reverse(), "load 2 | delete if empty 0 | cell 1,2 | colour #ff0000");
    // Any code but the text area's and a field's starts from the end.
    window.current = 0;
    window.selection = {};
    for (const qint64 code : {qint64(-3), qint64(3), qint64(9999)}) {
        window.lastHit = code;
        window.selection = {};
        EXPECT_EQ(reverse(), "text 4+3 focused") << code;
    }
}

TEST_F(EditorSearchControllerTest, SeveralKeys_ForwardMovesOnAndReverseBack)
{
    FakeSearchWindow window({{"Smith", "Boston", ""},
                             {"Smith", "Denver", ""},
                             {"Jones", "Boston", "Smith"},
                             {"Smith", "Boston", ""}});
    EditorSearchController search(window.context, window);
    const QStringList keys{"Smith", "Boston"};
    const auto forwardKeys = [&] {
        window.log.clear();
        search.forwardSearchForArrayOfStrings(keys, false, false, false,
                                              EditorSearchController::AllFieldsScope, true, false);
        return window.log.join(" | ");
    };
    EXPECT_EQ(forwardKeys(), "cell 1,0 | colour #ff0000");
    EXPECT_EQ(window.lastHit, 3);
    EXPECT_EQ(forwardKeys(), "load 2 | text 0+5 | cell 1,2 | colour #ff0000");
    EXPECT_EQ(forwardKeys(), "load 3 | cell 1,3 | colour #ff0000");

    window.log.clear();
    EXPECT_TRUE(search.reverseSearchForArrayOfStrings(keys, false, false, true,
                                                      EditorSearchController::AllFieldsScope));
    // A forward match before it: it starts one record earlier.
    EXPECT_EQ(window.log.join(" | "), "load 2 | delete if empty 3 | text 0+5 | cell 1,2 | colour #ff0000");
    EXPECT_EQ(window.lastHit, EditorSearchController::ReverseFieldMatch);

    window.log.clear();
    EXPECT_FALSE(search.forwardSearchForArrayOfStrings({"Smith", ""}, false, false, false,
                                                       EditorSearchController::AllFieldsScope,
                                                       true, false));
    EXPECT_EQ(m_presenter.beepCount(), 1);
}

TEST_F(EditorSearchControllerTest, FindBoxKeys_ReturnSearchesTabEditsAndNothingIsInserted)
{
    FakeSearchWindow window({{"Ann", "", "Ann"}, {"Bob", "", "Ann"}});
    EditorSearchController search(window.context, window);
    FindBoxView* box = search.searchField();
    QTest::keyClick(box, Qt::Key_Return);
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(window.log, QStringList({"next", "previous", "edit cell"}));
    EXPECT_EQ(box->string(), "");

    QTest::keyClicks(box, "Ann");
    window.log.clear();
    QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window.log, QStringList({"cell 0,0", "colour #ff0000"}));
    // Alt with forward passes over the rest of the record.
    window.log.clear();
    window.current = 0;
    window.lastHit = EditorSearchController::NoHit;
    QTest::keyClick(box, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(window.log, QStringList({"text focused", "load 1", "text 0+3 focused"}));
    EXPECT_EQ(box->string(), "Ann");

    window.syncing = true;
    window.log.clear();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(window.log.isEmpty());
}

TEST_F(EditorSearchControllerTest, FindBox_ControlKeepsTheFocusAtTheHitCtrlDoesNot)
{
    FakeSearchWindow window({{"", "", "Ann"}});
    EditorSearchController search(window.context, window);
    search.searchField()->setPlainText("Ann");
    search.forwardSearch(Qt::MetaModifier);
    EXPECT_EQ(window.log.last(), "text 0+3 focused");
    EXPECT_FALSE(search.simulatedControlKeyDown());
    search.setSimulatedControlKeyDown(true);
    search.forwardSearch(Qt::ControlModifier);
    EXPECT_FALSE(search.simulatedControlKeyDown()); // one search only
}

TEST_F(EditorSearchControllerTest, ModeButton_SwitchesModeStyleOrCase)
{
    struct Case {
        qint64 style;
        bool caseSensitive;
        qint64 mode;
        Qt::KeyboardModifiers modifiers;
        qint64 newStyle;
        bool newCase;
        qint64 newMode;
        QString image;
        QString forwardImage;
    };
    const Case cases[] = {
        {0, false, 0, Qt::NoModifier, 0, false, 1, "TB_C_findButtonAmper", "TB_C_selectButton"},
        {0, false, 1, Qt::NoModifier, 0, false, 0, "TB_C_findButtonAmper", "TB_C_findFwd"},
        {0, false, 0, Qt::AltModifier, 1, false, 0, "TB_C_findButtonQuotes", "TB_C_findFwd"},
        {1, true, 0, Qt::AltModifier, 0, true, 0, "TB_C_findButtonAmperCase", "TB_C_findFwd"},
        {1, false, 0, Qt::MetaModifier, 1, true, 0, "TB_C_findButtonQuotesCase", "TB_C_findFwd"},
        {0, true, 0, Qt::MetaModifier, 0, false, 0, "TB_C_findButtonAmper", "TB_C_findFwd"},
        // Ctrl is Command, not Control: a plain click.
        {0, false, 0, Qt::ControlModifier, 0, false, 1, "TB_C_findButtonAmper", "TB_C_selectButton"},
    };
    for (const Case& c : cases) {
        FakeSearchWindow window({{"", "", ""}});
        const std::shared_ptr<DatafileSettingsData> settings = window.context.settings();
        settings->setFindEntryMode(c.style);
        settings->setCaseSensitiveSearches(c.caseSensitive);
        settings->setFindDisplayState(c.mode);
        EditorSearchController search(window.context, window);
        search.prepare();
        settings->setDatafileSettingsDidChange(false);
        search.toggleFindButton(c.modifiers);
        EXPECT_EQ(settings->findEntryMode(), c.newStyle);
        EXPECT_EQ(settings->caseSensitiveSearches(), c.newCase);
        EXPECT_EQ(settings->findDisplayState(), c.newMode);
        EXPECT_EQ(search.findToggleButton()->property("imageName").toString(), c.image);
        EXPECT_EQ(search.forwardSearchButton()->property("imageName").toString(), c.forwardImage);
        EXPECT_TRUE(settings->datafileSettingsDidChange());
    }
}

TEST_F(EditorSearchControllerTest, ModeButton_SelectModeLooksAndLock)
{
    FakeSearchWindow window({{"", "", ""}});
    EditorSearchController search(window.context, window);
    search.prepare();
    EXPECT_EQ(search.findToggleButton()->toolTip(),
              "Click to toggle between Find and Select.\nAlt-click to toggle between Classic "
              "Norva-style and Internet-style searching.\nMeta-click to toggle Case-sensitive "
              "searching.");
    EXPECT_EQ(search.forwardSearchButton()->toolTip(),
              "Perform forward search for text in Find Box.\nCtrl+G");
    search.toggleFindButton(Qt::NoModifier);
    EXPECT_EQ(search.forwardSearchButton()->property("pressedImageName").toString(),
              "TB_C_selectButtonDark");
    EXPECT_EQ(search.reverseSearchButton()->property("imageName").toString(),
              "TB_C_selectAllButton");
    EXPECT_EQ(search.reverseSearchButton()->toolTip(), "Select ALL records.\nCtrl+Shift+G");
    EXPECT_EQ(search.forwardSearchButton()->toolTip(),
              "Select records that contain text in Find Box.\nCtrl+G");

    // In Select mode an empty box steps; with text and no catalog to ask, a miss beeps.
    search.forwardSearch(Qt::NoModifier);
    EXPECT_EQ(window.log, QStringList({"next"}));

    m_defaults.setBool(true, "MagnifyingGlassDisabled");
    search.setSearchOptionLock();
    search.toggleFindButton(Qt::NoModifier);
    EXPECT_EQ(window.context.settings()->findDisplayState(), 1);
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_EQ(search.findToggleButton()->toolTip(),
              "This button is disabled. See the last item in the Find sub-menu under the Edit "
              "menu.");
}

} // namespace

TEST_F(EditorSearchControllerTest, ForwardSearch_OverManyRecordsFindsTheFirstAfterAndThenWraps)
{
    // Enough records for the walk to read them on several threads.
    QList<FakeSearchWindow::Values> records(5000, {"x", "y", "z"});
    records[700] = {"x", "needle", "z"};
    records[1500] = {"x", "y", "a needle"};
    records[4000] = {"needle", "y", "z"};
    FakeSearchWindow window(records);
    EditorSearchController search(window.context, window);
    window.current = 1000;
    EXPECT_EQ(forward(search, window, "needle"), "load 1500 | text 2+6 focused");
    EXPECT_EQ(forward(search, window, "needle"), "load 4000 | cell 0,4000 | colour #ff0000");
    EXPECT_EQ(forward(search, window, "needle"), "load 700 | cell 1,700 | colour #ff0000");
    window.log.clear();
    EXPECT_TRUE(search.forwardSearchForArrayOfStrings({"x", "needle"}, false, false, false,
                                                      EditorSearchController::AllFieldsScope,
                                                      true, false));
    EXPECT_EQ(window.current, 1500);
}

TEST_F(EditorSearchControllerTest, AdjustFindBox_FontAtMost36PointsAndOneLineHigh)
{
    FakeSearchWindow window({{"", "", ""}});
    window.context.settings()->setFindBoxFontSize(48);
    EditorSearchController search(window.context, window);
    search.prepare();
    EXPECT_EQ(search.searchField()->font().pointSizeF(), 36.0);
    const int oneLine = search.searchField()->height();
    window.context.settings()->setFindBoxFontSize(12);
    search.adjustFindBox();
    EXPECT_EQ(search.searchField()->font().pointSizeF(), 12.0);
    EXPECT_LT(search.searchField()->height(), oneLine);
}
