#include "FreeformTextView.h"

#include "LinkLook.h"
#include "RichText.h"
#include "VKTextViewCategories.h"

#include <QAbstractTextDocumentLayout>
#include <QAbstractUndoItem>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPolygonF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <utility>

// Qt's reference resolution: a text document measures its fonts, pictures and tab stops
// for its layout's device against it.
Q_GUI_EXPORT int qt_defaultDpiY();

// A device of that resolution times the scale. Laid out on it, the text measures in the
// scaled pixels it is drawn in, so the caret, clicks and the scroll bars agree with what
// is shown; nothing is ever painted on the device itself.
class ScaledTextDevice : public QPaintDevice {
public:
    explicit ScaledTextDevice(double scale) : m_dpi(std::max(1, qRound(qt_defaultDpiY() * scale))) {}

    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dpi;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            // Size and pixel ratio do not count for a layout.
            return 1;
        }
    }

private:
    int m_dpi;
};

namespace {

// A step of the text's undo that does nothing itself: it tells, while the step is undone
// or redone, that the change is a restoring one.
class RestoringUndoItem : public QAbstractUndoItem {
public:
    explicit RestoringUndoItem(std::function<void()> restoring) : m_restoring(std::move(restoring))
    {
    }
    void undo() override { m_restoring(); }
    void redo() override { m_restoring(); }

private:
    std::function<void()> m_restoring;
};

} // namespace

FreeformTextView::FreeformTextView(QWidget* parent) : QTextEdit(parent)
{
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int, int) {
        if (m_loading)
            return;
        if (std::exchange(m_restoring, false))
            Q_EMIT textRestored();
        else
            Q_EMIT textEdited();
    });
    connect(this, &QTextEdit::cursorPositionChanged, this, [this] {
        if (!m_showingHits)
            clearSearchHits();
    });
    connect(this, &QTextEdit::selectionChanged, this, [this] {
        if (!m_showingHits)
            clearSearchHits();
    });
}

FreeformTextView::~FreeformTextView()
{
    // The layout must not outlive its device.
    document()->documentLayout()->setPaintDevice(nullptr);
}

void FreeformTextView::setScale(double factor)
{
    if (factor <= 0 || factor == m_scale)
        return;
    m_scale = factor;
    std::unique_ptr<ScaledTextDevice> device =
        factor == 1.0 ? nullptr : std::make_unique<ScaledTextDevice>(factor);
    document()->documentLayout()->setPaintDevice(device.get());
    m_scaledDevice = std::move(device);
    // Setting the default font again lays the whole text out anew, and is no edit.
    document()->setDefaultFont(document()->defaultFont());
    ensureCursorVisible();
}

void FreeformTextView::showSearchHits(const QList<QPair<qsizetype, qsizetype>>& ranges,
                                      const QColor& color)
{
    if (ranges.isEmpty())
        return;
    clearSearchHits();
    m_showingHits = true;
    const int length = document()->characterCount() - 1;
    for (const auto& [location, size] : ranges) {
        QTextEdit::ExtraSelection hit;
        hit.cursor = QTextCursor(document());
        hit.cursor.setPosition(std::clamp(int(location), 0, length));
        hit.cursor.setPosition(std::clamp(int(location + size), 0, length), QTextCursor::KeepAnchor);
        hit.format.setForeground(color);
        m_hitSelections.append(hit);
    }
    setTextCursor(m_hitSelections.last().cursor);
    m_paletteBeforeHits = palette();
    QPalette colors = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        colors.setColor(group, QPalette::HighlightedText, color);
    setPalette(colors);
    showExtraSelections();
    m_showingHits = false;
}

void FreeformTextView::clearSearchHits()
{
    if (m_hitSelections.isEmpty())
        return;
    m_hitSelections.clear();
    QPalette colors = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        colors.setColor(group, QPalette::HighlightedText,
                        m_paletteBeforeHits.color(group, QPalette::HighlightedText));
    setPalette(colors);
    showExtraSelections();
}

void FreeformTextView::showExtraSelections()
{
    setExtraSelections(m_linkSelections + m_hitSelections);
}

void FreeformTextView::setMisspelledRanges(const SpellChecker::Ranges& ranges)
{
    if (ranges == m_misspelled)
        return;
    m_misspelled = ranges;
    viewport()->update();
}

void FreeformTextView::paintEvent(QPaintEvent* event)
{
    QTextEdit::paintEvent(event);
    paintMisspelledRanges(event->rect());
}

void FreeformTextView::paintMisspelledRanges(const QRect& exposed)
{
    if (m_misspelled.isEmpty())
        return;
    // Only the words in sight: a long text has thousands.
    const qsizetype first = cursorForPosition(exposed.topLeft()).position();
    const qsizetype last = cursorForPosition(exposed.bottomRight()).position();
    auto range = std::lower_bound(m_misspelled.cbegin(), m_misspelled.cend(), first,
                                  [](const auto& misspelled, qsizetype at) {
                                      return misspelled.first + misspelled.second <= at;
                                  });
    QPainter painter(viewport());
    const QPointF scrolled(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    const qreal wave = std::max(1.0, m_scale);
    painter.setPen(QPen(Qt::red, wave));
    const int documentEnd = document()->characterCount() - 1;
    for (; range != m_misspelled.cend() && range->first <= last; ++range) {
        const int start = int(std::min<qsizetype>(range->first, documentEnd));
        const int end = int(std::min<qsizetype>(range->first + range->second, documentEnd));
        const QTextBlock block = document()->findBlock(start);
        const QTextLayout* layout = block.layout();
        if (!block.isValid() || !layout || layout->lineCount() == 0)
            continue;
        const QPointF origin =
            document()->documentLayout()->blockBoundingRect(block).topLeft() + scrolled;
        for (int at = start - block.position(); at < end - block.position();) {
            const QTextLine line = layout->lineForTextPosition(at);
            if (!line.isValid())
                break;
            const int lineEnd = std::min(end - block.position(), line.textStart() + line.textLength());
            const qreal left = line.cursorToX(at);
            const qreal right = line.cursorToX(lineEnd);
            const qreal y = origin.y() + line.y() + line.ascent() + line.descent() / 2;
            QPolygonF zigzag;
            int step = 0;
            for (qreal x = left; x <= right; x += 2 * wave, ++step)
                zigzag.append(QPointF(origin.x() + x, y + (step % 2 ? wave : 0)));
            painter.drawPolyline(zigzag);
            if (lineEnd <= at)
                break;
            at = lineEnd;
        }
    }
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

void FreeformTextView::changeInNamedStep(const QString& name, bool restores,
                                         const std::function<void()>& change)
{
    QTextCursor step(document());
    step.beginEditBlock();
    // The text reports the change once the step is complete, after the item has spoken.
    document()->appendUndoItem(new RestoringUndoItem([view = QPointer<FreeformTextView>(this)] {
        if (!view)
            return;
        view->m_restoring = true;
        // A step that changed nothing must not leave the next edit taken for a restore.
        QTimer::singleShot(0, view, [view] { view->m_restoring = false; });
    }));
    m_restoring = restores;
    change();
    step.endEditBlock();
    m_restoring = false;
    m_textCommands.setActionName(name);
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
    showLinks();
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
    showLinks();
}

bool FreeformTextView::readSelectionFromPasteboard(const QMimeData* pasteboard)
{
    if (isReadOnly() || !pasteboard || !canInsertFromMimeData(pasteboard))
        return false;
    insertFromMimeData(pasteboard);
    return true;
}

bool FreeformTextView::pasteAsPlainText(const QMimeData* pasteboard)
{
    if (isReadOnly() || !pasteboard || !pasteboard->hasText())
        return false;
    insertPlainText(pasteboard->text());
    return true;
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
    showLinks();
}

void FreeformTextView::addLinks(const QList<Link>& links)
{
    if (links.isEmpty())
        return;
    changeQuietly([&] {
        for (const Link& link : links) {
            QTextCursor cursor(document());
            cursor.setPosition(int(link.location));
            cursor.setPosition(int(link.location + link.length), QTextCursor::KeepAnchor);
            QTextCharFormat format;
            format.setAnchor(true);
            format.setAnchorHref(link.url);
            cursor.mergeCharFormat(format);
        }
    });
    showLinks();
}

void FreeformTextView::removeLinkFromSelection()
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() || isReadOnly())
        return;
    QTextCharFormat noLink;
    noLink.setAnchor(false);
    noLink.setAnchorHref(QString());
    cursor.mergeCharFormat(noLink);
    showLinks();
}

void FreeformTextView::setLinkOnSelection(const QString& url)
{
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() || isReadOnly())
        return;
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(url);
    cursor.mergeCharFormat(link);
    showLinks();
}

void FreeformTextView::showLinks()
{
    QList<QTextEdit::ExtraSelection> selections;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.charFormat().isAnchor())
                selections.append(linkLook(document(), fragment.position(),
                                           fragment.position() + fragment.length(), palette()));
        }
    }
    m_linkSelections = selections;
    showExtraSelections();
}

void FreeformTextView::mousePressEvent(QMouseEvent* event)
{
    m_pressedLink.clear();
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier)
        m_pressedLink = anchorAt(event->position().toPoint());
    QTextEdit::mousePressEvent(event);
}

void FreeformTextView::mouseReleaseEvent(QMouseEvent* event)
{
    QTextEdit::mouseReleaseEvent(event);
    const QString pressed = std::exchange(m_pressedLink, QString());
    // A drag that selected text is not a click on the link.
    if (!pressed.isEmpty() && event->button() == Qt::LeftButton && !textCursor().hasSelection() &&
        anchorAt(event->position().toPoint()) == pressed)
        Q_EMIT linkClicked(pressed);
}

QString FreeformTextView::plainText() const
{
    return RichText::plainText(*document());
}

QByteArray FreeformTextView::rtfd() const
{
    return RichText::toRtfd(*document());
}
