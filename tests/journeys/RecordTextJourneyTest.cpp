// A user's journeys into a record whose Freeform Text is empty, after one with text: every
// way the program brings such a record on screen shows it empty, and saving keeps it empty.
// And the List View's text column after the text was typed and saved.
#include "JourneyTestBase.h"

#include "EditorTableController.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "RXTableView.h"
#include "RichText.h"

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTextDocument>

#include <functional>

namespace {

const QString nameField = QStringLiteral("F0");
const PlistDate stamp{100000.0};

QString identifierOf(int number)
{
    return QStringLiteral("00000000-0000-4000-8000-%1").arg(number, 12, 10, QLatin1Char('0'));
}

const QString emptyRecord = identifierOf(2);

class RecordTextJourneyTest : public JourneyTestBase {
protected:
    // Four records, the second with the empty rich text a record added without text gets;
    // the others with rich texts of their own. The catalog in the order given.
    QString writeTexts(const QList<int>& order = {1, 2, 3, 4})
    {
        const QStringList names{"Dora", "Ann", "Cy", "Bo"};
        const QStringList texts{"first text", "", "third text", "fourth text"};
        PlistDictionary records;
        PlistArray catalog;
        for (int number = 1; number <= 4; ++number) {
            QTextDocument document;
            document.setPlainText(texts.at(number - 1));
            records.insert(identifierOf(number),
                           PlistDictionary{{"RecordIdentifier", identifierOf(number)},
                                           {"RecordModifiedDate", stamp},
                                           {"Fields", PlistDictionary{{nameField, names.at(number - 1)}}},
                                           {"TextString", texts.at(number - 1)},
                                           {"TextRTFD", RichText::toRtfd(document)}});
        }
        for (int number : order)
            catalog.append(PlistDictionary{{"Identifier", identifierOf(number)},
                                           {"CurrentlySelected", true},
                                           {"PreviouslySelected", true}});
        const PlistArray fields{PlistDictionary{
            {"Identifier", nameField}, {"Name", "Name"}, {"Width", 150.0}, {"Show", true}}};
        const PlistDictionary datafile{
            {"Settings", PlistDictionary{{"DataFormat", 1}, {"Mode", "List"}, {"Fields", fields}}},
            {"Records", records},
            {"Catalog", catalog}};
        const QString path = m_dir.filePath("texts.nv3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return path;
    }

    static void key(EditorWindowController* editor, Qt::Key key,
                    Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QTest::keyClick(editor->window(), key, modifiers);
    }

    // A right click on the List cell, and the item of the menu it brings up.
    bool chooseFromCellMenu(EditorWindowController* editor, int row, int column,
                            const QString& selector)
    {
        RXTableView* table = editor->tableController()->listTableView();
        const QPoint point = table->visualRect(table->model()->index(row, column)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, point,
                                table->viewport()->mapToGlobal(point));
        QApplication::sendEvent(table->viewport(), &click);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        EXPECT_TRUE(menu) << "no menu on the cell";
        if (!menu)
            return false;
        const ActionBinding& binding = m_assembly->mainController().menus().binding();
        for (QAction* item : menu->actions()) {
            if (binding.selectorFor(item) == selector) {
                menu->close();
                item->trigger();
                return true;
            }
        }
        menu->close();
        ADD_FAILURE() << "no " << selector.toStdString() << " in the cell's menu";
        return false;
    }

    static std::shared_ptr<RecordData> record(EditorWindowController* editor, int number)
    {
        return editor->engine().recordForIdentifier(identifierOf(number));
    }
};

struct WayIn {
    const char* name;
    QList<int> order;
    // Brings the empty record on screen in the window it returns, after another text.
    std::function<EditorWindowController*(EditorWindowController*)> go;
    // Looking, not changing: the datafile stays unedited.
    bool leavesTheDatafileClean;
};

} // namespace

// Each way in is one row; they all end the same way: shown empty, unstamped, and still
// empty in the file after moving on, adding a record and saving.
TEST_F(RecordTextJourneyTest, AnEmptyTextAfterAFullOne_IsShownEmptyAndSavedEmpty)
{
    const WayIn ways[] = {
        {"next record", {1, 2, 3, 4},
         [](EditorWindowController* editor) {
             key(editor, Qt::Key_Apostrophe);
             return editor;
         },
         true},
        {"delete record", {1, 2, 3, 4},
         [this](EditorWindowController* editor) {
             EXPECT_TRUE(chooseMenuItem(editor->window(), "deleteRecordWithoutWarning:"));
             return editor;
         },
         false},
        {"multi-file find", {1, 2, 3, 4},
         [this](EditorWindowController* editor) {
             MultiFileFindController* finder = openMultiFileFind();
             if (finder) {
                 finder->findWhatField()->setText("Ann");
                 QTest::mouseClick(finder->findNextButton(), Qt::LeftButton);
             }
             activate(editor->window());
             return editor;
         },
         true},
        {"sort from the cell's menu", {1, 2, 3, 4},
         [this](EditorWindowController* editor) {
             EXPECT_TRUE(chooseFromCellMenu(editor, 0, 0, "sortAlpha:"));
             return editor;
         },
         false},
        {"switch view there and back", {1, 2, 3, 4},
         [this](EditorWindowController* editor) {
             key(editor, Qt::Key_Apostrophe);
             EXPECT_TRUE(chooseMenuItem(editor->window(), "switchView:"));
             EXPECT_EQ(editor->settings()->mode(), "Basic");
             EXPECT_TRUE(chooseMenuItem(editor->window(), "switchView:"));
             return editor;
         },
         true},
        {"next record in a clone", {1, 2, 3, 4},
         [this](EditorWindowController* editor) {
             EXPECT_TRUE(chooseMenuItem(editor->window(), "openCloneWindow:"));
             auto* clone = static_cast<EditorWindowController*>(
                 editor->document()->windowControllers().back().get());
             activate(clone->window());
             EXPECT_EQ(clone->freeformTextView()->plainText(), "first text");
             key(clone, Qt::Key_Apostrophe);
             return clone;
         },
         true},
        // Reverting shows the first record: here the empty one, after the third's text.
        {"revert", {2, 1, 3, 4},
         [this](EditorWindowController* editor) {
             key(editor, Qt::Key_Apostrophe); // the first record's text
             key(editor, Qt::Key_Equal);      // an edit to revert
             key(editor, Qt::Key_Apostrophe); // the third record's text
             key(editor, Qt::Key_Equal);
             m_presenter.answerAlerts({AlertFirstButtonReturn});
             EXPECT_TRUE(chooseMenuItem(editor->window(), "revertDocumentToSaved:"));
             EXPECT_EQ(editor->engine().catalog()->count(), 4);
             return editor;
         },
         true},
    };
    for (const WayIn& way : ways) {
        SCOPED_TRACE(way.name);
        const QString path = writeTexts(way.order);
        activate(&m_assembly->startWindow());
        EditorWindowController* editor = openWithCommand(path);
        ASSERT_TRUE(editor);
        EditorWindowController* window = way.go(editor);
        ASSERT_TRUE(window);
        ASSERT_EQ(window->engine().currentRecord()->identifier(), emptyRecord);
        EXPECT_EQ(window->freeformTextView()->plainText(), QString());
        // Showing a text is no edit of it.
        EXPECT_EQ(record(editor, 2)->modifiedDate(), stamp);
        if (way.leavesTheDatafileClean) {
            EXPECT_FALSE(editor->document()->isDocumentEdited());
        }

        activate(editor->window());
        key(editor, Qt::Key_Apostrophe);
        key(editor, Qt::Key_Equal);
        key(editor, Qt::Key_S);
        const PlistValue saved =
            readDatafile(path).value("Records").asDictionary()->value(emptyRecord);
        ASSERT_TRUE(saved.asDictionary());
        EXPECT_EQ(saved.asDictionary()->value("TextString"), PlistValue(QString()));
        const PlistValue rich = saved.asDictionary()->value("TextRTFD");
        const RichTextResult text = rich.asData() ? RichText::fromRtfd(*rich.asData()) : RichTextResult{};
        ASSERT_TRUE(text.ok() && text.document);
        EXPECT_EQ(RichText::plainText(*text.document), QString());
        EXPECT_EQ(saved.asDictionary()->value("RecordModifiedDate"), PlistValue(stamp));

        // The next row opens the file afresh.
        editor->document()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(RecordTextJourneyTest, ListTextColumn_ShowsATextTypedAndSaved_AtOnce)
{
    EditorWindowController* editor = openWithCommand(writeTexts());
    ASSERT_TRUE(editor);
    ListViewModel* list = editor->tableController()->listViewModel();
    const QModelIndex cell = list->index(0, 1);
    ASSERT_EQ(list->columnIdentifier(1), ListViewModel::TextColumnIdentifier);
    QList<QModelIndex> shownAnew;
    QObject::connect(list, &QAbstractItemModel::dataChanged, editor->window(),
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         if (from.row() <= cell.row() && cell.row() <= to.row() &&
                             from.column() <= cell.column() && cell.column() <= to.column())
                             shownAnew.append(cell);
                     });

    editor->freeformTextView()->setFocus();
    QTest::keyClicks(editor->freeformTextView(), "typed line");
    QTest::keyClick(editor->freeformTextView(), Qt::Key_Return);
    key(editor, Qt::Key_S);
    EXPECT_FALSE(editor->document()->isDocumentEdited());
    EXPECT_FALSE(shownAnew.isEmpty()) << "the text column was not shown anew";
    EXPECT_EQ(list->data(cell, Qt::DisplayRole).toString(), "typed line");
}
