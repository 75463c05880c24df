#pragma once

#include "DialingSteps.h"
#include "ModemDialingPort.h"
#include "VKSheetController.h"

#include <QMetaObject>

#include <utility>

class QLabel;

// What the two dial sheets share: the dialing method, the modem's path and the sheet's own
// port, the steps of the dial going out, and Cancel, which stops them at once. The window
// stays usable through every wait.
class DialingSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The pause after each tone.
    static constexpr double toneDialDelay = 0.25;
    // Before a modem takes commands after its port opened.
    static constexpr double modemSettleSeconds = 60;

    ~DialingSheetController() override;

    int dialingMethod() const { return m_dialingMethod; }
    QString modemPath() const { return m_modemPath; }
    // The open port's descriptor, -1 when none is.
    int fileDescriptor2() const { return m_port.fileDescriptor(); }
    // What the dial did since the sheet began.
    const DialingSteps& steps() const { return m_steps; }

    // Opens the port at the path into the sheet's descriptor and, when it opened, waits
    // for the modem to settle. No message when it cannot open: the steps still run, and
    // write nothing.
    void setUpModem(const QString& path);
    // Each digit's tone, toneDialDelay apart.
    void doSpeakerDialing(const QString& number);
    // Stops the dial: nothing more goes out, the port (by modem) is closed, and the sheet
    // ends with 0.
    void cancel(QObject* sender = nullptr) override;
    // The sheet's did-end: the dial has stopped by then; nothing to do.
    void dialExtensionsDidEnd(QWidget* sheet, int returnCode);

    void recycle() override;

protected:
    explicit DialingSheetController(ModemDialingPort::Command command);

    // A new dial: what went before is stopped and its trace cleared.
    void startDial(const QString& modemPath, int dialingMethod);
    bool dialsByModem() const;
    // Shows the sheet on the window and draws it at once.
    void beginDialSheet(QWidget* window);
    DialingSteps& dialSteps() { return m_steps; }
    ModemDialingPort& port() { return m_port; }
    // A step that writes the bytes to the open port; nothing without one.
    void addWrite(const QByteArray& bytes);
    // A number the sheet shows, under its caption.
    using NumberField = std::pair<QString, QLabel*>;
    // The window with the number fields, Cancel, and the sheet's own buttons after it.
    void buildDialWindow(QDialog* window, const QList<NumberField>& fields,
                         const QList<QPushButton*>& buttons);
    static QLabel* makeNumberField(QWidget* parent);

private:
    void stopDialing();

    ModemDialingPort m_port;
    DialingSteps m_steps;
    int m_dialingMethod = 0;
    QString m_modemPath;
    QMetaObject::Connection m_windowGone;
};
