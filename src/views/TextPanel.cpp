#include "TextPanel.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TextPanel::TextPanel(const QString& title, QWidget* parent)
    : QDialog(parent, Qt::Tool), m_form(new QFormLayout), m_buttons(new QHBoxLayout)
{
    setWindowTitle(title);
    setModal(false);
    auto* column = new QVBoxLayout(this);
    column->addLayout(m_form);
    m_buttons->addStretch(1);
    column->addLayout(m_buttons);
}

QPushButton* TextPanel::addButton(const QString& title, std::function<void()> pressed)
{
    auto* button = new QPushButton(title, this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [pressed = std::move(pressed)] { pressed(); });
    m_buttons->addWidget(button);
    return button;
}

void TextPanel::orderFront()
{
    show();
    raise();
}
