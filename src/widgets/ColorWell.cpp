#include "ColorWell.h"

#include "Presenter.h"

#include <QPixmap>

ColorWell::ColorWell(QWidget* parent) : QPushButton(parent)
{
    setIconSize(QSize(36, 14));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QPushButton::clicked, this, &ColorWell::choose);
    setColor(Qt::white);
}

void ColorWell::setColor(const QColor& color)
{
    m_color = color;
    QPixmap swatch(iconSize());
    swatch.fill(color);
    setIcon(QIcon(swatch));
}

void ColorWell::choose()
{
    const std::optional<QColor> chosen = Presenter::shared().runColorPanel(m_color, window());
    if (!chosen)
        return;
    setColor(*chosen);
    Q_EMIT colorChosen();
}
