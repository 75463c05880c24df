#include "HotKeySheetController.h"

#include "HotKeyHandler.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "UserDefaults.h"
#include "UserGuide.h"
#include "VKViewsListView.h"

#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const QString hotKeySettingsKey = QStringLiteral("HotKeySettings");
const QString helpPage = QStringLiteral("DatafilesHotKeys.html");

} // namespace

void HotKeySheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Datafile Hot Keys")));
    auto* prompt = new QLabel(localized(
        QStringLiteral("Open each datafile from the Datafiles menu with Ctrl and its key:")));
    prompt->setWordWrap(true);
    m_datafileView = new VKViewsListView;
    auto* box = new QVBoxLayout(window);
    box->addWidget(prompt);
    box->addWidget(m_datafileView);
    box->addLayout(makeButtonRow());
    setPromptStat(prompt);
}

void HotKeySheetController::show(std::function<void()> didStore)
{
    m_didStore = std::move(didStore);
    m_datafileView->setDrawsBackground(true);
    m_datafileView->setDrawsBorder(true);
    m_datafileView->setAddToBottom(true);
    m_datafileView->removeAllHandlers();
    m_datafileView->addHandlersWithClass(
        VKViewsListView::handlerClass<HotKeyHandler>(),
        UserDefaults::standardUserDefaults().arrayForKey(hotKeySettingsKey).value_or(PlistArray()),
        PlistDictionary{{QStringLiteral("Mode"), 1}}, QVariant());
    adjustWindowMinMaxHeight();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this, HotKeyHandler::defaultChangeNotificationName());
    center.addObserver(HotKeyHandler::defaultChangeNotificationName(), nullptr, this,
                       [this](const Notification&) { adjustWindowMinMaxHeight(); });
    beginSheetModalForWindow(nullptr, {});
}

void HotKeySheetController::adjustWindowMinMaxHeight()
{
    QDialog* sheet = window();
    // The title bar is the window manager's, outside this height.
    const int height = sheet->sizeHint().height();
    sheet->setMinimumHeight(height);
    sheet->setMaximumHeight(height);
    sheet->resize(sheet->width(), height);
}

void HotKeySheetController::okay(QObject* sender)
{
    UserDefaults::standardUserDefaults().setObject(m_datafileView->handlerSettings(),
                                                   hotKeySettingsKey);
    if (m_didStore)
        m_didStore();
    VKSheetController::okay(sender);
}

void HotKeySheetController::help(QObject*)
{
    UserGuide::openPage(helpPage);
}
