#include "ActionRouter.h"
#include "ActionBinding.h"
#include "Responder.h"
#include "TextViewResponder.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSet>
#include <QStringList>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

// A link of the chain that logs "name selector" for each action it performs and refuses
// the actions it was told to.
class LoggingResponder : public Responder {
public:
    LoggingResponder(QString name, QStringList* log, const QStringList& selectors)
        : m_name(std::move(name))
    {
        for (const QString& selector : selectors) {
            registerAction(selector, [this, log, selector](QObject* sender) {
                log->append(m_name + ' ' + selector);
                lastSender = sender;
            });
        }
    }

    bool validateAction(const QString& selector) const override
    {
        return !refused.contains(selector);
    }

    QSet<QString> refused;
    QObject* lastSender = nullptr;

private:
    QString m_name;
};

// Window controller, then document, then application, as the editor chains them.
struct Chain {
    QStringList log;
    LoggingResponder application{"application", &log, {"newDocument:", "saveDocument:"}};
    LoggingResponder document{
        "document", &log, {"saveDocument:", "revertDocumentToSaved:", "printDocument:"}};
    LoggingResponder windowController{"window", &log, {"performClose:", "printDocument:"}};

    Chain()
    {
        windowController.setNextResponder(&document);
        document.setNextResponder(&application);
    }
};

} // namespace

TEST(ActionRouterTest, SendAction_IsPerformedByTheFirstResponderThatHandlesIt)
{
    const struct {
        QString selector;
        QString performer; // empty: nobody
    } cases[] = {
        {"performClose:", "window"},
        {"printDocument:", "window"},
        {"saveDocument:", "document"},
        {"newDocument:", "application"},
        {"addRecord:", ""},
    };
    for (const auto& c : cases) {
        Chain chain;
        QObject sender;
        const bool handled = ActionRouter::sendAction(c.selector, &chain.windowController, &sender);
        EXPECT_EQ(handled, !c.performer.isEmpty()) << c.selector.toStdString();
        EXPECT_EQ(chain.log, c.performer.isEmpty() ? QStringList()
                                                   : QStringList{c.performer + ' ' + c.selector});
    }

    Chain chain;
    QObject sender;
    ActionRouter::sendAction("saveDocument:", &chain.windowController, &sender);
    EXPECT_EQ(chain.document.lastSender, &sender);
    EXPECT_FALSE(ActionRouter::sendAction("saveDocument:", nullptr, &sender));
}

TEST(ActionRouterTest, ValidateAction_AsksTheResponderThatWouldPerformIt)
{
    Chain chain;
    // The application would save, but the document comes first and refuses.
    chain.document.refused.insert("saveDocument:");
    chain.application.refused.insert("printDocument:");

    EXPECT_FALSE(ActionRouter::validateAction("saveDocument:", &chain.windowController));
    EXPECT_TRUE(ActionRouter::validateAction("printDocument:", &chain.windowController));
    EXPECT_TRUE(ActionRouter::validateAction("newDocument:", &chain.windowController));
    EXPECT_FALSE(ActionRouter::validateAction("addRecord:", &chain.windowController));
    EXPECT_FALSE(ActionRouter::validateAction("newDocument:", nullptr));
}

TEST(ActionRouterTest, Chain_LinkedBackOntoItselfEnds_AndAResponderMayGoWhileActing)
{
    Chain chain;
    chain.application.setNextResponder(&chain.windowController);
    EXPECT_FALSE(ActionRouter::sendAction("addRecord:", &chain.windowController, nullptr));

    auto* closing = new Responder;
    bool closed = false;
    closing->registerAction("performClose:", [closing, &closed](QObject*) {
        delete closing;
        closed = true;
    });
    EXPECT_TRUE(ActionRouter::sendAction("performClose:", closing, nullptr));
    EXPECT_TRUE(closed);
}

TEST(ActionRouterTest, Binding_TriggerSendsToTheCurrentFirstResponder_AndMenusValidateOnShow)
{
    Chain chain;
    Responder* firstResponder = &chain.windowController;
    ActionBinding binding([&firstResponder] { return firstResponder; });

    QMenu menu;
    QAction* save = menu.addAction("Save");
    QAction* revert = menu.addAction("Revert to Saved");
    QAction* addRecord = menu.addAction("Add Record");
    QAction* unbound = menu.addAction("About");
    binding.bind(save, "saveDocument:");
    binding.bind(revert, "revertDocumentToSaved:");
    binding.bind(addRecord, "addRecord:");
    binding.validateWhenShown(&menu);
    EXPECT_EQ(binding.selectorFor(revert), "revertDocumentToSaved:");
    EXPECT_TRUE(binding.selectorFor(unbound).isEmpty());

    chain.document.refused.insert("revertDocumentToSaved:");
    Q_EMIT menu.aboutToShow();
    EXPECT_TRUE(save->isEnabled());
    EXPECT_FALSE(revert->isEnabled());
    EXPECT_FALSE(addRecord->isEnabled());
    EXPECT_TRUE(unbound->isEnabled());

    save->trigger();
    EXPECT_EQ(chain.log, QStringList{"document saveDocument:"});
    EXPECT_EQ(chain.document.lastSender, save);

    // Only the application is left in the chain: it saves, nobody reverts.
    firstResponder = &chain.application;
    Q_EMIT menu.aboutToShow();
    EXPECT_TRUE(save->isEnabled());
    EXPECT_FALSE(revert->isEnabled());
    save->trigger();
    EXPECT_EQ(chain.log.last(), "application saveDocument:");

    // A refused action does not run even when its item is still enabled.
    chain.application.refused.insert("saveDocument:");
    save->trigger();
    EXPECT_EQ(chain.log.size(), 2);
}

namespace {

// Counts the validations it answers.
class CountingResponder : public Responder {
public:
    CountingResponder()
    {
        registerAction("copy:", [](QObject*) {});
        registerAction("paste:", [](QObject*) {});
    }
    bool validateAction(const QString&) const override
    {
        ++validations;
        return enabled;
    }
    mutable int validations = 0;
    bool enabled = true;
};

} // namespace

TEST(ActionRouterTest, Binding_RevalidatesOncePerTurnAfterInputFocusAndActivation)
{
    CountingResponder responder;
    ActionBinding binding([&responder] { return &responder; });
    QAction copy("Copy");
    QAction paste("Paste");
    binding.bind(&copy, "copy:");
    binding.bind(&paste, "paste:");
    QWidget window;
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    QCoreApplication::processEvents();

    // The state behind the commands changes; several input events arrive in one turn.
    responder.validations = 0;
    responder.enabled = false;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(first, &event);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, "a");
    QCoreApplication::sendEvent(first, &release);
    EXPECT_EQ(responder.validations, 0);
    EXPECT_TRUE(copy.isEnabled());
    QCoreApplication::processEvents();
    EXPECT_EQ(responder.validations, 2);
    EXPECT_FALSE(copy.isEnabled());
    EXPECT_FALSE(paste.isEnabled());

    // The focus moves.
    responder.validations = 0;
    responder.enabled = true;
    second->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(responder.validations, 2);
    EXPECT_TRUE(copy.isEnabled());

    // A window is activated.
    responder.validations = 0;
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    QCoreApplication::processEvents();
    EXPECT_EQ(responder.validations, 2);

    // A dropped binding is validated no more and sends nothing.
    binding.unbind(&paste);
    responder.validations = 0;
    binding.validateActions();
    EXPECT_EQ(responder.validations, 1);
    EXPECT_TRUE(binding.selectorFor(&paste).isEmpty());
}

TEST(ActionRouterTest, Binding_UndoItemsNameTheTextsNamedStepAndGetTheirOwnTitlesBack)
{
    QTextEdit view;
    TextViewResponder responder(&view);
    ActionBinding binding([&responder] { return &responder; });
    QMenu menu;
    QAction* undo = menu.addAction("Undo");
    QAction* redo = menu.addAction("Redo");
    binding.bind(undo, "undo:");
    binding.bind(redo, "redo:");
    const auto titles = [&] {
        binding.validateActions(&menu);
        return QStringList{undo->text(), redo->text()};
    };

    view.insertPlainText("typed");
    EXPECT_EQ(titles(), (QStringList{"Undo", "Redo"}));
    QTextCursor step(view.document());
    step.beginEditBlock();
    step.insertText("sorted ");
    step.endEditBlock();
    responder.setActionName("Sort");
    EXPECT_EQ(titles(), (QStringList{"Undo Sort", "Redo"}));
    view.undo();
    EXPECT_EQ(titles(), (QStringList{"Undo", "Redo Sort"}));
    view.redo();
    EXPECT_EQ(titles(), (QStringList{"Undo Sort", "Redo"}));

    // An edit after the step leaves the name with it; one in its place takes it away.
    view.moveCursor(QTextCursor::End);
    view.insertPlainText("!");
    EXPECT_EQ(titles(), (QStringList{"Undo", "Redo"}));
    view.undo();
    EXPECT_EQ(titles(), (QStringList{"Undo Sort", "Redo"}));
    view.undo();
    view.insertPlainText("?");
    EXPECT_EQ(responder.undoActionName(), "");
    EXPECT_EQ(responder.redoActionName(), "");
    view.undo();
    view.undo();
    EXPECT_EQ(titles(), (QStringList{"Undo", "Redo"}));

    // Emptied, the text's undo keeps no names: its next step has none.
    step.beginEditBlock();
    step.insertText("x");
    step.endEditBlock();
    responder.setActionName("Sort");
    view.document()->clearUndoRedoStacks();
    step.beginEditBlock();
    step.insertText("y");
    step.insertBlock();
    step.insertText("z");
    step.endEditBlock();
    EXPECT_EQ(titles(), (QStringList{"Undo", "Redo"}));
    view.undo();
    EXPECT_EQ(titles(), (QStringList{"Undo", "Redo"}));
}

TEST(ActionRouterTest, Binding_AHandlerTitlesItsItemEnabledOrNotUntilAnotherHandlesIt)
{
    // A window that names the shared item after what it does there.
    class PagesResponder : public LoggingResponder {
    public:
        using LoggingResponder::LoggingResponder;
        QString titleForAction(const QString& selector) const override
        {
            return selector == QLatin1String("goToNextRecord:") ? QStringLiteral("Next Page")
                                                                : QString();
        }
    };
    QStringList log;
    PagesResponder pages("pages", &log, {"goToNextRecord:"});
    LoggingResponder records("records", &log, {"goToNextRecord:"});
    Responder* first = &pages;
    ActionBinding binding([&first] { return first; });
    QMenu menu;
    QAction* next = menu.addAction("Next Record");
    binding.bind(next, "goToNextRecord:");

    binding.validateActions(&menu);
    EXPECT_EQ(next->text(), "Next Page");
    EXPECT_TRUE(next->isEnabled());
    pages.refused.insert("goToNextRecord:");
    binding.validateActions(&menu);
    EXPECT_EQ(next->text(), "Next Page");
    EXPECT_FALSE(next->isEnabled());
    first = &records;
    binding.validateActions(&menu);
    EXPECT_EQ(next->text(), "Next Record");
    EXPECT_TRUE(next->isEnabled());
}
