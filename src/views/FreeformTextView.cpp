#include "FreeformTextView.h"

#include "RichText.h"
#include "VKTextViewCategories.h"

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

FreeformTextView::FreeformTextView(QWidget* parent) : QTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
        if (!m_loading)
            Q_EMIT textEdited();
    });
}

template <typename Change> void FreeformTextView::changeQuietly(Change change)
{
    m_loading = true;
    // Switching undo off and on again empties the undo stack: the loaded text is the
    // record's, not an edit to undo.
    setUndoRedoEnabled(false);
    change();
    setUndoRedoEnabled(true);
    m_loading = false;
}

QColor FreeformTextView::backgroundColor() const
{
    return palette().color(QPalette::Base);
}

void FreeformTextView::setBackgroundColor(const QColor& color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::Base, color);
    setPalette(colors);
}

bool FreeformTextView::loadRtfd(const QByteArray& rtfd)
{
    bool loaded = false;
    changeQuietly([&] { loaded = VKTextViewCategories::setRTFDValue(this, rtfd); });
    return loaded;
}

void FreeformTextView::loadPlainText(const QString& text)
{
    changeQuietly([&] {
        clear();
        QTextCharFormat characters;
        characters.setFont(m_textFont);
        characters.setForeground(Qt::black);
        QTextBlockFormat paragraph;
        paragraph.setAlignment(Qt::AlignLeading);
        QTextCursor cursor(document());
        cursor.setBlockFormat(paragraph);
        cursor.setBlockCharFormat(characters);
        cursor.insertText(text, characters);
        setCurrentCharFormat(characters);
    });
}

void FreeformTextView::removeLinks()
{
    changeQuietly([&] {
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        QTextCharFormat noLink;
        noLink.setAnchor(false);
        noLink.setAnchorHref(QString());
        cursor.mergeCharFormat(noLink);
    });
}

QString FreeformTextView::plainText() const
{
    return RichText::plainText(*document());
}

QByteArray FreeformTextView::rtfd() const
{
    return RichText::toRtfd(*document());
}
