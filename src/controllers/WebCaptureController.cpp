#include "WebCaptureController.h"

#include "BrowserBridge.h"
#include "CurrentRecordEngine.h"
#include "DatafileSettingsData.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QTextCursor>

namespace {

// "NewRecordLocation": any other value leaves the record where it was added.
constexpr qint64 FirstRecordLocation = 1;
constexpr qint64 LastRecordLocation = 2;

const QString FreeformTextTarget = QStringLiteral("Text");
const QString SupportAddress = QStringLiteral("support@norva.app");
const QString Paragraph = QStringLiteral("\n\n");

const QMimeData* clipboardContents()
{
    return QApplication::clipboard()->mimeData();
}

} // namespace

WebCaptureController::WebCaptureController(FeatureContext& context) : m_context(context)
{
    m_context.registerAction(QStringLiteral("grabURL:"), [this](QObject*) { grabURL(); });
    m_context.registerAction(QStringLiteral("grabURLWithoutPaste:"),
                             [this](QObject*) { grabURLWithoutPaste(); });
    m_context.registerAction(QStringLiteral("grabURLWithPaste:"),
                             [this](QObject*) { grabURLWithPaste(); });
    m_context.registerAction(QStringLiteral("grabURLPastePlainText:"),
                             [this](QObject*) { grabURLPastePlainText(); });
    m_context.registerAction(QStringLiteral("grabURLWithToggle:"), [this](QObject*) {
        grabURLWithToggle(QGuiApplication::queryKeyboardModifiers());
    });
}

void WebCaptureController::grabURL()
{
    capture({m_context.settings()->pasteClipboard() ? Paste::Rich : Paste::None,
             clipboardContents(), Activation::Always});
}

void WebCaptureController::grabURLWithPasteClipboard(bool paste)
{
    if (m_context.nowSyncing())
        return;
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const bool remembered = settings->pasteClipboard();
    settings->setPasteClipboard(paste);
    grabURL();
    settings->setPasteClipboard(remembered);
}

void WebCaptureController::grabURLWithoutPaste()
{
    grabURLWithPasteClipboard(false);
}

void WebCaptureController::grabURLWithPaste()
{
    grabURLWithPasteClipboard(true);
}

void WebCaptureController::grabURLPastePlainText()
{
    const QMimeData* clipboard = clipboardContents();
    capture({clipboard ? Paste::PlainText : Paste::None, clipboard, Activation::Always});
}

void WebCaptureController::grabURLWithToggle(Qt::KeyboardModifiers modifiers)
{
    const bool paste = m_context.settings()->pasteClipboard() != modifiers.testFlag(Qt::AltModifier);
    const Paste kind = modifiers.testFlag(Qt::ShiftModifier) ? Paste::PlainText : Paste::Rich;
    capture({paste ? kind : Paste::None, clipboardContents(), Activation::Always});
}

bool WebCaptureController::grabURLWithPasteboard(const QMimeData* pasteboard,
                                                 Qt::KeyboardModifiers modifiers)
{
    const bool paste = pasteboard && m_context.settings()->pasteClipboard() !=
                                         modifiers.testFlag(Qt::AltModifier);
    return capture({paste ? Paste::Rich : Paste::None, pasteboard, Activation::WhenPasted});
}

bool WebCaptureController::capture(const Capture& capture)
{
    if (m_context.nowSyncing() || !m_context.hasCurrentRecordEngine())
        return false;
    FeatureWindow& window = m_context.host();
    FreeformTextView* text = window.freeformTextView();
    if (!text)
        return false;

    BrowserBridge& bridge = BrowserBridge::shared();
    const BrowserRow* row = browserRowForSignature(FirstAvailableBrowser(bridge, NoBrowserSignature));
    if (!row) {
        reportNoBrowser();
        return false;
    }
    if (!row->automationIdentifier.isEmpty())
        checkSIPforAppIdentifier(bridge, row->automationIdentifier);
    const std::optional<QString> url = bridge.url(row->signature);
    if (!url) {
        reportNoPage(*row);
        return false;
    }
    const QString title = bridge.title(row->signature).value_or(QStringLiteral("Title"));

    const std::shared_ptr<RecordData> record = window.addRecordForModification();
    if (!record)
        return false;
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    switch (settings->newRecordLocation()) {
    case FirstRecordLocation:
        window.makeThisTheFirstRecord();
        break;
    case LastRecordLocation:
        window.makeThisTheLastRecord();
        break;
    default:
        break;
    }

    CurrentRecordEngine& engine = m_context.engine();
    const QString titleField = settings->titleField();
    const QString urlField = settings->urlField();
    const bool titleInText = titleField == FreeformTextTarget;
    const bool urlInText = urlField == FreeformTextTarget;
    if (!titleInText)
        engine.writeField(record, titleField, title, CurrentRecordEngine::FieldWrite::Edit);
    // Written second: one field named for both keeps the address.
    if (!urlInText)
        engine.writeField(record, urlField, *url, CurrentRecordEngine::FieldWrite::Edit);
    if (titleInText || urlInText) {
        QString shown;
        if (titleInText)
            shown += title + Paragraph;
        if (urlInText)
            shown += *url + Paragraph;
        text->loadPlainText(shown);
    }
    // The paste goes after what was written.
    text->moveCursor(QTextCursor::End);

    const bool pasteTried = capture.paste != Paste::None;
    const bool pasted = pasteTried && window.pasteIntoFreeformText(
                                          capture.pasteboard, capture.paste == Paste::PlainText);

    // The door keeps the plain text alone for a mobile datafile.
    engine.writeText(record, text->plainText(), [text] { return text->rtfd(); },
                     CurrentRecordEngine::FieldWrite::Edit);
    engine.setDatafileChanged();
    engine.loadCurrentRecord();
    if (settings->automaticallyEnableLinks())
        window.activateFreeformLinks();

    const bool wentIntoText = titleInText || urlInText || pasted;
    if (capture.activation == Activation::Always ? wentIntoText : pasted)
        activateFTA(pasted);
    return pasteTried ? pasted : true;
}

void WebCaptureController::activateFTA(bool append)
{
    FreeformTextView* text = m_context.host().freeformTextView();
    if (append) {
        QTextCursor end(text->document());
        end.movePosition(QTextCursor::End);
        end.insertText(Paragraph);
    }
    text->setFocus(Qt::OtherFocusReason);
    text->moveCursor(QTextCursor::End);
    text->ensureCursorVisible();
}

void WebCaptureController::reportNoBrowser()
{
    Presenter::shared().beep();
    AlertRequest alert;
    alert.messageText = localized(
        QStringLiteral("Norva Pro cannot find an open Web browser that it can communicate with."));
    alert.informativeText =
        localized(QStringLiteral("If you have a Web browser open, please report this to us at")) +
        QLatin1Char(' ') + SupportAddress + QLatin1Char('.');
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [](const AlertResponse&) {});
}

void WebCaptureController::reportNoPage(const BrowserRow& row)
{
    AlertRequest alert;
    alert.messageText = stringWithFormat(
        localized(QStringLiteral("There is no Web page window available in the current browser "
                                 "(%@).")),
        row.applicationName);
    alert.informativeText = localized(QStringLiteral("Please open a Web page and try again."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [](const AlertResponse&) {});
}
