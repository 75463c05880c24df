#pragma once

#include <QString>
#include <QVariant>

class PopUpButton;
class QAction;

// Adding items to a pop-up by tag. Items with equal titles are all kept.
namespace VKPopUpButtonCategories {

// A new item without an action, appended to the pop-up's menu; the pop-up's title then
// follows its selected item.
QAction* addItemWithTitle(PopUpButton* popUp, const QString& title, int tag,
                          const QVariant& representedObject = QVariant());

} // namespace VKPopUpButtonCategories
