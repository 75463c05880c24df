// A user's journeys with envelope and label templates: opened from File ▸ Templates with
// the datafile they take their records from, saved and reverted.
#include "JourneyTestBase.h"

#include "TemplateDocument.h"
#include "TemplateFormat.h"

#include <QImage>
#include <QScrollArea>

namespace {

class TemplatesJourneyTest : public JourneyTestBase {
protected:
    // The labels of the templates folder tied to the datafile People.nv3 beside it.
    void beforeLaunch() override
    {
        m_datafile = copyFixture("good.nv3", "People.nv3");
        QFile fixture(QStringLiteral(NORVA_FIXTURES_DIR "/template/Labels.zlabel"));
        ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
        const PlistReadResult read = readPropertyList(fixture.readAll());
        ASSERT_TRUE(read.ok());
        PlistDictionary labels = read.value.asDictionary()->deepCopy();
        labels.find("Settings")
            ->asDictionary()
            ->insert("AssociatedDatafileURL", QUrl::fromLocalFile(m_datafile).toString());
        m_template = m_dir.filePath("Templates/Labels.zlabel");
        QFile file(m_template);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(writePropertyList(labels, file, PlistFormat::Xml));
    }

    static QString titleOf(QWidget* window)
    {
        return window->windowTitle().remove(QStringLiteral("[*]"));
    }

    QString m_datafile;
    QString m_template;
};

} // namespace

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

    // Closed, the template no longer holds its datafile.
    labels->windowControllers().front()->performClose();
    QCoreApplication::processEvents();
    EXPECT_EQ(editor->openTemplateCount(), 0);
}
