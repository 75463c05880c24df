#include "TemplateDocument.h"

#include "DocumentFixture.h"
#include "PageLayoutTesting.h"
#include "PdfReader.h"
#include "RectangleGraphic.h"
#include "TemplatePrintHost.h"
#include "EnvelopeDocument.h"
#include "Graphic.h"
#include "LabelDocument.h"
#include "NotificationCenter.h"
#include "PropertyList.h"
#include "SystemLog.h"
#include "TemplateFormat.h"
#include "TemplateWindow.h"
#include "WindowController.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>

#include <gtest/gtest.h>

namespace {

// The page window as the document sees it: it counts what it is asked, and prints with
// an engine of its own.
class FakePageWindow : public WindowController, public TemplateWindow, public TemplatePrintHost {
public:
    void prepare() override { ++prepared; }
    void resetPageLayout() override { ++resets; }
    PageViewController& pageViewController() const override { return engine; }
    QWidget* printWindow() override { return window(); }
    int prepared = 0;
    int resets = 0;
    mutable PageViewController engine;

protected:
    std::unique_ptr<QWidget> makeWindow() override
    {
        auto window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QWidget(window.get()));
        window->resize(400, 300);
        return window;
    }
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList designClasses(const TemplateDocument& document)
{
    QStringList classes;
    for (const PlistValue& entry : document.masterGraphicsAsArrayOfDictionaries())
        classes.append(*entry.asDictionary()->find("Class")->asString());
    return classes;
}

} // namespace

class TemplateDocumentTest : public DocumentFixture {
protected:
    void SetUp() override
    {
        DocumentFixture::SetUp();
        for (const QString& type : {TemplateDocument::LabelType, TemplateDocument::EnvelopeType}) {
            DocumentController::shared().registerDocumentType(
                {type,
                 {type == TemplateDocument::LabelType ? TemplateDocument::LabelExtension
                                                      : TemplateDocument::EnvelopeExtension},
                 [type] { return TemplateDocument::makeOfType(type); }});
        }
        TemplateDocument::setPageWindowFactory(
            [](TemplateDocument&) { return std::make_unique<FakePageWindow>(); });
        TemplateDocument::setDidWriteHook([this] { ++m_writesNoted; });
    }

    QString copyTemplate(const QString& name, const QString& as = QString())
    {
        return copyFixtureOf(QStringLiteral("template"), name, as);
    }

    TemplateDocument* open(const QString& path)
    {
        return qobject_cast<TemplateDocument*>(
            DocumentController::shared().openDocumentWithContentsOfURL(QUrl::fromLocalFile(path),
                                                                       false));
    }

    static FakePageWindow* pageOf(TemplateDocument* document)
    {
        return static_cast<FakePageWindow*>(document->windowControllers().front().get());
    }

    int m_writesNoted = 0;
};

TEST_F(TemplateDocumentTest, Open_RefusesWhatIsNoTemplateAndLeavesTheFileAsItWas)
{
    const struct {
        const char* file;
        const char* reason;
    } cases[] = {
        {"not-a-dictionary.zlabel", "The file is not a template."},
        {"no-settings.zlabel", "The template has no settings."},
        {"no-design.zlabel", "The template has no design."},
        {"newer-format.zlabel", "The template was written by a newer version of Norva."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        m_presenter.clear();
        const QString path = copyTemplate(c.file);
        const QByteArray before = contents(path);
        EXPECT_FALSE(DocumentController::shared().openDocumentWithContentsOfURL(
            QUrl::fromLocalFile(path), true));
        ASSERT_EQ(m_presenter.alerts().size(), 1);
        EXPECT_EQ(m_presenter.lastAlert().request.messageText.toStdString(),
                  "The document “" + std::string(c.file) + "” could not be opened.");
        EXPECT_EQ(m_presenter.lastAlert().request.informativeText.toStdString(), c.reason);
        EXPECT_EQ(contents(path), before);
        EXPECT_TRUE(DocumentController::shared().documents().empty());
    }
    processTimers();
    EXPECT_EQ(m_writesNoted, 0);
}

TEST_F(TemplateDocumentTest, Open_TheTypeDecidesTheKindAndAnEmptyDesignOpens)
{
    // A label's file under the envelope's extension is an envelope, whatever it says.
    TemplateDocument* envelope = open(copyTemplate("label.zlabel", "Letters.zenv"));
    ASSERT_TRUE(envelope);
    EXPECT_TRUE(dynamic_cast<EnvelopeDocument*>(envelope));
    EXPECT_TRUE(envelope->templateSettings()->isEnvelope());
    EXPECT_TRUE(envelope->masterGraphics().isEmpty());
    EXPECT_FALSE(envelope->isDocumentEdited());
    EXPECT_EQ(pageOf(envelope)->prepared, 1);

    TemplateDocument* label = open(copyTemplate("envelope.zenv", "Shipping.zlabel"));
    ASSERT_TRUE(label);
    EXPECT_TRUE(dynamic_cast<LabelDocument*>(label));
    EXPECT_FALSE(label->templateSettings()->isEnvelope());
}

TEST_F(TemplateDocumentTest, SaveAndReopen_KeepTheDesignFrontToBack)
{
    const QString path = copyTemplate("two-shapes.zlabel");
    TemplateDocument* document = open(path);
    ASSERT_TRUE(document);
    ASSERT_EQ(designClasses(*document), QStringList({"Rectangle", "Circle"}));
    // The back-most graphic comes to the front.
    GraphicList graphics = document->masterGraphics();
    graphics.move(1, 0);
    document->setMasterGraphics(graphics);
    document->templateSettings()->setLabelCopies(3);
    document->templateSettings()->setTemplateSettingsDidChange(true);
    document->setTemplateDocumentEdited(true);
    EXPECT_TRUE(pageOf(document)->window()->isWindowModified());

    document->saveDocument();
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->templateSettings()->templateSettingsDidChange());
    EXPECT_FALSE(pageOf(document)->window()->isWindowModified());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
    processTimers();
    EXPECT_EQ(m_writesNoted, 1);

    const TemplateFormat::Result<TemplateFormat::Contents> saved =
        TemplateFormat::read(contents(path));
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.value->settings->labelCopies(), 3);
    EXPECT_EQ(saved.value->settings->dictionary().find("DataFormat")->integerValue(), 1);
    EXPECT_EQ(PlistValue(saved.value->design),
              PlistValue(document->masterGraphicsAsArrayOfDictionaries()));
    document->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    TemplateDocument* reopened = open(path);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(designClasses(*reopened), QStringList({"Circle", "Rectangle"}));
}

TEST_F(TemplateDocumentTest, Open_AnEntryOfNoKnownClassIsLeftOutAndLogged)
{
    ScopedLogCapture log;
    TemplateDocument* document = open(copyTemplate("unknown-graphic.zlabel"));
    ASSERT_TRUE(document);
    EXPECT_EQ(designClasses(*document), QStringList({"Rectangle", "Line"}));
    EXPECT_EQ(log.lines(), QStringList({"The design element 1 of class \"Hexagon\" is no graphic "
                                        "Norva knows; it is left out."}));
}

TEST_F(TemplateDocumentTest, FailedSave_KeepsTheChangesTheOldFileAndAsksOnClosing)
{
    const QString path = copyTemplate("two-shapes.zlabel");
    const QByteArray original = contents(path);
    TemplateDocument* document = open(path);
    ASSERT_TRUE(document);
    document->templateSettings()->setTemplateSettingsDidChange(true);
    document->setTemplateDocumentEdited(true);
    SafeFileWriter::setFailAfterBytesForTesting(100);
    document->saveDocument();
    EXPECT_EQ(contents(path), original);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(document->templateSettings()->templateSettingsDidChange());
    EXPECT_TRUE(pageOf(document)->window()->isWindowModified());
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "The document “two-shapes.zlabel” could not be saved.");
    EXPECT_TRUE(
        m_presenter.lastAlert().request.informativeText.contains("No space left on device"));

    m_presenter.answerAlertWithButton("Cancel");
    bool closes = true;
    document->canCloseDocument([&](bool shouldClose) { closes = shouldClose; });
    EXPECT_FALSE(closes);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              "Do you want to save the changes made to the document “two-shapes.zlabel”?");
}

TEST_F(TemplateDocumentTest, Write_TakesTheTypesAndTheirExtensionsAndRefusesOthers)
{
    TemplateDocument* document = open(copyTemplate("label.zlabel"));
    ASSERT_TRUE(document);
    for (const QString& type : {TemplateDocument::LabelType, TemplateDocument::EnvelopeType,
                                QStringLiteral("zlabel"), QStringLiteral("zenv")}) {
        const QString path = m_dir.filePath("copy-" + type);
        EXPECT_TRUE(
            document->saveToURL(QUrl::fromLocalFile(path), type, Document::SaveOperation::SaveTo))
            << type.toStdString();
        EXPECT_TRUE(TemplateFormat::read(contents(path)).ok());
    }
    const QString other = m_dir.filePath("copy.nv3");
    EXPECT_FALSE(document->saveToURL(QUrl::fromLocalFile(other),
                                     QStringLiteral("Norva Pro Datafile"),
                                     Document::SaveOperation::SaveTo));
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_EQ(m_presenter.lastAlert().request.informativeText,
              "Norva cannot save files of this kind.");
}

TEST_F(TemplateDocumentTest, Commands_SaveAndRevertWaitForAnEditAndTheTestSheetIsForLabels)
{
    TemplateDocument* label = open(copyTemplate("label.zlabel"));
    TemplateDocument* envelope = open(copyTemplate("envelope.zenv"));
    ASSERT_TRUE(label && envelope);
    for (const char* selector : {"saveDocument:", "revertDocumentToSaved:"}) {
        EXPECT_FALSE(label->validateAction(selector)) << selector;
        label->setTemplateDocumentEdited(true);
        EXPECT_TRUE(label->validateAction(selector)) << selector;
        label->setTemplateDocumentEdited(false);
    }
    EXPECT_TRUE(label->validateAction("printTestSheet:"));
    EXPECT_FALSE(envelope->validateAction("printTestSheet:"));
    EXPECT_TRUE(envelope->validateAction("printDocument:"));
}

TEST_F(TemplateDocumentTest, Revert_ReadsTheFileAgainAndTellsThePageWindow)
{
    const QString path = copyTemplate("two-shapes.zlabel");
    TemplateDocument* document = open(path);
    ASSERT_TRUE(document);
    int reverted = 0;
    NotificationCenter::defaultCenter().addObserver(TemplateDocument::RevertedTemplateWindow,
                                                    document, document,
                                                    [&](const Notification&) { ++reverted; });
    document->setMasterGraphics({});
    document->templateSettings()->setLabelCopies(7);
    document->setTemplateDocumentEdited(true);

    m_presenter.answerAlertWithButton("Revert");
    document->revertDocumentToSaved();
    EXPECT_EQ(reverted, 1);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_EQ(designClasses(*document), QStringList({"Rectangle", "Circle"}));
    EXPECT_EQ(document->templateSettings()->labelCopies(), 1);
}

TEST_F(TemplateDocumentTest, SavePanel_StartsInTheTemplatesFolderWhereverItsLinkPoints)
{
    QDir(m_dir.path()).mkdir("Real Templates");
    QFile::link(m_dir.filePath("Real Templates"), m_dir.filePath("Templates"));
    m_defaults.setObject(QUrl::fromLocalFile(m_dir.filePath("Templates")).toString() + '/',
                         QStringLiteral("TemplatesFolderURL"));
    std::unique_ptr<TemplateDocument> document =
        TemplateDocument::makeOfType(TemplateDocument::LabelType);
    SavePanelRequest request;
    EXPECT_TRUE(document->prepareSavePanel(request));
    EXPECT_EQ(request.directory, QFileInfo(m_dir.filePath("Real Templates")).canonicalFilePath());

    // A path as older versions stored it, under the home folder.
    m_defaults.setObject(QStringLiteral("~"), QStringLiteral("TemplatesFolderURL"));
    EXPECT_TRUE(document->prepareSavePanel(request));
    EXPECT_EQ(request.directory, QFileInfo(QDir::homePath()).canonicalFilePath());
}

TEST_F(TemplateDocumentTest, PageSetup_AcceptedShowsOnePageAndCancelledShowsTheOwnEditedState)
{
    TemplateDocument* document = open(copyTemplate("label.zlabel"));
    ASSERT_TRUE(document);
    QWidget* window = pageOf(document)->window();
    window->move(100, 120);
    const QPoint topLeft = window->pos();
    const int bars =
        window->height() - static_cast<QMainWindow*>(window)->centralWidget()->height();

    PrintInfo a4 = document->templateSettings()->printInfo();
    a4.setPaperSize(QSizeF(595, 842));
    m_presenter.answerPageLayout(a4);
    document->runPageLayout();
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(document->templateSettings()->printInfo().paperSize(), QSizeF(595, 842));
    EXPECT_EQ(pageOf(document)->resets, 1);
    EXPECT_EQ(window->width(), 595 + 15);
    EXPECT_EQ(window->height(), 842 + 32 + bars);
    EXPECT_EQ(window->pos(), topLeft);

    // Cancelled: the mark follows the document's own flag, whatever it showed.
    for (const bool edited : {true, false}) {
        document->setTemplateDocumentEdited(edited);
        window->setWindowModified(!edited);
        m_presenter.answerPageLayout(std::nullopt);
        document->runPageLayout();
        EXPECT_EQ(document->isDocumentEdited(), edited);
        EXPECT_EQ(window->isWindowModified(), edited);
    }
    EXPECT_EQ(pageOf(document)->resets, 1);
}

TEST_F(TemplateDocumentTest, ForPrinting_ReadsTheFileWithoutAWindowAndIgnoresAFailedRead)
{
    const QString path = copyTemplate("two-shapes.zlabel");
    FakePageWindow printer;
    std::unique_ptr<TemplateDocument> document = TemplateDocument::templateForPrintingWithFile(
        path, TemplateDocument::LabelType, &printer);
    EXPECT_TRUE(document->printingSingleItem());
    EXPECT_EQ(designClasses(*document), QStringList({"Rectangle", "Circle"}));
    document->makeWindowControllers();
    EXPECT_TRUE(document->windowControllers().empty());
    EXPECT_EQ(document->printHost(), &printer);
    EXPECT_FALSE(printer.isWindowLoaded());
    EXPECT_EQ(printer.prepared, 0);

    ScopedLogCapture log;
    std::unique_ptr<TemplateDocument> missing = TemplateDocument::templateForPrintingWithFile(
        m_dir.filePath("gone.zlabel"), TemplateDocument::LabelType, nullptr);
    EXPECT_TRUE(missing->masterGraphics().isEmpty());
    EXPECT_EQ(log.lines().size(), 1);
}

namespace {

// A label of a greeting, the address, a field the records have and one they lack.
GraphicList greetingDesign()
{
    auto greeting = std::make_shared<TextGraphic>();
    greeting->setBounds({10, 100, 200, 20});
    greeting->document().setPlainText(QStringLiteral("Greetings"));
    return {greeting, addressGraphicAt({10, 10, 250, 60}),
            fieldGraphicAt({10, 75, 200, 20}, QStringLiteral("Phone")),
            fieldGraphicAt({10, 120, 200, 20}, QStringLiteral("Fax"))};
}

} // namespace

TEST_F(TemplateDocumentTest, PrintDocument_ThePagesChosenToAPdfWithoutTheScreensPlaceholders)
{
    TemplateDocument* labels = open(copyTemplate("label.zlabel"));
    ASSERT_TRUE(labels);
    labels->setMasterGraphics(greetingDesign());
    FakePageWindow* page = pageOf(labels);
    // Eight records on sheets of six, printing from the third label.
    auto records = std::make_shared<FakeRecordSource>(8);
    records->addressBlock = [](qint64 index) { return QStringLiteral("Person%1").arg(index); };
    records->fields[QStringLiteral("Phone")] = {"555-0100", QString(200, QLatin1Char('9'))};
    labels->templateSettings()->setLabelRows(3);
    labels->templateSettings()->setLabelColumns(2);
    page->engine.setEditorController(records);
    page->engine.setStartingLabelRow(1, 0);

    const QString pdf = m_dir.filePath("labels.pdf");
    m_presenter.answerPrintJob(true, pdf, PrintableView::PageRange{2, 3});
    ASSERT_TRUE(labels->performAction(QStringLiteral("printDocument:")));
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(m_presenter.printJobs().front().window, page->window());
    EXPECT_TRUE(m_presenter.printJobs().front().result.success);
    EXPECT_EQ(page->engine.pageCount(), 2u);
    // Pages 2 and 3 asked of two: page 2 alone, from the fifth record on.
    EXPECT_EQ(PdfReader::pageCount(pdf), 1);
    const QString text = PdfReader::text(pdf);
    EXPECT_TRUE(text.contains("Person4")) << text.toStdString();
    EXPECT_TRUE(text.contains("Person7"));
    EXPECT_FALSE(text.contains("Person3"));
    EXPECT_EQ(text.count("Greetings"), 4);
    EXPECT_FALSE(text.contains("No Field Data"));
    EXPECT_FALSE(text.contains("Too Large"));

    // All pages: the first from the starting label, the second full.
    m_presenter.answerPrintJob(true, pdf);
    ASSERT_TRUE(labels->performAction(QStringLiteral("printDocument:")));
    EXPECT_EQ(PdfReader::pageCount(pdf), 2);
    const QString first = PdfReader::text(pdf, 1);
    EXPECT_EQ(first.count("Greetings"), 4);
    EXPECT_TRUE(first.contains("555-0100"));
    EXPECT_FALSE(first.contains("999999"));
}

TEST_F(TemplateDocumentTest, PrintTestSheet_OnePageForAnyRangeAndAnUnwritableFileSaysSo)
{
    TemplateDocument* labels = open(copyTemplate("label.zlabel"));
    ASSERT_TRUE(labels);
    labels->setMasterGraphics(greetingDesign());
    const QString pdf = m_dir.filePath("test.pdf");
    m_presenter.answerPrintJob(true, pdf, PrintableView::PageRange{2, 5});
    ASSERT_TRUE(labels->performAction(QStringLiteral("printTestSheet:")));
    EXPECT_EQ(PdfReader::pageCount(pdf), 1);
    EXPECT_FALSE(PdfReader::text(pdf).contains("Greetings"));
    EXPECT_EQ(pageOf(labels)->resets, 0);

    const QString unwritable = m_dir.filePath("no such folder/test.pdf");
    m_presenter.clear();
    m_presenter.answerPrintJob(true, unwritable);
    ASSERT_TRUE(labels->performAction(QStringLiteral("printTestSheet:")));
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.lastAlert().request.messageText,
              QStringLiteral("The file “%1” could not be written.").arg(unwritable));
    EXPECT_EQ(m_presenter.lastAlert().window, pageOf(labels)->window());
}

TEST_F(TemplateDocumentTest, PrintForOneItem_OnThePrintersWindowOnePage)
{
    FakePageWindow printer;
    std::unique_ptr<TemplateDocument> document = TemplateDocument::templateForPrintingWithFile(
        copyTemplate("label.zlabel"), TemplateDocument::LabelType, &printer);
    document->setMasterGraphics(greetingDesign());
    auto records = std::make_shared<FakeRecordSource>(3);
    records->addressBlocks = {"Ann", "Bo", "Cy"};
    printer.engine.setEditorController(records);
    printer.engine.setShowingSingleTemplate(true);
    printer.engine.setCurrentRecord(1);
    const QString pdf = m_dir.filePath("one.pdf");
    m_presenter.answerPrintJob(true, pdf, PrintableView::PageRange{2, 2});
    document->printDocument();
    ASSERT_EQ(m_presenter.printJobs().size(), 1);
    EXPECT_EQ(m_presenter.printJobs().front().window, printer.window());
    EXPECT_EQ(PdfReader::pageCount(pdf), 1);
    const QString text = PdfReader::text(pdf);
    EXPECT_EQ(text.count("Greetings"), 1);
    EXPECT_TRUE(text.contains("Bo"));
}
