#pragma once

#include <QList>
#include <QLocale>
#include <QPointer>
#include <QWidget>

// A ruler beside the design canvas: its marks count from the canvas's origin in inches,
// or in centimetres where the locale measures in metric, and it shows the lines the canvas
// echoes there while graphics are moved or resized. Locations are in the ruler's own
// coordinates along its length.
class DesignRulerView : public QWidget {
    Q_OBJECT

public:
    enum class Unit { Inches, Centimeters };

    DesignRulerView(Qt::Orientation orientation, QWidget* clientView, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return m_orientation; }
    QWidget* clientView() const { return m_clientView; }
    Unit unit() const { return m_unit; }
    static Unit unitForLocale(const QLocale& locale);
    // Points per unit.
    static double pointsPerUnit(Unit unit);

    // The client's rectangle in the ruler's coordinates (only the ruler's axis moves).
    QRectF convertRectFromClient(const QRectF& rect) const;
    // Takes the line away from the old location and shows one at the new; -1 is none.
    void moveRulerlineFromLocation(double oldLocation, double newLocation);
    const QList<double>& rulerlineLocations() const { return m_rulerlines; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where the client's origin lies along the ruler.
    double clientOrigin() const;

    Qt::Orientation m_orientation;
    QPointer<QWidget> m_clientView;
    Unit m_unit;
    QList<double> m_rulerlines;
};
