#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// A progress panel in front of every window, for long work without a window of its own;
// it keeps the application from quitting no more than a tool window does.
class ProgressPanel : public QWidget {
    Q_OBJECT

public:
    ProgressPanel();

    // Shows the panel in front with the message and a moving bar; a second start
    // only changes the message.
    void start(const QString& message);
    // Shows the message at once, while the work goes on.
    void increment(const QString& message);
    void end();
    QString message() const;
    QLabel* progressMessage() const { return m_message; }
    QProgressBar* progressBar() const { return m_bar; }

private:
    QLabel* m_message;
    QProgressBar* m_bar;
};
