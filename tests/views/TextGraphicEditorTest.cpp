#include "TextGraphicEditor.h"

#include "GraphicView.h"
#include "TextGraphic.h"
#include "UndoManager.h"

#include <QTest>
#include <QTextDocument>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class CanvasStandIn : public GraphicView {
public:
    UndoManager* undoManager() const override { return &undo; }
    QSizeF boundsSize() const override { return {400, 300}; }
    mutable UndoManager undo;
};

struct Editing {
    Editing(const QRectF& bounds, const QString& text = QString())
    {
        canvas.resize(400, 300);
        canvas.show();
        graphic->setBounds(bounds);
        if (!text.isEmpty())
            graphic->document().setPlainText(text);
        graphic->setDesignView(&view);
        editor = std::make_unique<TextGraphicEditor>(graphic, &canvas);
        editor->show();
        editor->setFocus();
    }
    void type(const QString& text)
    {
        editor->moveCursor(QTextCursor::End);
        QTest::keyClicks(editor.get(), text);
    }

    QWidget canvas;
    CanvasStandIn view;
    std::shared_ptr<TextGraphic> graphic = std::make_shared<TextGraphic>();
    std::unique_ptr<TextGraphicEditor> editor;
};

} // namespace

TEST(TextGraphicEditorTest, Typing_WidensANarrowText_WrapsAWideOneAndGrowsItDownward)
{
    const struct {
        const char* name;
        QRectF bounds;
        bool sideways;
    } cases[] = {
        {"narrow", QRectF(20, 30, 10, 15), true},
        {"wide", QRectF(20, 30, 60, 15), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Editing editing(c.bounds);
        EXPECT_EQ(editing.editor->growsHorizontally(), c.sideways);
        EXPECT_EQ(editing.editor->document(), &editing.graphic->document());
        editing.type(QStringLiteral("one two three four five"));
        EXPECT_EQ(editing.graphic->document().toPlainText(), QStringLiteral("one two three four five"));
        const QRectF grown = editing.graphic->bounds();
        EXPECT_EQ(grown.topLeft(), c.bounds.topLeft());
        if (c.sideways) {
            EXPECT_GT(grown.width(), 100);
            EXPECT_LT(grown.height(), 2 * 15);
        } else {
            EXPECT_EQ(grown.width(), 60);
            EXPECT_GT(grown.height(), 2 * 15);
        }
        EXPECT_EQ(editing.editor->geometry(), grown.toAlignedRect());

        // Deleting text never shrinks it.
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(editing.editor.get(), Qt::Key_Backspace);
        EXPECT_EQ(editing.graphic->bounds(), grown);
    }
}

TEST(TextGraphicEditorTest, EndingTheEdit_IsOneUndoStepForTextAndSize)
{
    Editing editing(QRectF(20, 30, 10, 15), QStringLiteral("Hi"));
    const QByteArray before = editing.graphic->contents().toData();
    const QTextOption::WrapMode wrap = editing.graphic->document().defaultTextOption().wrapMode();
    editing.type(QStringLiteral(" there, everyone"));
    const QRectF grown = editing.graphic->bounds();
    EXPECT_FALSE(editing.view.undo.canUndo()); // nothing until the edit ends
    editing.editor->endEditing();
    EXPECT_FALSE(editing.editor->isEditing());
    EXPECT_EQ(editing.graphic->document().toPlainText(), QStringLiteral("Hi there, everyone"));
    EXPECT_EQ(editing.graphic->document().defaultTextOption().wrapMode(), wrap);
    EXPECT_EQ(editing.graphic->bounds(), grown);

    editing.view.undo.undo();
    EXPECT_EQ(editing.graphic->document().toPlainText(), QStringLiteral("Hi"));
    EXPECT_EQ(editing.graphic->contents().toData(), before);
    EXPECT_EQ(editing.graphic->bounds(), QRectF(20, 30, 10, 15));
    EXPECT_FALSE(editing.view.undo.canUndo());
    editing.view.undo.redo();
    EXPECT_EQ(editing.graphic->document().toPlainText(), QStringLiteral("Hi there, everyone"));
    EXPECT_EQ(editing.graphic->bounds(), grown);

    // A second edit of the same graphic that changes nothing adds no step.
    editing.view.undo.undo();
    TextGraphicEditor again(editing.graphic, &editing.canvas);
    again.endEditing();
    EXPECT_FALSE(editing.view.undo.canUndo());
    EXPECT_TRUE(editing.view.undo.canRedo());
}
