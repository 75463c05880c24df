#pragma once

#include "ArchivedFont.h"
#include "Graphic.h"
#include "GraphicView.h"
#include "NotificationCenter.h"
#include "TextGraphic.h"
#include "TextMeasurer.h"
#include "UndoManager.h"

#include <gtest/gtest.h>

#include <QTextDocument>

#include <cmath>

// Half the point size per character wide, the point size + 2 high: "Tg" in 12 points is
// 14 high, so a field's line is 16.
class FakeTextMeasurer : public TextMeasurer {
public:
    float widthOfString(const QString& text, const ArchivedFont& font) const override
    {
        return float(text.size() * font.size() / 2);
    }
    float heightOfString(const QString&, const ArchivedFont& font) const override
    {
        return float(font.size() + 2);
    }
};

// A view with an undo manager and a size, counting what it was asked to redraw.
class FakeGraphicView : public GraphicView {
public:
    explicit FakeGraphicView(QSizeF size = QSizeF(400, 400)) : m_size(size) {}
    UndoManager* undoManager() const override { return &m_undo; }
    QSizeF boundsSize() const override { return m_size; }
    void invalidateGraphic(const Graphic&) override { ++invalidations; }

    // One user action: one undo step.
    template <typename Action> void step(Action action)
    {
        m_undo.beginUndoGrouping();
        action();
        m_undo.endUndoGrouping();
    }
    UndoManager& undo() { return m_undo; }

    int invalidations = 0;

private:
    mutable UndoManager m_undo;
    QSizeF m_size;
};

// Counts "GraphicDidChange" for one graphic.
class ChangeCounter {
public:
    explicit ChangeCounter(const Graphic& graphic)
        : m_observer(NotificationCenter::defaultCenter().addObserver(
              Graphic::graphicDidChangeNotification, &graphic,
              [this](const Notification&) { ++count; }))
    {
    }
    int count = 0;

private:
    NotificationObserver m_observer;
};

// Every graphic test measures with the fake.
class GraphicTest : public testing::Test {
protected:
    void SetUp() override { TextMeasurer::setShared(&m_measurer); }
    void TearDown() override { TextMeasurer::setShared(nullptr); }

private:
    FakeTextMeasurer m_measurer;
};

inline testing::AssertionResult sameRect(const QRectF& actual, const QRectF& expected)
{
    const auto near = [](double a, double b) { return std::abs(a - b) < 1e-4; };
    if (near(actual.x(), expected.x()) && near(actual.y(), expected.y()) &&
        near(actual.width(), expected.width()) && near(actual.height(), expected.height()))
        return testing::AssertionSuccess();
    const auto text = [](const QRectF& r) {
        return QStringLiteral("(%1, %2, %3, %4)")
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height())
            .toStdString();
    };
    return testing::AssertionFailure() << text(actual) << " is not " << text(expected);
}

inline QString plainText(const TextGraphic& graphic)
{
    return graphic.document().toPlainText();
}
