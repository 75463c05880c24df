#include "DialExtensionsSheetController.h"

#include "Localization.h"
#include "ModemDialingDefaults.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

DialExtensionsSheetController::DialExtensionsSheetController()
    : DialingSheetController(ModemDialingPort::Command::EscapeThenThreeWrites)
{
    registerAction(QStringLiteral("dialNextNumber:"),
                   [this](QObject* sender) { dialNextNumber(sender); });
}

void DialExtensionsSheetController::buildInterface(QDialog* window)
{
    m_nowDialingField = makeNumberField(window);
    m_nextNumberField = makeNumberField(window);
    m_nextButton = new QPushButton(localized(QStringLiteral("Next")), window);
    m_nextButton->setDefault(true);
    connectButton(m_nextButton, QStringLiteral("dialNextNumber:"));
    buildDialWindow(window,
                    {{localized(QStringLiteral("Now dialing:")), m_nowDialingField},
                     {localized(QStringLiteral("Next number:")), m_nextNumberField}},
                    {m_nextButton});
}

void DialExtensionsSheetController::dialExtensions(const QStringList& pieces, QWidget* window,
                                                   const QString& modemPath, int dialingMethod)
{
    this->window();
    startDial(modemPath, dialingMethod);
    _numberArray = pieces;
    _numberCount = uint(pieces.size());
    _currentNumberIndex = ~0u;
    m_nowDialingField->setText(pieces.value(0));
    m_nextNumberField->clear();
    m_nextButton->setEnabled(false);
    // On screen at once, so that Cancel reaches the modem's settling too.
    beginDialSheet(window);
    if (dialsByModem())
        setUpModem(modemPath);
    dialSteps().addStep([this] {
        m_nowDialingField->clear();
        m_nextNumberField->clear();
        this->window()->repaint();
        dialNextNumber();
        return QString();
    });
    dialSteps().start();
}

void DialExtensionsSheetController::dialNextNumber(QObject*)
{
    if (dialSteps().isRunning())
        return;
    ++_currentNumberIndex;
    if (_currentNumberIndex >= _numberCount) {
        cancel();
        return;
    }
    if (_currentNumberIndex > 0)
        dialSteps().note(QStringLiteral("Next"));
    const QString piece = _numberArray.at(int(_currentNumberIndex));
    m_nowDialingField->setText(piece);
    m_nextNumberField->setText(isLastPiece() ? QString() : _numberArray.at(int(_currentNumberIndex) + 1));
    m_nextButton->setEnabled(false);
    window()->repaint();

    if (dialsByModem())
        dialPhoneNumber(piece);
    else
        doSpeakerDialing(piece);
    if (isLastPiece()) {
        if (dialsByModem())
            dialSteps().addWait(3.0 * ModemDialingDefaults::dialingDelay());
        dialSteps().addStep([this] {
            cancel();
            return QString();
        });
    } else {
        dialSteps().addStep([this] {
            m_nextButton->setEnabled(true);
            return QString();
        });
    }
    dialSteps().start();
}

void DialExtensionsSheetController::dialPhoneNumber(const QString& piece)
{
    const QList<QByteArray> writes =
        port().dialCommandWrites(ModemDialingDefaults::startCallsString(), piece);
    dialSteps().addWait(escapeGuardSeconds);
    addWrite(writes.at(0));
    dialSteps().addWait(escapeGuardSeconds);
    addWrite(writes.at(1));
    addWrite(writes.at(2));
}
