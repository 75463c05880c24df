#pragma once

#include <QColor>
#include <QPushButton>

// A swatch of a colour; clicking it opens the colour panel, and a colour chosen there
// becomes the well's.
class ColorWell : public QPushButton {
    Q_OBJECT

public:
    explicit ColorWell(QWidget* parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(const QColor& color);

Q_SIGNALS:
    // The user chose a colour in the panel.
    void colorChosen();

private:
    void choose();

    QColor m_color;
};
