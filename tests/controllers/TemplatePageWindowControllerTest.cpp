#include "TemplatePageWindowController.h"

#include "ImageGraphic.h"
#include "LabelCopiesSheetController.h"
#include "LineGraphic.h"
#include "NonPrintableRecordsEditor.h"
#include "PageLayoutTesting.h"
#include "PageViewController.h"
#include "PopUpButton.h"
#include "RectangleGraphic.h"
#include "ScriptedPresenter.h"
#include "TemplateDocument.h"
#include "TemplateLabelPageSheetController.h"
#include "TemplatePageToolbarController.h"
#include "Toolbar.h"
#include "UserDefaults.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>

namespace {

// The datafile's records, with the editor's side of editing those that do not fit.
class FakeDatafile : public FakeRecordSource, public NonPrintableRecordsEditor {
public:
    bool editingNonPrintableRecords() const override { return editing; }
    void editNonPrintableRecords(const QList<qint64>& printable,
                                 TemplatePageWindowController* controller) override
    {
        editing = true;
        handedPrintable = printable;
        handedController = controller;
    }

    bool editing = false;
    QList<qint64> handedPrintable;
    TemplatePageWindowController* handedController = nullptr;
};

// The page window with the datafiles it opens given: by path, else the one datafile.
class TestPageWindow : public TemplatePageWindowController {
public:
    std::shared_ptr<PageRecordSource> openDatafile(const QString& path) override
    {
        if (byPath.contains(path))
            return byPath.value(path);
        return datafile;
    }
    std::shared_ptr<FakeDatafile> datafile = std::make_shared<FakeDatafile>();
    QHash<QString, std::shared_ptr<FakeDatafile>> byPath;
};

class TemplatePageWindowControllerTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        UserDefaults::setStandardUserDefaults(&m_defaults);
        Presenter::setShared(&m_presenter);
        m_document = TemplateDocument::makeOfType(TemplateDocument::LabelType);
        auto controller = std::make_unique<TestPageWindow>();
        m_window = controller.get();
        m_document->addWindowController(std::move(controller));
    }
    void TearDown() override
    {
        m_document.reset();
        Presenter::setShared(nullptr);
        UserDefaults::setStandardUserDefaults(nullptr);
        GraphicTest::TearDown();
    }

    // A 3 x 2 sheet over the records, each addressed as given ("" does not fit).
    void layOut(const QStringList& addresses, GraphicList design = {})
    {
        FakeDatafile& datafile = *m_window->datafile;
        datafile.count = addresses.size();
        datafile.addressBlocks = addresses;
        auto settings = labelSheet();
        settings->setAssociatedDatafileURL(QUrl::fromLocalFile(QStringLiteral("/d/People.nv3")));
        m_document->setTemplateSettings(settings);
        if (design.isEmpty())
            design = {addressGraphicAt({10, 10, 200, 60})};
        m_document->setMasterGraphics(design);
        m_window->prepare();
    }

    static QStringList addresses(int count)
    {
        QStringList list;
        for (int i = 0; i < count; ++i)
            list.append(QStringLiteral("Name %1").arg(i));
        return list;
    }

    QString pageText() const { return m_window->recordNumberButton()->text(); }
    QString selectionText() const { return m_window->selectionButton()->text(); }

    // A menu item for the datafile at the path, as the Select Datafile menu has it.
    static std::unique_ptr<QAction> datafileItem(const QString& path)
    {
        auto item = std::make_unique<QAction>(QFileInfo(path).completeBaseName());
        if (!path.isEmpty())
            PopUpButton::setRepresentedObject(item.get(), path);
        return item;
    }

    QTemporaryDir m_dir;
    UserDefaults m_defaults{m_dir.filePath("defaults")};
    ScriptedPresenter m_presenter;
    std::unique_ptr<TemplateDocument> m_document;
    TestPageWindow* m_window = nullptr;
};

} // namespace

TEST_F(TemplatePageWindowControllerTest, StatusBar_CountsPagesAndRecordsAsThePagesTurn)
{
    layOut(addresses(4));
    EXPECT_EQ(pageText(), "1 of 1 page");
    EXPECT_EQ(selectionText(), "4 of 4 selected");

    // Fifteen records on six labels a page, then one more page.
    layOut(addresses(15));
    EXPECT_EQ(pageText(), "1 of 3 pages");
    EXPECT_EQ(selectionText(), "15 of 15 selected");
    ASSERT_TRUE(m_window->performAction("goToNextPage:"));
    EXPECT_EQ(pageText(), "2 of 3 pages");
    ASSERT_TRUE(m_window->performAction("goToLastRecord:"));
    EXPECT_EQ(pageText(), "3 of 3 pages");
    ASSERT_TRUE(m_window->performAction("goToNextRecord:"));
    EXPECT_EQ(pageText(), "1 of 3 pages");
    ASSERT_TRUE(m_window->performAction("goToPreviousPage:"));
    EXPECT_EQ(pageText(), "3 of 3 pages");
    ASSERT_TRUE(m_window->performAction("goToFirstRecord:"));
    EXPECT_EQ(pageText(), "1 of 3 pages");
    ASSERT_TRUE(m_window->performAction("goToLastPage:"));
    ASSERT_TRUE(m_window->performAction("goToPreviousRecord:"));
    EXPECT_EQ(pageText(), "2 of 3 pages");

    // Fewer records again: the page shown is the first.
    layOut(addresses(2));
    EXPECT_EQ(pageText(), "1 of 1 page");
    EXPECT_EQ(selectionText(), "2 of 2 selected");
}

TEST_F(TemplatePageWindowControllerTest, PageActions_OnlyWithASecondPage)
{
    struct Case {
        int records;
        bool enabled;
    };
    for (const Case& c : {Case{0, false}, Case{4, false}, Case{15, true}}) {
        layOut(addresses(c.records));
        for (const char* selector :
             {"goToFirstPage:", "goToPreviousPage:", "goToNextPage:", "goToLastPage:",
              "goToFirstRecord:", "goToPreviousRecord:", "goToNextRecord:", "goToLastRecord:"})
            EXPECT_EQ(m_window->validateAction(selector), c.enabled)
                << selector << " with " << c.records << " records";
    }
    // At no page at all, turning leaves the page where it was.
    layOut({});
    EXPECT_EQ(m_window->pageViewController().pageCount(), 0u);
    m_window->performAction("goToLastPage:");
    EXPECT_EQ(m_window->pageViewController().currentPage(), 0u);
}

TEST_F(TemplatePageWindowControllerTest, LabelCopiesAndRetest_NeedTheRecordGraphics)
{
    const GraphicList plain{std::make_shared<TextGraphic>(), std::make_shared<LineGraphic>(),
                            std::make_shared<RectangleGraphic>(), std::make_shared<ImageGraphic>()};
    layOut(addresses(2), plain);
    EXPECT_FALSE(m_window->validateAction("editLabelCopies:"));
    EXPECT_FALSE(m_window->validateAction("testNonPrintableRecords:"));

    GraphicList withField = plain;
    withField.append(fieldGraphicAt({0, 0, 100, 20}, QStringLiteral("Name")));
    layOut(addresses(2), withField);
    EXPECT_TRUE(m_window->validateAction("editLabelCopies:"));
    EXPECT_FALSE(m_window->validateAction("testNonPrintableRecords:"));

    layOut(addresses(2));
    EXPECT_TRUE(m_window->validateAction("editLabelCopies:"));
    EXPECT_TRUE(m_window->validateAction("testNonPrintableRecords:"));
}

TEST_F(TemplatePageWindowControllerTest, TooLargeRecords_AlertByCountAndEditRecordsHandsThemOver)
{
    // One record too large: the singular texts; Do Nothing leaves the editor alone.
    m_presenter.answerAlertWithButton("Do Nothing");
    layOut({"A", "B", "", "C", "D"});
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const AlertRequest& one = m_presenter.lastAlert().request;
    EXPECT_EQ(one.messageText, "There is 1 record that is too large to fit this template.");
    EXPECT_EQ(one.informativeText, "Do you want to edit the problem record?");
    EXPECT_EQ(one.buttons, QStringList({"Edit Records", "Do Nothing"}));
    EXPECT_EQ(selectionText(), "4 of 5 selected");
    EXPECT_FALSE(m_window->editingNonPrintableRecords());
    EXPECT_FALSE(m_window->datafile->editing);

    // Three: the count and the plural; Edit Records hands over the positions that fit.
    m_presenter.clear();
    m_presenter.answerAlertWithButton("Edit Records");
    layOut({"", "A", "", "B", ""});
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    const AlertRequest& three = m_presenter.lastAlert().request;
    EXPECT_EQ(three.messageText, "There are 3 records that are too large to fit this template.");
    EXPECT_EQ(three.informativeText, "Do you want to edit the problem records?");
    EXPECT_TRUE(m_window->editingNonPrintableRecords());
    EXPECT_EQ(m_window->datafile->handedPrintable, QList<qint64>({1, 3}));
    EXPECT_EQ(m_window->datafile->handedController, m_window);

    // All fit: no alert.
    m_presenter.clear();
    layOut(addresses(3));
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(TemplatePageWindowControllerTest, Retest_CommitsTheRecordAndSaysWhenAllFitNow)
{
    m_presenter.answerAlertWithButton("Do Nothing");
    layOut({"A", ""});
    m_presenter.clear();

    // Still too large: the alert again, and no word that all fit.
    m_presenter.answerAlertWithButton("Do Nothing");
    ASSERT_TRUE(m_window->performAction("testNonPrintableRecords:"));
    EXPECT_EQ(m_window->datafile->reloads, 1);
    EXPECT_EQ(m_presenter.alertMessages(),
              QStringList({"There is 1 record that is too large to fit this template."}));

    // The user shortened it in the datafile's window.
    m_presenter.clear();
    m_window->datafile->addressBlocks[1] = QStringLiteral("B");
    ASSERT_TRUE(m_window->performAction("testNonPrintableRecords:"));
    EXPECT_EQ(m_window->datafile->reloads, 2);
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText, "All records fit on this template.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText, "");
    EXPECT_EQ(m_presenter.lastAlert().request.buttons, QStringList({"OK"}));
    EXPECT_EQ(selectionText(), "2 of 2 selected");
}

TEST_F(TemplatePageWindowControllerTest, TemplateChanged_IsTheDocumentsEditedState)
{
    layOut(addresses(1));
    EXPECT_FALSE(m_window->templateChanged());
    m_window->setTemplateChanged();
    EXPECT_TRUE(m_window->templateChanged());
    EXPECT_TRUE(m_document->isDocumentEdited());
    m_document->setTemplateDocumentEdited(false);
    EXPECT_FALSE(m_window->templateChanged());
}

TEST_F(TemplatePageWindowControllerTest, SharedRecordItems_ReadAsPageItems)
{
    EXPECT_EQ(m_window->titleForAction("goToFirstRecord:"), "First Page");
    EXPECT_EQ(m_window->titleForAction("goToPreviousRecord:"), "Previous Page");
    EXPECT_EQ(m_window->titleForAction("goToNextRecord:"), "Next Page");
    EXPECT_EQ(m_window->titleForAction("goToLastRecord:"), "Last Page");
    EXPECT_EQ(m_window->titleForAction("printCurrentRecord:"), "Print...");
    EXPECT_EQ(m_window->titleForAction("saveDocument:"), "");
}

TEST_F(TemplatePageWindowControllerTest, Association_CountsEachDatafileExactlyWhileItLasts)
{
    auto a = std::make_shared<FakeDatafile>();
    auto b = std::make_shared<FakeDatafile>();
    m_window->byPath.insert(QStringLiteral("/d/A.nv3"), a);
    m_window->byPath.insert(QStringLiteral("/d/B.nv3"), b);
    m_document->setTemplateSettings(labelSheet());
    m_document->setMasterGraphics({addressGraphicAt({10, 10, 200, 60})});
    m_presenter.answerAlertWithButton("OK");
    m_window->prepare();
    EXPECT_FALSE(m_document->isDocumentEdited());

    m_window->selectDatafile(datafileItem(QStringLiteral("/d/A.nv3")).get());
    EXPECT_EQ(a->openTemplateCount, 1);
    EXPECT_TRUE(m_document->isDocumentEdited());
    EXPECT_EQ(m_window->datafilePath(), "/d/A.nv3");
    EXPECT_EQ(m_window->datafileShortName(), "A");
    EXPECT_EQ(m_document->templateSettings()->associatedDatafileURL(),
              QUrl::fromLocalFile(QStringLiteral("/d/A.nv3")));
    EXPECT_EQ(m_window->window()->windowTitle().remove("[*]"), "Untitled (A)");

    m_window->selectDatafile(datafileItem(QStringLiteral("/d/B.nv3")).get());
    EXPECT_EQ(a->openTemplateCount, 0);
    EXPECT_EQ(b->openTemplateCount, 1);
    // An item without a path (the menu's face) changes nothing.
    m_window->selectDatafile(datafileItem(QString()).get());
    EXPECT_EQ(b->openTemplateCount, 1);

    ASSERT_TRUE(m_window->performAction("disassociateDatafile:"));
    EXPECT_EQ(b->openTemplateCount, 0);
    EXPECT_TRUE(m_document->templateSettings()->associatedDatafileURL().isEmpty());
    EXPECT_EQ(m_window->window()->windowTitle().remove("[*]"), "Untitled");
    m_window->windowWillClose();
    EXPECT_EQ(a->openTemplateCount, 0);
    EXPECT_EQ(b->openTemplateCount, 0);
}

TEST_F(TemplatePageWindowControllerTest, None_DropsADatafileThatCouldNotOpen_NothingWithoutOne)
{
    m_window->byPath.insert(QStringLiteral("/d/Gone.nv3"), nullptr);
    auto settings = labelSheet();
    m_document->setTemplateSettings(settings);
    m_window->prepare();
    m_window->disassociateDatafile();
    EXPECT_FALSE(m_document->isDocumentEdited());

    settings->setAssociatedDatafileURL(QUrl::fromLocalFile(QStringLiteral("/d/Gone.nv3")));
    m_window->prepare();
    ASSERT_FALSE(m_window->pageViewController().editorWindowController());
    m_window->disassociateDatafile();
    EXPECT_TRUE(m_document->isDocumentEdited());
    EXPECT_TRUE(settings->associatedDatafileURL().isEmpty());
}

TEST_F(TemplatePageWindowControllerTest, LabelCopies_GoToTheTemplateAndTheLayout)
{
    layOut(addresses(4));
    ASSERT_TRUE(m_window->performAction("editLabelCopies:"));
    auto* sheet = VKSheetController::topmostController<LabelCopiesSheetController>();
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->labelCopiesText()->text(), "1");
    sheet->labelCopiesText()->setText("3");
    sheet->okay();
    EXPECT_EQ(m_document->templateSettings()->labelCopies(), 3);
    EXPECT_TRUE(m_document->isDocumentEdited());
    EXPECT_EQ(selectionText(), "12 of 12 selected");
    EXPECT_EQ(pageText(), "1 of 2 pages");

    m_document->setTemplateDocumentEdited(false);
    ASSERT_TRUE(m_window->performAction("editLabelCopies:"));
    sheet = VKSheetController::topmostController<LabelCopiesSheetController>();
    sheet->cancel();
    EXPECT_FALSE(m_document->isDocumentEdited());
    EXPECT_EQ(m_document->templateSettings()->labelCopies(), 3);
}

TEST_F(TemplatePageWindowControllerTest, PageLayout_NeedsADatafileForAnAddressBlock)
{
    m_document->setTemplateSettings(labelSheet());
    m_document->setMasterGraphics({addressGraphicAt({10, 10, 200, 60})});
    m_window->prepare();
    m_presenter.clear();
    ASSERT_TRUE(m_window->performAction("editPageLayout:"));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "You must select an associated datafile for this template before editing the page "
              "layout further.");
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "The template includes an address block, but has no datafile set to get addresses "
              "from.");
    EXPECT_FALSE(VKSheetController::topmostController<TemplateLabelPageSheetController>());
}

TEST_F(TemplatePageWindowControllerTest, PageLayout_WarnsOfNewDimensionsBeyondOnePointWithADesign)
{
    const struct {
        float originalWidth;
        bool design;
        bool warned;
    } cases[] = {{79.995f, true, false}, {79.985f, true, true}, {79.985f, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.originalWidth);
        GraphicList design;
        if (c.design)
            design.append(addressGraphicAt({2, 2, 40, 30}));
        layOut(addresses(2), design);
        if (!c.design)
            m_document->setMasterGraphics({});
        m_document->templateSettings()->setWidth(c.originalWidth);
        m_document->setTemplateDocumentEdited(false);
        m_window->resetPageLayout();
        m_presenter.clear();
        ASSERT_TRUE(m_window->performAction("editPageLayout:"));
        auto* sheet = VKSheetController::topmostController<TemplateLabelPageSheetController>();
        ASSERT_TRUE(sheet);
        // 1.125 inches: 81 points, less the half hundredth.
        sheet->sizeWidthField()->setText("1.125");
        sheet->okay();
        EXPECT_TRUE(m_document->isDocumentEdited());
        EXPECT_EQ(m_document->templateSettings()->width(), 80.995f);
        EXPECT_EQ(
            m_presenter.alertMessages().contains("The label/envelope dimensions have changed."),
            c.warned);
    }
}

TEST_F(TemplatePageWindowControllerTest, Toolbar_DefaultItemsInOrderAndTheDatafileMenuRebuilt)
{
    QDir().mkpath(m_dir.filePath("Datafiles/Work"));
    for (const char* name : {"Datafiles/People.nv3", "Datafiles/Work/Jobs.nvm"}) {
        QFile file(m_dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    m_defaults.setObject(QUrl::fromLocalFile(m_dir.filePath("Datafiles")).toString() + '/',
                         QStringLiteral("DatafilesFolderURL"));
    layOut(addresses(1));
    TemplatePageToolbarController* toolbar = m_window->templatePageToolbarController();
    ASSERT_TRUE(toolbar->toolbar());
    EXPECT_EQ(
        toolbar->toolbar()->itemIdentifiers(),
        QStringList({"SelectDatafile", "EditPageLayout", "EditDesignLayout", "TestAddressBlockFit",
                     "NumberOfLabelCopies", "NSToolbarPrintItem", "FirstPage", "PreviousPage",
                     "NextPage", "LastPage", "NSToolbarFlexibleSpaceItem", "User Guide"}));

    const auto titles = [toolbar] {
        QStringList list;
        for (const QAction* item : toolbar->datafileMenu()->actions())
            list.append(item->isSeparator() ? QStringLiteral("---") : item->text());
        return list;
    };
    const QStringList expected{" ", "None", "---", "People", "Work"};
    EXPECT_EQ(titles(), expected);
    toolbar->updateDatafileMenu();
    toolbar->updateDatafileMenu();
    EXPECT_EQ(titles(), expected);
    EXPECT_EQ(toolbar->datafilePopup()->menu(), toolbar->datafileMenu());

    // Its items select through the window: the face names no datafile, "None" lets go.
    m_presenter.clear();
    toolbar->datafileMenu()->actions().at(0)->trigger();
    EXPECT_EQ(m_window->datafilePath(), "");
    toolbar->datafileMenu()->actions().at(3)->trigger();
    EXPECT_EQ(m_window->datafilePath(), m_dir.filePath("Datafiles/People.nv3"));
    toolbar->datafileMenu()->actions().at(1)->trigger();
    EXPECT_TRUE(m_document->templateSettings()->associatedDatafileURL().isEmpty());
}
