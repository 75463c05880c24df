#include "NumberBeingDialedController.h"

#include "EditorDialingController.h"
#include "Localization.h"
#include "ModemDialingDefaults.h"

#include <QDialog>
#include <QLabel>

NumberBeingDialedController::NumberBeingDialedController()
    : DialingSheetController(ModemDialingPort::Command::OneWrite)
{
}

void NumberBeingDialedController::buildInterface(QDialog* window)
{
    m_nowDialingField = makeNumberField(window);
    buildDialWindow(window, {{localized(QStringLiteral("Now dialing:")), m_nowDialingField}}, {});
}

void NumberBeingDialedController::dialPhoneShowingNumber(const QString& number, QWidget* window,
                                                         const QString& modemPath,
                                                         int dialingMethod)
{
    this->window();
    startDial(modemPath, dialingMethod);
    m_nowDialingField->setText(number);
    beginDialSheet(window);
    if (dialsByModem()) {
        setUpModem(modemPath);
        doModemDialing(number);
    } else if (dialingMethod == EditorDialingController::speakerDialingMethod) {
        doSpeakerDialing(number);
    }
    dialSteps().addStep([this] {
        cancel();
        return QString();
    });
    dialSteps().start();
}

void NumberBeingDialedController::doModemDialing(const QString& number)
{
    addWrite(port().dialCommandWrites(ModemDialingDefaults::startCallsString(), number).constFirst());
    dialSteps().addWait(ModemDialingDefaults::dialingDelay());
}
