#pragma once

#include "SpellChecker.h"
#include "TextViewResponder.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>
#include <QTextEdit>

#include <functional>
#include <memory>

class ScaledTextDevice;

// The Freeform Text Area: the rich text of the current record, loaded from and stored
// as the record's plain string and flattened RTFD.
class FreeformTextView : public QTextEdit {
    Q_OBJECT

public:
    explicit FreeformTextView(QWidget* parent = nullptr);
    ~FreeformTextView() override;

    // The text shown at the factor (1.0 is its actual size): fonts, pictures, indents and
    // tab stops all scale, and clicks, the caret and scrolling follow. The text itself,
    // its undo and what is stored never change with it.
    double scale() const { return m_scale; }
    void setScale(double factor);

    // The datafile's default text attributes, used for text without its own.
    const QFont& textFont() const { return m_textFont; }
    void setTextFont(const QFont& font) { m_textFont = font; }
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);
    // Room above the text for a bar laid over the view, the ruler; 0 gives it back.
    void setTopMargin(int height) { setViewportMargins(0, height, 0, 0); }
    // A mobile datafile keeps plain text only: pastes and drops lose their formatting.
    void setPlainTextOnly(bool plainOnly) { setAcceptRichText(!plainOnly); }

    // Replace the whole text without counting as the user's edit and without undo.
    // False, leaving the text as it is, when the RTFD cannot be read.
    bool loadRtfd(const QByteArray& rtfd);
    // The string in the default font, black, naturally aligned.
    void loadPlainText(const QString& text);
    void removeLinks();

    struct Link {
        qsizetype location = 0;
        qsizetype length = 0;
        QString url;
    };
    // Gives the ranges the link attribute, as loading does: not the user's edit.
    void addLinks(const QList<Link>& links);
    // Takes the link attribute off the selected text: the user's edit, undoable.
    void removeLinkFromSelection();
    // Gives the selected text the link, as an edit of the user's.
    void setLinkOnSelection(const QString& url);
    // Links are shown underlined in the link colour without being written into the text;
    // after links were set from outside, shows them anew.
    void showLinks();

    // Runs the change as one step of the text's undo, named for the Undo and Redo items.
    // Undoing or redoing that step puts back a text kept for the purpose, which is no edit
    // of the user's: it reports textRestored. So does the change itself when it restores
    // one; otherwise it is the user's edit.
    void changeInNamedStep(const QString& name, bool restores, const std::function<void()>& change);

    // Reads the pasteboard into the selection as Paste does (as plain text for a mobile
    // datafile); false when the text is read-only or there is nothing it can read.
    bool readSelectionFromPasteboard(const QMimeData* pasteboard);
    // The pasteboard's text into the selection, in the typing attributes; false as above.
    bool pasteAsPlainText(const QMimeData* pasteboard);

    // Selects the last range and shows every one in the colour, the stored text unchanged,
    // until the selection next changes.
    void showSearchHits(const QList<QPair<qsizetype, qsizetype>>& ranges, const QColor& color);
    bool showsSearchHits() const { return !m_hitSelections.isEmpty(); }
    void clearSearchHits();
    // The misspelled words, (start, length) in the document: drawn underlined wherever
    // they are in sight.
    void setMisspelledRanges(const SpellChecker::Ranges& ranges);
    const SpellChecker::Ranges& misspelledRanges() const { return m_misspelled; }

    QString plainText() const;
    // The whole text without document attributes.
    QByteArray rtfd() const;

Q_SIGNALS:
    // The user changed the text or its attributes.
    void textEdited();
    // A kept text was put back (the undo or redo of a named step).
    void textRestored();
    // A click (not a drag) on text with the link attribute.
    void linkClicked(const QString& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    template <typename Change> void changeQuietly(Change change);
    void showExtraSelections();
    void paintMisspelledRanges(const QRect& exposed);

    QFont m_textFont;
    double m_scale = 1.0;
    // What the text is laid out on at any other scale than 1.0.
    std::unique_ptr<ScaledTextDevice> m_scaledDevice;
    bool m_loading = false;
    // The change under way puts back a kept text.
    bool m_restoring = false;
    QList<QTextEdit::ExtraSelection> m_linkSelections;
    QList<QTextEdit::ExtraSelection> m_hitSelections;
    SpellChecker::Ranges m_misspelled;
    bool m_showingHits = false;
    // The selected hit keeps the hit colour: the palette's selected-text colour before it.
    QPalette m_paletteBeforeHits;
    QString m_pressedLink;
    // Cut, Copy, Paste and the other text commands of the menus.
    TextViewResponder m_textCommands{this};
};
