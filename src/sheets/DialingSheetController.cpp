#include "DialingSheetController.h"

#include "EditorDialingController.h"
#include "Localization.h"

#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DialingSheetController::DialingSheetController(ModemDialingPort::Command command)
    : m_port(command)
{
}

DialingSheetController::~DialingSheetController()
{
    // The base deletes the window after this object's parts are gone.
    QObject::disconnect(m_windowGone);
}

void DialingSheetController::buildDialWindow(QDialog* window, const QList<NumberField>& fields,
                                             const QList<QPushButton*>& buttons)
{
    window->setWindowTitle(localized(QStringLiteral("Dialing")));
    window->setMinimumWidth(340);
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    for (const auto& [caption, field] : fields)
        form->addRow(caption, field);
    auto* cancel = new QPushButton(localized(QStringLiteral("Cancel")), window);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(cancel);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    auto* box = new QVBoxLayout(window);
    box->addLayout(form);
    box->addSpacing(8);
    box->addLayout(row);
    setCancelButton(cancel);
    // A parent window that goes takes the sheet with it: the dial stops there.
    m_windowGone = connect(window, &QObject::destroyed, this, [this] { stopDialing(); });
}

QLabel* DialingSheetController::makeNumberField(QWidget* parent)
{
    auto* field = new QLabel(parent);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont font = field->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    field->setFont(font);
    field->setMinimumWidth(200);
    return field;
}

void DialingSheetController::startDial(const QString& modemPath, int dialingMethod)
{
    stopDialing();
    m_steps.clearTrace();
    m_modemPath = modemPath;
    m_dialingMethod = dialingMethod;
}

bool DialingSheetController::dialsByModem() const
{
    return m_dialingMethod == EditorDialingController::modemDialingMethod;
}

void DialingSheetController::beginDialSheet(QWidget* window)
{
    beginSheetModalForWindow(window, [this](QWidget* sheet, int returnCode) {
        dialExtensionsDidEnd(sheet, returnCode);
    });
    this->window()->repaint();
}

void DialingSheetController::setUpModem(const QString& path)
{
    if (m_port.openSerialPort(path) == -1) {
        m_steps.note(QStringLiteral("open failed"));
        return;
    }
    m_steps.note(QStringLiteral("open"));
    m_steps.addWait(modemSettleSeconds);
}

void DialingSheetController::doSpeakerDialing(const QString& number)
{
    m_steps.addSpeakerDialing(number, toneDialDelay);
}

void DialingSheetController::addWrite(const QByteArray& bytes)
{
    m_steps.addStep([this, bytes] { return QString::fromUtf8(m_port.writeCommand(bytes)); });
}

void DialingSheetController::stopDialing()
{
    m_steps.cancel();
    m_port.closeSerialPort();
}

void DialingSheetController::cancel(QObject* sender)
{
    if (m_port.isOpen())
        m_steps.note(QStringLiteral("close"));
    stopDialing();
    VKSheetController::cancel(sender);
}

void DialingSheetController::dialExtensionsDidEnd(QWidget*, int) {}

void DialingSheetController::recycle()
{
    VKSheetController::recycle();
    stopDialing();
}
