#include "TextGraphicEditor.h"

#include "TextGraphic.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

namespace {
// Wide enough for any text a graphic may hold: the text itself stops it at its maximum.
constexpr float unlimitedWidth = 1'000'000;
} // namespace

TextGraphicEditor::TextGraphicEditor(std::shared_ptr<TextGraphic> graphic, QWidget* canvas)
    : QTextEdit(canvas), m_graphic(std::move(graphic)),
      m_document(m_graphic->contents().document())
{
    m_textOption = m_document->defaultTextOption();
    m_defaultFont = m_document->defaultFont();
    QAbstractTextDocumentLayout* layout = m_document->documentLayout();
    QPaintDevice* points = layout->paintDevice();

    setFrameStyle(QFrame::NoFrame);
    setViewportMargins(0, 0, 0, 0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setUndoRedoEnabled(true);
    setWordWrapMode(m_textOption.wrapMode());

    const QSizeF least = m_graphic->minSize();
    const QSizeF most = m_graphic->maxSize();
    m_growsHorizontally = !(m_graphic->bounds().width() > least.width() + 1);
    setLineWrapMode(QTextEdit::FixedPixelWidth);
    setLineWrapColumnOrWidth(
        qRound(m_growsHorizontally ? most.width() : m_graphic->bounds().width()));
    setMinimumSize(least.toSize());
    setMaximumSize(most.toSize());

    setDocument(m_document.get());
    // The view takes the document's look as its own; the layout stays in points.
    m_document->setDefaultFont(m_defaultFont);
    layout->setPaintDevice(points);

    m_graphic->startContentsEditing();
    m_graphic->startBoundsManipulation();
    placeOverBounds();
    selectAll();
    connect(this, &QTextEdit::textChanged, this, &TextGraphicEditor::textDidChange);
    m_graphic->didChange();
}

TextGraphicEditor::~TextGraphicEditor()
{
    endEditing();
}

void TextGraphicEditor::placeOverBounds()
{
    setGeometry(m_graphic->bounds().toAlignedRect());
}

void TextGraphicEditor::textDidChange()
{
    if (!m_document)
        return;
    const QRectF bounds = m_graphic->bounds();
    const QSizeF required =
        m_graphic->requiredSize(m_growsHorizontally ? unlimitedWidth : float(bounds.width()));
    if (required.width() > bounds.width() || required.height() > bounds.height()) {
        const double width = m_growsHorizontally && required.width() > bounds.width()
                                 ? required.width()
                                 : bounds.width();
        m_graphic->setBounds(QRectF(bounds.x(), bounds.y(), width,
                                    std::max(required.height(), bounds.height())));
        placeOverBounds();
    }
    m_graphic->didChange();
}

void TextGraphicEditor::endEditing()
{
    if (!m_document)
        return;
    disconnect(this, &QTextEdit::textChanged, this, &TextGraphicEditor::textDidChange);
    // Let the document go before the graphic takes the edit in: the view gets one of
    // its own, and the document its look back.
    setDocument(nullptr);
    m_document->setDefaultTextOption(m_textOption);
    m_document->setDefaultFont(m_defaultFont);
    m_document->setTextWidth(-1);
    m_document.reset();
    hide();
    m_graphic->stopBoundsManipulation();
    m_graphic->stopContentsEditing();
    m_graphic->didChange();
}
