#pragma once

#include <QHeaderView>

// The header of the editor tables: each section drawn as a grey band that darkens from
// its top and bottom edges towards the middle, under its title.
class ColumnHeaderViewController : public QHeaderView {
    Q_OBJECT

public:
    explicit ColumnHeaderViewController(Qt::Orientation orientation, QWidget* parent = nullptr);

    double scaleFactor() const { return m_scaleFactor; }
    void setScaleFactor(double scale) { m_scaleFactor = scale; }

    // One section's background in the frame: a grey 0.7 edge, 0.9 inside, then ten bands
    // from 0.95 at the edges to 0.86 in the middle.
    static void drawSectionBackground(QPainter& painter, QRectF frame, double scale);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    double m_scaleFactor = 1.0;
};
