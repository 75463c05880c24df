#pragma once

#include "PlistValue.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QAction;
class QMenu;

// The walk over a datafiles folder that fills a menu with its datafiles, sub-folders as
// submenus, for every pop-up that lets the user pick a datafile. Names are sorted without
// regard to case; a mobile datafile shows its extension; links are followed, except one
// back to a folder being walked. Each datafile's item carries its path (a link's target)
// as represented object and gets its action from the caller.
class DatafileFolderWalk {
public:
    // Called with each datafile's item once it is in its menu.
    using ItemMade = std::function<void(QAction* item)>;

    struct Options {
        // A sub-folder without datafiles is left out rather than shown empty.
        bool leaveOutEmptyFolders = false;
        // The top folder's "Backups" holds copies, not datafiles to offer.
        bool leaveOutBackups = false;
    };

    explicit DatafileFolderWalk(ItemMade itemMade, Options options);
    explicit DatafileFolderWalk(ItemMade itemMade)
        : DatafileFolderWalk(std::move(itemMade), Options{})
    {
    }

    // Appends the folder's items to the menu and an entry {"Name", "Path"} or
    // {"Name", "Items", "IsGroup": "YES"} per item to the array. An unreadable or missing
    // folder adds nothing.
    void scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array) const;
    // Where a link points; none for anything else or a link that leads nowhere.
    static std::optional<QString> targetOfAlias(const QString& path);
    // The datafiles folder of the user defaults ("DatafilesFolderURL"); empty without one.
    static QString datafilesFolderPath();
    // Takes the menu's items from the index on away, submenus with their items.
    static void removeItemsFromIndex(QMenu* menu, qsizetype index);

private:
    void scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array,
                       QStringList& descent) const;

    ItemMade m_itemMade;
    Options m_options;
};
