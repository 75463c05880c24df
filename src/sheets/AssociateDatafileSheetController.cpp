#include "AssociateDatafileSheetController.h"

#include "DatafileFolderWalk.h"
#include "Localization.h"
#include "PopUpButton.h"

#include <QAction>
#include <QMenu>

void AssociateDatafileSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Associate Datafile")));
    setPrompt(
        localized(QStringLiteral("Choose the datafile that supplies this template's records.")));
    m_datafilesPopup = new PopUpButton(contentArea());
    m_datafilesPopup->setObjectName(QStringLiteral("datafilesPopup"));
    m_datafilesPopup->menu()->addAction(localized(QStringLiteral("Select Datafile")));
    contentLayout()->addWidget(m_datafilesPopup);
}

void AssociateDatafileSheetController::recycle()
{
    VKSheetController::recycle();
    m_specifiedDatafile = nullptr;
}

void AssociateDatafileSheetController::beginDatafileSheetForWindow(QWidget* window,
                                                                   DidEndCallback didEnd)
{
    this->window();
    m_specifiedDatafile = nullptr;
    beginSheetModalForWindow(window, std::move(didEnd));
    updateDatafilesMenu();
    m_datafilesPopup->selectItemAtIndex(0);
}

void AssociateDatafileSheetController::updateDatafilesMenu()
{
    this->window();
    QMenu* menu = m_datafilesPopup->menu();
    DatafileFolderWalk::removeItemsFromIndex(menu, 1);
    QAction* none = menu->addAction(localized(QStringLiteral("None")));
    connect(none, &QAction::triggered, this, [this] { specifyNoDatafile(); });
    menu->addSeparator();
    const QString folder = DatafileFolderWalk::datafilesFolderPath();
    PlistArray unused;
    if (!folder.isEmpty())
        DatafileFolderWalk([this](QAction* item) {
            connect(item, &QAction::triggered, this, [this, item] { specifyDatafile(item); });
        }).scanDirectory(folder, menu, unused);
    m_datafilesPopup->synchronizeTitleAndSelectedItem();
}

void AssociateDatafileSheetController::specifyDatafile(QAction* item)
{
    m_specifiedDatafile = item;
    okay();
}

void AssociateDatafileSheetController::specifyNoDatafile()
{
    m_specifiedDatafile = nullptr;
    okay();
}
