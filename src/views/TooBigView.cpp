#include "TooBigView.h"

#include "AddressGraphic.h"
#include "PointPainting.h"
#include "TextMeasurer.h"

#include <QPainter>
#include <QPlainTextEdit>

namespace {

// Where the field sits in the panel, in points.
constexpr double fieldLeft = 20;
constexpr double fieldTop = 20;

} // namespace

TooBigView::TooBigView(QWidget* parent) : QWidget(parent)
{
}

TooBigView::~TooBigView() = default;

void TooBigView::setAddressGraphic(const std::shared_ptr<AddressGraphic>& graphic)
{
    m_addressGraphic =
        graphic ? std::static_pointer_cast<AddressGraphic>(graphic->copy()) : nullptr;
    if (m_addressGraphic)
        m_addressGraphic->setDesignView(nullptr);
    showText();
}

void TooBigView::setAddressBlockText(const QString& text)
{
    m_addressBlockText = text;
    showText();
}

void TooBigView::setTooBigTextView(QPlainTextEdit* textView)
{
    m_addressBlockTextView = textView;
    if (!textView)
        return;
    textView->setParent(this);
    textView->setReadOnly(true);
    textView->setFrameStyle(QFrame::NoFrame);
    textView->setLineWrapMode(QPlainTextEdit::NoWrap);
    textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    textView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The frame drawn behind the text shows through.
    QPalette palette = textView->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    textView->setPalette(palette);
    textView->viewport()->setAutoFillBackground(false);
    textView->document()->setDocumentMargin(0);
    showText();
}

QRectF TooBigView::bottomDrawerRect() const
{
    const double viewWidth = width() / PointPainting::scaleOf(*this);
    if (!m_addressGraphic)
        return QRectF(0, 0, viewWidth, 70);
    const QRectF bounds = m_addressGraphic->bounds();
    return QRectF(bounds.x(), bounds.y(), viewWidth, bounds.height() + 70);
}

QRectF TooBigView::textFieldFrame() const
{
    const QSizeF size = m_addressGraphic ? m_addressGraphic->bounds().size() : QSizeF();
    return QRectF(fieldLeft, fieldTop, size.width() + 20, size.height() + 20);
}

QRectF TooBigView::verdictFrame() const
{
    if (!m_addressGraphic)
        return QRectF();
    const QSizeF size = m_addressGraphic->bounds().size();
    const QRectF field = textFieldFrame();
    return QRectF(field.x() + 1, field.y() + 2, size.width() - 4, size.height() + 2);
}

QColor TooBigView::verdictColor() const
{
    if (!m_addressGraphic)
        return QColor();
    const ArchivedFont font(m_addressGraphic->font().name(), m_addressGraphic->minimumPointSize());
    const TextMeasurer& measurer = TextMeasurer::shared();
    const QStringList lines = m_addressBlockText.split(QLatin1Char('\n'));
    float widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, measurer.widthOfString(line, font));
    const float lineHeight = measurer.heightOfString(QStringLiteral("Tg"), font);
    const QRectF frame = verdictFrame();
    const bool tooLarge = widest + 6 > frame.width() ||
                          lineHeight * float(lines.size()) + 2 > frame.height();
    return tooLarge ? tooLargeColor() : fitsColor();
}

void TooBigView::showText()
{
    if (!m_addressBlockTextView || !m_addressGraphic)
        return;
    QFont font(m_addressGraphic->font().name());
    font.setPointSizeF(m_addressGraphic->minimumPointSize());
    m_addressBlockTextView->setFont(font);
    m_addressBlockTextView->setPlainText(m_addressBlockText);
    const double scale = PointPainting::scaleOf(*this);
    const QRectF field = textFieldFrame();
    m_addressBlockTextView->setGeometry(
        QRectF(field.topLeft() * scale, field.size() * scale).toAlignedRect());
    update();
}

void TooBigView::paintEvent(QPaintEvent*)
{
    if (!m_addressGraphic)
        return;
    QPainter painter(this);
    PointPainting::scaleToPoints(painter);
    QPen pen(verdictColor(), 1);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(verdictFrame());
}
