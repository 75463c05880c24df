#include "Application.h"
#include "Document.h"
#include "DocumentController.h"
#include "ScriptedPresenter.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A document whose file is plain text.
class TextDocument : public Document {
public:
    QByteArray text;
    bool readFromURL(const QUrl& url, const QString&) override
    {
        QFile file(url.toLocalFile());
        if (!file.open(QIODevice::ReadOnly)) {
            setFailureReason(file.errorString());
            return false;
        }
        text = file.readAll();
        return true;
    }
    bool writeToURL(const QUrl& url, const QString&) override
    {
        QFile file(url.toLocalFile());
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }
};

class DocumentArchitectureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        Presenter::setShared(&m_presenter);
        static bool registered = false;
        if (!registered) {
            registered = true;
            DocumentController::shared().registerDocumentType(
                {"Plain Text", {"txt"}, [] { return std::make_unique<TextDocument>(); }});
            DocumentController::shared().registerDocumentType({"Not Yet", {"later"}, nullptr});
        }
    }
    void TearDown() override
    {
        for (Document* document : std::vector<Document*>(DocumentController::shared().documents()))
            document->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Presenter::setShared(nullptr);
    }

    QString file(const QString& name, const QByteArray& contents)
    {
        QFile out(m_dir.filePath(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(contents);
        return out.fileName();
    }

    QTemporaryDir m_dir;
    ScriptedPresenter m_presenter;
};

class ScriptedDelegate : public ApplicationDelegate {
public:
    TerminateReply reply = TerminateReply::Now;
    QStringList calls;
    TerminateReply applicationShouldTerminate() override
    {
        calls << "shouldTerminate";
        return reply;
    }
    void applicationWillTerminate() override { calls << "willTerminate"; }
};

} // namespace

TEST_F(DocumentArchitectureTest, Open_TheSameFileTwice_GivesTheOpenDocument)
{
    DocumentController& controller = DocumentController::shared();
    const QString path = file("notes.txt", "hello");
    Document* first = controller.openDocumentWithContentsOfURL(QUrl::fromLocalFile(path), false);
    ASSERT_TRUE(first);
    const QString sameThroughDots = m_dir.path() + "/./notes.txt";
    EXPECT_EQ(controller.openDocumentWithContentsOfURL(QUrl::fromLocalFile(sameThroughDots), false),
              first);
    EXPECT_EQ(controller.documents().size(), 1u);
    EXPECT_EQ(first->displayName(), "notes.txt");
}

TEST_F(DocumentArchitectureTest, Open_UnknownOrUnreadable_TellsTheUserAndOpensNothing)
{
    DocumentController& controller = DocumentController::shared();
    EXPECT_FALSE(
        controller.openDocumentWithContentsOfURL(QUrl::fromLocalFile(file("a.later", "x")), false));
    EXPECT_FALSE(controller.openDocumentWithContentsOfURL(
        QUrl::fromLocalFile(m_dir.filePath("gone.txt")), false));
    ASSERT_EQ(m_presenter.alerts().size(), 2);
    EXPECT_EQ(m_presenter.alerts().at(0).request.messageText,
              "The document “a.later” could not be opened.");
    EXPECT_EQ(m_presenter.alerts().at(0).request.informativeText,
              "Norva cannot open files of this kind.");
    EXPECT_FALSE(m_presenter.alerts().at(1).request.informativeText.isEmpty());
    EXPECT_TRUE(controller.documents().empty());
}

TEST_F(DocumentArchitectureTest, Close_AsksAboutUnsavedChangesAndSavesWhenAsked)
{
    const QString path = file("notes.txt", "hello");
    auto* document =
        static_cast<TextDocument*>(DocumentController::shared().openDocumentWithContentsOfURL(
            QUrl::fromLocalFile(path), false));
    ASSERT_TRUE(document);
    document->text = "changed";
    document->updateChangeCount(Document::ChangeType::Done);
    EXPECT_TRUE(document->validateAction("revertDocumentToSaved:"));

    struct Case {
        const char* button;
        bool closes;
    };
    for (const Case& c : {Case{"Cancel", false}, Case{"Save", true}}) {
        m_presenter.answerAlertWithButton(c.button);
        bool closes = !c.closes;
        document->canCloseDocument([&](bool shouldClose) { closes = shouldClose; });
        EXPECT_EQ(closes, c.closes) << c.button;
    }
    EXPECT_EQ(m_presenter.lastAlert().request.buttons,
              QStringList({"Save", "Don’t Save", "Cancel"}));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "changed");
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST(ApplicationTest, Terminate_AsksTheDelegateNowLaterOrCancel)
{
    ScriptedDelegate delegate;
    Application& application = Application::shared();
    application.setDelegate(&delegate);
    delegate.reply = ApplicationDelegate::TerminateReply::Cancel;
    application.terminate();
    delegate.reply = ApplicationDelegate::TerminateReply::Later;
    application.terminate();
    application.terminate(); // a question already open is not asked again
    application.replyToApplicationShouldTerminate(false);
    EXPECT_EQ(delegate.calls, QStringList({"shouldTerminate", "shouldTerminate"}));
    application.setDelegate(nullptr);
}
