#pragma once

#include "TextPanel.h"

#include <QObject>
#include <QPointer>

class EditorWindowController;
class QLabel;
class QListWidget;

// Format ▸ Check Spelling: a panel that finds the next misspelled word of the Freeform Text
// Area from the selection on, selects it and offers its guesses; Correct puts the chosen
// guess in its place, Ignore passes over the word for the rest of the session.
class SpellingPanelController : public QObject {
    Q_OBJECT

public:
    explicit SpellingPanelController(EditorWindowController& editor);
    ~SpellingPanelController() override;

    void showGuessPanel();
    // Selects the next misspelled word after the selection, wrapping round once; false
    // when there is none.
    bool findNext();
    void correct();
    void ignore();

    TextPanel* panel() const { return m_panel; }
    QLabel* wordLabel() const { return m_word; }
    QListWidget* guessList() const { return m_guesses; }

private:
    EditorWindowController& m_editor;
    QPointer<TextPanel> m_panel;
    QLabel* m_word = nullptr;
    QListWidget* m_guesses = nullptr;
};
