// A user's journeys with envelope and label templates: opened from File ▸ Templates with
// the datafile they take their records from, saved and reverted, their design edited.
#include "TemplatesJourneyFixture.h"

#include "ActionRouter.h"
#include "AssociateDatafileSheetController.h"
#include "DatafileRecordSource.h"
#include "DesignToolPaletteController.h"
#include "EditorDrawerController.h"
#include "EditorToolbarController.h"
#include "FieldGraphic.h"
#include "FreeformTextView.h"
#include "Graphic.h"
#include "MutableDesignView.h"
#include "PageViewController.h"
#include "Pasteboard.h"
#include "PdfReader.h"
#include "PopUpButton.h"
#include "SinglePageSheetController.h"
#include "TemplateDesignSheetController.h"
#include "TemplateDocument.h"
#include "TemplateEnvelopePageSheetController.h"
#include "TemplateFormat.h"
#include "TemplateLabelPageSheetController.h"
#include "TemplatePageToolbarController.h"
#include "TemplatePageWindowController.h"
#include "TextGraphic.h"
#include "TooBigToolbarController.h"
#include "TooBigView.h"
#include "Toolbar.h"

#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>

#include <functional>

TEST_F(TemplatesJourneyTest, NewLabelAndNewEnvelope_OpenUntitledTemplatesOfTheirKind)
{
    const auto newTemplate = [this](const char* selector) -> TemplateDocument* {
        const size_t before = DocumentController::shared().documents().size();
        EXPECT_TRUE(chooseMenuItem(QApplication::activeWindow(), selector));
        const std::vector<Document*>& documents = DocumentController::shared().documents();
        EXPECT_EQ(documents.size(), before + 1);
        return documents.size() > before ? qobject_cast<TemplateDocument*>(documents.back())
                                         : nullptr;
    };
    TemplateDocument* label = newTemplate("newLabel:");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->fileType(), TemplateDocument::LabelType);
    EXPECT_FALSE(label->templateSettings()->isEnvelope());
    QWidget* labelWindow = label->windowControllers().front()->window();
    EXPECT_TRUE(labelWindow->isVisible());
    EXPECT_EQ(titleOf(labelWindow), "Untitled");

    // The second from the label's window: an envelope, edge to edge.
    activate(labelWindow);
    TemplateDocument* envelope = newTemplate("newEnvelope:");
    ASSERT_TRUE(envelope);
    EXPECT_EQ(envelope->fileType(), TemplateDocument::EnvelopeType);
    EXPECT_TRUE(envelope->templateSettings()->isEnvelope());
    EXPECT_EQ(envelope->templateSettings()->labelTopMargin(), 0);
    EXPECT_EQ(envelope->templateSettings()->labelLeftMargin(), 0);
    EXPECT_EQ(envelope->templateSettings()->width(), 684.0f);
    EXPECT_TRUE(envelope->windowControllers().front()->window()->isVisible());
    EXPECT_FALSE(envelope->isDocumentEdited());
}

TEST_F(TemplatesJourneyTest, PageSetup_CancelledLeavesTheTemplateThenAcceptedShowsOneWholePage)
{
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(m_template)});
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_O, Qt::ControlModifier);
    auto* labels = qobject_cast<TemplateDocument*>(
        DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_template)));
    ASSERT_TRUE(labels);
    QWidget* window = labels->windowControllers().front()->window();
    activate(window);
    const int width = window->width();

    m_presenter.answerPageLayout(std::nullopt);
    ASSERT_TRUE(chooseMenuItem(window, "runPageLayout:"));
    EXPECT_EQ(m_presenter.pageLayouts().size(), 1);
    EXPECT_FALSE(labels->isDocumentEdited());
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(window->width(), width);

    PrintInfo letter = labels->templateSettings()->printInfo();
    letter.setPaperSize(QSizeF(612, 792));
    m_presenter.answerPageLayout(letter);
    ASSERT_TRUE(chooseMenuItem(window, "runPageLayout:"));
    EXPECT_TRUE(labels->isDocumentEdited());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(window->width(), 612 + 15);
    EXPECT_EQ(labels->templateSettings()->printInfo().paperSize(), QSizeF(612, 792));
}
TEST_F(TemplatesJourneyTest, TemplatesMenu_OpensTheTemplateWithItsDatafileAndSaveAndRevertKeepIt)
{
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "openFromTemplateMenu:"));
    auto* labels = qobject_cast<TemplateDocument*>(
        DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_template)));
    ASSERT_TRUE(labels);
    ASSERT_EQ(labels->windowControllers().size(), 1u);
    QWidget* window = labels->windowControllers().front()->window();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(titleOf(window), "Labels.zlabel (People)");

    // The datafile opened with it, its window counting the template once.
    Document* people = DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_datafile));
    ASSERT_TRUE(people);
    auto* editor = static_cast<EditorWindowController*>(people->windowControllers().front().get());
    EXPECT_EQ(editor->openTemplateCount(), 1);

    activate(window);
    const QImage picture = window->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    picture.save(QDir::temp().filePath("norva-labels-window.png"));

    // Save writes what reads back as the template shown.
    labels->templateSettings()->setLabelCopies(2);
    labels->setTemplateDocumentEdited(true);
    EXPECT_TRUE(window->isWindowModified());
    ASSERT_TRUE(chooseMenuItem(window, "saveDocument:"));
    EXPECT_FALSE(labels->isDocumentEdited());
    EXPECT_FALSE(window->isWindowModified());
    const TemplateFormat::Result<TemplateFormat::Contents> saved =
        TemplateFormat::read(contentsOf(m_template));
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(PlistValue(saved.value->settings->dictionary()),
              PlistValue(labels->templateSettings()->dictionary()));
    EXPECT_EQ(PlistValue(saved.value->design),
              PlistValue(labels->masterGraphicsAsArrayOfDictionaries()));
    // Nothing to save again until the next change.
    showMenusOf(window);
    EXPECT_FALSE(menuItem(window, "saveDocument:")->isEnabled());

    // Revert: cancelled first, then done; the saved copies come back.
    labels->templateSettings()->setLabelCopies(5);
    labels->setMasterGraphics({});
    labels->setTemplateDocumentEdited(true);
    m_presenter.answerAlertWithButton("Cancel");
    ASSERT_TRUE(chooseMenuItem(window, "revertDocumentToSaved:"));
    EXPECT_EQ(labels->templateSettings()->labelCopies(), 5);
    EXPECT_TRUE(labels->isDocumentEdited());
    m_presenter.answerAlertWithButton("Revert");
    ASSERT_TRUE(chooseMenuItem(window, "revertDocumentToSaved:"));
    EXPECT_FALSE(labels->isDocumentEdited());
    EXPECT_EQ(labels->templateSettings()->labelCopies(), 2);
    EXPECT_EQ(labels->masterGraphics().size(), 3);
    EXPECT_EQ(titleOf(window), "Labels.zlabel (People)");
    EXPECT_EQ(editor->openTemplateCount(), 1);

    // The datafile stays while the template depends on it (once it may be saved at all);
    // once the template's window has closed, it closes.
    activate(editor->window());
    ASSERT_TRUE(QTest::qWaitFor([editor] { return editor->canSaveChanges(); }, 3000));
    m_presenter.clear();
    editor->performClose();
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "People.nv3 cannot be closed, because it is associated with an open template.");
    EXPECT_TRUE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_datafile)));
    labels->windowControllers().front()->performClose();
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->openTemplateCount(), 0);
    EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_template)));
    m_presenter.clear();
    editor->performClose();
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    EXPECT_FALSE(DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_datafile)));
}

TEST_F(TemplatesJourneyTest, SaveAs_StartsInTheTemplatesFolderAndKeepsTheDatafileInTheTitle)
{
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "openFromTemplateMenu:"));
    auto* labels = qobject_cast<TemplateDocument*>(
        DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_template)));
    ASSERT_TRUE(labels);
    QWidget* window = labels->windowControllers().front()->window();
    activate(window);

    // Cancelled first: nothing written, the name stays.
    m_presenter.answerSavePanel(std::nullopt);
    ASSERT_TRUE(chooseMenuItem(window, "saveDocumentAs:"));
    const QString copy = m_dir.filePath("Templates/Shipping.zlabel");
    EXPECT_FALSE(QFile::exists(copy));
    EXPECT_EQ(titleOf(window), "Labels.zlabel (People)");

    m_presenter.answerSavePanel(QUrl::fromLocalFile(copy));
    ASSERT_TRUE(chooseMenuItem(window, "saveDocumentAs:"));
    ASSERT_EQ(m_presenter.savePanels().size(), 2);
    EXPECT_EQ(m_presenter.savePanels().back().request.directory,
              QFileInfo(m_dir.filePath("Templates")).canonicalFilePath());
    EXPECT_EQ(m_presenter.savePanels().back().request.allowedFileTypes, QStringList({"zlabel"}));
    ASSERT_TRUE(TemplateFormat::read(contentsOf(copy)).ok());
    EXPECT_EQ(labels->fileURL(), QUrl::fromLocalFile(copy));
    EXPECT_EQ(titleOf(window), "Shipping.zlabel (People)");
}

TEST_F(TemplatesJourneyTest, ADesignWithoutItsDatafile_AsksForOneAndStillNamesTheDatafile)
{
    const auto writeLabels = [this](const QString& name, const std::optional<QString>& datafile) {
        PlistDictionary labels = readDatafile(m_template);
        PlistDictionary settings = *labels.find("Settings")->asDictionary();
        if (datafile)
            settings.insert("AssociatedDatafileURL", QUrl::fromLocalFile(*datafile).toString());
        else
            settings.remove("AssociatedDatafileURL");
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(labels, file, PlistFormat::Xml));
        return path;
    };
    const struct {
        const char* file;
        std::optional<QString> datafile;
        const char* title;
    } cases[] = {
        {"Loose.zlabel", std::nullopt, "Loose.zlabel"},
        {"Moved.zlabel", m_dir.filePath("Gone.nv3"), "Moved.zlabel (Gone)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        m_presenter.clear();
        const QString path = writeLabels(c.file, c.datafile);
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        QTest::keyClick(QApplication::activeWindow(), Qt::Key_O, Qt::ControlModifier);
        Document* opened = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        ASSERT_TRUE(opened);
        QWidget* window = opened->windowControllers().front()->window();
        EXPECT_EQ(titleOf(window), c.title);
        const ScriptedPresenter::ShownAlert& alert = m_presenter.lastAlert();
        EXPECT_EQ(alert.request.messageText,
                  "Please select a datafile from the popup menu on this window.");
        EXPECT_EQ(alert.request.informativeText, "A datafile is required, because the template "
                                                 "includes an address block or field contents.");
        EXPECT_EQ(alert.request.buttons, QStringList({"OK"}));
        EXPECT_TRUE(alert.sheet);
        EXPECT_EQ(alert.window, window);
        activate(window);
    }
}

TEST_F(TemplatesJourneyTest, RecordSource_ServesTheEditorsRecordsUntilItsWindowCloses)
{
    EditorWindowController* editor = openWithCommand(m_datafile);
    ASSERT_TRUE(editor);
    DatafileRecordSource records(editor);
    ASSERT_TRUE(records.isAvailable());
    ASSERT_EQ(records.countSelected(), 2);
    QStringList blocks;
    QStringList phones;
    for (qint64 index = 0; index < records.countSelected(); ++index) {
        blocks.append(records.addressBlockAtIndex(index));
        phones.append(records.contentOfField("Phone", index).value_or("none"));
    }
    EXPECT_TRUE(blocks.contains("Alice Smith\n12 Main St\nSpringfield IL 62704"));
    EXPECT_TRUE(phones.contains("555-0100"));
    EXPECT_EQ(records.contentOfField("Fax", 0), std::nullopt);
    EXPECT_EQ(records.indexOfCurrentRecord(), editor->engine().indexOfCurrentRecord());
    records.incrementOpenTemplateCount();
    EXPECT_EQ(editor->openTemplateCount(), 1);
    records.decrementOpenTemplateCount();
    records.decrementOpenTemplateCount();
    EXPECT_EQ(editor->openTemplateCount(), 0);

    editor->performClose();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(records.isAvailable());
    EXPECT_EQ(records.countSelected(), 0);
    EXPECT_EQ(records.addressBlockAtIndex(0), "");
    EXPECT_EQ(records.contentOfField("Phone", 0), std::nullopt);
    records.incrementOpenTemplateCount();
}

TEST_F(TemplatesJourneyTest, PageWindow_ReportsTheRecordTooLargeAndTurnsItsPagesFromTheRecordsMenu)
{
    // Five records, one without an address; two labels a page.
    const QString five = writeDatafile("Five.nv3", {{"PHONE-ID", "Phone"}},
                                       {{"555-0101", "Ann Lee\n1 Elm St"},
                                        {"555-0102", "Bo Park\n2 Oak St"},
                                        {"555-0103", ""},
                                        {"555-0104", "Cy Dunn\n4 Ash St"},
                                        {"555-0105", "Di Roe\n5 Fir St"}});
    PlistDictionary labels = readDatafile(m_template);
    PlistDictionary settings = *labels.find("Settings")->asDictionary();
    settings.insert("AssociatedDatafileURL", QUrl::fromLocalFile(five).toString());
    settings.insert("LabelRows", 2);
    settings.insert("LabelColumns", 1);
    labels.insert("Settings", settings);
    const QString path = m_dir.filePath("Pairs.zlabel");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writePropertyList(labels, file, PlistFormat::Xml));
    }

    m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
    m_presenter.answerAlertWithButton("Do Nothing");
    QTest::keyClick(QApplication::activeWindow(), Qt::Key_O, Qt::ControlModifier);
    Document* opened = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
    ASSERT_TRUE(opened);
    auto* controller =
        static_cast<TemplatePageWindowController*>(opened->windowControllers().front().get());
    QWidget* window = controller->window();
    const ScriptedPresenter::ShownAlert& alert = m_presenter.lastAlert();
    EXPECT_EQ(alert.request.messageText,
              "There is 1 record that is too large to fit this template.");
    EXPECT_EQ(alert.request.informativeText, "Do you want to edit the problem record?");
    EXPECT_EQ(alert.request.buttons, QStringList({"Edit Records", "Do Nothing"}));
    EXPECT_EQ(alert.window, window);
    EXPECT_FALSE(controller->editingNonPrintableRecords());
    const auto status = [window](const char* name) {
        return window->findChild<QPushButton*>(QLatin1String(name))->text();
    };
    EXPECT_EQ(status("selectionButton"), "4 of 5 selected");
    EXPECT_EQ(status("recordNumberButton"), "1 of 2 pages");

    // The Records menu turns the pages here, under the pages' names.
    activate(window);
    showMenusOf(window);
    EXPECT_EQ(menuItem(window, "goToFirstRecord:")->text(), "First Page");
    EXPECT_EQ(menuItem(window, "goToPreviousRecord:")->text(), "Previous Page");
    EXPECT_EQ(menuItem(window, "goToNextRecord:")->text(), "Next Page");
    EXPECT_EQ(menuItem(window, "goToLastRecord:")->text(), "Last Page");
    EXPECT_EQ(menuItem(window, "printCurrentRecord:")->text(), "Print...");
    ASSERT_TRUE(chooseMenuItem(window, "goToNextRecord:"));
    EXPECT_EQ(status("recordNumberButton"), "2 of 2 pages");
    QTest::keyClick(window, Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_EQ(status("recordNumberButton"), "1 of 2 pages");
    ASSERT_TRUE(chooseMenuItem(window, "goToLastRecord:"));
    EXPECT_EQ(status("recordNumberButton"), "2 of 2 pages");
    ASSERT_TRUE(chooseMenuItem(window, "goToFirstRecord:"));
    EXPECT_EQ(status("recordNumberButton"), "1 of 2 pages");
    const QImage picture = window->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    picture.save(QDir::temp().filePath("norva-pairs-window.png"));

    Document* people = DocumentController::shared().documentForURL(QUrl::fromLocalFile(five));
    ASSERT_TRUE(people);
    auto* editor = static_cast<EditorWindowController*>(people->windowControllers().front().get());

    // The datafile's own window has its records' items back.
    activate(editor->window());
    showMenusOf(editor->window());
    EXPECT_EQ(menuItem(editor->window(), "goToFirstRecord:")->text(), "First Record");
    EXPECT_EQ(menuItem(editor->window(), "goToLastRecord:")->text(), "Last Record");
    EXPECT_EQ(menuItem(editor->window(), "printCurrentRecord:")->text(), "Print Current Record");
}

TEST_F(TemplatesJourneyTest, NewLabel_ChoosesTheDatafileThenThePageWithPageSetupFirst)
{
    PrintInfo letter = PrintInfo::sharedPrintInfo();
    letter.setPaperSize(QSizeF(612, 792));
    m_presenter.answerPageLayout(letter);
    const size_t before = DocumentController::shared().documents().size();
    ASSERT_TRUE(chooseMenuItem(QApplication::activeWindow(), "newLabel:"));
    ASSERT_EQ(DocumentController::shared().documents().size(), before + 1);
    auto* label = qobject_cast<TemplateDocument*>(DocumentController::shared().documents().back());
    ASSERT_TRUE(label);
    auto* controller =
        static_cast<TemplatePageWindowController*>(label->windowControllers().front().get());
    QWidget* window = controller->window();

    // The datafiles folder's datafiles, after the title item, "None" and a separator.
    auto* associate = VKSheetController::topmostController<AssociateDatafileSheetController>();
    ASSERT_TRUE(associate);
    EXPECT_EQ(associate->window()->parentWidget(), window);
    const QList<QAction*> items = associate->datafilesPopup()->menu()->actions();
    ASSERT_GE(items.size(), 4);
    EXPECT_EQ(items.at(1)->text(), "None");
    EXPECT_TRUE(items.at(2)->isSeparator());
    QAction* people = nullptr;
    for (QAction* item : items)
        if (item->text() == "People")
            people = item;
    ASSERT_TRUE(people);
    associate->window()->grab().toImage().save(QDir::temp().filePath("norva-associate-sheet.png"));
    people->trigger();

    // The page sheet, with Page Setup at once; its paper goes into the sheet's copy.
    auto* page = VKSheetController::topmostController<TemplateLabelPageSheetController>();
    ASSERT_TRUE(page);
    ASSERT_EQ(m_presenter.pageLayouts().size(), 1);
    EXPECT_EQ(page->settings()->printInfo().paperSize(), QSizeF(612, 792));
    Document* datafile =
        DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_datafile));
    ASSERT_TRUE(datafile);
    auto* editor =
        static_cast<EditorWindowController*>(datafile->windowControllers().front().get());
    EXPECT_EQ(editor->openTemplateCount(), 1);
    page->window()->grab().toImage().save(QDir::temp().filePath("norva-label-page-sheet.png"));
    page->sizeRowsField()->setText("4");
    page->okay();

    EXPECT_EQ(titleOf(window), "Untitled (People)");
    EXPECT_TRUE(label->isDocumentEdited());
    EXPECT_EQ(label->templateSettings()->labelRows(), 4);
    EXPECT_EQ(label->templateSettings()->printInfo().paperSize(), QSizeF(612, 792));
    Toolbar* toolbar = controller->templatePageToolbarController()->toolbar();
    ASSERT_TRUE(toolbar);
    EXPECT_EQ(
        toolbar->itemIdentifiers(),
        QStringList({"SelectDatafile", "EditPageLayout", "EditDesignLayout", "TestAddressBlockFit",
                     "NumberOfLabelCopies", "NSToolbarPrintItem", "FirstPage", "PreviousPage",
                     "NextPage", "LastPage", "NSToolbarFlexibleSpaceItem", "User Guide"}));
    activate(window);
    EXPECT_TRUE(toolbar->toolBar()->isEnabled());
    const QImage picture = window->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    picture.save(QDir::temp().filePath("norva-new-label-window.png"));

    // The toolbar is off while another window is in front, and on again with its own.
    activate(editor->window());
    EXPECT_FALSE(toolbar->toolBar()->isEnabled());
    activate(window);
    EXPECT_TRUE(toolbar->toolBar()->isEnabled());
}

TEST_F(TemplatesJourneyTest, NewEnvelope_IsOneCellEdgeToEdge)
{
    m_presenter.answerPageLayout(std::nullopt);
    ASSERT_TRUE(chooseMenuItem(QApplication::activeWindow(), "newEnvelope:"));
    auto* envelope =
        qobject_cast<TemplateDocument*>(DocumentController::shared().documents().back());
    ASSERT_TRUE(envelope);
    auto* associate = VKSheetController::topmostController<AssociateDatafileSheetController>();
    ASSERT_TRUE(associate);
    associate->datafilesPopup()->menu()->actions().at(1)->trigger();
    auto* page = VKSheetController::topmostController<TemplateEnvelopePageSheetController>();
    ASSERT_TRUE(page);
    page->okay();
    auto* controller =
        static_cast<TemplatePageWindowController*>(envelope->windowControllers().front().get());
    const PageViewController& engine = controller->pageViewController();
    EXPECT_EQ(engine.rows() * engine.columns(), 1);
    ASSERT_EQ(engine.cells().size(), 1u);
    EXPECT_EQ(envelope->templateSettings()->labelTopMargin(), 0);
    EXPECT_EQ(envelope->templateSettings()->labelLeftMargin(), 0);
    EXPECT_EQ(engine.cellRect(0, 0).topLeft(), QPointF(0, 0));
    EXPECT_TRUE(envelope->templateSettings()->associatedDatafileURL().isEmpty());
}

TEST_F(TemplatesJourneyTest, SelectDatafileNone_LetsTheDatafileGoAndRenamesTheWindow)
{
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "openFromTemplateMenu:"));
    auto* labels = qobject_cast<TemplateDocument*>(
        DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_template)));
    ASSERT_TRUE(labels);
    auto* controller =
        static_cast<TemplatePageWindowController*>(labels->windowControllers().front().get());
    QWidget* window = controller->window();
    Document* people = DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_datafile));
    ASSERT_TRUE(people);
    auto* editor = static_cast<EditorWindowController*>(people->windowControllers().front().get());
    EXPECT_EQ(editor->openTemplateCount(), 1);
    activate(window);

    // The menu of the toolbar's pop-up, as the user opens it.
    QMenu* menu = controller->templatePageToolbarController()->datafileMenu();
    ASSERT_EQ(controller->templatePageToolbarController()->datafilePopup()->menu(), menu);
    Q_EMIT menu->aboutToShow();
    ASSERT_GE(menu->actions().size(), 4);
    QAction* none = menu->actions().at(1);
    ASSERT_EQ(none->text(), "None");
    m_presenter.clear();
    none->trigger();
    EXPECT_EQ(titleOf(window), "Labels.zlabel");
    EXPECT_EQ(editor->openTemplateCount(), 0);
    EXPECT_TRUE(labels->isDocumentEdited());
    // The design still wants a datafile, and says so.
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Please select a datafile from the popup menu on this window.");

    // Chosen again from the menu: counted once more.
    for (QAction* item : menu->actions())
        if (item->text() == "People")
            item->trigger();
    EXPECT_EQ(titleOf(window), "Labels.zlabel (People)");
    EXPECT_EQ(editor->openTemplateCount(), 1);
}

TEST_F(TemplatesJourneyTest, EditDesign_DrawsResizesUndoesAndGivesTheDesignToTheTemplate)
{
    ASSERT_TRUE(chooseMenuItem(&m_assembly->startWindow(), "openFromTemplateMenu:"));
    auto* labels = qobject_cast<TemplateDocument*>(
        DocumentController::shared().documentForURL(QUrl::fromLocalFile(m_template)));
    ASSERT_TRUE(labels);
    auto* page = static_cast<TemplatePageWindowController*>(labels->windowControllers().front().get());
    QWidget* window = page->window();
    activate(window);
    // A second template, untitled, beside it.
    ASSERT_TRUE(chooseMenuItem(window, "newLabel:"));
    auto* other = qobject_cast<TemplateDocument*>(DocumentController::shared().documents().back());
    ASSERT_TRUE(other && other != labels);
    QWidget* otherWindow = other->windowControllers().front()->window();
    m_presenter.clear();

    // Edit Design, as the window's toolbar sends it; the first window's from its button.
    const auto editDesign = [](QWidget* shown) {
        return ActionRouter::sendAction(QStringLiteral("editDesignLayout:"),
                                        ActionRouter::firstResponderForWindow(shown), nullptr);
    };
    const auto openSheet = [&] { return openDesignSheet(window); };

    // Opened and cancelled after an edit: the design stays as it was.
    TemplateDesignSheetController* sheet = openSheet();
    ASSERT_TRUE(sheet);
    sheet->designView()->removeGraphicAtIndex(0);
    sheet->cancel();
    EXPECT_EQ(labels->masterGraphics().size(), 3);
    EXPECT_FALSE(labels->isDocumentEdited());

    // Again: a rectangle drawn with the palette's tool, then its lower-right knob dragged.
    sheet = openSheet();
    ASSERT_TRUE(sheet);
    DesignToolPaletteController& palette =
        DesignToolPaletteController::sharedDesignToolPaletteController();
    ASSERT_TRUE(palette.window()->isVisible());
    MutableDesignView* canvas = sheet->designView();
    QTest::mouseClick(palette.toolButton(DesignToolPaletteController::RectangleTool), Qt::LeftButton);
    EXPECT_EQ(canvas->cursor().shape(), Qt::CrossCursor);
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(200, 150));
    QTest::mouseMove(canvas, QPoint(230, 170));
    QTest::mouseMove(canvas, QPoint(260, 200));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(260, 200));
    EXPECT_EQ(canvas->cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(sheet->graphics()->size(), 4);
    const std::shared_ptr<Graphic> drawn = sheet->graphics()->at(1);
    EXPECT_EQ(drawn->bounds(), QRectF(200, 150, 60, 50));
    QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(260, 200));
    QTest::mouseMove(canvas, QPoint(270, 210));
    QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(280, 220));
    EXPECT_EQ(drawn->bounds(), QRectF(200, 150, 80, 70));

    // A second template's Edit Design meanwhile is refused.
    EXPECT_TRUE(editDesign(otherWindow));
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Another template already has the Edit Design window open.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Only one Edit Design window can be open at a time.");

    const QImage sheetPicture = sheet->window()->grab().toImage();
    EXPECT_FALSE(sheetPicture.isNull());
    sheetPicture.save(QDir::temp().filePath("norva-edit-design-sheet.png"));
    palette.window()->grab().toImage().save(QDir::temp().filePath("norva-design-palette.png"));

    // Undo twice from the sheet's own Edit menu, Redo once.
    QAction* undo = sheet->undoItem();
    auto* editMenu = qobject_cast<QMenu*>(undo->parent());
    ASSERT_TRUE(editMenu);
    Q_EMIT editMenu->aboutToShow();
    EXPECT_EQ(undo->text(), "Undo Resize");
    activate(sheet->window());
    QTest::keyClick(sheet->window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(drawn->bounds(), QRectF(200, 150, 60, 50));
    Q_EMIT editMenu->aboutToShow();
    EXPECT_EQ(undo->text(), "Undo Create Rectangle");
    undo->trigger();
    EXPECT_EQ(sheet->graphics()->size(), 3);
    sheet->redoItem()->trigger();
    EXPECT_EQ(sheet->graphics()->size(), 4);
    EXPECT_EQ(sheet->graphics()->at(1)->bounds(), QRectF(200, 150, 60, 50));

    // OK: the template takes the design and lays it out again.
    sheet->okay();
    EXPECT_FALSE(palette.window()->isVisible());
    EXPECT_TRUE(labels->isDocumentEdited());
    ASSERT_EQ(labels->masterGraphics().size(), 4);
    EXPECT_EQ(labels->masterGraphics().at(1)->graphicType(), "RectangleGraphic");
    EXPECT_EQ(page->pageViewController().masterGraphics().size(), 4);
    EXPECT_EQ(labels->masterGraphics().at(1)->designView(), nullptr);

    // The other template may edit its design now.
    EXPECT_TRUE(editDesign(otherWindow));
    TemplateDesignSheetController* otherSheet =
        VKSheetController::topmostController<TemplateDesignSheetController>();
    ASSERT_TRUE(otherSheet);
    otherSheet->cancel();
    EXPECT_FALSE(other->isDocumentEdited());
}

TEST_F(TemplatesJourneyTest, EditDesign_ArrangesNudgesDeletesFromItsMenusAndKeysAndUndoes)
{
    TemplateDocument* labels = openLabels();
    ASSERT_TRUE(labels);
    QWidget* window = labels->windowControllers().front()->window();
    TemplateDesignSheetController* sheet = openDesignSheet(window);
    ASSERT_TRUE(sheet);
    activate(sheet->window());
    MutableDesignView* canvas = sheet->designView();
    // The canvas has the focus, and with it its rulers.
    EXPECT_TRUE(QTest::qWaitFor([canvas] { return canvas->rulersShown(); }, 3000));
    ASSERT_EQ(sheet->graphics()->size(), 3);
    const std::shared_ptr<Graphic> block = sheet->graphics()->at(0);
    const std::shared_ptr<Graphic> field = sheet->graphics()->at(1);
    const QRectF blockBounds = block->bounds();
    const QRectF fieldBounds = field->bounds();

    const auto menuOf = [sheet](const QString& title) -> QMenu* {
        for (QAction* top : sheet->window()->findChild<QMenuBar*>()->actions())
            if (top->text() == title)
                return top->menu();
        return nullptr;
    };
    // The item of the sheet's menus that sends the command, validated as its menu opens.
    const auto item = [&](const QString& menuTitle, const QString& selector) -> QAction* {
        QMenu* menu = menuOf(menuTitle);
        if (!menu)
            return nullptr;
        Q_EMIT menu->aboutToShow();
        for (QAction* action : menu->actions())
            if (sheet->menuBinding().selectorFor(action) == selector)
                return action;
        return nullptr;
    };
    const auto undoTitle = [&] {
        Q_EMIT menuOf(QStringLiteral("Edit"))->aboutToShow();
        return sheet->undoItem()->text();
    };

    // One graphic selected: the aligning items wait for a second.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, fieldBounds.center().toPoint());
    ASSERT_EQ(canvas->selectedGraphics(), GraphicList{field});
    QAction* alignLeft = item(QStringLiteral("Arrange"), QStringLiteral("alignLeftEdges:"));
    ASSERT_TRUE(alignLeft);
    EXPECT_FALSE(alignLeft->isEnabled());
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier, blockBounds.center().toPoint());
    ASSERT_EQ(canvas->selectedGraphics(), (GraphicList{field, block}));
    EXPECT_TRUE(item(QStringLiteral("Arrange"), QStringLiteral("alignLeftEdges:"))->isEnabled());

    // Arrange ▸ Center Vertically, then the right arrow.
    QAction* center = item(QStringLiteral("Arrange"), QStringLiteral("centerVertically:"));
    ASSERT_TRUE(center && center->isEnabled());
    EXPECT_EQ(center->text(), "Center Vertically");
    center->trigger();
    const double middle = canvas->height() / 2.0;
    EXPECT_EQ(field->bounds(), QRectF(fieldBounds.x(), middle - fieldBounds.height() / 2 - 2,
                                      fieldBounds.width(), fieldBounds.height()));
    EXPECT_EQ(block->bounds().y(), middle - blockBounds.height() / 2 - 2);
    EXPECT_EQ(undoTitle(), "Undo Center Vertically");
    const QRectF centered = field->bounds();
    QTest::keyClick(canvas, Qt::Key_Right);
    EXPECT_EQ(field->bounds(), centered.translated(1, 0));
    EXPECT_TRUE(canvas->knobsHidden());
    EXPECT_EQ(undoTitle(), "Undo Nudge");

    // The picture of the sheet with its rulers and the echo of the nudge.
    QTest::qWait(50);
    const QImage picture = sheet->window()->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    picture.save(QDir::temp().filePath("norva-edit-design-rulers.png"));

    // Undone from the keyboard: first the nudge, then the centring.
    QTest::keyClick(sheet->window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->bounds(), centered);
    QTest::keyClick(sheet->window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->bounds(), fieldBounds);
    EXPECT_EQ(block->bounds(), blockBounds);

    // Select All from its key, Edit ▸ Delete, and back.
    QTest::keyClick(sheet->window(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(canvas->selectedGraphics().size(), 3);
    QAction* deleteItem = item(QStringLiteral("Edit"), QStringLiteral("delete:"));
    ASSERT_TRUE(deleteItem && deleteItem->isEnabled());
    deleteItem->trigger();
    EXPECT_TRUE(sheet->graphics()->isEmpty());
    EXPECT_FALSE(item(QStringLiteral("Edit"), QStringLiteral("delete:"))->isEnabled());
    EXPECT_EQ(undoTitle(), "Undo Delete");
    QTest::keyClick(sheet->window(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sheet->graphics()->size(), 3);
    item(QStringLiteral("Edit"), QStringLiteral("deselectAll:"))->trigger();
    EXPECT_TRUE(canvas->selectedGraphics().isEmpty());

    // Every Arrange item with the field and then the block selected: a step of its name
    // when it changes the design, undone by Ctrl+Z.
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, fieldBounds.center().toPoint());
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::ShiftModifier, blockBounds.center().toPoint());
    ASSERT_EQ(canvas->selectedGraphics(), (GraphicList{field, block}));
    const auto state = [sheet] {
        QList<std::pair<const Graphic*, QRectF>> shown;
        for (const std::shared_ptr<Graphic>& graphic : *sheet->graphics())
            shown.append({graphic.get(), graphic->bounds()});
        return shown;
    };
    const auto before = state();
    const QList<std::pair<QString, QString>> arranged{
        {"bringToFront:", "Bring To Front"},
        {"sendToBack:", "Send To Back"},
        {"alignLeftEdges:", "Align Left Edges"},
        {"alignRightEdges:", "Align Right Edges"},
        {"alignTopEdges:", "Align Top Edges"},
        {"alignBottomEdges:", "Align Bottom Edges"},
        {"alignHorizontalCenters:", "Align Horizontal Centers"},
        {"alignVerticalCenters:", "Align Vertical Centers"},
        {"alignCenters:", "Align Vertical Centers"},
        {"centerHorizontally:", "Align Horizontal Centers"},
        {"centerVertically:", "Center Vertically"},
        {"centerOnLabel:", "Center Vertically"},
        {"makeSameWidth:", "Make Same Width"},
        {"makeSameHeight:", "Make Same Height"},
        {"makeNaturalSize:", "Make Natural Size"},
        {"shrinkToFit:", "Shrink to Fit"},
    };
    int changed = 0;
    for (const auto& [selector, undoName] : arranged) {
        SCOPED_TRACE(selector.toStdString());
        QAction* chosen = item(QStringLiteral("Arrange"), selector);
        ASSERT_TRUE(chosen);
        if (!chosen->isEnabled())
            continue;
        chosen->trigger();
        if (state() == before)
            continue;
        ++changed;
        EXPECT_EQ(undoTitle(), "Undo " + undoName);
        QTest::keyClick(sheet->window(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(state(), before);
    }
    EXPECT_GE(changed, 10);
    // An image is not selected: Shrink to Fit waits for one.
    EXPECT_FALSE(item(QStringLiteral("Arrange"), QStringLiteral("shrinkToFit:"))->isEnabled());

    // Cancelled, the template keeps its design.
    sheet->cancel();
    EXPECT_FALSE(labels->isDocumentEdited());
    EXPECT_EQ(labels->masterGraphics().at(1)->bounds(), fieldBounds);
}

TEST_F(TemplatesJourneyTest, PrintAndTestSheet_FromTheTemplateWindowToPdfFiles)
{
    TemplateDocument* labels = openLabels();
    ASSERT_TRUE(labels);
    QWidget* window = labels->windowControllers().front()->window();
    // A field the datafile lacks, and a phone number too wide for its place at any size.
    GraphicList design = labels->masterGraphics();
    auto fax = std::make_shared<FieldGraphic>();
    fax->setFieldName(QStringLiteral("Fax"));
    fax->setBounds({18, 150, 150, 16});
    design.append(fax);
    for (const std::shared_ptr<Graphic>& graphic : design)
        if (auto* phone = dynamic_cast<FieldGraphic*>(graphic.get());
            phone && phone->fieldName() == "Phone")
            phone->setBounds({18, 120, 12, 16});
    labels->setMasterGraphics(design);

    // A cancelled print panel prints nothing; the second attempt prints the sheet's page.
    m_presenter.answerPrintJob(false);
    QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(m_presenter.printJobs().back().window, window);
    const QString pdf = m_dir.filePath("labels.pdf");
    m_presenter.answerPrintJob(true, pdf);
    ASSERT_TRUE(chooseMenuItem(window, "printDocument:"));
    ASSERT_EQ(m_presenter.printJobs().size(), 2);
    EXPECT_EQ(PdfReader::pageCount(pdf), 1);
    const QString text = PdfReader::text(pdf);
    EXPECT_TRUE(text.contains("Alice Smith")) << text.toStdString();
    EXPECT_TRUE(text.contains("Springfield IL 62704"));
    EXPECT_FALSE(text.contains("No Field Data"));
    EXPECT_FALSE(text.contains("Too Large"));
    EXPECT_FALSE(text.contains("555-0100"));

    // The shared Print item does the same; the test sheet is one page of outlines.
    showMenusOf(window);
    EXPECT_TRUE(menuItem(window, "printTestSheet:")->isEnabled());
    const QString sheet = m_dir.filePath("test-sheet.pdf");
    m_presenter.answerPrintJob(true, sheet, PrintableView::PageRange{2, 4});
    ASSERT_TRUE(chooseMenuItem(window, "printTestSheet:"));
    EXPECT_EQ(PdfReader::pageCount(sheet), 1);
    EXPECT_TRUE(PdfReader::text(sheet).trimmed().isEmpty());
    const QImage page = PdfReader::pageImage(sheet, 1, 72);
    ASSERT_FALSE(page.isNull());
    page.save(QDir::temp().filePath("norva-test-sheet.png"));
}

TEST_F(TemplatesJourneyTest, PrintSingleEnvelopeOrLabel_PreviewsPrintsAndRemembersTheTemplate)
{
    // An envelope beside the labels, and a label in a folder of its own.
    const QString envelope = writeLabels("Templates/a.zenv", [](PlistDictionary& settings) {
        settings.insert("IsEnvelope", true);
    });
    const QString nested = writeLabels("Templates/Sub/a.zlabel", [](PlistDictionary&) {});
    m_assembly->mainController().setupTemplatesMenu();

    EditorWindowController* editor = openWithCommand(m_datafile);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    editor->settings()->setDefaultTemplateName(QStringLiteral("Gone"));
    ASSERT_TRUE(chooseMenuItem(window, "printSingleEnvelopeOrLabel:"));
    auto* sheet = VKSheetController::topmostController<SinglePageSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_EQ(sheet->window()->parentWidget(), window);
    // The folders flattened in menu order; a template no longer there gives the first.
    QStringList titles;
    QStringList paths;
    for (QAction* item : sheet->templatesPopUp()->itemArray()) {
        titles.append(item->text());
        paths.append(PopUpButton::representedObject(item).toString());
    }
    EXPECT_EQ(titles, QStringList({"a", "Labels", "a"}));
    EXPECT_EQ(paths, QStringList({envelope, m_template, nested}));
    EXPECT_EQ(sheet->defaultTemplateName(), "a");
    EXPECT_EQ(sheet->templateFileType(), TemplateDocument::EnvelopeType);
    ASSERT_TRUE(sheet->templateDocument());
    EXPECT_TRUE(sheet->templateSettings()->isEnvelope());
    PageViewController& engine = sheet->pageViewController();
    const QString current = editor->addressBlockText();
    ASSERT_EQ(engine.printableRecordCount(), 1);
    ASSERT_EQ(engine.cells().size(), 1u);
    EXPECT_EQ(static_cast<const TextGraphic&>(*engine.cells()[0].graphics->at(0))
                  .document()
                  .toPlainText(),
              current);
    EXPECT_TRUE(m_presenter.alerts().isEmpty());

    // The label in the folder: a label, laid out on its first cell.
    QAction* label = sheet->templatesPopUp()->itemAtIndex(2);
    label->trigger();
    EXPECT_EQ(sheet->templateFileType(), TemplateDocument::LabelType);
    EXPECT_FALSE(sheet->templateSettings()->isEnvelope());
    EXPECT_EQ(engine.cells().size(), 6u);

    // Print leaves the sheet open: one page of one label.
    const QString pdf = m_dir.filePath("single.pdf");
    m_presenter.answerPrintJob(true, pdf, PrintableView::PageRange{2, 3});
    QTest::mouseClick(sheet->printerButton(), Qt::LeftButton);
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(m_presenter.printJobs().back().window, sheet->window());
    EXPECT_EQ(PdfReader::pageCount(pdf), 1);
    EXPECT_TRUE(PdfReader::text(pdf).contains(current.section('\n', 0, 0)));
    EXPECT_TRUE(sheet->window()->isVisible());
    const QImage picture = sheet->window()->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    picture.save(QDir::temp().filePath("norva-single-sheet.png"));

    // Close: the datafile remembers the template.
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_EQ(editor->settings()->defaultTemplateName(), "a");
    EXPECT_EQ(sheet->templatePath(), nested);
}

TEST_F(TemplatesJourneyTest, PrintSingleWithAlt_TheClipboardsTextElseTheRecordAndItsAlert)
{
    EditorWindowController* editor = openWithCommand(m_datafile);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    const auto withAlt = [&](const std::function<void()>& command) {
        QTest::keyPress(window, Qt::Key_Alt, Qt::AltModifier);
        command();
        QTest::keyRelease(window, Qt::Key_Alt, Qt::NoModifier);
    };
    const auto shownText = [](SinglePageSheetController* sheet) {
        const std::vector<PageCell>& cells = sheet->pageViewController().cells();
        if (cells.empty() || !cells[0].graphics || cells[0].graphics->isEmpty())
            return QString();
        return static_cast<const TextGraphic&>(*cells[0].graphics->at(0)).document().toPlainText();
    };

    QGuiApplication::clipboard()->setText(QStringLiteral("Clip Board\n9 Paste Rd"));
    withAlt([&] { ASSERT_TRUE(chooseMenuItem(window, "printSingleEnvelopeOrLabel:")); });
    auto* sheet = VKSheetController::topmostController<SinglePageSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->optionKeyDown());
    EXPECT_EQ(sheet->defaultTemplateName(), "Labels");
    EXPECT_EQ(shownText(sheet), "Clip Board\n9 Paste Rd");
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(editor->settings()->defaultTemplateName(), "Labels");

    // An image alone: the record's address, and for a record without one the alert says so.
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    QGuiApplication::clipboard()->setImage(image);
    ASSERT_TRUE(chooseMenuItem(window, "addRecord:"));
    ASSERT_TRUE(editor->addressBlockText().isEmpty());
    m_presenter.clear();
    withAlt([&] { ASSERT_TRUE(chooseMenuItem(window, "printSingleEnvelopeOrLabel:")); });
    EXPECT_FALSE(sheet->optionKeyDown());
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "No printable text.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Either the current record contains no address block text, or the address block "
              "text is too large.");
    EXPECT_EQ(m_presenter.lastAlert().window, sheet->window());
    EXPECT_EQ(sheet->pageViewController().printableRecordCount(), 0);
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);

    // An empty text on the clipboard: the alert speaks of the clipboard.
    QGuiApplication::clipboard()->setText(QString());
    m_presenter.clear();
    withAlt([&] { ASSERT_TRUE(chooseMenuItem(window, "printSingleEnvelopeOrLabel:")); });
    EXPECT_TRUE(sheet->optionKeyDown());
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Either the clipboard contains no text, or the clipboard text is too large.");
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
}

TEST_F(TemplatesJourneyTest, EditRecords_OnlyTheRecordsTooLargeInTheBottomPanelUntilStop)
{
    // Five records printed twice each; the third has no address, the fifth a line no
    // label holds.
    const QString five = writeDatafile("Five.nv3", {{"PHONE-ID", "Phone"}},
                                       {{"555-0101", "Ann Lee\n1 Elm St"},
                                        {"555-0102", "Bo Park\n2 Oak St"},
                                        {"555-0103", ""},
                                        {"555-0104", "Cy Dunn\n4 Ash St"},
                                        {"555-0105", QString(200, QLatin1Char('W'))}});
    const QString path = writeLabels("Copies.zlabel", [&five](PlistDictionary& settings) {
        settings.insert("AssociatedDatafileURL", QUrl::fromLocalFile(five).toString());
        settings.insert("LabelCopies", 2);
    });
    EditorWindowController* editor = openWithCommand(five);
    ASSERT_TRUE(editor);
    QWidget* window = editor->window();
    const QRect frame = window->geometry();

    m_presenter.answerAlertWithButton("Edit Records");
    m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
    QTest::keyClick(window, Qt::Key_O, Qt::ControlModifier);
    Document* opened = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
    ASSERT_TRUE(opened);
    auto* page =
        static_cast<TemplatePageWindowController*>(opened->windowControllers().front().get());
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "There are 2 records that are too large to fit this template.");
    EXPECT_EQ(page->pageViewController().printableRecords(),
              (QList<qint64>{0, 0, 1, 1, 3, 3}));

    // Only the two left selected, the first shown, the panel open, the editor's toolbar away.
    EditorDrawerController& drawer = editor->drawerController();
    ASSERT_TRUE(drawer.editingNonPrintableRecords());
    EXPECT_TRUE(page->editingNonPrintableRecords());
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 2);
    EXPECT_EQ(editor->engine().indexOfCurrentRecord(), 0);
    EXPECT_EQ(editor->addressBlockText(), "");
    EXPECT_TRUE(drawer.bottomDrawer()->isVisible());
    EXPECT_FALSE(editor->toolbarController().toolbar()->isVisible());
    EXPECT_GE(window->height(), frame.height());
    showMenusOf(window);
    EXPECT_FALSE(menuItem(window, "addRecord:")->isEnabled());
    EXPECT_FALSE(menuItem(window, "printSingleEnvelopeOrLabel:")->isEnabled());
    TooBigView* tooBig = drawer.tooBigView();
    EXPECT_EQ(tooBig->verdictColor(), TooBigView::fitsColor());

    // The next one does not fit; shortened and updated, it does.
    ASSERT_TRUE(chooseMenuItem(window, "goToNextRecord:"));
    EXPECT_EQ(tooBig->addressBlockText(), QString(200, QLatin1Char('W')));
    EXPECT_EQ(tooBig->verdictColor(), TooBigView::tooLargeColor());
    FreeformTextView* text = editor->freeformTextView();
    text->setFocus();
    text->selectAll();
    QTest::keyClicks(text, "Eve Moss");
    QToolButton* update = toolbarButton(window, "UpdateDrawerContents");
    ASSERT_TRUE(update);
    EXPECT_FALSE(toolbarButton(window, "GrabURL"));
    QTest::mouseClick(update, Qt::LeftButton);
    EXPECT_EQ(tooBig->addressBlockText(), "Eve Moss");
    EXPECT_EQ(tooBig->verdictColor(), TooBigView::fitsColor());
    drawer.bottomDrawer()->grab().toImage().save(QDir::temp().filePath("norva-drawer.png"));
    window->grab().toImage().save(QDir::temp().filePath("norva-drawer-window.png"));

    // Stop: every record back, the window as it was, the template tests them again.
    m_presenter.clear();
    m_presenter.answerAlertWithButton("Edit Records");
    QTest::mouseClick(toolbarButton(window, "StopEditing"), Qt::LeftButton);
    EXPECT_EQ(m_presenter.alerts().front().request.messageText,
              "There is 1 record that is too large to fit this template.");
    EXPECT_EQ(m_presenter.alerts().front().window, page->window());
    page->window()->grab().toImage().save(QDir::temp().filePath("norva-drawer-page.png"));
    // Edit Records again: the one left, alone.
    ASSERT_TRUE(drawer.editingNonPrintableRecords());
    EXPECT_EQ(editor->engine().catalog()->countSelected(), 1);

    // The template closing closes the panel; the editor's toolbar and frame come back.
    page->performClose();
    QCoreApplication::processEvents();
    EXPECT_FALSE(drawer.editingNonPrintableRecords());
    EXPECT_FALSE(drawer.bottomDrawer()->isVisible());
    EXPECT_TRUE(editor->toolbarController().toolbar()->isVisible());
    EXPECT_FALSE(toolbarButton(window, "StopEditing"));
    EXPECT_TRUE(toolbarButton(window, "GrabURL"));
    EXPECT_EQ(window->geometry(), frame);
    showMenusOf(window);
    EXPECT_TRUE(menuItem(window, "addRecord:")->isEnabled());
}

TEST_F(TemplatesJourneyTest, EditDesign_CopyPasteTwiceWithTheKeys_StepsAndUndoes_ThenTheTemplateKeepsIt)
{
    TemplateDocument* labels = openLabels();
    ASSERT_TRUE(labels);
    QWidget* window = labels->windowControllers().front()->window();
    TemplateDesignSheetController* sheet = openDesignSheet(window);
    ASSERT_TRUE(sheet);
    MutableDesignView* canvas = sheet->designView();
    ASSERT_EQ(sheet->graphics()->size(), 3);

    QMenu* edit = nullptr;
    for (QAction* top : sheet->window()->findChild<QMenuBar*>()->actions())
        if (top->text() == "Edit")
            edit = top->menu();
    ASSERT_TRUE(edit);
    const auto editItem = [&](const QString& selector) -> QAction* {
        for (QAction* item : edit->actions())
            if (sheet->menuBinding().selectorFor(item) == selector)
                return item;
        return nullptr;
    };
    QAction* cutItem = editItem("cut:");
    QAction* copyItem = editItem("copy:");
    QAction* pasteItem = editItem("paste:");
    ASSERT_TRUE(cutItem && copyItem && pasteItem);

    // Nothing selected: Cut and Copy are off, Paste is on.
    Q_EMIT edit->aboutToShow();
    EXPECT_FALSE(cutItem->isEnabled());
    EXPECT_FALSE(copyItem->isEnabled());
    EXPECT_TRUE(pasteItem->isEnabled());
    Q_EMIT edit->aboutToHide();
    const QList<QAction*> items = edit->actions();
    const qsizetype cutAt = items.indexOf(cutItem);
    EXPECT_EQ(items.mid(cutAt, 3),
              QList<QAction*>({cutItem, copyItem, pasteItem}));
    EXPECT_EQ(cutItem->text(), "Cut");

    // The field placeholder, clicked with the arrow, then copied and pasted twice.
    const std::shared_ptr<Graphic> field = sheet->graphics()->at(1);
    ASSERT_EQ(field->graphicType(), "FieldGraphic");
    const QRectF fieldBounds = field->bounds();
    activate(sheet->window());
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, fieldBounds.center().toPoint());
    ASSERT_EQ(canvas->selectedGraphics(), GraphicList{field});
    Q_EMIT edit->aboutToShow();
    EXPECT_TRUE(copyItem->isEnabled());
    Q_EMIT edit->aboutToHide();
    QTest::keyClick(sheet->window(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(Pasteboard::data()->hasFormat(Pasteboard::DesignPboardType));
    // Each press one turn of the event loop, as a user's presses are: one undo step each.
    for (int press = 0; press < 2; ++press) {
        QTest::keyClick(sheet->window(), Qt::Key_V, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }
    ASSERT_EQ(sheet->graphics()->size(), 5);
    // Pasted in front, behind the address block: the later paste the nearer.
    EXPECT_EQ(sheet->graphics()->at(1)->bounds(), fieldBounds.translated(20, 20));
    EXPECT_EQ(sheet->graphics()->at(2)->bounds(), fieldBounds.translated(10, 10));
    EXPECT_EQ(sheet->graphics()->at(1)->graphicType(), "FieldGraphic");
    EXPECT_EQ(canvas->selectedGraphics(), GraphicList{sheet->graphics()->at(1)});

    const QImage picture = sheet->window()->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    picture.save(QDir::temp().filePath("norva-design-clipboard.png"));

    // Undo takes back the second paste alone.
    Q_EMIT edit->aboutToShow();
    EXPECT_EQ(sheet->undoItem()->text(), "Undo Paste");
    Q_EMIT edit->aboutToHide();
    QTest::keyClick(sheet->window(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(sheet->graphics()->size(), 4);
    EXPECT_EQ(sheet->graphics()->at(1)->bounds(), fieldBounds.translated(10, 10));

    // Cut from the menu takes the pasted copy away again.
    canvas->clearSelection();
    canvas->selectGraphic(sheet->graphics()->at(1));
    cutItem->trigger();
    ASSERT_EQ(sheet->graphics()->size(), 3);

    sheet->okay();
    EXPECT_EQ(labels->masterGraphics().size(), 3);
}
