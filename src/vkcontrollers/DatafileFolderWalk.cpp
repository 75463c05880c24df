#include "DatafileFolderWalk.h"

#include "FileURL.h"
#include "PopUpButton.h"
#include "StringFormat.h"
#include "UserDefaults.h"
#include "VKFileManagerCategories.h"
#include "VKFilePathStringCategories.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <algorithm>

DatafileFolderWalk::DatafileFolderWalk(ItemMade itemMade, Options options)
    : m_itemMade(std::move(itemMade)), m_options(options)
{
}

std::optional<QString> DatafileFolderWalk::targetOfAlias(const QString& path)
{
    return VKFileManagerCategories::targetOfSymbolicLink(path);
}

QString DatafileFolderWalk::datafilesFolderPath()
{
    return FileURL::folderPath(UserDefaults::standardUserDefaults()
                                   .stringForKey(QStringLiteral("DatafilesFolderURL"))
                                   .value_or(QString()));
}

void DatafileFolderWalk::removeItemsFromIndex(QMenu* menu, qsizetype index)
{
    const QList<QAction*> items = menu->actions();
    for (qsizetype at = items.size() - 1; at >= index; --at) {
        QAction* item = items.at(at);
        menu->removeAction(item);
        if (QMenu* submenu = item->menu())
            delete submenu;
        else if (item->parent() == menu)
            delete item;
    }
}

void DatafileFolderWalk::scanDirectory(const QString& folderPath, QMenu* menu,
                                       PlistArray& array) const
{
    QStringList descent;
    scanDirectory(folderPath, menu, array, descent);
}

void DatafileFolderWalk::scanDirectory(const QString& folderPath, QMenu* menu, PlistArray& array,
                                       QStringList& descent) const
{
    QStringList names =
        QDir(folderPath)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Unsorted);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    // A link back to a folder being walked would be walked for ever.
    descent.append(VKFileManagerCategories::canonicalPathOrSelf(folderPath));
    const bool topFolder = descent.size() == 1;
    for (const QString& name : std::as_const(names)) {
        if (topFolder && m_options.leaveOutBackups && name == QLatin1String("Backups"))
            continue;
        const QString full = QDir(folderPath).filePath(name);
        const QString path = targetOfAlias(full).value_or(full);
        const QString base = VKFilePathStringCategories::nameWithoutExtension(name);
        const QFileInfo info(path);
        if (info.isDir() && !base.startsWith(QLatin1Char('.')) &&
            !descent.contains(VKFileManagerCategories::canonicalPathOrSelf(path))) {
            auto* submenu = new QMenu(base, menu);
            PlistArray items;
            scanDirectory(path, submenu, items, descent);
            if (items.isEmpty() && m_options.leaveOutEmptyFolders) {
                delete submenu;
            } else {
                menu->addMenu(submenu);
                array.append(PlistDictionary{{QStringLiteral("Name"), base},
                                             {QStringLiteral("Items"), items},
                                             {QStringLiteral("IsGroup"), QStringLiteral("YES")}});
            }
        }
        const QString extension = info.suffix();
        if (extension != QLatin1String("nv3") && extension != QLatin1String("nvm"))
            continue;
        const QString title = extension == QLatin1String("nvm")
                                  ? stringWithFormat(QStringLiteral("%@.nvm"), base)
                                  : base;
        QAction* item = menu->addAction(title);
        PopUpButton::setRepresentedObject(item, path);
        if (m_itemMade)
            m_itemMade(item);
        array.append(
            PlistDictionary{{QStringLiteral("Name"), base}, {QStringLiteral("Path"), path}});
    }
    descent.removeLast();
}
