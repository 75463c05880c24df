// A user's journeys through the View menu: the Freeform Text Area's scale, switching
// between the Basic and List Views, and zooming the window to the printed width.
#include "JourneyTestBase.h"

#include "BasicViewModel.h"
#include "DatafileSettingsData.h"
#include "EditorScaleController.h"
#include "EditorTableController.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "RXTableView.h"
#include "ZoomMarginsSheetController.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QSplitterHandle>

namespace {

class ViewsJourneyTest : public JourneyTestBase {
protected:
    QMenu* scaleMenu() const { return m_assembly->mainController().menus().scaleMenu(); }

    QAction* scaleItem(const QString& label) const
    {
        for (QAction* item : scaleMenu()->actions())
            if (item->text() == label)
                return item;
        ADD_FAILURE() << label.toStdString();
        return nullptr;
    }

    QStringList checkedScales() const
    {
        QStringList checked;
        for (QAction* item : scaleMenu()->actions())
            if (item->isChecked())
                checked.append(item->text());
        return checked;
    }

    // Two records of three fields, the middle one hidden from the List View.
    QString writeDatafile(const QString& mode)
    {
        PlistDictionary records;
        PlistArray catalog;
        for (const QString& number : {QStringLiteral("1"), QStringLiteral("2")}) {
            const QString identifier = "00000000-0000-4000-8000-00000000000" + number;
            records.insert(identifier,
                           PlistDictionary{{"RecordIdentifier", identifier},
                                           {"Fields", PlistDictionary{{"A", "a" + number},
                                                                      {"B", "b" + number},
                                                                      {"C", "c" + number}}},
                                           {"TextString", "text " + number}});
            catalog.append(PlistDictionary{
                {"Identifier", identifier}, {"CurrentlySelected", true}, {"PreviouslySelected", true}});
        }
        const PlistArray fields{PlistDictionary{{"Identifier", "A"}, {"Name", "Alpha"}},
                                PlistDictionary{{"Identifier", "B"}, {"Name", "Beta"}, {"Show", false}},
                                PlistDictionary{{"Identifier", "C"}, {"Name", "Gamma"}}};
        const PlistDictionary datafile{
            {"Settings", PlistDictionary{{"DataFormat", 1}, {"Mode", mode}, {"Fields", fields}}},
            {"Records", records},
            {"Catalog", catalog}};
        const QString path = m_dir.filePath("views.nv3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(PlistXmlWriter::write(PlistValue(datafile), file));
        return path;
    }

    static FieldCellEditor* editedCell(EditorWindowController* editor)
    {
        return editor->tableController()->currentTableView()->cellEditor();
    }

    static QString fieldValue(EditorWindowController* editor, const QString& field)
    {
        return editor->engine().currentRecord()->fields().stringForKey(field);
    }

    static void switchWithKey()
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCoreApplication::processEvents();
    }

    // Drags the divider until the top box is `top` high.
    static void dragDivider(QSplitter* split, int top)
    {
        QSplitterHandle* handle = split->handle(1);
        const QPoint grab(handle->width() / 2, handle->height() / 2);
        QTest::mousePress(handle, Qt::LeftButton, {}, grab);
        QMouseEvent move(QEvent::MouseMove, QPointF(grab.x(), top - handle->y() + grab.y()),
                         handle->mapToGlobal(QPointF(grab.x(), top - handle->y() + grab.y())),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(move.globalPosition().toPoint()));
    }

    // Shown for the user in the folder NORVA_SHOTS names, when it is set.
    static void saveShot(QWidget* window, const QString& name)
    {
        if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
            window->grab().save(qEnvironmentVariable("NORVA_SHOTS") + '/' + name);
    }
};

} // namespace

TEST_F(ViewsJourneyTest, Scale_StepsThroughTheMenu_AndTheCheckMarkFollowsTheWindowInFront)
{
    EditorWindowController* first = openWithCommand(copyFixture("five.nv3", "first.nv3"));
    ASSERT_TRUE(first);
    QWidget* window = first->window();
    FreeformTextView* text = first->freeformTextView();
    const QString stored = text->plainText();
    const int actualLineHeight = text->cursorRect().height();
    EXPECT_EQ(checkedScales(), QStringList{"100%"});

    for (int step = 0; step < 4; ++step)
        ASSERT_TRUE(chooseMenuItem(window, "increaseScale:"));
    EXPECT_EQ(checkedScales(), QStringList{"400%"});
    EXPECT_EQ(first->scaleController().scaleInfo()->text(), "400%");
    EXPECT_EQ(text->scale(), 4.0);
    saveShot(window, "scale-400.png");
    // The next record shows at the same scale.
    const int lineHeight = text->cursorRect().height();
    EXPECT_GT(lineHeight, 3 * actualLineHeight);
    QTest::keyClick(window, Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_NE(text->plainText(), stored);
    EXPECT_EQ(text->cursorRect().height(), lineHeight);
    QTest::keyClick(window, Qt::Key_Semicolon, Qt::ControlModifier);
    EXPECT_EQ(text->plainText(), stored);

    // Choosing the scale in force keeps it, check mark included.
    showMenusOf(window);
    scaleItem("400%")->trigger();
    EXPECT_EQ(checkedScales(), QStringList{"400%"});
    EXPECT_EQ(text->scale(), 4.0);

    // The last step goes no further: a beep.
    scaleItem("6400%")->trigger();
    const int beeps = m_presenter.beepCount();
    ASSERT_TRUE(chooseMenuItem(window, "increaseScale:"));
    EXPECT_EQ(m_presenter.beepCount(), beeps + 1);
    EXPECT_EQ(checkedScales(), QStringList{"6400%"});
    // Ctrl+Underscore (Shift and Minus on most keyboards) reduces.
    QTest::keyClick(window, Qt::Key_Underscore, Qt::ControlModifier);
    EXPECT_EQ(checkedScales(), QStringList{"3200%"});
    EXPECT_EQ(text->plainText(), stored);
    EXPECT_FALSE(first->document()->isDocumentEdited());

    // Another window shows its own scale, and the first its own again when back in front.
    EditorWindowController* second = openWithCommand(copyFixture("five.nv3", "second.nv3"));
    ASSERT_TRUE(second);
    EXPECT_EQ(checkedScales(), QStringList{"100%"});
    EXPECT_EQ(second->freeformTextView()->scale(), 1.0);
    activate(window);
    EXPECT_EQ(checkedScales(), QStringList{"3200%"});
    EXPECT_EQ(first->scaleController().scaleInfo()->text(), "3200%");
}

TEST_F(ViewsJourneyTest, SwitchView_CarriesTheEditedCellPastAHiddenField_BothWays)
{
    EditorWindowController* editor = openWithCommand(writeDatafile("Basic"));
    ASSERT_TRUE(editor);
    EditorTableController* tables = editor->tableController();
    // Gamma, the third field, is edited in the Basic View, its caret after the "c".
    RXTableView* basic = tables->basicTableView();
    QTest::mouseClick(basic->viewport(), Qt::LeftButton, {},
                      basic->visualRect(basic->model()->index(2, BasicViewModel::ValueColumn)).center());
    ASSERT_TRUE(editedCell(editor));
    editedCell(editor)->setSelection(1, 0);

    switchWithKey();
    EXPECT_EQ(editor->settings()->mode(), "List");
    EXPECT_EQ(tables->currentTableView(), tables->listTableView());
    FieldCellEditor* cell = editedCell(editor);
    ASSERT_TRUE(cell);
    EXPECT_EQ(tables->listTableView()->currentIndex().column(), 1) << "Gamma is List column 1";
    EXPECT_EQ(cell->selectedRange(), qMakePair(1, 0));
    QTest::keyClicks(QApplication::focusWidget(), "!");
    saveShot(editor->window(), "switch-to-list.png");

    // List column 1 is Gamma again in the Basic View, where the typing went.
    switchWithKey();
    EXPECT_EQ(editor->settings()->mode(), "Basic");
    ASSERT_TRUE(editedCell(editor));
    EXPECT_EQ(tables->currentField(), 2u);
    EXPECT_EQ(tables->basicTableView()->currentIndex().row(), 2);
    EXPECT_EQ(fieldValue(editor, "C"), "c!1");
    EXPECT_EQ(fieldValue(editor, "B"), "b1");

    // From the text area the focus stays in the text.
    editor->freeformTextView()->setFocus();
    ASSERT_TRUE(chooseMenuItem(editor->window(), "switchView:"));
    EXPECT_EQ(editor->settings()->mode(), "List");
    EXPECT_TRUE(editor->freeformTextView()->hasFocus());
    EXPECT_FALSE(editedCell(editor));
}

TEST_F(ViewsJourneyTest, Frames_EachViewKeepsItsOwn)
{
    EditorWindowController* editor = openWithCommand(writeDatafile("Basic"));
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    window->resize(700, 500);
    QCoreApplication::processEvents();
    ASSERT_TRUE(chooseMenuItem(window, "switchView:"));
    window->resize(600, 420);
    QCoreApplication::processEvents();
    const QSize listFrame = window->frameGeometry().size();
    EXPECT_TRUE(editor->settings()->listViewFrame().contains(
        QStringLiteral(" %1 %2 ").arg(listFrame.width()).arg(listFrame.height())))
        << editor->settings()->listViewFrame().toStdString();
    ASSERT_TRUE(chooseMenuItem(window, "switchView:"));
    EXPECT_EQ(window->size(), QSize(700, 500));
    ASSERT_TRUE(chooseMenuItem(window, "switchView:"));
    EXPECT_EQ(window->size(), QSize(600, 420));
}

TEST_F(ViewsJourneyTest, Split_IsStoredAsTheDividerMoves_AndACollapsedTopBoxReopensCollapsed)
{
    const QString path = copyFixture("five.nv3");
    EditorWindowController* editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    QSplitter* split = editor->splitterView();
    const int height = split->height();

    dragDivider(split, 150);
    EXPECT_EQ(split->sizes().value(0), 150);
    EXPECT_EQ(editor->settings()->basicSplitHeight(), 150.0f);
    // Never nearer the bottom than 21 points.
    dragDivider(split, height);
    EXPECT_EQ(split->sizes().value(1), 21);

    // A shorter window takes from the text area first.
    dragDivider(split, 150);
    editor->window()->resize(editor->window()->width(), editor->window()->height() - 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(split->sizes().value(0), 150);

    dragDivider(split, 4);
    EXPECT_EQ(split->sizes().value(0), 0);
    EXPECT_EQ(editor->settings()->basicSplitHeight(), 20.0f);
    QTest::keyClick(editor->window(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    activate(&m_assembly->startWindow());
    editor = openWithCommand(path);
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor->splitterView()->sizes().value(0), 0);
}

TEST_F(ViewsJourneyTest, ZoomToPrintingSize_TheWindowTakesThePrintedWidth)
{
    m_presenter.setUnprintableBorder(QMarginsF(18, 18, 18, 18));
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "zoomToPrintingSize:"));
    auto* sheet = VKSheetController::topmostController<ZoomMarginsSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->marginsLeftField()->text(), "1");
    saveShot(sheet->window(), "zoom-sheet.png");
    sheet->marginsLeftField()->setText("0.5");
    sheet->marginsRightField()->setText("0");
    sheet->okay();

    // US Letter, 612 points wide: less half an inch on the left and the printer's border
    // plus one on the right, and 16 points more in the Basic View.
    EXPECT_EQ(editor->settings()->basicViewPrintLeftMargin(), 36.0f);
    EXPECT_EQ(editor->window()->frameGeometry().width(), 612 - 36 - 19 + 16);
    EXPECT_EQ(editor->window()->frameGeometry().topLeft(),
              editor->window()->screen()->availableGeometry().topLeft());
    saveShot(editor->window(), "zoomed.png");

    // Margins wider than the paper leave the window as narrow as it can be.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "zoomToPrintingSize:"));
    sheet = VKSheetController::topmostController<ZoomMarginsSheetController>();
    ASSERT_TRUE(sheet);
    sheet->marginsLeftField()->setText("10");
    sheet->okay();
    EXPECT_EQ(editor->window()->width(), editor->window()->minimumSizeHint().width());
}

TEST_F(ViewsJourneyTest, EditFieldInNextRecord_EditsTheSameField)
{
    EditorWindowController* editor = openWithCommand(writeDatafile("Basic"));
    ASSERT_TRUE(editor);
    RXTableView* basic = editor->tableController()->basicTableView();
    QTest::mouseClick(basic->viewport(), Qt::LeftButton, {},
                      basic->visualRect(basic->model()->index(2, BasicViewModel::ValueColumn)).center());
    ASSERT_TRUE(chooseMenuItem(editor->window(), "activateFieldInNextRecord:"));
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 1);
    ASSERT_TRUE(editedCell(editor));
    EXPECT_EQ(editedCell(editor)->text(), "c2");
    EXPECT_EQ(editedCell(editor)->selectedRange(), qMakePair(0, 0));
    EXPECT_EQ(editor->tableController()->currentField(), 2u);
}

TEST_F(ViewsJourneyTest, CloneWindow_FollowsTheFirstWhenResized_AndStoresNoFrameOrSplit)
{
    EditorWindowController* editor = openWithCommand(copyFixture("five.nv3"));
    ASSERT_TRUE(editor);
    ASSERT_TRUE(chooseMenuItem(editor->window(), "openCloneWindow:"));
    auto* clone = static_cast<EditorWindowController*>(
        editor->document()->windowControllers().back().get());
    activate(clone->window());
    ASSERT_TRUE(frameSettles(clone));
    const QString frame = editor->settings()->basicViewFrame();

    activate(editor->window());
    editor->freeformTextView()->setFocus();
    QTest::keyClicks(editor->freeformTextView(), "typed ");
    clone->window()->resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_TRUE(clone->freeformTextView()->plainText().startsWith("typed "));
    EXPECT_EQ(editor->settings()->basicViewFrame(), frame);
    // Nor does the clone store its split.
    const float split = editor->settings()->basicSplitHeight();
    dragDivider(clone->splitterView(), 120);
    EXPECT_EQ(clone->splitterView()->sizes().value(0), 120);
    EXPECT_EQ(editor->settings()->basicSplitHeight(), split);
}
