#include "PortNumberSheetController.h"

#include "Localization.h"

#include <QComboBox>
#include <QVBoxLayout>

void PortNumberSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Choose Server")));
    setPrompt(localized(QStringLiteral("More than one server was found. Choose the Norva Mobile "
                                       "WiFi Server to use:")));
    m_serviceNamesPopup = new QComboBox(contentArea());
    m_serviceNamesPopup->setMinimumWidth(260);
    contentLayout()->addWidget(m_serviceNamesPopup);
}

void PortNumberSheetController::beginPortNumberSheetForWindow(QWidget* window,
                                                              const QList<NetService>& services,
                                                              DidEndCallback didEnd)
{
    // The interface exists once the window has been asked for.
    this->window();
    m_serviceNamesPopup->clear();
    for (const NetService& service : services)
        m_serviceNamesPopup->addItem(service.name);
    beginSheetModalForWindow(window, std::move(didEnd));
}

int PortNumberSheetController::theServiceIndex() const
{
    return m_serviceNamesPopup ? m_serviceNamesPopup->currentIndex() : -1;
}
