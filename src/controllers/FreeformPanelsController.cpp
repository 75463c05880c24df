#include "FreeformPanelsController.h"

#include "EditorWindowController.h"
#include "FreeformTextCommands.h"
#include "FreeformTextEdits.h"
#include "FreeformTextView.h"
#include "Localization.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>

namespace {

// A new table's columns: an inch and a half.
constexpr qreal TableColumnWidth = 108;

struct MarkerChoice {
    const char* title;
    QTextListFormat::Style style;
};
const MarkerChoice markerChoices[] = {
    {"\u2022 Bullet", QTextListFormat::ListDisc},
    {"\u25E6 Hollow bullet", QTextListFormat::ListCircle},
    {"\u25AA Square", QTextListFormat::ListSquare},
    {"1. 2. 3.", QTextListFormat::ListDecimal},
    {"a. b. c.", QTextListFormat::ListLowerAlpha},
    {"A. B. C.", QTextListFormat::ListUpperAlpha},
    {"i. ii. iii.", QTextListFormat::ListLowerRoman},
    {"I. II. III.", QTextListFormat::ListUpperRoman},
};

QDoubleSpinBox* pointsBox(QWidget* parent)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setRange(0, 288);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" pt"));
    return box;
}

} // namespace

FreeformPanelsController::FreeformPanelsController(EditorWindowController& editor) : m_editor(editor)
{
    using Self = FreeformPanelsController;
    const auto on = [this](const char* selector, void (Self::*command)()) {
        m_editor.registerAction(QString::fromLatin1(selector),
                                [this, command](QObject*) { (this->*command)(); });
    };
    on("orderFrontLinkPanel:", &Self::orderFrontLinkPanel);
    on("orderFrontListPanel:", &Self::orderFrontListPanel);
    on("orderFrontSpacingPanel:", &Self::orderFrontSpacingPanel);
    on("orderFrontTablePanel:", &Self::orderFrontTablePanel);
}

FreeformPanelsController::~FreeformPanelsController()
{
    for (TextPanel* panel : {m_linkPanel.data(), m_listPanel.data(), m_spacingPanel.data(),
                             m_tablePanel.data()})
        delete panel;
}

bool FreeformPanelsController::mayEdit() const
{
    return m_editor.textCommands().textAreaEditable();
}

void FreeformPanelsController::showSelectionInPanels()
{
    const FreeformTextView* view = m_editor.freeformTextView();
    if (m_link)
        m_link->setText(FreeformTextEdits::formatAtSelectionStart(view).anchorHref());
    const QTextBlockFormat paragraph = view->textCursor().blockFormat();
    if (m_lineHeight)
        m_lineHeight->setValue(paragraph.lineHeightType() == QTextBlockFormat::ProportionalHeight
                                   ? paragraph.lineHeight() / 100.0
                                   : 1.0);
    if (m_spaceBefore)
        m_spaceBefore->setValue(paragraph.topMargin());
    if (m_spaceAfter)
        m_spaceAfter->setValue(paragraph.bottomMargin());
}

void FreeformPanelsController::orderFrontLinkPanel()
{
    if (!m_linkPanel) {
        m_linkPanel = new TextPanel(localized(QStringLiteral("Link")), m_editor.window());
        m_link = new QLineEdit(m_linkPanel);
        m_link->setPlaceholderText(QStringLiteral("https://"));
        m_linkPanel->form()->addRow(localized(QStringLiteral("Address:")), m_link);
        m_linkPanel->addButton(localized(QStringLiteral("Remove Link")), [this] { removeLink(); });
        m_linkPanel->addButton(localized(QStringLiteral("Set Link")), [this] { setLink(); });
    }
    showSelectionInPanels();
    m_linkPanel->orderFront();
}

void FreeformPanelsController::setLink()
{
    const QString url = m_link->text().trimmed();
    if (!mayEdit() || url.isEmpty())
        return;
    m_editor.freeformTextView()->setLinkOnSelection(url);
}

void FreeformPanelsController::removeLink()
{
    if (mayEdit())
        m_editor.freeformTextView()->removeLinkFromSelection();
}

void FreeformPanelsController::orderFrontListPanel()
{
    if (!m_listPanel) {
        m_listPanel = new TextPanel(localized(QStringLiteral("Lists")), m_editor.window());
        m_marker = new QComboBox(m_listPanel);
        for (const MarkerChoice& choice : markerChoices)
            m_marker->addItem(localized(QString::fromUtf8(choice.title)), int(choice.style));
        m_listPanel->form()->addRow(localized(QStringLiteral("Marker:")), m_marker);
        m_listPanel->addButton(localized(QStringLiteral("Remove List")), [this] { removeList(); });
        m_listPanel->addButton(localized(QStringLiteral("Apply")), [this] { applyList(); });
    }
    m_listPanel->orderFront();
}

void FreeformPanelsController::applyList()
{
    if (!mayEdit())
        return;
    QTextCursor selection = m_editor.freeformTextView()->textCursor();
    QTextListFormat format;
    format.setStyle(QTextListFormat::Style(m_marker->currentData().toInt()));
    format.setIndent(1);
    selection.beginEditBlock();
    if (QTextList* list = selection.currentList())
        list->setFormat(format);
    else
        selection.createList(format);
    selection.endEditBlock();
}

void FreeformPanelsController::removeList()
{
    if (!mayEdit())
        return;
    const QTextCursor selection = m_editor.freeformTextView()->textCursor();
    QTextCursor edit(selection);
    edit.beginEditBlock();
    for (QTextBlock block = selection.document()->findBlock(selection.selectionStart());
         block.isValid() && block.position() <= selection.selectionEnd(); block = block.next()) {
        if (QTextList* list = block.textList()) {
            list->remove(block);
            QTextBlockFormat unindented = block.blockFormat();
            unindented.setIndent(0);
            QTextCursor(block).setBlockFormat(unindented);
        }
    }
    edit.endEditBlock();
}

void FreeformPanelsController::orderFrontSpacingPanel()
{
    if (!m_spacingPanel) {
        m_spacingPanel = new TextPanel(localized(QStringLiteral("Spacing")), m_editor.window());
        m_lineHeight = new QDoubleSpinBox(m_spacingPanel);
        m_lineHeight->setRange(0.5, 5.0);
        m_lineHeight->setSingleStep(0.25);
        m_lineHeight->setSuffix(localized(QStringLiteral(" times")));
        m_spaceBefore = pointsBox(m_spacingPanel);
        m_spaceAfter = pointsBox(m_spacingPanel);
        m_spacingPanel->form()->addRow(localized(QStringLiteral("Line height:")), m_lineHeight);
        m_spacingPanel->form()->addRow(localized(QStringLiteral("Before paragraph:")), m_spaceBefore);
        m_spacingPanel->form()->addRow(localized(QStringLiteral("After paragraph:")), m_spaceAfter);
        m_spacingPanel->addButton(localized(QStringLiteral("Apply")), [this] { applySpacing(); });
    }
    showSelectionInPanels();
    m_spacingPanel->orderFront();
}

void FreeformPanelsController::applySpacing()
{
    if (!mayEdit())
        return;
    const double multiple = m_lineHeight->value();
    const double before = m_spaceBefore->value();
    const double after = m_spaceAfter->value();
    FreeformTextEdits::changeParagraphFormats(
        m_editor.freeformTextView()->textCursor(), [&](QTextBlockFormat& format) {
            if (qFuzzyCompare(multiple, 1.0)) {
                format.clearProperty(QTextFormat::LineHeight);
                format.clearProperty(QTextFormat::LineHeightType);
            } else {
                format.setLineHeight(multiple * 100.0, QTextBlockFormat::ProportionalHeight);
            }
            format.setTopMargin(before);
            format.setBottomMargin(after);
        });
}

void FreeformPanelsController::orderFrontTablePanel()
{
    if (!m_tablePanel) {
        m_tablePanel = new TextPanel(localized(QStringLiteral("Table")), m_editor.window());
        m_rows = new QSpinBox(m_tablePanel);
        m_rows->setRange(1, 100);
        m_rows->setValue(2);
        m_columns = new QSpinBox(m_tablePanel);
        m_columns->setRange(1, 20);
        m_columns->setValue(2);
        m_tablePanel->form()->addRow(localized(QStringLiteral("Rows:")), m_rows);
        m_tablePanel->form()->addRow(localized(QStringLiteral("Columns:")), m_columns);
        m_tablePanel->addButton(localized(QStringLiteral("Add Row")), [this] { addTableRow(); });
        m_tablePanel->addButton(localized(QStringLiteral("Add Column")), [this] { addTableColumn(); });
        m_tablePanel->addButton(localized(QStringLiteral("Insert Table")), [this] { insertTable(); });
    }
    m_tablePanel->orderFront();
}

void FreeformPanelsController::insertTable()
{
    if (!mayEdit())
        return;
    QTextCursor cursor = m_editor.freeformTextView()->textCursor();
    QTextTableFormat format;
    format.setBorder(1);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    // Room to type in from the start, as wide as the stored text says.
    format.setColumnWidthConstraints(
        QList<QTextLength>(m_columns->value(), QTextLength(QTextLength::FixedLength, TableColumnWidth)));
    const QTextTable* table = cursor.insertTable(m_rows->value(), m_columns->value(), format);
    m_editor.freeformTextView()->setTextCursor(table->cellAt(0, 0).firstCursorPosition());
}

void FreeformPanelsController::addTableRow()
{
    const QTextCursor cursor = m_editor.freeformTextView()->textCursor();
    QTextTable* table = cursor.currentTable();
    if (!mayEdit() || !table)
        return;
    table->insertRows(table->cellAt(cursor).row() + 1, 1);
}

void FreeformPanelsController::addTableColumn()
{
    const QTextCursor cursor = m_editor.freeformTextView()->textCursor();
    QTextTable* table = cursor.currentTable();
    if (!mayEdit() || !table)
        return;
    table->insertColumns(table->cellAt(cursor).column() + 1, 1);
}
