#include "EditorSplitView.h"

#include "SplitViewGeometry.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QSplitterHandle>

namespace {

// A divider that keeps the split's rules while it is dragged.
class EditorSplitHandle : public QSplitterHandle {
public:
    explicit EditorSplitHandle(QSplitter* parent) : QSplitterHandle(Qt::Vertical, parent) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_grabOffset = event->position().toPoint().y();
        QSplitterHandle::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton))
            return;
        const int proposed =
            splitter()->mapFromGlobal(event->globalPosition().toPoint()).y() - m_grabOffset;
        const double position = SplitViewGeometry::dividerPosition(
            proposed, splitter()->height(), splitter()->handleWidth());
        moveSplitter(int(position));
    }

private:
    int m_grabOffset = 0;
};

} // namespace

EditorSplitView::EditorSplitView(QWidget* topBox, QWidget* bottomBox, QWidget* parent)
    : QSplitter(Qt::Vertical, parent)
{
    setOpaqueResize(true);
    addWidget(topBox);
    addWidget(bottomBox);
    // Any height is allowed (the rules decide), the table may collapse, the text never.
    topBox->setMinimumHeight(1);
    bottomBox->setMinimumHeight(1);
    setCollapsible(0, true);
    setCollapsible(1, false);
    connect(this, &QSplitter::splitterMoved, this, &EditorSplitView::didResizeSubviews);
}

QSplitterHandle* EditorSplitView::createHandle()
{
    return new EditorSplitHandle(this);
}

void EditorSplitView::setHeights(int top, int bottom)
{
    setSizes({std::max(0, top), std::max(0, bottom)});
}

int EditorSplitView::topHeight() const
{
    return sizes().value(0);
}

void EditorSplitView::resizeEvent(QResizeEvent* event)
{
    const QList<int> before = sizes();
    QSplitter::resizeEvent(event);
    const int oldHeight = event->oldSize().height();
    if (oldHeight <= 0 || before.size() < 2 || oldHeight == height())
        return;
    const SplitViewGeometry::Heights heights = SplitViewGeometry::resized(
        {double(before[0]), double(before[1])}, oldHeight, height(), handleWidth());
    setHeights(int(heights.top), int(heights.bottom));
    Q_EMIT didResizeSubviews();
}
