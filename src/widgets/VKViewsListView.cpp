#include "VKViewsListView.h"

#include "NotificationCenter.h"
#include "StringFormat.h"
#include "SystemLog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScrollArea>
#include <QSplitter>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The least height of the split view's other pane.
constexpr int minimumOtherPaneHeight = 50;
// How long a change in the scroll form pauses while Shift is held, to watch it.
constexpr unsigned long shiftPauseMilliseconds = 500;

QString describe(const VKViewsListHandler* handler)
{
    return stringWithFormat(QStringLiteral("<%@: %@>"),
                            QString::fromLatin1(handler->metaObject()->className()),
                            QStringLiteral("0x%1").arg(quintptr(handler), 0, 16));
}

} // namespace

VKViewsListView::VKViewsListView(QWidget* parent) : QWidget(parent), m_rows(new QVBoxLayout(this))
{
    m_rows->setSpacing(0);
    m_rows->setAlignment(Qt::AlignTop);
    m_rows->setContentsMargins(1, 1, 1, 1);
    setAttribute(Qt::WA_OpaquePaintEvent, m_drawsBackground);
}

VKViewsListView::~VKViewsListView() = default;

void VKViewsListView::addHandlersWithClass(const HandlerClass& handlerClass,
                                           const PlistArray& settingsArray,
                                           const std::optional<PlistDictionary>& defaultSettings,
                                           const QVariant& userInfo)
{
    beginBatch();
    removeAllHandlers();
    PlistArray settings = settingsArray;
    if (settings.isEmpty() && defaultSettings)
        settings = PlistArray{*defaultSettings};
    for (const PlistValue& rowSettings : settings) {
        std::unique_ptr<VKViewsListHandler> handler(handlerClass());
        handler->setHandlerClass(handlerClass);
        const PlistDictionary* dictionary = rowSettings.asDictionary();
        if (handler->initForViewsListView(this, dictionary ? *dictionary : PlistDictionary(),
                                          userInfo))
            addHandler(std::move(handler));
    }
    endBatch();
}

PlistArray VKViewsListView::handlerSettings() const
{
    PlistArray settings;
    for (const VKViewsListHandler* handler : m_viewHandlersArray)
        settings.append(handler->settings().deepCopy());
    return settings;
}

void VKViewsListView::addHandler(std::unique_ptr<VKViewsListHandler> handler)
{
    changeHandler(nullptr, std::move(handler), nullptr, true);
}

void VKViewsListView::insertHandlerBeforeHandler(std::unique_ptr<VKViewsListHandler> handler,
                                                 VKViewsListHandler* reference)
{
    changeHandler(nullptr, std::move(handler), reference, false);
}

void VKViewsListView::insertHandlerAfterHandler(std::unique_ptr<VKViewsListHandler> handler,
                                                VKViewsListHandler* reference)
{
    changeHandler(nullptr, std::move(handler), reference, true);
}

void VKViewsListView::replaceHandler(VKViewsListHandler* oldHandler,
                                     std::unique_ptr<VKViewsListHandler> newHandler)
{
    changeHandler(oldHandler, std::move(newHandler), nullptr, true);
}

void VKViewsListView::removeHandler(VKViewsListHandler* handler)
{
    changeHandler(handler, nullptr, nullptr, true);
}

void VKViewsListView::removeAllHandlers()
{
    beginBatch();
    while (!m_viewHandlersArray.empty())
        removeHandler(m_viewHandlersArray.back());
    endBatch();
}

VKViewsListHandler* VKViewsListView::firstHandler() const
{
    return m_viewHandlersArray.empty() ? nullptr : m_viewHandlersArray.front();
}

VKViewsListHandler* VKViewsListView::lastHandler() const
{
    return m_viewHandlersArray.empty() ? nullptr : m_viewHandlersArray.back();
}

bool VKViewsListView::isAcceptable(const VKViewsListHandler* handler) const
{
    if (!handler)
        return true;
    if (!handler->containerView()) {
        SystemLog::log(
            stringWithFormat(QStringLiteral("VKViewsListView: %@'s container view failed to load"),
                             describe(handler)));
        return false;
    }
    return true;
}

void VKViewsListView::discard(VKViewsListHandler* handler)
{
    if (QWidget* view = handler->containerView(); view && view->parent() == this) {
        view->hide();
        m_rows->removeWidget(view);
        view->deleteLater();
    }
    handler->setParent(this);
    handler->deleteLater();
}

void VKViewsListView::changeHandler(VKViewsListHandler* oldHandler,
                                    std::unique_ptr<VKViewsListHandler> newHandler,
                                    VKViewsListHandler* reference, bool after)
{
    if (!isAcceptable(oldHandler) || !isAcceptable(newHandler.get())) {
        if (newHandler)
            discard(newHandler.release());
        return;
    }
    const auto oldPlace =
        std::find(m_viewHandlersArray.begin(), m_viewHandlersArray.end(), oldHandler);
    if (oldHandler && oldPlace == m_viewHandlersArray.end())
        return;
    QWidget* oldView = oldHandler ? oldHandler->containerView() : nullptr;
    // What is being typed in a row that goes reaches its control first.
    if (QWidget* focus = QApplication::focusWidget();
        oldView && focus && oldView->isAncestorOf(focus))
        focus->clearFocus();

    if (newHandler) {
        VKViewsListHandler* added = newHandler.release();
        added->setParent(this);
        QWidget* newView = added->containerView();
        qsizetype index = qsizetype(m_viewHandlersArray.size());
        if (oldHandler) {
            index = oldPlace - m_viewHandlersArray.begin();
            m_viewHandlersArray[size_t(index)] = added;
        } else {
            if (reference) {
                const auto found =
                    std::find(m_viewHandlersArray.begin(), m_viewHandlersArray.end(), reference);
                if (found != m_viewHandlersArray.end())
                    index = (found - m_viewHandlersArray.begin()) + (after ? 1 : 0);
                else if (!after)
                    index = 0;
            }
            m_viewHandlersArray.insert(m_viewHandlersArray.begin() + index, added);
        }
        m_rows->insertWidget(int(index), newView);
        newView->show();
        if (oldHandler)
            discard(oldHandler);
    } else if (oldHandler) {
        m_viewHandlersArray.erase(oldPlace);
        discard(oldHandler);
    }
    if (m_batchCount == 0)
        didChange();
}

void VKViewsListView::replaceView(QWidget* oldView, QWidget* newView)
{
    if (!oldView || !newView)
        return;
    const int index = m_rows->indexOf(oldView);
    if (index < 0)
        return;
    oldView->hide();
    m_rows->removeWidget(oldView);
    m_rows->insertWidget(index, newView);
    newView->show();
    rebuildKeyViewLoop();
    update();
}

qint64 VKViewsListView::beginBatch()
{
    m_batchCount = std::max<qint64>(m_batchCount, 0) + 1;
    return m_batchCount;
}

qint64 VKViewsListView::endBatch()
{
    m_batchCount = std::max<qint64>(m_batchCount - 1, 0);
    if (m_batchCount == 0)
        didChange();
    return m_batchCount;
}

void VKViewsListView::didChange()
{
    resizeSurroundings();
    rebuildKeyViewLoop();
    NotificationCenter::defaultCenter().postNotification(HandlersDidChangeNotification, this);
    update();
}

void VKViewsListView::setResizesViaSplitView(QSplitter* splitView, bool isWithinTopSubview)
{
    m_splitView = splitView;
    m_isWithinTopSubview = isWithinTopSubview;
}

void VKViewsListView::setResizesViaScrollView(QScrollArea* scrollView)
{
    m_scrollView = scrollView;
    if (scrollView) {
        scrollView->setWidget(this);
        // The rows fill the scroll view's width, and one that may grow its height.
        scrollView->setWidgetResizable(true);
        scrollView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    }
}

void VKViewsListView::setAddToBottom(bool addToBottom)
{
    m_addToBottom = addToBottom;
    m_rows->setAlignment(addToBottom ? Qt::AlignTop : Qt::AlignBottom);
}

void VKViewsListView::setDrawsBackground(bool draws)
{
    m_drawsBackground = draws;
    setAttribute(Qt::WA_OpaquePaintEvent, draws);
    update();
}

void VKViewsListView::setDrawsBorder(bool draws)
{
    m_drawsBorder = draws;
    update();
}

int VKViewsListView::rowsHeight() const
{
    int height = 0;
    for (const VKViewsListHandler* handler : m_viewHandlersArray)
        height += handler->containerView()->sizeHint().height();
    return height;
}

void VKViewsListView::resizeSurroundings()
{
    if (m_scrollView)
        restackScrollView();
    else if (m_splitView)
        resizeSplitView();
    else
        resizeWindow();
}

void VKViewsListView::resizeWindow()
{
    QWidget* shown = window();
    if (shown == this)
        return;
    // The window keeps its width and top edge and takes the height its rows want; a
    // window whose height is held to its rows is let out just enough. The layouts first
    // let go of the least height of the rows that were.
    m_rows->activate();
    if (shown->layout())
        shown->layout()->activate();
    const int height = shown->sizeHint().height();
    shown->setMinimumHeight(std::min(shown->minimumHeight(), height));
    shown->setMaximumHeight(std::max(shown->maximumHeight(), height));
    shown->resize(shown->width(), height);
}

void VKViewsListView::resizeSplitView()
{
    QSplitter* split = m_splitView;
    if (split->count() < 2)
        return;
    const int pane = m_isWithinTopSubview ? 0 : split->count() - 1;
    const int other = m_isWithinTopSubview ? split->count() - 1 : 0;
    QList<int> sizes = split->sizes();
    const int total = sizes[pane] + sizes[other];
    sizes[pane] += sizeHint().height() - height();
    sizes[other] = total - sizes[pane];
    if (sizes[other] < minimumOtherPaneHeight) {
        // The window grows by what the other pane would lack.
        QWidget* shown = split->window();
        const int shortfall = minimumOtherPaneHeight - sizes[other];
        shown->setMaximumHeight(std::max(shown->maximumHeight(), shown->height() + shortfall));
        shown->resize(shown->width(), shown->height() + shortfall);
        sizes[other] = minimumOtherPaneHeight;
    }
    split->setSizes(sizes);
}

void VKViewsListView::restackScrollView()
{
    m_minimumHeight = float(rowsHeight());
    if (m_viewHandlersArray.empty())
        resize(width(), 0);
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier)
        QThread::msleep(shiftPauseMilliseconds);
}

void VKViewsListView::rebuildKeyViewLoop()
{
    QWidget* previous = nullptr;
    for (const VKViewsListHandler* handler : m_viewHandlersArray) {
        QWidget* view = handler->containerView();
        QList<QWidget*> keyViews{view};
        keyViews += view->findChildren<QWidget*>();
        for (QWidget* keyView : keyViews) {
            // A pop-up's menu is a window of its own, outside the order.
            if (!(keyView->focusPolicy() & Qt::TabFocus) || keyView->isWindow())
                continue;
            if (previous)
                QWidget::setTabOrder(previous, keyView);
            previous = keyView;
        }
    }
    if (previous && m_oldNextKeyView)
        QWidget::setTabOrder(previous, m_oldNextKeyView);
}

void VKViewsListView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_drawsBackground) {
        painter.fillRect(rect(), palette().color(QPalette::Base));
        bool alternate = false;
        for (const VKViewsListHandler* handler : m_viewHandlersArray) {
            painter.fillRect(handler->containerView()->geometry(),
                             palette().color(alternate ? QPalette::AlternateBase : QPalette::Base));
            alternate = !alternate;
        }
    }
    if (m_drawsBorder) {
        painter.setPen(Qt::gray);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
