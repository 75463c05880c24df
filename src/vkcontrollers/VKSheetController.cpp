#include "VKSheetController.h"

#include "InternalInconsistency.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "UserGuide.h"
#include "VKImageCategories.h"
#include "VKWindowCategories.h"
#include "WindowFrameAutosave.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaProperty>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

namespace {

// Closing the window or pressing Escape is Cancel, as the sheet's own button is.
class SheetWindow : public QDialog {
public:
    explicit SheetWindow(VKSheetController* controller) : m_controller(controller) {}

    void accept() override { m_controller->performAction(QStringLiteral("okay:"), this); }
    void reject() override { m_controller->performAction(QStringLiteral("cancel:"), this); }

private:
    VKSheetController* m_controller;
};

struct Pool {
    // Every controller ever made, in the order made.
    std::vector<std::unique_ptr<VKSheetController>> controllers;
    quint64 frontOrder = 0;
};

Pool* pool = nullptr;

Pool& sharedPool()
{
    if (!pool) {
        pool = new Pool;
        // Widgets must go before the application object does.
        qAddPostRoutine([] {
            delete pool;
            pool = nullptr;
        });
    }
    return *pool;
}

bool isOnScreen(QDialog* window)
{
    return window && window->isVisible();
}

} // namespace

VKSheetController::VKSheetController()
{
    registerAction(QStringLiteral("okay:"), [this](QObject* sender) { okay(sender); });
    registerAction(QStringLiteral("cancel:"), [this](QObject* sender) { cancel(sender); });
    registerAction(QStringLiteral("help:"), [this](QObject* sender) { help(sender); });
    registerAction(QStringLiteral("hit:"), [this](QObject* sender) { hit(sender); });
    registerAction(QStringLiteral("controlTextDidChange:"),
                   [this](QObject* sender) { controlTextDidChange(sender); });
}

VKSheetController::~VKSheetController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    m_didEnd = nullptr;
    // A dying window still sends its children's removal through the filter.
    if (m_window)
        m_window->removeEventFilter(this);
    delete m_window.data();
}

VKSheetController* VKSheetController::pooledController(const std::type_info& type,
                                                       const Factory& factory)
{
    Pool& shared = sharedPool();
    for (const auto& pooled : shared.controllers) {
        if (typeid(*pooled) == type && !isOnScreen(pooled->m_window)) {
            pooled->recycle();
            return pooled.get();
        }
    }
    std::unique_ptr<VKSheetController> made = factory();
    made->loadWindow();
    shared.controllers.push_back(std::move(made));
    return shared.controllers.back().get();
}

VKSheetController* VKSheetController::findPooledController(const std::type_info& type,
                                                           const QVariant& object)
{
    if (!pool)
        return nullptr;
    VKSheetController* found = nullptr;
    for (const auto& pooled : pool->controllers) {
        if (typeid(*pooled) != type || !isOnScreen(pooled->m_window))
            continue;
        if (object.isValid() && pooled->m_object != object)
            continue;
        if (!found || pooled->m_frontOrder > found->m_frontOrder)
            found = pooled.get();
    }
    return found;
}

QString VKSheetController::nibName() const
{
    throw InternalInconsistency(QStringLiteral("Must override +nibName"));
}

void VKSheetController::loadWindow()
{
    const QString name = nibName();
    auto* window = new SheetWindow(this);
    m_window = window;
    buildInterface(window);
    window->installEventFilter(this);
    WindowFrameAutosave::setFrameAutosaveName(window, name);
    setup();
    recycle();
}

QDialog* VKSheetController::window()
{
    // The window goes with a parent window deleted while the sheet was on it.
    if (!m_window)
        loadWindow();
    return m_window;
}

void VKSheetController::buildInterface(QDialog* window)
{
    auto* iconView = new QLabel;
    iconView->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    auto* promptLabel = new QLabel;
    promptLabel->setWordWrap(true);
    auto* content = new QWidget;
    auto* contentBox = new QVBoxLayout(content);
    contentBox->setContentsMargins(0, 0, 0, 0);

    auto* cancel = new QPushButton(localized(QStringLiteral("Cancel")));
    auto* okay = new QPushButton(localized(QStringLiteral("OK")));
    okay->setDefault(true);

    auto* textColumn = new QVBoxLayout;
    textColumn->addWidget(promptLabel);
    textColumn->addWidget(content, 1);
    auto* body = new QHBoxLayout;
    body->addWidget(iconView);
    body->addLayout(textColumn, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(okay);
    auto* windowBox = new QVBoxLayout(window);
    windowBox->addLayout(body, 1);
    windowBox->addLayout(buttons);

    setIconImageView(iconView);
    setPromptStat(promptLabel);
    setCancelButton(cancel);
    setOkayButton(okay);
    m_contentArea = content;
}

QVBoxLayout* VKSheetController::contentLayout() const
{
    return m_contentArea ? qobject_cast<QVBoxLayout*>(m_contentArea->layout()) : nullptr;
}

QHBoxLayout* VKSheetController::makeButtonRow()
{
    auto* help = new QPushButton(QStringLiteral("?"));
    help->setToolTip(localized(QStringLiteral("Help")));
    help->setFixedWidth(help->sizeHint().height());
    auto* cancel = new QPushButton(localized(QStringLiteral("Cancel")));
    auto* okay = new QPushButton(localized(QStringLiteral("OK")));
    okay->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(help);
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(okay);
    setCancelButton(cancel);
    setOkayButton(okay);
    connectButton(help, QStringLiteral("help:"));
    return buttons;
}

void VKSheetController::setOkayButton(QPushButton* button)
{
    m_okayButton = button;
    connectButton(button, QStringLiteral("okay:"));
}

void VKSheetController::setCancelButton(QPushButton* button)
{
    m_cancelButton = button;
    connectButton(button, QStringLiteral("cancel:"));
}

void VKSheetController::connectButton(QPushButton* button, const QString& selector)
{
    if (!button)
        return;
    connect(button, &QPushButton::clicked, this,
            [this, button, selector] { performAction(selector, button); });
}

void VKSheetController::connectControl(QWidget* control)
{
    // The property a control edits (a field's text, a box's state, a list's choice)
    // announces each change.
    const QMetaProperty property = control->metaObject()->userProperty();
    if (!property.hasNotifySignal())
        return;
    const int slot = metaObject()->indexOfSlot("controlChanged()");
    connect(control, property.notifySignal(), this, metaObject()->method(slot));
}

void VKSheetController::controlChanged()
{
    hit(sender());
}

void VKSheetController::showWindow()
{
    QDialog* shown = window();
    shown->show();
    orderFront();
}

void VKSheetController::orderFront()
{
    m_window->raise();
    m_window->activateWindow();
    m_frontOrder = ++sharedPool().frontOrder;
}

bool VKSheetController::eventFilter(QObject* watched, QEvent* event)
{
    // The type first: a window being destroyed (by its parent, say) is no longer a
    // QDialog, and comparing it with the guarded pointer would cast it to one.
    if (event->type() == QEvent::WindowActivate && watched == m_window)
        m_frontOrder = ++sharedPool().frontOrder;
    return QObject::eventFilter(watched, event);
}

void VKSheetController::recycle()
{
    m_modal = true;
    m_identifier.clear();
    m_object = QVariant();
    m_userInfo.clear();
    m_didEnd = nullptr;
    m_altering = false;
}

VKSheetController* VKSheetController::beginSheetModalForWindow(QWidget* parentWindow,
                                                               DidEndCallback didEnd)
{
    m_modal = true;
    m_didEnd = std::move(didEnd);
    prepare();
    maintainButtons();
    QDialog* sheet = window();
    if (parentWindow) {
        // Qt attaches a window-modal dialog to its parent's window.
        sheet->setParent(parentWindow->window(), sheet->windowFlags());
        sheet->open();
    } else {
        sheet->setWindowModality(Qt::ApplicationModal);
        sheet->show();
    }
    orderFront();
    return this;
}

VKSheetController* VKSheetController::beginWindowForObject(const QVariant& object,
                                                           DidEndCallback didEnd)
{
    m_modal = false;
    m_altering = object.isValid();
    m_object = object;
    m_didEnd = std::move(didEnd);
    prepare();
    maintainButtons();
    QDialog* shown = window();
    shown->setWindowModality(Qt::NonModal);
    showWindow();
    return this;
}

void VKSheetController::endWithReturnCode(int returnCode)
{
    QDialog* sheet = m_window;
    if (!isOnScreen(sheet))
        return;
    VKWindowCategories::forceEndEditingForView(sheet, nullptr);
    sheet->hide();
    // Off its parent, the idle window cannot go with a parent window that closes.
    if (sheet->parentWidget())
        sheet->setParent(nullptr, sheet->windowFlags());
    sheet->setWindowModality(Qt::NonModal);
    // A copy: the callback may begin this controller again, replacing the stored one.
    const DidEndCallback didEnd = m_didEnd;
    if (didEnd)
        didEnd(sheet, returnCode);
}

void VKSheetController::okay(QObject*)
{
    if (validate())
        endWithReturnCode(1);
}

void VKSheetController::cancel(QObject*)
{
    endWithReturnCode(0);
}

void VKSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("index.html"));
}

QString VKSheetController::helpURL() const
{
    return UserGuide::urlForPage(QStringLiteral("index.html")).toString();
}

void VKSheetController::hit(QObject*)
{
    maintainButtons();
}

void VKSheetController::controlTextDidChange(QObject*)
{
    maintainButtons();
}

QPixmap VKSheetController::icon() const
{
    return m_iconImageView ? m_iconImageView->pixmap() : QPixmap();
}

void VKSheetController::setIcon(const QPixmap& icon)
{
    if (m_iconImageView && !icon.isNull())
        m_iconImageView->setPixmap(icon);
}

QString VKSheetController::prompt() const
{
    return m_promptStat ? m_promptStat->text() : QString();
}

void VKSheetController::setPrompt(const QString& prompt)
{
    if (m_promptStat && !prompt.isNull())
        m_promptStat->setText(prompt);
}

QString VKSheetController::okayTitle() const
{
    return m_okayButton ? m_okayButton->text() : QString();
}

void VKSheetController::setOkayTitle(const QString& title)
{
    if (m_okayButton && !title.isNull())
        m_okayButton->setText(title);
}

QString VKSheetController::cancelTitle() const
{
    return m_cancelButton ? m_cancelButton->text() : QString();
}

void VKSheetController::setCancelTitle(const QString& title)
{
    if (m_cancelButton && !title.isNull())
        m_cancelButton->setText(title);
}

QString VKSheetController::windowTitle()
{
    return window()->windowTitle();
}

void VKSheetController::setWindowTitle(const QString& title)
{
    if (!title.isNull())
        window()->setWindowTitle(title);
}

void VKSheetController::setAddWindowTitle(const QString& addWindowTitle, const QString& addPrompt,
                                          const QString& addOkayTitle, const QString& addIconNamed,
                                          const QString& alterWindowTitle,
                                          const QString& alterPrompt, const QString& alterOkayTitle,
                                          const QString& alterIconNamed)
{
    const bool altering = isAltering();
    setWindowTitle(altering ? alterWindowTitle : addWindowTitle);
    setPrompt(altering ? alterPrompt : addPrompt);
    setOkayTitle(altering ? alterOkayTitle : addOkayTitle);
    const QString iconName = altering ? alterIconNamed : addIconNamed;
    if (!iconName.isNull())
        setIcon(VKImageCategories::imageNamed(iconName));
}
