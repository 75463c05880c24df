#pragma once

#include <QTextEdit>
#include <QTextOption>

#include <memory>

class TextGraphic;

// The in-place editor of a text graphic on the design canvas: a text view over the
// graphic's own document, laid out in points (one point a pixel), covering the graphic's
// bounds. A text no wider than its minimum grows sideways as the user types, up to its
// maximum width; a wider one wraps at its width and grows downward. Neither shrinks.
// The whole edit, text and growth, is one undoable change once it ends.
class TextGraphicEditor : public QTextEdit {
    Q_OBJECT

public:
    // Starts editing the graphic on the canvas, its whole text selected.
    TextGraphicEditor(std::shared_ptr<TextGraphic> graphic, QWidget* canvas);
    // Ends the editing, if it has not ended.
    ~TextGraphicEditor() override;

    const std::shared_ptr<TextGraphic>& graphic() const { return m_graphic; }
    bool growsHorizontally() const { return m_growsHorizontally; }
    bool isEditing() const { return m_document != nullptr; }

    // Leaves the text to the graphic and registers the edit. Once only.
    void endEditing();

private:
    void textDidChange();
    void placeOverBounds();

    std::shared_ptr<TextGraphic> m_graphic;
    // The document edited, kept alive until the editor lets it go.
    std::shared_ptr<QTextDocument> m_document;
    // What the view changes of the document's look while it shows it.
    QTextOption m_textOption;
    QFont m_defaultFont;
    bool m_growsHorizontally = false;
};
