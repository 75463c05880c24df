// Links in the Freeform Text Area, and the record links of the text area and the
// field cells.
#include "EditorWindowController.h"

#include "FreeformTextView.h"
#include "LinkFinder.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"

namespace {

const QString RecordLinkPrefix = QStringLiteral("uuid://");
const QString FileLinkPrefix = QStringLiteral("file://");

} // namespace

void EditorWindowController::activateFreeformLinks()
{
    if (!m_freeformTextView)
        return;
    const QString text = m_freeformTextView->toPlainText();
    if (text.isEmpty())
        return;
    QList<FreeformTextView::Link> links;
    for (const LinkFinder::Link& link :
         LinkFinder::linksInString(text, LinkFinder::Characters::FreeformText))
        links.append({link.range.location, link.range.length, link.url});
    m_freeformTextView->addLinks(links);
}

bool EditorWindowController::clickedOnLink(const QString& link)
{
    const QString text = QUrl::fromPercentEncoding(link.toUtf8());
    if (text.startsWith(RecordLinkPrefix)) {
        followRecordLink(text.mid(RecordLinkPrefix.size()));
        return true;
    }
    const QUrl url(link);
    if (!LinkFinder::isOpenedBySystem(url)) {
        reportLinkNotFound(text);
        return true;
    }
    if (Presenter::shared().openUrl(url))
        return true;
    if (!text.startsWith(FileLinkPrefix))
        return false;
    reportLinkNotFound(text.mid(FileLinkPrefix.size()));
    return true;
}

void EditorWindowController::reportLinkNotFound(const QString& location)
{
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("Could not find the file at:"));
    alert.informativeText = stringWithFormat(
        localized(QStringLiteral("%@\n\nYou should update the link or remove it.")), location);
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

void EditorWindowController::followRecordLink(const QString& identifier)
{
    const std::shared_ptr<RecordData> record = m_engine->recordForIdentifier(identifier);
    loadLinkedRecord(record);
    // In the history at once, whether or not the user then agrees to show it.
    if (record)
        m_engine->insertInViewedRecordList(record);
}

void EditorWindowController::loadLinkedRecord(const std::shared_ptr<RecordData>& record)
{
    AlertRequest alert;
    if (!record) {
        alert.messageText =
            localized(QStringLiteral("You have linked to a record that no longer exists."));
        alert.informativeText = localized(QStringLiteral("You should probably remove that link."));
        alert.buttons = {localized(QStringLiteral("OK"))};
        Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
        return;
    }
    if (m_engine->isValidRecord(record)) {
        m_engine->loadRecord(record);
        return;
    }
    alert.messageText =
        localized(QStringLiteral("You have linked to a record that is not currently selected."));
    alert.informativeText = localized(QStringLiteral("Do you want to select it and show it?"));
    alert.buttons = {localized(QStringLiteral("Yes, Select the Record")),
                     localized(QStringLiteral("Cancel"))};
    Presenter::shared().beginAlertSheet(
        alert, window(), [self = QPointer(this), record](const AlertResponse& response) {
            if (self)
                self->loadLinkedRecordDidEnd(response.returnCode, record);
        });
}

void EditorWindowController::loadLinkedRecordDidEnd(int returnCode,
                                                    const std::shared_ptr<RecordData>& record)
{
    if (returnCode != AlertFirstButtonReturn || !record || !m_engine->catalog())
        return;
    m_engine->catalog()->includeIdentifier(record->identifier(), true);
    m_engine->loadRecord(record);
}

void EditorWindowController::removeLink()
{
    if (m_freeformTextView)
        m_freeformTextView->removeLinkFromSelection();
}
