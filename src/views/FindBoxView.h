#pragma once

#include <QPlainTextEdit>

#include <functional>

// The find box: one line of plain text above the tables. Return, Enter and Tab are
// offered to its owner as the text they would insert, and inserted only when it agrees.
class FindBoxView : public QPlainTextEdit {
    Q_OBJECT

public:
    // The replacement text ("\n", "\x03" for Enter, "\t") and the modifiers held; false
    // refuses the change.
    using ShouldChangeText = std::function<bool(const QString&, Qt::KeyboardModifiers)>;

    explicit FindBoxView(QWidget* parent = nullptr);

    void setShouldChangeText(ShouldChangeText shouldChange) { m_shouldChange = std::move(shouldChange); }
    QString string() const { return toPlainText(); }
    // Selects the whole text.
    void selectAllText();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ShouldChangeText m_shouldChange;
};
