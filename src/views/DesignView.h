#pragma once

#include "GraphicList.h"

#include <QWidget>

#include <memory>

// Shows one template design in points, the same on every screen as on paper. The view
// keeps the list it is given, not a copy, so that whoever edits it edits what is shown.
// None of the setters redraws by itself.
class DesignView : public QWidget {
public:
    explicit DesignView(QWidget* parent = nullptr);

    const std::shared_ptr<GraphicList>& graphics() const { return m_graphics; }
    void setGraphics(std::shared_ptr<GraphicList> graphics) { m_graphics = std::move(graphics); }
    bool isDraft() const { return m_isDraft; }
    void setDraft(bool draft) { m_isDraft = draft; }
    bool isEnvelope() const { return m_isEnvelope; }
    void setIsEnvelope(bool envelope) { m_isEnvelope = envelope; }

    // The view's area in points.
    QRectF pointBounds() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<GraphicList> m_graphics;
    bool m_isDraft = false;
    bool m_isEnvelope = false;
};
