#pragma once

#include <QDialog>

#include <functional>

class QFormLayout;
class QPushButton;

// A small panel beside the window for a text command's settings: its fields in a form and
// the buttons that apply them. Not modal: the text can be edited while it is open.
class TextPanel : public QDialog {
    Q_OBJECT

public:
    TextPanel(const QString& title, QWidget* parent);

    QFormLayout* form() const { return m_form; }
    // A button at the bottom; pressing it runs the action, the panel staying open.
    QPushButton* addButton(const QString& title, std::function<void()> pressed);
    // On screen and in front.
    void orderFront();

private:
    QFormLayout* m_form;
    class QHBoxLayout* m_buttons;
};
