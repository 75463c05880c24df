#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

// The application's one progress panel for long work without a window of its own.
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

private:
    QLabel* m_message;
    QProgressBar* m_bar;
};
