#include "ToolbarCustomizationDialog.h"

#include "Localization.h"
#include "Toolbar.h"
#include "ToolbarItem.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

constexpr int identifierRole = Qt::UserRole;

// The Show pop-up's entries, in order.
constexpr Toolbar::DisplayMode shownModes[] = {Toolbar::DisplayMode::IconAndLabel,
                                               Toolbar::DisplayMode::IconOnly,
                                               Toolbar::DisplayMode::LabelOnly};

QListWidgetItem* makeRow(Toolbar* toolbar, const QString& identifier)
{
    auto* row = new QListWidgetItem;
    row->setData(identifierRole, identifier);
    if (ToolbarItem* item = toolbar->paletteItemForItemIdentifier(identifier)) {
        row->setText(item->paletteLabel());
        row->setIcon(item->image());
    } else {
        row->setText(identifier);
    }
    return row;
}

QPushButton* makeButton(const QString& title, QWidget* parent)
{
    auto* button = new QPushButton(localized(title), parent);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ToolbarCustomizationDialog::ToolbarCustomizationDialog(Toolbar* toolbar, QWidget* parent)
    : QDialog(parent), m_toolbar(toolbar)
{
    setWindowTitle(localized(QStringLiteral("Customize Toolbar")));

    m_allowedList = new QListWidget(this);
    m_toolbarList = new QListWidget(this);
    for (QListWidget* list : {m_allowedList, m_toolbarList}) {
        list->setIconSize(QSize(Toolbar::SmallIconSide, Toolbar::SmallIconSide));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    m_addButton = makeButton(QStringLiteral("Add"), this);
    m_removeButton = makeButton(QStringLiteral("Remove"), this);
    m_moveUpButton = makeButton(QStringLiteral("Move Up"), this);
    m_moveDownButton = makeButton(QStringLiteral("Move Down"), this);
    m_restoreDefaultsButton = makeButton(QStringLiteral("Restore Defaults"), this);
    m_showPopup = new QComboBox(this);
    m_showPopup->addItems({localized(QStringLiteral("Icon and Text")),
                           localized(QStringLiteral("Icon Only")),
                           localized(QStringLiteral("Text Only"))});
    m_smallSizeCheck = new QCheckBox(localized(QStringLiteral("Use Small Size")), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(localized(QStringLiteral("Done")));

    auto* moving = new QVBoxLayout;
    moving->addStretch();
    for (QPushButton* button : {m_addButton, m_removeButton, m_moveUpButton, m_moveDownButton})
        moving->addWidget(button);
    moving->addStretch();

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(localized(QStringLiteral("Available items:")), this), 0, 0);
    lists->addWidget(new QLabel(localized(QStringLiteral("Toolbar items:")), this), 0, 2);
    lists->addWidget(m_allowedList, 1, 0);
    lists->addLayout(moving, 1, 1);
    lists->addWidget(m_toolbarList, 1, 2);

    auto* modes = new QHBoxLayout;
    modes->addWidget(new QLabel(localized(QStringLiteral("Show")), this));
    modes->addWidget(m_showPopup);
    modes->addWidget(m_smallSizeCheck);
    modes->addStretch();
    modes->addWidget(m_restoreDefaultsButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(modes);
    layout->addWidget(buttons);

    connect(m_addButton, &QPushButton::clicked, this, &ToolbarCustomizationDialog::addItem);
    connect(m_removeButton, &QPushButton::clicked, this, &ToolbarCustomizationDialog::removeItem);
    connect(m_moveUpButton, &QPushButton::clicked, this, &ToolbarCustomizationDialog::moveItemUp);
    connect(m_moveDownButton, &QPushButton::clicked, this,
            &ToolbarCustomizationDialog::moveItemDown);
    connect(m_restoreDefaultsButton, &QPushButton::clicked, this,
            &ToolbarCustomizationDialog::restoreDefaults);
    connect(m_showPopup, &QComboBox::activated, this, &ToolbarCustomizationDialog::showChosen);
    connect(m_smallSizeCheck, &QCheckBox::toggled, this,
            &ToolbarCustomizationDialog::smallSizeToggled);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_allowedList, &QListWidget::currentRowChanged, this,
            &ToolbarCustomizationDialog::maintainButtons);
    connect(m_toolbarList, &QListWidget::currentRowChanged, this,
            &ToolbarCustomizationDialog::maintainButtons);

    if (m_toolbar) {
        for (const QString& identifier : m_toolbar->allowedItemIdentifiers())
            m_allowedList->addItem(makeRow(m_toolbar, identifier));
        // Changes made elsewhere (the toolbar hidden, a rebuild) show here too.
        connect(m_toolbar, &Toolbar::configurationChanged, this,
                [this] { reloadToolbarItems(m_toolbarList->currentRow()); });
        connect(m_toolbar, &QObject::destroyed, this, &QDialog::reject);
    }
    reloadToolbarItems(-1);
}

void ToolbarCustomizationDialog::reloadToolbarItems(int selectRow)
{
    const QSignalBlocker blocker(m_toolbarList);
    m_toolbarList->clear();
    if (m_toolbar) {
        for (const QString& identifier : m_toolbar->itemIdentifiers())
            m_toolbarList->addItem(makeRow(m_toolbar, identifier));
    }
    if (selectRow >= m_toolbarList->count())
        selectRow = m_toolbarList->count() - 1;
    m_toolbarList->setCurrentRow(selectRow);
    reloadModes();
    maintainButtons();
}

void ToolbarCustomizationDialog::reloadModes()
{
    if (!m_toolbar)
        return;
    const QSignalBlocker popupBlocker(m_showPopup);
    const QSignalBlocker checkBlocker(m_smallSizeCheck);
    int index = 0;
    for (int i = 0; i < int(std::size(shownModes)); ++i) {
        if (shownModes[i] == m_toolbar->displayMode())
            index = i;
    }
    m_showPopup->setCurrentIndex(index);
    m_smallSizeCheck->setChecked(m_toolbar->sizeMode() == Toolbar::SizeMode::Small);
}

void ToolbarCustomizationDialog::maintainButtons()
{
    const int allowed = m_allowedList->currentRow();
    const int current = m_toolbarList->currentRow();
    m_addButton->setEnabled(m_toolbar && allowed >= 0 &&
                            m_toolbar->canInsertItemWithItemIdentifier(
                                m_allowedList->item(allowed)->data(identifierRole).toString()));
    m_removeButton->setEnabled(current >= 0);
    m_moveUpButton->setEnabled(current > 0);
    m_moveDownButton->setEnabled(current >= 0 && current + 1 < m_toolbarList->count());
    m_restoreDefaultsButton->setEnabled(m_toolbar != nullptr);
}

void ToolbarCustomizationDialog::addItem()
{
    const int allowed = m_allowedList->currentRow();
    if (!m_toolbar || allowed < 0)
        return;
    const QString identifier = m_allowedList->item(allowed)->data(identifierRole).toString();
    const int current = m_toolbarList->currentRow();
    const int index = current >= 0 ? current + 1 : m_toolbarList->count();
    if (m_toolbar->insertItemWithItemIdentifier(identifier, index))
        reloadToolbarItems(index);
}

void ToolbarCustomizationDialog::removeItem()
{
    const int current = m_toolbarList->currentRow();
    if (!m_toolbar || current < 0)
        return;
    m_toolbar->removeItemAtIndex(current);
    reloadToolbarItems(current);
}

void ToolbarCustomizationDialog::moveItemUp()
{
    const int current = m_toolbarList->currentRow();
    if (current > 0)
        moveItem(current, current - 1);
}

void ToolbarCustomizationDialog::moveItemDown()
{
    const int current = m_toolbarList->currentRow();
    if (current >= 0 && current + 1 < m_toolbarList->count())
        moveItem(current, current + 1);
}

void ToolbarCustomizationDialog::moveItem(int from, int to)
{
    if (!m_toolbar)
        return;
    const QStringList identifiers = m_toolbar->itemIdentifiers();
    if (from >= identifiers.size() || to >= identifiers.size())
        return;
    // Out and back in at the new place, as dragging it there would.
    m_toolbar->removeItemAtIndex(from);
    m_toolbar->insertItemWithItemIdentifier(identifiers.at(from), to);
    reloadToolbarItems(to);
}

void ToolbarCustomizationDialog::restoreDefaults()
{
    if (!m_toolbar)
        return;
    m_toolbar->setItemIdentifiers(m_toolbar->defaultItemIdentifiers());
    reloadToolbarItems(-1);
}

void ToolbarCustomizationDialog::showChosen(int index)
{
    if (m_toolbar && index >= 0 && index < int(std::size(shownModes)))
        m_toolbar->setDisplayMode(shownModes[index]);
}

void ToolbarCustomizationDialog::smallSizeToggled(bool small)
{
    if (m_toolbar)
        m_toolbar->setSizeMode(small ? Toolbar::SizeMode::Small : Toolbar::SizeMode::Regular);
}
