#include "VKPopupSingleHandler.h"

#include "InternalInconsistency.h"
#include "PopUpButton.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>

VKPopupSingleHandler::~VKPopupSingleHandler()
{
    // A row never shown in a list is still the handler's.
    if (m_containerView && !m_containerView->parent())
        delete m_containerView.data();
}

bool VKPopupSingleHandler::initForViewsListView(VKViewsListView* list,
                                                const PlistDictionary& settings,
                                                const QVariant& userInfo)
{
    if (!VKPopupHandler::initForViewsListView(list, settings, userInfo))
        return false;
    completeInitializationWithSettings(settings);
    if (!nibName().isNull())
        loadInterface();
    buildModePopup();
    if (m_modePopup)
        m_modePopup->selectItemWithTag(int(mode()));
    return true;
}

QString VKPopupSingleHandler::nibName() const
{
    throw InternalInconsistency(
        QStringLiteral("Forgot to override -nibName, defined in VKPopupSingleHandler."));
}

void VKPopupSingleHandler::loadInterface()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* row = new QHBoxLayout(view);
    m_modePopup = new PopUpButton;
    m_addButton = new QPushButton(QStringLiteral("+"));
    m_removeButton = new QPushButton(QStringLiteral("-"));
    for (QPushButton* button : {m_addButton, m_removeButton})
        button->setFixedWidth(button->sizeHint().height());
    row->addWidget(m_modePopup);
    buildInterface(row);
    row->addWidget(m_addButton);
    row->addWidget(m_removeButton);
    m_containerView = view;

    // With unique modes, those of the other rows are greyed out as the pop-up opens.
    connect(m_modePopup->menu(), &QMenu::aboutToShow, this, [this] {
        for (QAction* item : m_modePopup->itemArray())
            item->setEnabled(validateMenuItem(item));
    });
    connect(m_modePopup, &PopUpButton::activated, this,
            [this](QAction* item) { changeMode(PopUpButton::tag(item)); });
    connect(m_addButton, &QPushButton::clicked, this, [this] { add(); });
    connect(m_removeButton, &QPushButton::clicked, this, [this] { remove(); });
}

QList<qint64> VKPopupSingleHandler::unusedModes() const
{
    QList<qint64> unused;
    if (!m_modePopup)
        return unused;
    const std::multiset<qint64> used = usedModesIncludingSelf(true);
    for (const QAction* item : m_modePopup->itemArray()) {
        const qint64 tag = PopUpButton::tag(item);
        if (tag != 0 && !used.contains(tag))
            unused.append(tag);
    }
    return unused;
}

qint64 VKPopupSingleHandler::firstUnusedMode() const
{
    const QList<qint64> unused = unusedModes();
    return unused.isEmpty() ? 0 : unused.first();
}

void VKPopupSingleHandler::enableRemoveButtons(bool enable)
{
    if (m_removeButton)
        m_removeButton->setEnabled(enable);
}
