#include "EditorDialingController.h"

#include "ActionRouter.h"
#include "Application.h"
#include "DialingSteps.h"
#include "ModemDialingDefaults.h"
#include "ModemDialingPort.h"
#include "Responder.h"

#include <QCoreApplication>

#include <memory>

namespace {

struct Client {
    ModemDialingPort port{ModemDialingPort::Command::OneWriteWithLineFeed};
    DialingSteps steps;
};

std::unique_ptr<Client> client;

Client& sharedClient()
{
    if (!client) {
        client = std::make_unique<Client>();
        // Quitting mid-dial still gives the port back.
        qAddPostRoutine([] { client.reset(); });
    }
    return *client;
}

void startPreferences()
{
    ActionRouter::sendAction(QStringLiteral("startPreferences:"),
                             dynamic_cast<Responder*>(Application::shared().delegate()), nullptr);
}

} // namespace

int EditorDialingController::openSerialPort(const QString& path)
{
    return sharedClient().port.openSerialPort(path);
}

void EditorDialingController::closeSerialPort(int fileDescriptor)
{
    ModemDialingPort& port = sharedClient().port;
    if (fileDescriptor != -1 && port.fileDescriptor() == fileDescriptor)
        port.closeSerialPort();
}

void EditorDialingController::doSpeakerDialing(const QString& number)
{
    DialingSteps& steps = sharedClient().steps;
    steps.addSpeakerDialing(number, toneDialDelay);
    steps.start();
}

void EditorDialingController::doModemDialing(const QString& number, const QString& modemPath)
{
    Client& shared = sharedClient();
    const int delay = ModemDialingDefaults::dialingDelay();
    const QByteArray command =
        shared.port.dialCommandWrites(ModemDialingDefaults::startCallsString(), number).constFirst();
    shared.steps.addStep([&shared, modemPath] {
        if (openSerialPort(modemPath) != -1)
            return QStringLiteral("open");
        shared.steps.cancel();
        startPreferences();
        return QStringLiteral("open failed");
    });
    shared.steps.addStep([&shared, command] {
        return QString::fromUtf8(shared.port.writeCommand(command));
    });
    shared.steps.addWait(delay);
    shared.steps.addStep([&shared] {
        closeSerialPort(shared.port.fileDescriptor());
        return QStringLiteral("close");
    });
    shared.steps.start();
}

void EditorDialingController::dialPhoneNumber(const QString& number, const QString& modemPath,
                                              int dialingMethod)
{
    cancelDialing();
    sharedClient().steps.clearTrace();
    if (dialingMethod == speakerDialingMethod)
        doSpeakerDialing(number);
    else
        doModemDialing(number, modemPath);
}

void EditorDialingController::cancelDialing()
{
    Client& shared = sharedClient();
    shared.steps.cancel();
    shared.port.closeSerialPort();
}

const DialingSteps& EditorDialingController::steps()
{
    return sharedClient().steps;
}
