#include "UndoManager.h"
#include "InternalInconsistency.h"
#include "Localization.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A value with an undoable setter, as the model's setters are written: the inverse is
// registered before the change.
struct Value {
    UndoManager& undo;
    int value = 0;
    void set(int newValue)
    {
        const int old = value;
        undo.registerUndo([this, old] { set(old); });
        value = newValue;
    }
};

class UndoManagerTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!QCoreApplication::instance())
            m_application = std::make_unique<QCoreApplication>(m_argc, m_argv);
    }
    void TearDown() override { Localization::setTablesFolder(QString()); }

    // Lets the event loop close the group of the "event" that just ran.
    static void endOfEvent() { QCoreApplication::processEvents(); }

private:
    int m_argc = 1;
    char m_name[6] = "tests";
    char* m_argv[1] = {m_name};
    std::unique_ptr<QCoreApplication> m_application;
};

} // namespace

TEST_F(UndoManagerTest, EventGroup_EverythingOneActionRegistersIsOneStep)
{
    UndoManager undo;
    Value a{undo};
    Value b{undo};
    a.set(1);
    b.set(2);
    a.set(3);
    endOfEvent();
    b.set(4);
    endOfEvent();

    undo.undo();
    EXPECT_EQ(a.value, 3);
    EXPECT_EQ(b.value, 2);
    undo.undo();
    EXPECT_EQ(a.value, 0);
    EXPECT_EQ(b.value, 0);
    EXPECT_FALSE(undo.canUndo());

    // The inverses undoing registered form the redo steps, in order.
    undo.redo();
    EXPECT_EQ(a.value, 3);
    EXPECT_EQ(b.value, 2);
    undo.redo();
    EXPECT_EQ(b.value, 4);
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(b.value, 2);
}

TEST_F(UndoManagerTest, Undo_BeforeTheEventEnds_ClosesItsGroupFirst)
{
    UndoManager undo;
    Value a{undo};
    a.set(5);
    EXPECT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(a.value, 0);
    endOfEvent(); // the deferred close finds nothing left to close
    EXPECT_TRUE(undo.canRedo());
    undo.redo();
    EXPECT_EQ(a.value, 5);
}

TEST_F(UndoManagerTest, Groups_NestAndEmptyOnesAreDropped)
{
    UndoManager undo;
    Value a{undo};
    undo.beginUndoGrouping();
    a.set(1);
    undo.beginUndoGrouping();
    a.set(2);
    undo.endUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 1);
    a.set(3);
    undo.endUndoGrouping();

    undo.beginUndoGrouping();
    undo.endUndoGrouping();
    endOfEvent();

    undo.undo();
    EXPECT_EQ(a.value, 0);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_THROW(undo.endUndoGrouping(), InternalInconsistency);
}

TEST_F(UndoManagerTest, UndoingAStepThatRegistersNothing_LeavesNothingToRedo)
{
    UndoManager undo;
    int runs = 0;
    undo.beginUndoGrouping();
    undo.registerUndo([&] { ++runs; });
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(undo.canRedo());
}

TEST_F(UndoManagerTest, NewChange_ForgetsTheRedoSteps_ButRedoingDoesNot)
{
    UndoManager undo;
    Value a{undo};
    a.set(1);
    endOfEvent();
    a.set(2);
    endOfEvent();
    undo.undo();
    undo.undo();
    undo.redo();
    EXPECT_TRUE(undo.canRedo()); // redoing registered to the undo stack only
    EXPECT_EQ(a.value, 1);

    a.set(7);
    endOfEvent();
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(a.value, 1);
}

TEST_F(UndoManagerTest, UndoWithAnExplicitGroupOpen_IsAFault)
{
    UndoManager undo;
    Value a{undo};
    undo.beginUndoGrouping();
    a.set(1);
    EXPECT_THROW(undo.undo(), InternalInconsistency);
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(a.value, 0);
}

TEST_F(UndoManagerTest, ActionNames_ComeFromTheUndoStringsTable_AndTravelWithTheStep)
{
    Localization::setTable(QStringLiteral("UndoStrings"),
                           {{QStringLiteral("Selection Change"), QStringLiteral("Auswahl")},
                            {QStringLiteral("Create %@"), QStringLiteral("%@ erstellen")}});
    UndoManager undo;
    Value a{undo};
    a.set(1);
    undo.setActionName(QStringLiteral("Selection Change"));
    endOfEvent();
    a.set(2);
    endOfEvent();
    undo.setActionName(QStringLiteral("Create %@"), QStringLiteral("Rectangle"));
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Rectangle erstellen"));

    undo.undo();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Auswahl"));
    EXPECT_EQ(undo.redoActionName(), QStringLiteral("Rectangle erstellen"));
    undo.undo();
    EXPECT_EQ(undo.undoActionName(), QString());
    EXPECT_EQ(undo.redoActionName(), QStringLiteral("Auswahl"));
    undo.redo();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Auswahl"));
}

TEST_F(UndoManagerTest, RemoveAllActions_LeavesNothingAndAClosedGroup)
{
    UndoManager undo;
    Value a{undo};
    a.set(1);
    undo.removeAllActions();
    endOfEvent();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(undo.groupingLevel(), 0);
    a.set(2);
    endOfEvent();
    undo.undo();
    EXPECT_EQ(a.value, 1);
}
