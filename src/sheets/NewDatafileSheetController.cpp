#include "NewDatafileSheetController.h"

#include "Localization.h"

#include <QButtonGroup>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

void NewDatafileSheetController::buildInterface(QDialog* window)
{
    ModifyFieldsSheetController::buildInterface(window);
    window->setWindowTitle(localized(QStringLiteral("New Datafile")));
    // A new datafile has no empty fields to find and no Sync ID.
    highlightEmptyFIeldsButton()->hide();
    syncIDwarning()->hide();
}

void NewDatafileSheetController::addControlsAboveTable(QVBoxLayout* layout)
{
    m_desktopCell = new QRadioButton(localized(QStringLiteral("Desktop")));
    m_mobileCell = new QRadioButton(localized(QStringLiteral("Mobile")));
    m_isMobileMatrix = new QButtonGroup(this);
    m_isMobileMatrix->addButton(m_desktopCell, DesktopTag);
    m_isMobileMatrix->addButton(m_mobileCell, MobileTag);
    m_desktopCell->setChecked(true);
    auto* kind = new QHBoxLayout;
    kind->addWidget(new QLabel(localized(QStringLiteral("Kind of datafile:"))));
    kind->addWidget(m_desktopCell);
    kind->addWidget(m_mobileCell);
    kind->addStretch(1);
    layout->addLayout(kind);
}

void NewDatafileSheetController::beginNewDatafileForWindow(QWidget* window, const PlistDictionary&,
                                                           DidEndCallback didEnd)
{
    resetForFields(PlistArray());
    setHasSyncID(false);
    insertFieldButton()->setEnabled(true);
    beginSheetModalForWindow(window, std::move(didEnd));
}

bool NewDatafileSheetController::isMobile() const
{
    return m_isMobileMatrix->checkedId() == MobileTag;
}
