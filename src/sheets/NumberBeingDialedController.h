#pragma once

#include "DialingSheetController.h"

#include <QPointer>

class QLabel;

// Shows a single number while it is dialed, then closes by itself.
class NumberBeingDialedController : public DialingSheetController {
    Q_OBJECT

public:
    NumberBeingDialedController();

    // The number, the window the sheet goes on, the modem's path (none for the speaker)
    // and the dialing method; any method but the speaker and the modem dials nothing.
    void dialPhoneShowingNumber(const QString& number, QWidget* window, const QString& modemPath,
                                int dialingMethod);
    // The start string, the number and ";\r" in one write, then the dialing delay.
    void doModemDialing(const QString& number);

    QLabel* nowDialingField() const { return m_nowDialingField; }

protected:
    QString nibName() const override { return QStringLiteral("NumberBeingDialedSheet"); }
    void buildInterface(QDialog* window) override;

private:
    QPointer<QLabel> m_nowDialingField;
};
