#pragma once

#include <QObject>
#include <QString>

class FeatureContext;
class QMimeData;
struct BrowserRow;

// Grab Web Address and its variants: the address and title of the page in the front
// window of a running browser become a record of the datafile, in the fields its
// settings name or in the Freeform Text Area, followed by the clipboard on request.
class WebCaptureController : public QObject {
    Q_OBJECT

public:
    explicit WebCaptureController(FeatureContext& context);

    // Pastes as "PasteClipboard" says.
    void grabURL();
    // "PasteClipboard" off, or on, for this one capture.
    void grabURLWithoutPaste();
    void grabURLWithPaste();
    // The clipboard pasted as plain text.
    void grabURLPastePlainText();
    // Alt inverts the paste decision, Shift pastes plain text.
    void grabURLWithToggle(Qt::KeyboardModifiers modifiers);
    // The service's capture, with its pasteboard (none: no paste); whether it worked.
    bool grabURLWithPasteboard(const QMimeData* pasteboard, Qt::KeyboardModifiers modifiers);

private:
    enum class Paste { None, Rich, PlainText };
    enum class Activation { Always, WhenPasted };
    struct Capture {
        Paste paste = Paste::None;
        const QMimeData* pasteboard = nullptr;
        Activation activation = Activation::Always;
    };

    // The shared procedure; false when nothing was captured or a paste tried failed.
    bool capture(const Capture& capture);
    void grabURLWithPasteClipboard(bool paste);
    void reportNoBrowser();
    void reportNoPage(const BrowserRow& row);
    // The text area focused after the text, two line feeds appended first on request.
    void activateFTA(bool append);

    FeatureContext& m_context;
};
