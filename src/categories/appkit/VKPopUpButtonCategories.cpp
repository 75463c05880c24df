#include "VKPopUpButtonCategories.h"

#include "PopUpButton.h"

#include <QAction>
#include <QMenu>

namespace VKPopUpButtonCategories {

QAction* addItemWithTitle(PopUpButton* popUp, const QString& title, int tag,
                          const QVariant& representedObject)
{
    auto* item = new QAction(title, popUp->menu());
    PopUpButton::setTag(item, tag);
    PopUpButton::setRepresentedObject(item, representedObject);
    popUp->menu()->addAction(item);
    popUp->synchronizeTitleAndSelectedItem();
    return item;
}

} // namespace VKPopUpButtonCategories
