#pragma once

#include <QObject>
#include <QPointer>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include <functional>
#include <optional>

class EditorWindowController;
class FreeformRuler;
class QAction;

// The text system's Format commands on the Freeform Text Area: the font and colour panels,
// traits, size, underline, kerning, ligatures (kept with the text, not drawn), baseline,
// alignment, copying and pasting the style and the ruler, and the ruler itself.
class FreeformFormatController : public QObject {
    Q_OBJECT

public:
    // The font actions' tags, as their menu items carry them.
    enum FontAction { SizeUpFontAction = 3, SizeDownFontAction = 4 };
    enum FontTrait { ItalicTrait = 1, BoldTrait = 2 };

    explicit FreeformFormatController(EditorWindowController& editor);
    ~FreeformFormatController() override;

    void orderFrontFontPanel();
    void orderFrontColorPanel();
    void addFontTrait(int trait);
    void underline();
    void modifyFont(int action);
    void useStandardKerning();
    void turnOffKerning();
    void tightenKerning();
    void loosenKerning();
    void useStandardLigatures();
    void turnOffLigatures();
    void useAllLigatures();
    void unscript();
    void superscript();
    void subscript();
    void raiseBaseline();
    void lowerBaseline();
    void align(Qt::Alignment alignment);
    // The style (character attributes) and the ruler (paragraph style) at the selection's
    // start, for every window to paste.
    void copyFont();
    void pasteFont();
    void copyRuler();
    void pasteRuler();

    // Shows or hides the ruler over the text; when the text has no focus, it takes it
    // for the change and hands it to the find box after.
    void toggleFreeformRuler();
    FreeformRuler* ruler() const;

private:
    bool mayEdit() const;
    // Changes the attributes of the selected text, or with no selection those typing uses.
    void changeCharacters(const std::function<void(QTextCharFormat&)>& change);
    QTextCharFormat formatAtSelectionStart() const;
    void changeExpansion(const std::function<std::optional<int>(std::optional<int>)>& change,
                         bool kerning);
    void changeBaseline(int halfPoints);
    void toggleRuler();
    void placeRuler();
    bool eventFilter(QObject* watched, QEvent* event) override;

    EditorWindowController& m_editor;
    QPointer<FreeformRuler> m_ruler;
};
