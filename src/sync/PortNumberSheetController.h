#pragma once

#include "ServiceBrowser.h"
#include "VKSheetController.h"

class QComboBox;

// Asks which of the mobile app servers found on the network to use: one pop-up of their
// names in the order found.
class PortNumberSheetController : public VKSheetController {
    Q_OBJECT

public:
    void beginPortNumberSheetForWindow(QWidget* window, const QList<NetService>& services,
                                       DidEndCallback didEnd);
    // The selected service's index in the list given; -1 when none is selected.
    int theServiceIndex() const;
    QComboBox* serviceNamesPopup() const { return m_serviceNamesPopup; }

protected:
    QString nibName() const override { return QStringLiteral("PortNumberSheet"); }
    void buildInterface(QDialog* window) override;

private:
    QComboBox* m_serviceNamesPopup = nullptr;
};
