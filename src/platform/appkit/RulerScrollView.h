#pragma once

#include <QPointer>
#include <QScrollArea>

// A scroll view that can show a horizontal ruler above its document and a vertical one
// beside it. The rulers are the caller's widgets, each as thick as its size hint; shown,
// they take their room from the scroll view's frame, not from the document's area.
class RulerScrollView : public QScrollArea {
public:
    explicit RulerScrollView(QWidget* parent = nullptr);

    // The scroll view takes the rulers as its children.
    void setHorizontalRulerView(QWidget* ruler);
    void setVerticalRulerView(QWidget* ruler);
    QWidget* horizontalRulerView() const { return m_horizontalRuler; }
    QWidget* verticalRulerView() const { return m_verticalRuler; }
    bool hasHorizontalRuler() const { return m_horizontalRuler != nullptr; }
    bool hasVerticalRuler() const { return m_verticalRuler != nullptr; }

    void setRulersVisible(bool visible);
    bool rulersVisible() const { return m_rulersVisible; }

    // Fixes the frame so that the document's area is exactly that size, with the rulers
    // when they are shown, now and whenever they are shown.
    void setContentSize(const QSize& size);
    QSize contentSize() const { return m_contentSize; }
    // The frame a document area of that size needs with the rulers as they are shown now.
    QSize frameSizeForContentSize(const QSize& size) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void adoptRuler(QWidget* ruler);
    int horizontalThickness() const;
    int verticalThickness() const;
    void tile();

    QPointer<QWidget> m_horizontalRuler;
    QPointer<QWidget> m_verticalRuler;
    QSize m_contentSize;
    bool m_rulersVisible = false;
};
