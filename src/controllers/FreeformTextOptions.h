#pragma once

#include <QObject>
#include <QPointer>

class EditorWindowController;
class SpellingHighlighter;

// The Freeform Text Area's options set up with the window: continuous spell checking of
// the text and of the find box (unless "GeneralSpellCheckerOff"), links found while
// typing, and link tool tips.
class FreeformTextOptions : public QObject {
    Q_OBJECT

public:
    explicit FreeformTextOptions(EditorWindowController& editor);
    ~FreeformTextOptions() override;

    void prepare();
    bool spellChecking() const;

    // Gives the addresses of the paragraph at the position the link attribute, in the
    // step the user's typing made.
    void findLinksAround(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditorWindowController& m_editor;
    QPointer<SpellingHighlighter> m_textSpelling;
    QPointer<SpellingHighlighter> m_findBoxSpelling;
    bool m_prepared = false;
};
