#include "CombineFilesSheetController.h"

#include "Localization.h"

#include <QButtonGroup>
#include <QRadioButton>

void CombineFilesSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    m_modes = new QButtonGroup(window);
    const std::pair<int, const char*> choices[] = {
        {AppendThenRemoveDuplicates, "Add the records, then remove duplicate records"},
        {NewRecordsOnTop, "Add the records before the records of this datafile"},
        {Append, "Add the records after the records of this datafile"}};
    for (const auto& [mode, title] : choices) {
        auto* button = new QRadioButton(localized(QString::fromLatin1(title)), contentArea());
        m_modes->addButton(button, mode);
        contentLayout()->addWidget(button);
    }
    m_modes->button(AppendThenRemoveDuplicates)->setChecked(true);
    setPrompt(localized(QStringLiteral("Merge the records of another datafile into this one:")));
    setWindowTitle(localized(QStringLiteral("Merge Datafiles")));
    setOkayTitle(localized(QStringLiteral("Merge…")));
}

void CombineFilesSheetController::beginCombineFilesForWindow(QWidget* window, DidEndCallback didEnd)
{
    beginSheetModalForWindow(window, std::move(didEnd));
}

int CombineFilesSheetController::combiningMode() const
{
    return m_modes ? m_modes->checkedId() : AppendThenRemoveDuplicates;
}

void CombineFilesSheetController::setCombiningMode(int mode)
{
    window(); // the choices exist before one is made
    if (QRadioButton* button = modeButton(mode))
        button->setChecked(true);
}

QRadioButton* CombineFilesSheetController::modeButton(int mode) const
{
    return m_modes ? qobject_cast<QRadioButton*>(m_modes->button(mode)) : nullptr;
}
