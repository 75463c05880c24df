#include "WindowController.h"

#include "Document.h"

#include <QCloseEvent>
#include <QWidget>

#include <utility>

namespace {
const char* const controllerProperty = "norvaWindowController";
}

WindowController::WindowController() = default;

WindowController::~WindowController()
{
    if (m_window)
        m_window->removeEventFilter(this);
}

void WindowController::setDocument(Document* document)
{
    m_document = document;
    if (m_window)
        synchronizeWindowTitleWithDocumentName();
}

Responder* WindowController::nextResponder() const
{
    if (Responder* set = Responder::nextResponder())
        return set;
    return m_document;
}

QWidget* WindowController::window()
{
    if (!m_window) {
        m_window = makeWindow();
        m_window->setProperty(controllerProperty, QVariant::fromValue<QObject*>(this));
        m_window->installEventFilter(this);
        synchronizeWindowTitleWithDocumentName();
        windowDidLoad();
    }
    return m_window.get();
}

WindowController* WindowController::controllerForWindow(QWidget* window)
{
    if (!window)
        return nullptr;
    return qobject_cast<WindowController*>(
        window->window()->property(controllerProperty).value<QObject*>());
}

std::unique_ptr<QWidget> WindowController::makeWindow()
{
    return std::make_unique<QWidget>();
}

void WindowController::showWindow()
{
    QWidget* shown = window();
    shown->show();
    shown->raise();
    shown->activateWindow();
}

void WindowController::closeWindow()
{
    if (!m_window || m_closingWindow)
        return;
    m_closingWindow = true;
    windowWillClose();
    // Asked while the window's own close is delivered, the window closes with that: a
    // close from within it would be ignored and leave the window on screen.
    if (m_deliveringClose)
        m_closesWithDeliveredClose = true;
    else
        m_window->close();
    m_closingWindow = false;
}

void WindowController::performClose()
{
    if (m_window)
        m_window->close();
}

void WindowController::synchronizeWindowTitleWithDocumentName()
{
    if (!m_window)
        return;
    const QString name = m_document ? m_document->displayName() : QString();
    // Qt shows the edited mark where the title holds "[*]".
    m_window->setWindowTitle(windowTitleForDocumentDisplayName(name) + QStringLiteral("[*]"));
    m_window->setWindowModified(m_document && m_document->isDocumentEdited());
}

void WindowController::setDocumentEdited(bool edited)
{
    if (m_window)
        m_window->setWindowModified(edited);
}

QString WindowController::windowTitleForDocumentDisplayName(const QString& displayName) const
{
    return displayName;
}

bool WindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.get() && event->type() == QEvent::Close && !m_closingWindow &&
        m_document && shouldCloseDocument()) {
        // The user closed the window: the document decides, and closes it if it may.
        QPointer<Document> document = m_document;
        const QPointer<WindowController> self(this);
        m_deliveringClose = true;
        m_closesWithDeliveredClose = false;
        m_document->canCloseDocument([document](bool shouldClose) {
            if (shouldClose && document)
                document->close();
        });
        if (!self)
            return true;
        m_deliveringClose = false;
        // Decided at once: this close goes on. Otherwise the window stays until the document
        // closes it.
        if (std::exchange(m_closesWithDeliveredClose, false)) {
            event->accept();
            return false;
        }
        event->ignore();
        return true;
    }
    if (watched == m_window.get() && event->type() == QEvent::Close && !m_closingWindow &&
        m_document && !shouldCloseDocument()) {
        if (!windowShouldClose()) {
            event->ignore();
            return true;
        }
        // The window goes and its document stays: the document lets go of this
        // controller once the close is over.
        QPointer<Document> document = m_document;
        QMetaObject::invokeMethod(
            this,
            [this, document] {
                if (document)
                    document->removeWindowController(this);
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
