#include "ScriptedPresenter.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

AlertRequest alert(const QString& message, const QStringList& buttons = {})
{
    AlertRequest request;
    request.messageText = message;
    request.buttons = buttons;
    return request;
}

const QStringList kSaveButtons = {"Save", "Cancel", "Don't Save"};

} // namespace

TEST(ScriptedPresenterTest, Alerts_AnsweredFromTheScriptInOrder_ThenByTheDefaultButton)
{
    ScriptedPresenter presenter;
    QWidget window;
    presenter.answerAlerts({AlertSecondButtonReturn});
    presenter.answerAlertWithButton("Don't Save", true);

    EXPECT_EQ(presenter.runModalAlert(alert("First", kSaveButtons)).returnCode, 1001);
    AlertResponse sheetAnswer;
    presenter.beginAlertSheet(alert("Second", kSaveButtons), &window,
                              [&](const AlertResponse& r) { sheetAnswer = r; });
    EXPECT_EQ(sheetAnswer.returnCode, AlertThirdButtonReturn);
    EXPECT_TRUE(sheetAnswer.suppressed);
    const AlertResponse fallback = presenter.runModalAlert(alert("Third", kSaveButtons));
    EXPECT_EQ(fallback.returnCode, AlertFirstButtonReturn);
    EXPECT_FALSE(fallback.suppressed);

    ASSERT_EQ(presenter.alerts().size(), 3);
    EXPECT_EQ(presenter.alertMessages(), (QStringList{"First", "Second", "Third"}));
    EXPECT_FALSE(presenter.alerts()[0].sheet);
    EXPECT_TRUE(presenter.alerts()[1].sheet);
    EXPECT_EQ(presenter.alerts()[1].window, &window);
    EXPECT_EQ(presenter.alerts()[1].request.buttons, kSaveButtons);
    EXPECT_EQ(presenter.lastAlert().response.returnCode, 1000);
}

TEST(ScriptedPresenterTest, Alerts_AScriptNamingNoButtonOfTheAlertThrows)
{
    ScriptedPresenter presenter;
    EXPECT_THROW(presenter.lastAlert(), std::out_of_range);

    presenter.answerAlertWithButton("Revert");
    EXPECT_THROW(presenter.runModalAlert(alert("Save?", kSaveButtons)), std::invalid_argument);
    presenter.answerAlerts({AlertSecondButtonReturn});
    EXPECT_THROW(presenter.runModalAlert(alert("No buttons")), std::invalid_argument);

    // An alert without buttons has its one "OK".
    presenter.answerAlertWithButton("OK");
    EXPECT_EQ(presenter.runModalAlert(alert("No buttons")).returnCode, 1000);
}

TEST(ScriptedPresenterTest, Sheets_HeldUntilEnded_AndASheetBegunOnEndingWaitsForTheNextEnd)
{
    ScriptedPresenter presenter;
    presenter.setHoldSheets(true);
    presenter.answerAlerts({AlertSecondButtonReturn});
    QList<int> ended;

    presenter.beginAlertSheet(
        alert("Revert?", {"Revert", "Cancel"}), nullptr, [&](const AlertResponse& r) {
            ended.append(r.returnCode);
            presenter.beginAlertSheet(alert("Next"), nullptr,
                                      [&](const AlertResponse& n) { ended.append(n.returnCode); });
        });
    EXPECT_TRUE(ended.isEmpty());
    EXPECT_EQ(presenter.heldSheetCount(), 1);

    EXPECT_EQ(presenter.endSheets(), 1);
    EXPECT_EQ(ended, (QList<int>{1001}));
    EXPECT_EQ(presenter.heldSheetCount(), 1);

    EXPECT_EQ(presenter.endSheets(), 1);
    EXPECT_EQ(ended, (QList<int>{1001, 1000}));
    EXPECT_EQ(presenter.endSheets(), 0);
}

TEST(ScriptedPresenterTest, Panels_AnsweredFromTheirQueues_ThenCancelled)
{
    ScriptedPresenter presenter;
    const QList<QUrl> chosen = {QUrl::fromLocalFile("/tmp/a.ndf"),
                                QUrl::fromLocalFile("/tmp/b.ndf")};
    presenter.answerOpenPanel(chosen);
    presenter.answerSavePanel(QUrl::fromLocalFile("/tmp/Names"));
    presenter.answerSavePanel(std::nullopt);

    OpenPanelRequest open;
    open.fileTypes = {"ndf"};
    EXPECT_EQ(presenter.runOpenPanel(open, nullptr), chosen);
    EXPECT_TRUE(presenter.runOpenPanel(open, nullptr).isEmpty());

    SavePanelRequest save;
    save.nameFieldValue = "Names";
    save.allowedFileTypes = {"ndf"};
    EXPECT_EQ(presenter.runSavePanel(save, nullptr), QUrl::fromLocalFile("/tmp/Names.ndf"));
    EXPECT_EQ(presenter.runSavePanel(save, nullptr), std::nullopt);
    EXPECT_EQ(presenter.runSavePanel(save, nullptr), std::nullopt);

    ASSERT_EQ(presenter.openPanels().size(), 2);
    EXPECT_EQ(presenter.openPanels()[0].request.fileTypes, QStringList{"ndf"});
    ASSERT_EQ(presenter.savePanels().size(), 3);
    EXPECT_EQ(presenter.savePanels()[0].request.nameFieldValue, "Names");
}

TEST(ScriptedPresenterTest, Workspace_RecordsBeepsLinksAndReveals_UntilCleared)
{
    ScriptedPresenter presenter;
    presenter.beep();
    presenter.beep();
    EXPECT_TRUE(presenter.openUrl(QUrl("https://example.org")));
    presenter.setOpensUrls(false);
    EXPECT_FALSE(presenter.openUrl(QUrl("mailto:a@example.org")));
    presenter.revealFile("/tmp/Names.ndf");
    presenter.runModalAlert(alert("Shown"));
    presenter.answerAlerts({AlertSecondButtonReturn});

    EXPECT_EQ(presenter.beepCount(), 2);
    EXPECT_EQ(presenter.openedUrls(),
              (QList<QUrl>{QUrl("https://example.org"), QUrl("mailto:a@example.org")}));
    EXPECT_EQ(presenter.revealedPaths(), QStringList{"/tmp/Names.ndf"});

    presenter.clear();
    EXPECT_EQ(presenter.beepCount(), 0);
    EXPECT_TRUE(presenter.openedUrls().isEmpty());
    EXPECT_TRUE(presenter.revealedPaths().isEmpty());
    EXPECT_TRUE(presenter.alerts().isEmpty());
    // The script went too: the next alert gets its default button.
    EXPECT_EQ(presenter.runModalAlert(alert("Again", kSaveButtons)).returnCode, 1000);
}
