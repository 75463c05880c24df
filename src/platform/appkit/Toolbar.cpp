#include "Toolbar.h"

#include "ActionRouter.h"
#include "Localization.h"
#include "SystemLog.h"
#include "ToolbarCustomizationDialog.h"
#include "ToolbarDelegate.h"
#include "ToolbarItem.h"
#include "UserDefaults.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>
#include <QWidgetAction>

#include <cmath>

namespace {

const char* const toolbarProperty = "norvaToolbar";

QIcon standardImage(const QString& name)
{
    return QIcon(QStringLiteral(":/appkit/toolbar/%1.svg").arg(name));
}

QSize ceilSize(const QSizeF& size)
{
    return QSize(int(std::ceil(size.width())), int(std::ceil(size.height())));
}

// Sizes come from callers' arithmetic; a negative, NaN or huge one is no size at all.
bool hasSize(const QSizeF& size)
{
    return size.width() > 0 && size.height() > 0 && std::isfinite(size.width()) &&
           std::isfinite(size.height()) && size.width() < QWIDGETSIZE_MAX &&
           size.height() < QWIDGETSIZE_MAX;
}

} // namespace

QString Toolbar::configurationKey(const QString& identifier)
{
    return ConfigurationKeyPrefix + identifier;
}

Toolbar::Toolbar(const QString& identifier, QObject* parent)
    : QObject(parent), m_identifier(identifier), m_bar(new QToolBar),
      m_binding([this] { return ActionRouter::firstResponderForWindow(m_window); })
{
    m_bar->setObjectName(QStringLiteral("Toolbar ") + identifier);
    m_bar->setMovable(false);
    m_bar->setFloatable(false);
    // The window's own menu over its bars would hide the bar without the toolbar knowing.
    m_bar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_bar->toggleViewAction()->setVisible(false);
}

Toolbar::~Toolbar()
{
    delete m_palette;
    for (const Entry& entry : m_entries) {
        if (entry.item)
            disconnect(entry.item, nullptr, this, nullptr);
    }
    m_entries.clear();
    returnLentViews();
    uninstall();
    if (m_bar) {
        // A click on one of the bar's buttons may be what replaces this toolbar: a bar
        // still in a window goes once that click is over (or with the window).
        if (m_bar->parent()) {
            m_bar->hide();
            m_bar->deleteLater();
        } else {
            delete m_bar;
        }
    }
}

void Toolbar::setAllowsUserCustomization(bool allows)
{
    m_allowsUserCustomization = allows;
    for (const Entry& entry : m_entries) {
        if (entry.item &&
            entry.item->itemIdentifier() == ToolbarItem::CustomizeToolbarItemIdentifier)
            entry.item->setEnabled(allows);
    }
}

void Toolbar::setAutosavesConfiguration(bool autosaves)
{
    if (autosaves == m_autosaves)
        return;
    m_autosaves = autosaves;
    if (autosaves)
        restoreSavedConfiguration();
}

void Toolbar::setDisplayMode(DisplayMode mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    if (m_loaded)
        rebuildBar();
    configurationDidChange();
}

void Toolbar::setSizeMode(SizeMode mode)
{
    if (mode == m_sizeMode)
        return;
    m_sizeMode = mode;
    if (m_loaded)
        rebuildBar();
    configurationDidChange();
}

void Toolbar::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (m_window)
        m_bar->setVisible(visible);
    configurationDidChange();
}

QList<ToolbarItem*> Toolbar::items()
{
    loadItems();
    QList<ToolbarItem*> result;
    for (const Entry& entry : m_entries) {
        if (entry.item)
            result.append(entry.item);
    }
    return result;
}

QStringList Toolbar::itemIdentifiers()
{
    QStringList result;
    for (ToolbarItem* item : items())
        result.append(item->itemIdentifier());
    return result;
}

bool Toolbar::canInsertItemWithItemIdentifier(const QString& identifier)
{
    if (!ToolbarItem::isRepeatableItemIdentifier(identifier) &&
        itemIdentifiers().contains(identifier))
        return false;
    if (ToolbarItem::isStandardItemIdentifier(identifier))
        return true;
    return m_delegate && m_delegate->toolbarItemForItemIdentifier(this, identifier, false);
}

bool Toolbar::insertItemWithItemIdentifier(const QString& identifier, qsizetype index)
{
    loadItems();
    if (!insertEntry(identifier, index))
        return false;
    rebuildBar();
    configurationDidChange();
    return true;
}

void Toolbar::removeItemAtIndex(qsizetype index)
{
    loadItems();
    if (index < 0 || index >= qsizetype(m_entries.size()))
        return;
    removeEntry(index);
    rebuildBar();
    configurationDidChange();
}

void Toolbar::setItemIdentifiers(const QStringList& identifiers)
{
    if (!m_loaded) {
        // The delegate may not have its items yet: they are made when first needed.
        m_savedIdentifiers = identifiers;
    } else {
        while (!m_entries.empty())
            removeEntry(qsizetype(m_entries.size()) - 1);
        for (const QString& identifier : identifiers)
            insertEntry(identifier, qsizetype(m_entries.size()));
        rebuildBar();
    }
    configurationDidChange();
}

QStringList Toolbar::allowedItemIdentifiers()
{
    return m_delegate ? m_delegate->toolbarAllowedItemIdentifiers(this) : QStringList();
}

QStringList Toolbar::defaultItemIdentifiers()
{
    return m_delegate ? m_delegate->toolbarDefaultItemIdentifiers(this) : QStringList();
}

ToolbarItem* Toolbar::paletteItemForItemIdentifier(const QString& identifier)
{
    if (ToolbarItem::isStandardItemIdentifier(identifier)) {
        auto& made = m_paletteItems[identifier];
        if (!made)
            made = makeStandardItem(identifier);
        return made.get();
    }
    return m_delegate ? m_delegate->toolbarItemForItemIdentifier(this, identifier, false) : nullptr;
}

void Toolbar::loadItems()
{
    if (m_loaded || !m_delegate)
        return;
    m_loaded = true;
    const QStringList identifiers =
        m_savedIdentifiers ? *m_savedIdentifiers : m_delegate->toolbarDefaultItemIdentifiers(this);
    m_savedIdentifiers.reset();
    for (const QString& identifier : identifiers)
        insertEntry(identifier, qsizetype(m_entries.size()));
    rebuildBar();
}

bool Toolbar::insertEntry(const QString& identifier, qsizetype index)
{
    if (!canInsertItemWithItemIdentifier(identifier))
        return false;
    Entry entry;
    if (ToolbarItem::isStandardItemIdentifier(identifier)) {
        entry.owned = makeStandardItem(identifier);
        entry.item = entry.owned.get();
    } else {
        entry.item = m_delegate->toolbarItemForItemIdentifier(this, identifier, true);
        if (!entry.item)
            return false;
    }
    ToolbarItem* item = entry.item;
    if (index < 0 || index > qsizetype(m_entries.size()))
        index = qsizetype(m_entries.size());
    if (m_delegate)
        m_delegate->toolbarWillAddItem(this, item);
    m_entries.insert(m_entries.begin() + index, std::move(entry));
    connect(item, &ToolbarItem::appearanceChanged, this, &Toolbar::rebuildBar);
    connect(item, &ToolbarItem::actionChanged, this, [this, item] { bindItem(item); });
    // The delegate may let an item go while it is shown.
    connect(item, &QObject::destroyed, this, [this] {
        // By now the entry's guard reads null.
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (!it->item) {
                m_entries.erase(it);
                break;
            }
        }
        rebuildBar();
    });
    return true;
}

void Toolbar::removeEntry(qsizetype index)
{
    Entry entry = std::move(m_entries[size_t(index)]);
    m_entries.erase(m_entries.begin() + index);
    if (ToolbarItem* item = entry.item) {
        disconnect(item, nullptr, this, nullptr);
        unbindItem(item);
        if (m_delegate)
            m_delegate->toolbarDidRemoveItem(this, item);
    }
}

std::unique_ptr<ToolbarItem> Toolbar::makeStandardItem(const QString& identifier)
{
    auto item = std::make_unique<ToolbarItem>(identifier);
    if (identifier == ToolbarItem::SeparatorItemIdentifier) {
        item->setPaletteLabel(localized(QStringLiteral("Separator")));
    } else if (identifier == ToolbarItem::SpaceItemIdentifier) {
        item->setPaletteLabel(localized(QStringLiteral("Space")));
    } else if (identifier == ToolbarItem::FlexibleSpaceItemIdentifier) {
        item->setPaletteLabel(localized(QStringLiteral("Flexible Space")));
    } else if (identifier == ToolbarItem::ShowFontsItemIdentifier) {
        item->setLabel(localized(QStringLiteral("Fonts")));
        item->setPaletteLabel(localized(QStringLiteral("Fonts")));
        item->setToolTip(localized(QStringLiteral("Show the Fonts panel")));
        item->setImage(standardImage(QStringLiteral("ShowFonts")));
        item->setAction(QStringLiteral("orderFrontFontPanel:"));
    } else if (identifier == ToolbarItem::ShowColorsItemIdentifier) {
        item->setLabel(localized(QStringLiteral("Colors")));
        item->setPaletteLabel(localized(QStringLiteral("Colors")));
        item->setToolTip(localized(QStringLiteral("Show the Colors panel")));
        item->setImage(standardImage(QStringLiteral("ShowColors")));
        item->setAction(QStringLiteral("orderFrontColorPanel:"));
    } else if (identifier == ToolbarItem::CustomizeToolbarItemIdentifier) {
        item->setLabel(localized(QStringLiteral("Customize")));
        item->setPaletteLabel(localized(QStringLiteral("Customize")));
        item->setToolTip(localized(QStringLiteral("Customize this toolbar")));
        item->setImage(standardImage(QStringLiteral("Customize")));
        item->setEnabled(m_allowsUserCustomization);
        ToolbarItem* sender = item.get();
        connect(item->buttonAction(), &QAction::triggered, this,
                [this, sender] { runCustomizationPalette(sender); });
    }
    return item;
}

PlistDictionary Toolbar::configurationDictionary() const
{
    PlistDictionary configuration;
    configuration.insert(DisplayModeKey, qint64(m_displayMode));
    configuration.insert(IconSizeModeKey, qint64(m_sizeMode));
    configuration.insert(IsShownKey, qint64(m_visible ? 1 : 0));
    // Before the items are made, the arrangement is the one read, or the default one.
    std::optional<QStringList> identifiers = m_savedIdentifiers;
    if (m_loaded) {
        identifiers.emplace();
        for (const Entry& entry : m_entries) {
            if (entry.item)
                identifiers->append(entry.item->itemIdentifier());
        }
    }
    if (identifiers) {
        PlistArray array;
        for (const QString& identifier : std::as_const(*identifiers))
            array.append(identifier);
        configuration.insert(ItemIdentifiersKey, array);
    }
    return configuration;
}

void Toolbar::setConfigurationFromDictionary(const PlistDictionary& configuration)
{
    applyConfiguration(configuration);
}

void Toolbar::applyConfiguration(const PlistDictionary& configuration)
{
    bool unreadable = false;
    if (const PlistValue* value = configuration.find(DisplayModeKey)) {
        const qint64 mode = value->isNumber() ? value->integerValue() : -1;
        if (mode >= 0 && mode <= 3)
            setDisplayMode(DisplayMode(mode));
        else
            unreadable = true;
    }
    if (const PlistValue* value = configuration.find(IconSizeModeKey)) {
        if (value->isNumber())
            setSizeMode(value->integerValue() == 2 ? SizeMode::Small : SizeMode::Regular);
        else
            unreadable = true;
    }
    if (const PlistValue* value = configuration.find(IsShownKey)) {
        if (value->isNumber())
            setVisible(value->boolValue());
        else
            unreadable = true;
    }
    if (const PlistValue* value = configuration.find(ItemIdentifiersKey)) {
        QStringList identifiers;
        const PlistArray* array = value->asArray();
        for (qsizetype i = 0; array && i < array->size(); ++i) {
            if (!array->at(i).isString()) {
                array = nullptr;
                break;
            }
            identifiers.append(*array->at(i).asString());
        }
        if (array)
            setItemIdentifiers(identifiers);
        else
            unreadable = true;
    }
    if (unreadable) {
        SystemLog::log(QStringLiteral("Toolbar %1: parts of the saved arrangement cannot be read; "
                                      "their defaults are used")
                           .arg(m_identifier));
    }
}

void Toolbar::restoreSavedConfiguration()
{
    const QString key = configurationKey(m_identifier);
    const PlistValue saved = UserDefaults::standardUserDefaults().objectForKey(key);
    if (saved.isNull())
        return;
    const PlistDictionary* configuration = saved.asDictionary();
    if (!configuration) {
        SystemLog::log(QStringLiteral("Toolbar %1: the saved arrangement cannot be read; the "
                                      "default one is used")
                           .arg(m_identifier));
        return;
    }
    m_restoring = true;
    applyConfiguration(*configuration);
    m_restoring = false;
}

void Toolbar::configurationDidChange()
{
    if (m_autosaves && !m_restoring) {
        UserDefaults::standardUserDefaults().setObject(configurationDictionary(),
                                                       configurationKey(m_identifier));
    }
    Q_EMIT configurationChanged();
}

void Toolbar::runCustomizationPalette(QObject*)
{
    if (!m_allowsUserCustomization)
        return;
    loadItems();
    if (m_palette) {
        m_palette->raise();
        m_palette->activateWindow();
        return;
    }
    m_palette = new ToolbarCustomizationDialog(this, m_window);
    m_palette->setAttribute(Qt::WA_DeleteOnClose);
    m_palette->open();
}

void Toolbar::validateVisibleItems()
{
    m_binding.validateActions();
}

QMainWindow* Toolbar::window() const
{
    return m_window;
}

QToolBar* Toolbar::toolBar() const
{
    return m_bar;
}

ToolbarCustomizationDialog* Toolbar::customizationPalette() const
{
    return m_palette;
}

Toolbar* Toolbar::toolbarForWindow(const QWidget* window)
{
    if (!window)
        return nullptr;
    return qobject_cast<Toolbar*>(window->window()->property(toolbarProperty).value<QObject*>());
}

void Toolbar::installInWindow(QMainWindow* window)
{
    if (!window || window == m_window)
        return;
    if (Toolbar* other = toolbarForWindow(window))
        other->uninstall();
    uninstall();
    m_window = window;
    window->setProperty(toolbarProperty, QVariant::fromValue<QObject*>(this));
    window->addToolBar(Qt::TopToolBarArea, m_bar);
    m_bar->setVisible(m_visible);
    loadItems();
    rebuildBar();
}

void Toolbar::uninstall()
{
    if (!m_window)
        return;
    if (toolbarForWindow(m_window) == this)
        m_window->setProperty(toolbarProperty, QVariant());
    if (m_bar)
        m_window->removeToolBar(m_bar);
    m_window = nullptr;
}

int Toolbar::iconSide() const
{
    return m_sizeMode == SizeMode::Small ? SmallIconSide : RegularIconSide;
}

void Toolbar::returnLentViews()
{
    for (const QPointer<QWidget>& view : std::as_const(m_lentViews)) {
        if (view)
            view->setParent(nullptr);
    }
    m_lentViews.clear();
}

void Toolbar::rebuildBar()
{
    if (!m_bar)
        return;
    returnLentViews();
    // Later: a click on one of these may be what changed the toolbar.
    for (QAction* action : std::exchange(m_barActions, {})) {
        m_bar->removeAction(action);
        action->deleteLater();
    }
    m_bar->clear();
    const int side = iconSide();
    m_bar->setIconSize(QSize(side, side));
    switch (m_displayMode) {
    case DisplayMode::IconOnly:
        m_bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        break;
    case DisplayMode::LabelOnly:
        m_bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
        break;
    case DisplayMode::Default:
    case DisplayMode::IconAndLabel:
        m_bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        break;
    }
    for (const Entry& entry : m_entries) {
        if (entry.item) {
            addToBar(entry.item);
            bindItem(entry.item);
        }
    }
    m_binding.validateActions();
}

void Toolbar::addWidgetToBar(QWidget* widget)
{
    auto* action = new QWidgetAction(m_bar);
    action->setDefaultWidget(widget);
    m_bar->addAction(action);
    m_barActions.append(action);
}

void Toolbar::addToBar(ToolbarItem* item)
{
    const QString identifier = item->itemIdentifier();
    if (identifier == ToolbarItem::SeparatorItemIdentifier) {
        m_barActions.append(m_bar->addSeparator());
    } else if (identifier == ToolbarItem::SpaceItemIdentifier) {
        auto* space = new QWidget;
        space->setFixedWidth(iconSide());
        addWidgetToBar(space);
    } else if (identifier == ToolbarItem::FlexibleSpaceItemIdentifier) {
        auto* space = new QWidget;
        space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        addWidgetToBar(space);
    } else if (!item->subitems().isEmpty()) {
        addWidgetToBar(makeGroupWidget(item));
    } else if (item->view()) {
        addWidgetToBar(makeViewWidget(item));
    } else {
        m_bar->addAction(item->buttonAction());
    }
}

QWidget* Toolbar::makeGroupWidget(ToolbarItem* group)
{
    auto* container = new QWidget;
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* row = new QWidget(container);
    auto* rowLayout = new QHBoxLayout(row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(1);
    // The group's size (as its maker gives it) holds its buttons side by side, square.
    const int buttonSide =
        hasSize(group->maxSize()) ? int(group->maxSize().height()) : iconSide() + 6;
    for (ToolbarItem* subitem : group->subitems()) {
        auto* button = new QToolButton(row);
        button->setDefaultAction(subitem->buttonAction());
        button->setAutoRaise(true);
        // As the bar's own buttons: the focus stays where the command acts.
        button->setFocusPolicy(Qt::NoFocus);
        // A sub-item without a label of its own shows its image even in text-only display.
        const bool text = m_displayMode == DisplayMode::LabelOnly && !subitem->label().isEmpty();
        button->setToolButtonStyle(text ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly);
        if (!text) {
            button->setFixedSize(buttonSide, buttonSide);
            const int imageSide = std::max(buttonSide - 8, 8);
            button->setIconSize(QSize(imageSide, imageSide));
        }
        rowLayout->addWidget(button);
    }
    if (hasSize(group->minSize()))
        row->setMinimumSize(ceilSize(group->minSize()));
    if (hasSize(group->maxSize()) && m_displayMode != DisplayMode::LabelOnly)
        row->setMaximumSize(ceilSize(group->maxSize()));
    layout->addWidget(row, 0, Qt::AlignHCenter);
    if (m_displayMode != DisplayMode::IconOnly && !group->label().isEmpty()) {
        auto* label = new QLabel(group->label(), container);
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
    }
    return container;
}

QWidget* Toolbar::makeViewWidget(ToolbarItem* item)
{
    if (m_displayMode == DisplayMode::LabelOnly) {
        // The view's menu form: a button titled like the menu item, opening its submenu.
        auto* button = new QToolButton;
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        QAction* form = item->menuFormRepresentation();
        if (form && form->menu()) {
            button->setText(form->text());
            button->setToolTip(item->toolTip());
            button->setMenu(form->menu());
            button->setPopupMode(QToolButton::InstantPopup);
        } else {
            button->setDefaultAction(form ? form : item->buttonAction());
        }
        return button;
    }
    auto* container = new QWidget;
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    QWidget* view = item->view();
    if (hasSize(item->minSize()))
        view->setMinimumSize(ceilSize(item->minSize()));
    if (hasSize(item->maxSize()))
        view->setMaximumSize(ceilSize(item->maxSize()));
    layout->addWidget(view, 0, Qt::AlignHCenter);
    view->setVisible(true);
    m_lentViews.append(view);
    if (m_displayMode != DisplayMode::IconOnly && !item->label().isEmpty()) {
        auto* label = new QLabel(item->label(), container);
        label->setAlignment(Qt::AlignHCenter);
        layout->addWidget(label);
    }
    return container;
}

void Toolbar::bindItem(ToolbarItem* item)
{
    if (item->itemIdentifier() == ToolbarItem::CustomizeToolbarItemIdentifier)
        return;
    if (item->action().isEmpty())
        m_binding.unbind(item->buttonAction());
    else
        m_binding.bind(item->buttonAction(), item->action(), item, item->target());
    for (ToolbarItem* subitem : item->subitems())
        bindItem(subitem);
}

void Toolbar::unbindItem(ToolbarItem* item)
{
    m_binding.unbind(item->buttonAction());
    for (ToolbarItem* subitem : item->subitems())
        unbindItem(subitem);
}
