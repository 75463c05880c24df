#include "FieldToolFontController.h"

#include "DesignToolPaletteController.h"
#include "FieldGraphic.h"
#include "Localization.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "ShownFont.h"
#include "VKPopUpButtonCategories.h"

#include <QAction>
#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FieldToolFontController::FieldToolFontController()
{
    registerAction(QStringLiteral("selectFieldFont:"), [this](QObject*) { selectFieldFont(); });
    registerAction(QStringLiteral("selectFieldName:"), [this](QObject*) { selectFieldName(); });
    registerAction(QStringLiteral("setMinimumPointSizeFromStepper:"),
                   [this](QObject*) { setMinimumPointSizeFromStepper(); });
}

void FieldToolFontController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Field Font")));
    auto* grid = new QGridLayout;
    m_fieldNamesPopup = new PopUpButton;
    grid->addWidget(new QLabel(localized(QStringLiteral("Field:"))), 0, 0);
    grid->addWidget(m_fieldNamesPopup, 0, 1, Qt::AlignLeft);
    m_fieldAlignmentMatrix = addFontRows(grid, 1);
    selectCell(m_fieldAlignmentMatrix, 0);
    connect(m_fieldNamesPopup, &PopUpButton::activated, this,
            [this] { performAction(QStringLiteral("selectFieldName:"), m_fieldNamesPopup); });
    connectButton(textFontButton(), QStringLiteral("selectFieldFont:"));
    connect(minimumPointSizeStepper(), &QDoubleSpinBox::valueChanged, this, [this] {
        performAction(QStringLiteral("setMinimumPointSizeFromStepper:"), minimumPointSizeStepper());
    });
    auto* box = new QVBoxLayout(window);
    box->addLayout(grid);
    box->addStretch(1);
    box->addLayout(makeButtonRow());
}

void FieldToolFontController::beginSheetWithFieldNames(
    const std::optional<QStringList>& fieldNames, DesignToolPaletteController* modalDelegate,
    DidEndCallback didEnd, const std::shared_ptr<FieldGraphic>& contextInfo)
{
    m_fieldNamesPopup->removeAllItems();
    const QStringList names = fieldNames.value_or(QStringList());
    for (int index = 0; index < int(names.size()); ++index)
        VKPopUpButtonCategories::addItemWithTitle(m_fieldNamesPopup, names.at(index), index);
    beginSheet(modalDelegate, std::move(didEnd));
    if (!names.isEmpty()) {
        if (contextInfo) {
            m_fieldName = contextInfo->fieldName();
            selectCell(m_fieldAlignmentMatrix, contextInfo->fieldAlignment());
            setMinimumPointSize(contextInfo->minimumPointSize());
            setFont(contextInfo->font());
        } else if (modalDelegate) {
            // Each new field graphic is offered the field after the one last confirmed,
            // the first again after the last.
            const qsizetype last = names.indexOf(modalDelegate->defaultFieldName());
            const qsizetype next = last >= 0 && last + 1 < names.size() ? last + 1 : 0;
            m_fieldName = names.at(next);
            setMinimumPointSize(modalDelegate->defaultFieldMinimumPointSize());
            const ArchivedFont& defaultFont = modalDelegate->defaultFieldFont();
            if (defaultFont.name().isEmpty())
                clearFont();
            else
                setFont(defaultFont);
        }
        for (QAction* item : m_fieldNamesPopup->itemArray())
            if (item->text() == m_fieldName)
                m_fieldNamesPopup->selectItem(item);
    }
    setFont(font());
    updateFontStat();
    updateText();
    maintainButtons();
    standCentred();
}

void FieldToolFontController::selectFieldName()
{
    m_fieldName = m_fieldNamesPopup->titleOfSelectedItem();
}

void FieldToolFontController::setMinimumPointSizeFromStepper()
{
    setMinimumPointSize(float(minimumPointSizeStepper()->value()));
}

void FieldToolFontController::changeFont(const QFont& picked)
{
    setFont(archivedFont(picked));
    updateFontStat();
}

bool FieldToolFontController::maintainButtons()
{
    // Without a field to show there is nothing to confirm.
    if (okayButton())
        okayButton()->setEnabled(m_fieldNamesPopup->numberOfItems() > 0);
    return true;
}

void FieldToolFontController::okay(QObject* sender)
{
    if (m_fieldNamesPopup->numberOfItems() == 0)
        return;
    Presenter::shared().closeFontPanel();
    DesignToolPaletteController* palette = modalDelegate();
    selectFieldName();
    const ArchivedFont chosen = font();
    setFont(chosen);
    m_fieldAlignment = alignmentFromButtons();
    const float minimum = stepperMinimumPointSize();
    setMinimumPointSize(minimum);
    if (palette) {
        palette->setCurrentFieldName(m_fieldName);
        palette->setCurrentFieldFont(chosen);
        palette->setCurrentFieldAlignment(m_fieldAlignment);
        palette->setFieldMinimumPointSize(minimum);
    }
    ToolFontSheetController::okay(sender);
}

void FieldToolFontController::recycle()
{
    m_fieldName.clear();
    ToolFontSheetController::recycle();
}
