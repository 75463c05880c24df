#include "VKSheetController.h"

#include "InternalInconsistency.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"
#include "WindowFrameAutosave.h"

#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A sheet that counts its hooks. Each test uses its own Tag, so the shared pool holds
// nothing from another test.
template <typename Tag> class CountingSheet : public VKSheetController {
public:
    int prepareCount = 0;
    int maintainCount = 0;
    int setupCount = 0;
    bool validates = true;
    QLineEdit* nameField = nullptr;

    bool prepare() override
    {
        ++prepareCount;
        return true;
    }
    bool maintainButtons() override
    {
        ++maintainCount;
        return true;
    }
    bool validate() override { return validates; }

protected:
    QString nibName() const override { return QStringLiteral("CountingSheet"); }
    void buildInterface(QDialog* window) override
    {
        VKSheetController::buildInterface(window);
        nameField = new QLineEdit(contentArea());
        contentLayout()->addWidget(nameField);
        connectControl(nameField);
    }
    void setup() override { ++setupCount; }
};

// What a did-end callback saw.
struct Ending {
    int calls = 0;
    int returnCode = -1;
    bool windowWasVisible = true;
    QString identifierSeen;
};

template <typename Sheet> VKSheetController::DidEndCallback recordInto(Ending& ending, Sheet* sheet)
{
    return [&ending, sheet](QWidget* window, int returnCode) {
        ++ending.calls;
        ending.returnCode = returnCode;
        ending.windowWasVisible = window->isVisible();
        ending.identifierSeen = sheet->identifier();
    };
}

class VKSheetControllerTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_folder.path());
        UserDefaults::setStandardUserDefaults(m_defaults.get());
        Presenter::setShared(&m_presenter);
    }
    void TearDown() override
    {
        Presenter::setShared(nullptr);
        UserDefaults::setStandardUserDefaults(nullptr);
    }

    QTemporaryDir m_folder;
    std::unique_ptr<UserDefaults> m_defaults;
    ScriptedPresenter m_presenter;
    QWidget m_parentWindow;
};

TEST_F(VKSheetControllerTest, Controller_WhileOneIsUp_MakesAnotherAndReusesTheFirstWhenAllEnded)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    Sheet* first = VKSheetController::controller<Sheet>();
    first->beginSheetModalForWindow(&m_parentWindow, {});
    Sheet* second = VKSheetController::controller<Sheet>();
    EXPECT_NE(first, second);
    second->beginWindowForObject(QVariant(), {});
    EXPECT_EQ(first->setupCount, 1);

    first->cancel();
    second->cancel();
    EXPECT_EQ(VKSheetController::controller<Sheet>(), first);
    EXPECT_EQ(VKSheetController::controller<Sheet>(), first) << "a controller not begun stays free";
    EXPECT_EQ(first->setupCount, 1);
}

TEST_F(VKSheetControllerTest, Controller_OfSubclassAndParent_NeverHandedOutForTheOther)
{
    struct ParentTag;
    using ParentSheet = CountingSheet<ParentTag>;
    class ChildSheet : public ParentSheet {};
    ChildSheet* child = VKSheetController::controller<ChildSheet>();
    ParentSheet* parent = VKSheetController::controller<ParentSheet>();
    EXPECT_NE(static_cast<ParentSheet*>(child), parent);
    EXPECT_EQ(VKSheetController::controller<ChildSheet>(), child);
    EXPECT_EQ(VKSheetController::controller<ParentSheet>(), parent);
}

TEST_F(VKSheetControllerTest, Window_ParentDeletedWhileUp_GoesWithItAndIsRebuiltOnUse)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    Sheet* sheet = VKSheetController::controller<Sheet>();
    auto* parentWindow = new QWidget;
    sheet->beginSheetModalForWindow(parentWindow, {});
    // The dying window passes through the controller's event filter as it goes.
    delete parentWindow;

    EXPECT_EQ(VKSheetController::controller<Sheet>(), sheet);
    QDialog* rebuilt = sheet->window();
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->parentWidget(), nullptr);
    EXPECT_EQ(sheet->setupCount, 2);
}

TEST_F(VKSheetControllerTest, Controller_WithoutNibName_RaisesInternalInconsistency)
{
    class NamelessSheet : public VKSheetController {};
    try {
        VKSheetController::controller<NamelessSheet>();
        FAIL() << "no exception";
    } catch (const InternalInconsistency& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Must override +nibName"));
    }
}

TEST_F(VKSheetControllerTest, Okay_WhenValidateRefuses_KeepsTheSheetUpWithoutCallback)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    Sheet* sheet = VKSheetController::controller<Sheet>();
    Ending ending;
    sheet->beginSheetModalForWindow(&m_parentWindow, recordInto(ending, sheet));
    EXPECT_EQ(sheet->window()->parentWidget(), &m_parentWindow);
    EXPECT_EQ(sheet->window()->windowModality(), Qt::WindowModal);

    sheet->validates = false;
    sheet->okayButton()->click();
    EXPECT_TRUE(sheet->window()->isVisible());
    EXPECT_EQ(ending.calls, 0);

    sheet->validates = true;
    sheet->okayButton()->click();
    EXPECT_EQ(ending.calls, 1);
    EXPECT_EQ(ending.returnCode, 1);
}

TEST_F(VKSheetControllerTest, Ending_EachWay_CallsBackOnceAfterHidingWithStateIntact)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    const struct {
        const char* way;
        std::function<void(Sheet*)> end;
        int returnCode;
    } cases[] = {
        {"okay", [](Sheet* sheet) { sheet->okay(); }, 1},
        {"OK button", [](Sheet* sheet) { sheet->okayButton()->click(); }, 1},
        {"cancel", [](Sheet* sheet) { sheet->cancel(); }, 0},
        {"Cancel button", [](Sheet* sheet) { sheet->cancelButton()->click(); }, 0},
        {"closing the window", [](Sheet* sheet) { sheet->window()->close(); }, 0},
        {"action by name", [](Sheet* sheet) { sheet->performAction(QStringLiteral("okay:")); }, 1},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.way);
        for (const bool modal : {true, false}) {
            Sheet* sheet = VKSheetController::controller<Sheet>();
            Ending ending;
            if (modal)
                sheet->beginSheetModalForWindow(&m_parentWindow, recordInto(ending, sheet));
            else
                sheet->beginWindowForObject(QVariant(), recordInto(ending, sheet));
            sheet->setIdentifier(QStringLiteral("tagged"));
            EXPECT_EQ(sheet->isModal(), modal);

            testCase.end(sheet);
            sheet->endWithReturnCode(testCase.returnCode); // a second end calls nothing
            EXPECT_EQ(ending.calls, 1);
            EXPECT_EQ(ending.returnCode, testCase.returnCode);
            EXPECT_FALSE(ending.windowWasVisible);
            EXPECT_EQ(ending.identifierSeen, QStringLiteral("tagged"));
            EXPECT_EQ(sheet->window()->parentWidget(), nullptr);
        }
    }
}

TEST_F(VKSheetControllerTest, Okay_WithOpenTableEdit_CommitsItBeforeTheCallback)
{
    class TableSheet : public VKSheetController {
    public:
        QStandardItemModel model{2, 1};
        QTableView* table = nullptr;

    protected:
        QString nibName() const override { return QStringLiteral("TableSheet"); }
        void buildInterface(QDialog* window) override
        {
            VKSheetController::buildInterface(window);
            table = new QTableView(contentArea());
            table->setModel(&model);
            contentLayout()->addWidget(table);
        }
    };
    TableSheet* sheet = VKSheetController::controller<TableSheet>();
    sheet->model.setData(sheet->model.index(1, 0), QStringLiteral("old"));
    QString seen;
    sheet->beginSheetModalForWindow(&m_parentWindow, [&seen, sheet](QWidget*, int) {
        seen = sheet->model.data(sheet->model.index(1, 0)).toString();
    });
    sheet->table->edit(sheet->model.index(1, 0));
    auto* editor = qobject_cast<QLineEdit*>(sheet->window()->focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("typed"));

    sheet->okay();
    EXPECT_EQ(seen, QStringLiteral("typed"));
}

TEST_F(VKSheetControllerTest, FindControllerForObject_OnlyVisibleControllersOfExactlyTheClass)
{
    struct Tag;
    struct OtherTag;
    using Sheet = CountingSheet<Tag>;
    using OtherSheet = CountingSheet<OtherTag>;
    const QVariant object(QStringLiteral("record 7"));

    EXPECT_EQ(VKSheetController::findControllerForObject<Sheet>(object), nullptr);
    OtherSheet* other = VKSheetController::controllerForObject<OtherSheet>(object);
    EXPECT_EQ(VKSheetController::findControllerForObject<Sheet>(object), nullptr);

    Sheet* sheet = VKSheetController::controllerForObject<Sheet>(object);
    EXPECT_TRUE(sheet->isAltering());
    EXPECT_EQ(VKSheetController::findControllerForObject<Sheet>(object), sheet);
    EXPECT_EQ(VKSheetController::findControllerForObject<Sheet>(QStringLiteral("record 8")),
              nullptr);
    EXPECT_EQ(VKSheetController::topmostController<Sheet>(), sheet);

    Sheet* added = VKSheetController::controllerForObject<Sheet>(QVariant());
    EXPECT_NE(added, sheet);
    EXPECT_FALSE(added->isAltering());
    EXPECT_EQ(VKSheetController::topmostController<Sheet>(), added);

    sheet->cancel();
    EXPECT_EQ(VKSheetController::findControllerForObject<Sheet>(object), nullptr);
    added->cancel();
    other->cancel();
}

TEST_F(VKSheetControllerTest, ControllerForObject_AlreadyOnScreen_BroughtForwardUnprepared)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    const QVariant object(42);
    int firstCallbacks = 0;
    Sheet* sheet = VKSheetController::controllerForObject<Sheet>(
        object, [&firstCallbacks](QWidget*, int) { ++firstCallbacks; });
    EXPECT_EQ(sheet->prepareCount, 1);
    EXPECT_FALSE(sheet->isModal());

    int secondCallbacks = 0;
    EXPECT_EQ(VKSheetController::controllerForObject<Sheet>(
                  object, [&secondCallbacks](QWidget*, int) { ++secondCallbacks; }),
              sheet);
    EXPECT_EQ(sheet->prepareCount, 1);

    sheet->okay();
    EXPECT_EQ(firstCallbacks, 1);
    EXPECT_EQ(secondCallbacks, 0);
}

TEST_F(VKSheetControllerTest, Recycle_OnReuse_ClearsTheCallersStateButKeepsControls)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    Sheet* sheet = VKSheetController::controllerForObject<Sheet>(QStringLiteral("object"));
    sheet->setIdentifier(QStringLiteral("id"));
    sheet->userInfo().insert(QStringLiteral("key"), 1);
    sheet->nameField->setText(QStringLiteral("left as typed"));
    sheet->cancel();

    ASSERT_EQ(VKSheetController::controller<Sheet>(), sheet);
    EXPECT_TRUE(sheet->isModal());
    EXPECT_FALSE(sheet->isAltering());
    EXPECT_TRUE(sheet->identifier().isNull());
    EXPECT_FALSE(sheet->object().isValid());
    EXPECT_TRUE(sheet->userInfo().isEmpty());
    EXPECT_FALSE(sheet->didEnd());
    EXPECT_EQ(sheet->nameField->text(), QStringLiteral("left as typed"));
}

TEST_F(VKSheetControllerTest, ControlChanges_MaintainButtons)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    Sheet* sheet = VKSheetController::controller<Sheet>();
    sheet->beginSheetModalForWindow(&m_parentWindow, {});
    const int before = sheet->maintainCount;
    sheet->nameField->setText(QStringLiteral("a"));
    sheet->performAction(QStringLiteral("hit:"));
    EXPECT_EQ(sheet->maintainCount, before + 2);
    sheet->cancel();
}

TEST_F(VKSheetControllerTest, SettersAndAddOrAlterTexts_IgnoreNullAndPickByAltering)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    Sheet* sheet = VKSheetController::controller<Sheet>();
    sheet->setPrompt(QStringLiteral("Prompt"));
    sheet->setPrompt(QString());
    sheet->setOkayTitle(QString());
    sheet->setIcon(QPixmap());
    EXPECT_EQ(sheet->prompt(), QStringLiteral("Prompt"));
    EXPECT_EQ(sheet->okayTitle(), QStringLiteral("OK"));

    for (const bool altering : {false, true}) {
        sheet->setAltering(altering);
        sheet->setAddWindowTitle(QStringLiteral("New Field"), QStringLiteral("Add a field"),
                                 QStringLiteral("Add"), QString(), QStringLiteral("Field"),
                                 QStringLiteral("Change the field"), QString(), QString());
        EXPECT_EQ(sheet->windowTitle(), altering ? "Field" : "New Field");
        EXPECT_EQ(sheet->prompt(), altering ? "Change the field" : "Add a field");
        EXPECT_EQ(sheet->okayTitle(), QStringLiteral("Add")) << "a null title keeps the last";
    }
}

TEST_F(VKSheetControllerTest, Help_OpensTheGuidesIndexPage)
{
    struct Tag;
    using Sheet = CountingSheet<Tag>;
    Sheet* sheet = VKSheetController::controller<Sheet>();
    sheet->performAction(QStringLiteral("help:"));
    ASSERT_EQ(m_presenter.openedUrls().size(), 1);
    EXPECT_EQ(m_presenter.openedUrls().first().toString(), sheet->helpURL());
    EXPECT_TRUE(sheet->helpURL().endsWith(QStringLiteral("/index.html")));
}

TEST_F(VKSheetControllerTest, Window_FrameRememberedUnderTheNibName)
{
    class FramedSheet : public VKSheetController {
    protected:
        QString nibName() const override { return QStringLiteral("FramedSheet"); }
    };
    const QString key = WindowFrameAutosave::defaultsKey(QStringLiteral("FramedSheet"));
    m_defaults->setObject(QStringLiteral("30 40 320 210"), key);
    FramedSheet* sheet = VKSheetController::controller<FramedSheet>();
    EXPECT_EQ(sheet->window()->geometry(), QRect(30, 40, 320, 210));

    sheet->beginWindowForObject(QVariant(), {});
    sheet->window()->resize(400, 250);
    sheet->cancel();
    EXPECT_EQ(m_defaults->stringForKey(key), QStringLiteral("30 40 400 250"));
}

} // namespace
