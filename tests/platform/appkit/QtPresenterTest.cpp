#include "QtPresenter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

AlertRequest alert(const QStringList& buttons)
{
    AlertRequest request;
    request.messageText = "Do you want to save the changes?";
    request.informativeText = "Your changes will be lost if you don't save them.";
    request.buttons = buttons;
    return request;
}

QAbstractButton* buttonTitled(QMessageBox* box, const QString& title)
{
    const QList<QAbstractButton*> buttons = box->buttons();
    for (QAbstractButton* button : buttons) {
        if (button->text() == title) {
            return button;
        }
    }
    return nullptr;
}

// A window with an alert sheet begun on it; the callback's answers are collected.
struct SheetOnWindow {
    QWidget window;
    QtPresenter presenter;
    QList<AlertResponse> answers;
    bool boxVisibleAtCallback = true;
    QPointer<QMessageBox> box;

    explicit SheetOnWindow(const AlertRequest& request)
    {
        window.show();
        presenter.beginAlertSheet(request, &window, [this](const AlertResponse& response) {
            boxVisibleAtCallback = box && box->isVisible();
            answers.append(response);
        });
        box = window.findChild<QMessageBox*>();
    }
};

// Not in the order of their roles, as the box would list them.
const QStringList kSaveButtons = {"Save", "Don't Save", "Cancel"};

} // namespace

TEST(QtPresenterTest, AlertSheet_AnswersThePositionOfTheClickedButton_AfterTheBoxIsHidden)
{
    for (qsizetype position = 0; position < kSaveButtons.size(); ++position) {
        SheetOnWindow sheet(alert(kSaveButtons));
        ASSERT_NE(sheet.box, nullptr);
        EXPECT_TRUE(sheet.box->isVisible());
        EXPECT_EQ(sheet.box->windowModality(), Qt::WindowModal);
        EXPECT_EQ(static_cast<QAbstractButton*>(sheet.box->defaultButton()),
                  buttonTitled(sheet.box, "Save"));
        EXPECT_TRUE(sheet.answers.isEmpty());

        buttonTitled(sheet.box, kSaveButtons[position])->click();
        ASSERT_EQ(sheet.answers.size(), 1);
        EXPECT_EQ(sheet.answers[0].returnCode, AlertFirstButtonReturn + position);
        EXPECT_FALSE(sheet.answers[0].suppressed);
        EXPECT_FALSE(sheet.boxVisibleAtCallback);
    }
}

TEST(QtPresenterTest, AlertSheet_EscapeChoosesCancel_AndDoesNothingWithoutOne)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);

    SheetOnWindow withCancel(alert(kSaveButtons));
    QApplication::sendEvent(withCancel.box, &escape);
    ASSERT_EQ(withCancel.answers.size(), 1);
    EXPECT_EQ(withCancel.answers[0].returnCode, AlertThirdButtonReturn);

    SheetOnWindow withoutCancel(alert({"Save", "Don't Save"}));
    QApplication::sendEvent(withoutCancel.box, &escape);
    EXPECT_TRUE(withoutCancel.answers.isEmpty());
    EXPECT_TRUE(withoutCancel.box->isVisible());
}

TEST(QtPresenterTest, AlertSheet_ReportsTheSuppressionBoxAndGivesOneOkWithoutButtons)
{
    AlertRequest request = alert({});
    request.showsSuppressionButton = true;
    request.suppressionButtonTitle = "Don't ask again";
    SheetOnWindow sheet(request);
    ASSERT_NE(sheet.box, nullptr);
    ASSERT_NE(sheet.box->checkBox(), nullptr);
    EXPECT_EQ(sheet.box->checkBox()->text(), "Don't ask again");
    ASSERT_EQ(sheet.box->buttons().size(), 1);

    sheet.box->checkBox()->setChecked(true);
    sheet.box->buttons().constFirst()->click();
    ASSERT_EQ(sheet.answers.size(), 1);
    EXPECT_EQ(sheet.answers[0].returnCode, AlertFirstButtonReturn);
    EXPECT_TRUE(sheet.answers[0].suppressed);
}

TEST(QtPresenterTest, ModalAlert_ReturnsOnceAButtonIsChosen)
{
    QtPresenter presenter;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        buttonTitled(box, "Don't Save")->click();
    });
    EXPECT_EQ(presenter.runModalAlert(alert(kSaveButtons)).returnCode, AlertSecondButtonReturn);
}

TEST(QtPresenterTest, ModalAlert_WhoseWindowIsDestroyedAnswersAsEscape)
{
    QtPresenter presenter;
    auto* window = new QWidget;
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_EQ(QApplication::activeWindow(), window);
    QTimer::singleShot(0, [window] { delete window; });
    EXPECT_EQ(presenter.runModalAlert(alert(kSaveButtons)).returnCode, AlertThirdButtonReturn);
}

namespace {

class OnePage : public PrintableView {
public:
    QString printJobTitle() const override { return QStringLiteral("One page"); }
    int pageCount() override { return 1; }
    void drawPage(QPainter&, int) override {}
};

} // namespace

TEST(QtPresenterTest, PrintPanel_IsASheetWithAPreviewButton_CancelPrintsNothing)
{
    QWidget window;
    window.show();
    QtPresenter presenter;
    PrintOperationRequest request;
    request.view = std::make_shared<OnePage>();
    QList<PrintOperationResult> results;
    presenter.runPrintOperation(request, &window,
                                [&](const PrintOperationResult& result) { results.append(result); });
    auto* panel = window.findChild<QPrintDialog*>();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(panel->testOption(QAbstractPrintDialog::PrintToFile));
    bool preview = false;
    for (QPushButton* button : panel->findChildren<QPushButton*>())
        preview = preview || button->text() == QStringLiteral("Preview…");
    EXPECT_TRUE(preview);
    EXPECT_TRUE(results.isEmpty());
    panel->reject();
    ASSERT_EQ(results.size(), 1);
    EXPECT_FALSE(results[0].success);
    EXPECT_TRUE(results[0].unwritableFile.isEmpty());
}

TEST(QtPresenterTest, PageSetup_IsASheet_AcceptedGivesThePaperBack)
{
    QWidget window;
    window.show();
    QtPresenter presenter;
    QList<std::optional<PrintInfo>> answers;
    PrintInfo letter;
    presenter.runPageLayout(letter, &window,
                            [&](const std::optional<PrintInfo>& accepted) { answers.append(accepted); });
    auto* panel = window.findChild<QPageSetupDialog*>();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->windowModality(), Qt::WindowModal);
    panel->accept();
    ASSERT_EQ(answers.size(), 1);
    ASSERT_TRUE(answers[0]);
    EXPECT_EQ(answers[0]->paperSize(), QSizeF(612, 792));
    // Nothing changed: the stored bytes stay as they were read.
    EXPECT_EQ(*answers[0], letter);
}
