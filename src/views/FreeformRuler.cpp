#include "FreeformRuler.h"

#include "Localization.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace {

struct AlignmentChoice {
    const char* title;
    Qt::Alignment alignment;
};
const AlignmentChoice alignmentChoices[] = {{"Left", Qt::AlignLeft},
                                            {"Center", Qt::AlignHCenter},
                                            {"Justify", Qt::AlignJustify},
                                            {"Right", Qt::AlignRight}};

// Line spacings offered, as multiples of the line: 100 is single.
const int spacingChoices[] = {100, 115, 150, 200};

} // namespace

FreeformTabStrip::FreeformTabStrip(QWidget* parent) : QWidget(parent)
{
    setToolTip(localized(QStringLiteral("Click to set or remove a left tab stop.")));
}

QSize FreeformTabStrip::sizeHint() const
{
    return {360, 18};
}

void FreeformTabStrip::setTabs(const QList<qreal>& tabs)
{
    m_tabs = tabs;
    std::sort(m_tabs.begin(), m_tabs.end());
    update();
}

void FreeformTabStrip::clickAt(qreal points)
{
    const qreal stop = std::max<qreal>(Step, std::round(points / Step) * Step);
    QList<qreal> tabs = m_tabs;
    const auto near = std::find_if(tabs.begin(), tabs.end(),
                                   [&](qreal tab) { return std::abs(tab - points) < Step / 2; });
    if (near != tabs.end())
        tabs.erase(near);
    else
        tabs.append(stop);
    setTabs(tabs);
    Q_EMIT tabsChosen(m_tabs);
}

void FreeformTabStrip::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        clickAt(event->position().x());
}

void FreeformTabStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().color(QPalette::Mid));
    for (int x = 0; x < width(); x += int(Step)) {
        const int tick = x % 72 == 0 ? height() / 2 : (x % 36 == 0 ? height() / 3 : height() / 6);
        painter.drawLine(x, height() - tick, x, height());
    }
    painter.setPen(palette().color(QPalette::Text));
    for (const qreal tab : m_tabs) {
        const int x = int(tab);
        // An "L": the left tab's mark.
        painter.drawLine(x, 2, x, height() - 3);
        painter.drawLine(x, height() - 3, x + 5, height() - 3);
    }
}

FreeformRuler::FreeformRuler(QTextEdit* text, std::function<bool()> mayEdit, QWidget* parent)
    : QWidget(parent), m_text(text), m_mayEdit(std::move(mayEdit)),
      m_alignments(new QButtonGroup(this)), m_spacing(new QComboBox(this)),
      m_indent(new QDoubleSpinBox(this)), m_firstLine(new QDoubleSpinBox(this)),
      m_tabs(new FreeformTabStrip(this))
{
    setAutoFillBackground(true);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    for (const AlignmentChoice& choice : alignmentChoices) {
        auto* button = new QToolButton(this);
        button->setText(localized(QString::fromLatin1(choice.title)));
        button->setCheckable(true);
        m_alignments->addButton(button, int(choice.alignment));
        row->addWidget(button);
    }
    m_alignments->setExclusive(true);
    for (const int spacing : spacingChoices)
        m_spacing->addItem(QString::number(spacing / 100.0, 'f', spacing % 10 ? 2 : 1), spacing);
    m_spacing->setToolTip(localized(QStringLiteral("Line spacing")));
    row->addWidget(m_spacing);
    for (QDoubleSpinBox* box : {m_indent, m_firstLine}) {
        box->setRange(0, 720);
        box->setSuffix(QStringLiteral(" pt"));
        box->setDecimals(0);
        box->setKeyboardTracking(false);
    }
    row->addWidget(new QLabel(localized(QStringLiteral("Indent")), this));
    row->addWidget(m_indent);
    row->addWidget(new QLabel(localized(QStringLiteral("First line")), this));
    row->addWidget(m_firstLine);
    row->addWidget(m_tabs, 1);

    connect(m_alignments, &QButtonGroup::idClicked, this, [this](int id) {
        setParagraphs([id](QTextBlockFormat& format) { format.setAlignment(Qt::Alignment(id)); });
    });
    connect(m_spacing, &QComboBox::activated, this, [this](int index) {
        const int spacing = m_spacing->itemData(index).toInt();
        setParagraphs([spacing](QTextBlockFormat& format) {
            if (spacing == 100) {
                format.clearProperty(QTextFormat::LineHeight);
                format.clearProperty(QTextFormat::LineHeightType);
            } else {
                format.setLineHeight(spacing, QTextBlockFormat::ProportionalHeight);
            }
        });
    });
    connect(m_indent, &QDoubleSpinBox::valueChanged, this, [this](double points) {
        setParagraphs([points](QTextBlockFormat& format) { format.setLeftMargin(points); });
    });
    connect(m_firstLine, &QDoubleSpinBox::valueChanged, this, [this](double points) {
        setParagraphs([points](QTextBlockFormat& format) { format.setTextIndent(points); });
    });
    connect(m_tabs, &FreeformTabStrip::tabsChosen, this, [this](const QList<qreal>& tabs) {
        QList<QTextOption::Tab> stops;
        for (const qreal tab : tabs)
            stops.append(QTextOption::Tab(tab, QTextOption::LeftTab));
        setParagraphs([&stops](QTextBlockFormat& format) { format.setTabPositions(stops); });
    });
    connect(m_text, &QTextEdit::cursorPositionChanged, this, &FreeformRuler::showParagraph);
    showParagraph();
}

void FreeformRuler::showParagraph()
{
    m_showing = true;
    const QTextBlockFormat format = m_text->textCursor().blockFormat();
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    const Qt::Alignment shown = alignment & Qt::AlignJustify   ? Qt::AlignJustify
                                : alignment & Qt::AlignHCenter ? Qt::AlignHCenter
                                : alignment & Qt::AlignRight   ? Qt::AlignRight
                                                               : Qt::AlignLeft;
    if (QAbstractButton* button = m_alignments->button(int(shown)))
        button->setChecked(true);
    const int spacing = format.lineHeightType() == QTextBlockFormat::ProportionalHeight
                            ? int(format.lineHeight())
                            : 100;
    m_spacing->setCurrentIndex(std::max(0, m_spacing->findData(spacing)));
    m_indent->setValue(format.leftMargin());
    m_firstLine->setValue(format.textIndent());
    QList<qreal> tabs;
    for (const QTextOption::Tab& tab : format.tabPositions())
        if (tab.type == QTextOption::LeftTab)
            tabs.append(tab.position);
    m_tabs->setTabs(tabs);
    m_showing = false;
}

void FreeformRuler::setParagraphs(const std::function<void(QTextBlockFormat&)>& change)
{
    if (m_showing)
        return;
    if (m_mayEdit && !m_mayEdit()) {
        showParagraph();
        return;
    }
    const QTextCursor selection = m_text->textCursor();
    QTextDocument* document = m_text->document();
    QTextCursor paragraphs(document);
    paragraphs.beginEditBlock();
    const QTextBlock last = document->findBlock(selection.selectionEnd());
    for (QTextBlock block = document->findBlock(selection.selectionStart()); block.isValid();
         block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        change(format);
        QTextCursor(block).setBlockFormat(format);
        if (block == last)
            break;
    }
    paragraphs.endEditBlock();
}
