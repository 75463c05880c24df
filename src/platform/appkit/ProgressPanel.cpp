#include "ProgressPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressPanel::ProgressPanel()
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint), m_message(new QLabel(this)),
      m_bar(new QProgressBar(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_bar);
    m_bar->setRange(0, 0); // no end known: the bar moves on its own
    m_bar->setTextVisible(false);
    setMinimumWidth(360);
}

void ProgressPanel::start(const QString& message)
{
    m_message->setText(message);
    show();
    raise();
    activateWindow();
}

void ProgressPanel::increment(const QString& message)
{
    m_message->setText(message);
    // The work runs on this thread: paint now, not when it is done.
    repaint();
}

void ProgressPanel::end()
{
    hide();
}

QString ProgressPanel::message() const
{
    return m_message->text();
}
