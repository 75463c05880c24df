// Grab Web Address and its variants over a real editor window, the browsers faked.
#include "WebCaptureController.h"
#include "RecordDataTesting.h"

#include "EditorRecordsController.h"
#include "EditorTestBase.h"
#include "FakeBrowserBridge.h"
#include "FreeformTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <stdexcept>

namespace {

const QString PageUrl = QStringLiteral("https://example.org/page");
const QString PageTitle = QStringLiteral("Example Page");

class WebCaptureControllerTest : public EditorTestBase {
protected:
    void SetUp() override
    {
        EditorTestBase::SetUp();
        m_bridge.run("rimZ");
        m_bridge.showPage("rimZ", PageUrl, PageTitle);
        auto* clipboard = new QMimeData;
        clipboard->setText(QStringLiteral("pasted"));
        QApplication::clipboard()->setMimeData(clipboard);
    }

    // Two records with text and a field "N", kind and settings as given.
    EditorWindowController* openDatafile(bool mobile = false, bool emptyCurrent = false)
    {
        auto document = std::make_unique<DatafileDocument>();
        if (mobile)
            document->setFileType(DatafileDocument::MobileDatafileType);
        document->datafileSettings()->setFields(PlistArray{
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "N"},
                            {DatafileSettingsData::FieldNameKey, "Name"}},
            PlistDictionary{{DatafileSettingsData::FieldIdentifierKey, "U"},
                            {DatafileSettingsData::FieldNameKey, "Address"}}});
        for (int i = 1; i <= 2; ++i) {
            auto record = std::make_shared<RecordData>();
            if (!(emptyCurrent && i == 1))
                record->setTextString(QString::number(i), RecordDataTesting::key());
            document->datafileRecords()->setRecord(record, record->identifier());
            document->datafileCatalog()->insertIdentifierAtEnd(record->identifier());
        }
        document->datafileCatalog()->rebuildSelectedIdentifiers();
        m_document = show(std::move(document));
        return editorOf(m_document);
    }

    static std::shared_ptr<RecordData> current(EditorWindowController* editor)
    {
        return editor->engine().currentRecord();
    }

    FakeBrowserBridge m_bridge;
    DatafileDocument* m_document = nullptr;
};

} // namespace

TEST_F(WebCaptureControllerTest, DefaultSettings_TitleUrlAndPasteInTheText)
{
    EditorWindowController* editor = openDatafile();
    const qint64 before = editor->engine().catalog()->count();
    editor->performAction("grabURL:");

    EXPECT_EQ(editor->engine().catalog()->count(), before + 1);
    const QString stored = PageTitle + "\n\n" + PageUrl + "\n\npasted";
    EXPECT_EQ(current(editor)->textString(), stored);
    EXPECT_FALSE(current(editor)->textRTFD().isEmpty());
    // After a paste two more line feeds, the caret after them.
    FreeformTextView* text = editor->freeformTextView();
    EXPECT_EQ(text->toPlainText(), stored + "\n\n");
    EXPECT_EQ(text->textCursor().position(), text->toPlainText().size());
    EXPECT_TRUE(m_document->isDocumentEdited());
    EXPECT_TRUE(m_presenter.alerts().isEmpty());
}

TEST_F(WebCaptureControllerTest, Fields_TitleAndUrlWhereTheSettingsSay)
{
    struct Case {
        const char* titleField;
        const char* urlField;
        QString text;
        QString name;
        QString address;
    };
    const Case cases[] = {
        {"N", "U", "", PageTitle, PageUrl},
        {"Text", "U", PageTitle + "\n\n", "", PageUrl},
        {"N", "Text", PageUrl + "\n\n", PageTitle, ""},
        // One field for both keeps the address.
        {"U", "U", "", "", PageUrl},
    };
    for (const Case& c : cases) {
        EditorWindowController* editor = openDatafile();
        editor->settings()->setTitleField(c.titleField);
        editor->settings()->setUrlField(c.urlField);
        editor->webCaptureController().grabURLWithoutPaste();
        const std::shared_ptr<RecordData> record = current(editor);
        EXPECT_EQ(record->textString(), c.text) << c.titleField << c.urlField;
        EXPECT_EQ(record->fields().value("N").stringValue(), c.name) << c.titleField << c.urlField;
        EXPECT_EQ(record->fields().value("U").stringValue(), c.address) << c.titleField << c.urlField;
    }
}

TEST_F(WebCaptureControllerTest, PasteVariants_DecideAndRestorePasteClipboard)
{
    EditorWindowController* editor = openDatafile();
    WebCaptureController& capture = editor->webCaptureController();
    const QString captured = PageTitle + "\n\n" + PageUrl + "\n\n";

    capture.grabURLWithoutPaste();
    EXPECT_EQ(current(editor)->textString(), captured);
    EXPECT_TRUE(editor->settings()->pasteClipboard());

    editor->settings()->setPasteClipboard(false);
    capture.grabURL();
    EXPECT_EQ(current(editor)->textString(), captured);
    capture.grabURLWithPaste();
    EXPECT_EQ(current(editor)->textString(), captured + "pasted");
    EXPECT_FALSE(editor->settings()->pasteClipboard());

    // Alt inverts the decision, Shift makes it plain text.
    auto* rich = new QMimeData;
    rich->setText(QStringLiteral("bold"));
    rich->setHtml(QStringLiteral("<b>bold</b>"));
    QApplication::clipboard()->setMimeData(rich);
    capture.grabURLWithToggle(Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(current(editor)->textString(), captured + "bold");
    EXPECT_FALSE(editor->freeformTextView()->document()->toHtml().contains("font-weight:700"));
    capture.grabURLWithToggle(Qt::NoModifier);
    EXPECT_EQ(current(editor)->textString(), captured);
    capture.grabURLPastePlainText();
    EXPECT_EQ(current(editor)->textString(), captured + "bold");
}

TEST_F(WebCaptureControllerTest, EmptyCurrentRecord_ReceivesTheCapture)
{
    EditorWindowController* editor = openDatafile(false, true);
    const std::shared_ptr<RecordData> empty = current(editor);
    ASSERT_TRUE(empty->textString().isEmpty());
    editor->webCaptureController().grabURLWithoutPaste();
    EXPECT_EQ(current(editor), empty);
    EXPECT_EQ(editor->engine().catalog()->count(), 2);
}

TEST_F(WebCaptureControllerTest, MobileDatafile_StoresPlainTextOnly)
{
    EditorWindowController* editor = openDatafile(true);
    editor->webCaptureController().grabURL();
    EXPECT_EQ(current(editor)->textString(), PageTitle + "\n\n" + PageUrl + "\n\npasted");
    EXPECT_TRUE(current(editor)->textRTFD().isEmpty());
}

TEST_F(WebCaptureControllerTest, ServicePasteboard_AnswersWhetherThePasteWorked)
{
    EditorWindowController* editor = openDatafile();
    WebCaptureController& capture = editor->webCaptureController();
    QMimeData unreadable;
    unreadable.setData("application/x-nothing", "??");
    EXPECT_FALSE(capture.grabURLWithPasteboard(&unreadable, Qt::NoModifier));
    EXPECT_EQ(current(editor)->textString(), PageTitle + "\n\n" + PageUrl + "\n\n");

    QMimeData text;
    text.setText("sent");
    EXPECT_TRUE(capture.grabURLWithPasteboard(&text, Qt::NoModifier));
    EXPECT_EQ(current(editor)->textString(), PageTitle + "\n\n" + PageUrl + "\n\nsent");
    // Alt: no paste, and nothing failed.
    EXPECT_TRUE(capture.grabURLWithPasteboard(&text, Qt::AltModifier));
    EXPECT_TRUE(capture.grabURLWithPasteboard(nullptr, Qt::NoModifier));

    // A paste that throws: the alert, and the record keeps title and address.
    editor->recordsController().setPasteForTesting(
        [](const QMimeData*, bool) -> bool { throw std::runtime_error("unsteady"); });
    EXPECT_FALSE(capture.grabURLWithPasteboard(&text, Qt::NoModifier));
    EXPECT_EQ(current(editor)->textString(), PageTitle + "\n\n" + PageUrl + "\n\n");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.alerts().front().request.messageText, "Memory Error.");
}

TEST_F(WebCaptureControllerTest, NoBrowserNoPageOrSyncing_NothingChanges)
{
    EditorWindowController* editor = openDatafile();
    const qint64 before = editor->engine().catalog()->count();
    FakeBrowserBridge none;
    editor->performAction("grabURL:");
    ASSERT_EQ(m_presenter.alerts().size(), 1);
    EXPECT_EQ(m_presenter.beepCount(), 1);
    EXPECT_EQ(m_presenter.alerts()[0].request.messageText,
              "Norva Pro cannot find an open Web browser that it can communicate with.");
    EXPECT_EQ(m_presenter.alerts()[0].request.informativeText,
              "If you have a Web browser open, please report this to us at support@norva.app.");
    EXPECT_EQ(m_presenter.alerts()[0].request.buttons, QStringList({"OK"}));

    // A browser that shows no page, then one with a page but no title.
    none.run("sfri", 5);
    none.run("rimZ", 9);
    EXPECT_FALSE(editor->webCaptureController().grabURLWithPasteboard(nullptr, Qt::NoModifier));
    ASSERT_EQ(m_presenter.alerts().size(), 2);
    EXPECT_EQ(m_presenter.alerts()[1].request.messageText,
              "There is no Web page window available in the current browser (Safari).");
    EXPECT_EQ(m_presenter.alerts()[1].request.informativeText,
              "Please open a Web page and try again.");
    EXPECT_EQ(editor->engine().catalog()->count(), before);

    none.showPage("sfri", PageUrl, std::nullopt);
    editor->webCaptureController().grabURLWithoutPaste();
    EXPECT_EQ(current(editor)->textString(), "Title\n\n" + PageUrl + "\n\n");

    const qint64 captured = editor->engine().catalog()->count();
    editor->engine().setNowSyncing(true);
    for (const char* command : {"grabURL:", "grabURLWithoutPaste:", "grabURLWithPaste:",
                                "grabURLPastePlainText:", "grabURLWithToggle:"})
        editor->performAction(command);
    EXPECT_FALSE(editor->webCaptureController().grabURLWithPasteboard(nullptr, Qt::NoModifier));
    editor->engine().setNowSyncing(false);
    EXPECT_EQ(editor->engine().catalog()->count(), captured);
    EXPECT_EQ(m_presenter.alerts().size(), 2);
}
