#include "VKPopupHandler.h"

#include "InternalInconsistency.h"
#include "PopUpButton.h"
#include "VKViewsListView.h"

#include <QAction>

VKPopupHandler::VKPopupHandler() : m_changeNotificationName(defaultChangeNotificationName())
{
    NotificationCenter::defaultCenter().addObserver(
        VKViewsListView::HandlersDidChangeNotification, nullptr, this,
        [this](const Notification& notification) { viewsListViewHandlersDidChange(notification); });
}

VKPopupHandler::~VKPopupHandler() = default;

bool VKPopupHandler::initForViewsListView(VKViewsListView* list, const PlistDictionary& settings,
                                          const QVariant& userInfo)
{
    m_viewsListView = list;
    m_userInfo = userInfo;
    m_mode = defaultMode();
    if (const PlistValue* mode = settings.find(QStringLiteral("Mode")))
        m_mode = mode->integerValue();
    return true;
}

PlistDictionary VKPopupHandler::mutableSettings() const
{
    return PlistDictionary{{QStringLiteral("Mode"), m_mode}};
}

void VKPopupHandler::notifyOfChange()
{
    if (!m_changeNotificationName.isNull())
        NotificationCenter::defaultCenter().postNotification(m_changeNotificationName, this);
}

void VKPopupHandler::viewsListViewHandlersDidChange(const Notification& notification)
{
    if (!m_viewsListView || notification.object != m_viewsListView.data())
        return;
    enableRemoveButtons(m_viewsListView->count() >= 2);
    notifyOfChange();
}

void VKPopupHandler::containerViewDidChange()
{
    throw InternalInconsistency(
        QStringLiteral("Forgot to override the -containerViewDidChange method!"));
}

void VKPopupHandler::enableRemoveButtons(bool)
{
    throw InternalInconsistency(
        QStringLiteral("Forgot to override the -enableRemoveButtons: method!"));
}

QList<qint64> VKPopupHandler::unusedModes() const
{
    throw InternalInconsistency(
        QStringLiteral("Need to override -unusedModes, defined in VKPopupHandler."));
}

QWidget* VKPopupHandler::containerView() const
{
    throw InternalInconsistency(QStringLiteral("Forgot to override the -containerView method!"));
}

QList<VKPopupHandler*> VKPopupHandler::handlersForMode(qint64 mode, bool includingSelf) const
{
    QList<VKPopupHandler*> found;
    if (!m_viewsListView)
        return found;
    for (VKViewsListHandler* handler : m_viewsListView->handlers()) {
        auto* row = qobject_cast<VKPopupHandler*>(handler);
        if (row && row->m_mode == mode && (includingSelf || row != this))
            found.append(row);
    }
    return found;
}

std::multiset<qint64> VKPopupHandler::usedModesIncludingSelf(bool includingSelf) const
{
    std::multiset<qint64> modes;
    if (!m_viewsListView)
        return modes;
    for (VKViewsListHandler* handler : m_viewsListView->handlers()) {
        auto* row = qobject_cast<VKPopupHandler*>(handler);
        if (row && (includingSelf || row != this))
            modes.insert(row->m_mode);
    }
    return modes;
}

bool VKPopupHandler::validateMenuItem(const QAction* item) const
{
    const int tag = PopUpButton::tag(item);
    if (tag == 0 || tag == m_mode || !modesAreUnique())
        return true;
    return handlersForMode(tag, false).isEmpty();
}

void VKPopupHandler::changeMode(qint64 mode)
{
    QWidget* before = containerView();
    m_mode = mode;
    modeDidChange();
    if (QWidget* after = containerView(); after != before) {
        containerViewDidChange();
        if (m_viewsListView)
            m_viewsListView->replaceView(before, after);
    }
    notifyOfChange();
}

void VKPopupHandler::remove()
{
    if (m_viewsListView)
        m_viewsListView->removeHandler(this);
}

void VKPopupHandler::add()
{
    if (!m_viewsListView || !handlerClass())
        return;
    qint64 mode = defaultMode();
    if (mode == -1)
        mode = firstUnusedMode();
    std::unique_ptr<VKViewsListHandler> handler(handlerClass()());
    handler->setHandlerClass(handlerClass());
    if (!handler->initForViewsListView(m_viewsListView,
                                       PlistDictionary{{QStringLiteral("Mode"), mode}}, m_userInfo))
        return;
    if (shouldAddAfter())
        m_viewsListView->insertHandlerAfterHandler(std::move(handler), this);
    else
        m_viewsListView->insertHandlerBeforeHandler(std::move(handler), this);
}

VKViewsListView* VKPopupHandler::viewsListView() const
{
    return m_viewsListView;
}

QWidget* VKPopupHandler::window() const
{
    return m_viewsListView ? m_viewsListView->window() : nullptr;
}
