// A user's journeys through a datafile's password in the program as main() runs it: the
// sheet a moment after the window comes to the front, wrong and right entries, opening
// read-only, and setting and removing the password in Datafile Settings.
#include "JourneyTestBase.h"

#include "DatafileSettingsData.h"
#include "EditorSettingsController.h"
#include "EnterPasswordSheetController.h"
#include "SettingsSheetController.h"
#include "SystemLog.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>

namespace {

class PasswordJourneyTest : public JourneyTestBase {
protected:
    QString writeDatafile(const QString& password)
    {
        const QString identifier = QStringLiteral("00000000-0000-4000-8000-000000000001");
        const PlistDictionary datafile{
            {"Settings", PlistDictionary{{"DataFormat", 1}, {"Mode", "List"}, {"Munge", password}}},
            {"Records", PlistDictionary{{identifier, PlistDictionary{{"RecordIdentifier", identifier},
                                                                     {"TextString", "Ann"}}}}},
            {"Catalog", PlistArray{PlistDictionary{{"Identifier", identifier},
                                                   {"CurrentlySelected", true},
                                                   {"PreviouslySelected", true}}}}};
        const QString path = m_dir.filePath("locked.nv3");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(writePropertyList(datafile, file, PlistFormat::Xml));
        return path;
    }

    // Opens the file with File ▸ Open, without waiting for the password check.
    EditorWindowController* open(const QString& path)
    {
        m_presenter.answerOpenPanel({QUrl::fromLocalFile(path)});
        QTest::keyClick(QApplication::activeWindow(), Qt::Key_O, Qt::ControlModifier);
        Document* document = DocumentController::shared().documentForURL(QUrl::fromLocalFile(path));
        EXPECT_TRUE(document);
        if (!document)
            return nullptr;
        auto* editor =
            static_cast<EditorWindowController*>(document->windowControllers().front().get());
        activate(editor->window());
        return editor;
    }

    static EnterPasswordSheetController* shownPasswordSheet()
    {
        EnterPasswordSheetController* sheet = nullptr;
        (void)QTest::qWaitFor(
            [&] {
                sheet = VKSheetController::topmostController<EnterPasswordSheetController>();
                return sheet && sheet->window()->isVisible();
            },
            3000);
        return sheet && sheet->window()->isVisible() ? sheet : nullptr;
    }

    static void enter(EnterPasswordSheetController* sheet, const QString& text)
    {
        sheet->passwordField()->setText(text);
        QTest::keyClick(sheet->passwordField(), Qt::Key_Return);
    }
};

} // namespace

TEST_F(PasswordJourneyTest, NoPassword_WritableWithoutASheet)
{
    EditorWindowController* editor = openWithCommand(writeDatafile(""));
    ASSERT_TRUE(editor);
    EXPECT_FALSE(editor->datafileDocument()->openedReadOnly());
    auto* sheet = VKSheetController::topmostController<EnterPasswordSheetController>();
    EXPECT_FALSE(sheet && sheet->window()->isVisible());
}

TEST_F(PasswordJourneyTest, WrongThenRightPassword_BeepsUntilTheExactOneUnlocks)
{
    ScopedLogCapture log;
    const QString path = writeDatafile("Secret");
    QElapsedTimer sinceOpening;
    sinceOpening.start();
    EditorWindowController* editor = open(path);
    ASSERT_TRUE(editor);
    EnterPasswordSheetController* sheet = shownPasswordSheet();
    ASSERT_TRUE(sheet);
    EXPECT_GE(sinceOpening.elapsed(), 900); // a second after the window came to the front
    EXPECT_FALSE(editor->canSaveChanges());
    EXPECT_EQ(sheet->passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(sheet->okayButton()->isEnabled());
    if (qEnvironmentVariableIsSet("NORVA_SHOTS"))
        sheet->window()->grab().save(qEnvironmentVariable("NORVA_SHOTS") + "/password-sheet.png");

    for (int attempt = 0; attempt < 3; ++attempt)
        enter(sheet, "secret");
    EXPECT_EQ(m_presenter.beepCount(), 3);
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_EQ(sheet->passwordField()->selectedText(), "secret");
    EXPECT_FALSE(editor->canSaveChanges());

    enter(sheet, "Secret");
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_TRUE(editor->canSaveChanges());
    EXPECT_FALSE(editor->datafileDocument()->openedReadOnly());
    EXPECT_EQ(editor->datafileDocument()->globalLockFileName(), path + ".lock");
    EXPECT_TRUE(editor->settingsController().passwordInUse());

    // Coming to the front again asks no more.
    activate(&m_assembly->startWindow());
    activate(editor->window());
    QTest::qWait(1300);
    EXPECT_FALSE(sheet->window()->isVisible());

    // Removing it in Datafile Settings.
    ASSERT_TRUE(chooseMenuItem(editor->window(), "editDatafileSettings:"));
    auto* settingsSheet = VKSheetController::topmostController<SettingsSheetController>();
    ASSERT_TRUE(settingsSheet);
    settingsSheet->removePasswordButton()->click();
    settingsSheet->okayButton()->click();
    EXPECT_EQ(editor->settings()->password(), "");
    for (const QString& line : log.lines())
        EXPECT_FALSE(line.contains("Secret") || line.contains("secret")) << line.toStdString();
}

TEST_F(PasswordJourneyTest, OpenReadOnly_SavingWritesNothing)
{
    const QString path = writeDatafile("Secret");
    const QByteArray before = contentsOf(path);
    EditorWindowController* editor = open(path);
    ASSERT_TRUE(editor);
    EnterPasswordSheetController* sheet = shownPasswordSheet();
    ASSERT_TRUE(sheet);
    QTest::mouseClick(sheet->openReadOnlyButton(), Qt::LeftButton);
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_FALSE(editor->canSaveChanges());
    EXPECT_TRUE(editor->datafileDocument()->openedReadOnly());
    EXPECT_EQ(editor->readOnlyStatusText(), "Read-only: the password was not given");

    // An edit, then Save: the copy's panel is cancelled and the file stays as it was.
    editor->settings()->setTextName("Notes");
    editor->document()->updateChangeCount(Document::ChangeType::Done);
    m_presenter.answerSavePanel(std::nullopt);
    // The password sheet just closed: the key goes to the window once it is active again.
    activate(editor->window());
    QTest::keyClick(editor->window(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(m_presenter.savePanels().size(), 1);
    EXPECT_EQ(contentsOf(path), before);
}
