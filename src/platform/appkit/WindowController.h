#pragma once

#include "Responder.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Document;
class QWidget;

// Manages one window of a document: its title follows the document's name and edited
// state, and closing it asks the document first. It answers the window's commands and
// hands the others on to its document.
class WindowController : public QObject, public Responder {
    Q_OBJECT

public:
    WindowController();
    ~WindowController() override;

    // The controller of a window made by one; nullptr for any other widget.
    static WindowController* controllerForWindow(QWidget* window);

    Document* document() const { return m_document; }
    void setDocument(Document* document);
    Responder* nextResponder() const override;

    // The window, made on first use by makeWindow().
    QWidget* window();
    bool isWindowLoaded() const { return m_window != nullptr; }
    void showWindow();
    // Closes the window without asking.
    void closeWindow();

    void synchronizeWindowTitleWithDocumentName();
    void setDocumentEdited(bool edited);
    // The title for the document's name; subclasses may add to it.
    virtual QString windowTitleForDocumentDisplayName(const QString& displayName) const;
    // Whether closing this window closes its document (the document's main window).
    virtual bool shouldCloseDocument() const { return true; }
    // Asked before the user's close goes on; false keeps the window open.
    virtual bool windowShouldClose() { return true; }
    // The window is about to close, whoever closes it.
    virtual void windowWillClose() {}
    // Asks to close the window, as the user's close button does.
    void performClose();

protected:
    // Builds the window; the controller owns it.
    virtual std::unique_ptr<QWidget> makeWindow();
    virtual void windowDidLoad() {}
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Document* m_document = nullptr;
    std::unique_ptr<QWidget> m_window;
    bool m_closingWindow = false;
    bool m_deliveringClose = false;         // the window's close event is being decided
    bool m_closesWithDeliveredClose = false; // the document closed the window meanwhile
};
