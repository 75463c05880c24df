#include "EditorTelephonyController.h"

#include "CurrentRecordEngine.h"
#include "FeatureContext.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "TelephoneLinkPass.h"

void EditorTelephonyController::createLinksForAllTelephoneNumbers()
{
    if (m_linkPass)
        return;
    if (m_context.hasCurrentRecordEngine()) {
        // What was typed is in the record before the pass reads it.
        m_context.host().endEditing();
        m_context.engine().saveIfDifferentRecord(nullptr);
        m_context.engine().goToFirstRecord();
    }
    m_context.progress().startIndeterminateProgressPanel(
        localized(QStringLiteral("Adding telephone number links")));
    m_linkPass = std::make_unique<TelephoneLinkPass>(
        m_context, [this](qint64 linkCount) { linkPassDidEnd(linkCount); });
    m_linkPass->start();
}

void EditorTelephonyController::linkPassDidEnd(qint64 linkCount)
{
    m_linkPass.release()->deleteLater();
    m_context.progress().endIndeterminateProgressPanel();
    if (m_context.hasCurrentRecordEngine()) {
        // The shown record as the pass left it: its copy in the views is older.
        m_context.host().reloadTables();
        m_context.engine().loadCurrentRecord();
    }
    AlertRequest alert;
    alert.messageText =
        linkCount == 1 ? localized(QStringLiteral("1 Link Added"))
                       : stringWithFormat(localized(QStringLiteral("%lld Links Added")), linkCount);
    alert.buttons = {localized(QStringLiteral("OK"))};
    alert.style = AlertRequest::Style::Informational;
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [](const AlertResponse&) {});
}
