#include "VKAssistantController.h"

#include "Localization.h"
#include "VKWindowCategories.h"

#include <QDialog>
#include <QStackedWidget>

VKAssistantController::VKAssistantController()
{
    registerAction(QStringLiteral("previous:"), [this](QObject* sender) { previous(sender); });
}

VKAssistantController::~VKAssistantController()
{
    removeAllInterns();
}

void VKAssistantController::buildInterface(QDialog* window)
{
    auto* prompt = new QLabel;
    prompt->setWordWrap(true);
    m_internTabView = new QStackedWidget;
    m_previousButton = new QPushButton(localized(QStringLiteral("Previous")));
    m_previousButton->setAutoDefault(false);
    connectButton(m_previousButton, QStringLiteral("previous:"));
    QHBoxLayout* buttons = makeButtonRow();
    // Previous beside Cancel, before Next.
    buttons->insertWidget(buttons->indexOf(okayButton()), m_previousButton);
    auto* box = new QVBoxLayout(window);
    box->addWidget(prompt);
    box->addWidget(m_internTabView, 1);
    box->addLayout(buttons);
    setPromptStat(prompt);
    window->resize(480, 400);
}

void VKAssistantController::beginSheetWithTitle(const QString& title, const QString& internClass,
                                                const PlistDictionary& settings,
                                                QWidget* parentWindow, DidEndCallback didEnd,
                                                QObject* delegate)
{
    window();
    if (!title.isEmpty())
        setWindowTitle(title);
    m_delegate = delegate;
    removeAllInterns();
    addInternWithClass(internClass, settings);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    m_stateObserver =
        center.addObserver(QStringLiteral("VKAssistantInternStateChangedNotification"), nullptr,
                           [this](const Notification&) { maintainButtons(); });
    m_nextObserver = center.addObserver(
        QStringLiteral("VKAssistantWantNextInternNotification"), nullptr,
        [this](const Notification& notification) { nextNotification(notification); });
    beginSheetModalForWindow(parentWindow, std::move(didEnd));
}

void VKAssistantController::addInternWithClass(const QString& internClass,
                                               const PlistDictionary& settings)
{
    std::unique_ptr<VKInternProtocol> made = VKInternClasses::make(internClass, settings);
    if (!made)
        return;
    made->setDelegate(m_delegate);
    window();
    m_internTabView->addWidget(made->containerView());
    m_internTabView->setCurrentWidget(made->containerView());
    m_interns.push_back(std::move(made));
    showPrompt();
    maintainButtons();
}

void VKAssistantController::removeCurrentIntern()
{
    if (m_interns.empty())
        return;
    m_internTabView->removeWidget(m_interns.back()->containerView());
    m_interns.pop_back();
    if (!m_interns.empty())
        m_internTabView->setCurrentWidget(m_interns.back()->containerView());
    showPrompt();
    maintainButtons();
}

void VKAssistantController::removeAllInterns()
{
    while (!m_interns.empty()) {
        if (m_internTabView)
            m_internTabView->removeWidget(m_interns.back()->containerView());
        m_interns.pop_back();
    }
    if (m_internTabView)
        maintainButtons();
}

void VKAssistantController::showPrompt()
{
    const VKInternProtocol* current = intern();
    const QString name = current ? current->name() : QString();
    setPrompt(name.isEmpty() ? windowTitle() : name);
}

bool VKAssistantController::maintainButtons()
{
    const VKInternProtocol* current = intern();
    okayButton()->setText(current && current->willFinish() ? localized(QStringLiteral("Finish"))
                                                           : localized(QStringLiteral("Next")));
    const bool enabled = VKSheetController::maintainButtons() && current && current->canProceed();
    okayButton()->setEnabled(enabled);
    m_previousButton->setEnabled(m_interns.size() >= 2);
    return enabled;
}

void VKAssistantController::okay(QObject* sender)
{
    VKWindowCategories::forceEndEditingForView(window(), nullptr);
    const VKInternProtocol* current = intern();
    const QString next = current ? current->nextInternClass() : QString();
    if (VKInternClasses::resolves(next)) {
        const PlistValue settings = current->settings();
        addInternWithClass(next,
                           settings.isDictionary() ? *settings.asDictionary() : PlistDictionary());
        return;
    }
    VKSheetController::okay(sender);
}

void VKAssistantController::previous(QObject*)
{
    removeCurrentIntern();
}

void VKAssistantController::nextNotification(const Notification& notification)
{
    // Only as Next would: a double-click on a group only opens or closes it.
    const VKInternProtocol* current = intern();
    if (current && notification.object == current && maintainButtons())
        okay(nullptr);
}

void VKAssistantController::recycle()
{
    VKSheetController::recycle();
    m_stateObserver = NotificationObserver();
    m_nextObserver = NotificationObserver();
    removeAllInterns();
    m_delegate = nullptr;
}

VKInternProtocol* VKAssistantController::intern() const
{
    return m_interns.empty() ? nullptr : m_interns.back().get();
}

QString VKAssistantController::internOperation() const
{
    const VKInternProtocol* current = intern();
    return current ? current->operation() : QString();
}

PlistValue VKAssistantController::internSettings() const
{
    const VKInternProtocol* current = intern();
    return current ? current->settings() : PlistValue();
}
