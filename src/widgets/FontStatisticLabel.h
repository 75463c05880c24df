#pragma once

#include <QFont>
#include <QLabel>
#include <QRectF>

// A label that names a font and its size ("Helvetica 12") drawn in that font, as high as
// the font's "Tg" plus 6 points up to a limit, staying centred where it was as it grows.
class FontStatisticLabel : public QLabel {
    Q_OBJECT

public:
    FontStatisticLabel(qreal maximumHeight, QWidget* parent = nullptr);

    // "%@ %0.0f": the font's name and its point size without decimals.
    static QString statisticText(const QFont& font);
    // The frame a label of that frame takes for the font.
    static QRectF statisticFrame(const QRectF& frame, const QFont& font, qreal maximumHeight);

    void showFont(const QFont& font);
    // Where the label stands, in points, as last laid out for its font.
    QRectF statisticFrame() const { return m_frame; }

private:
    qreal m_maximumHeight;
    QRectF m_frame;
};
