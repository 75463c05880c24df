#include "LinkCommandsController.h"

#include "DatafileSettingsData.h"
#include "FeatureContext.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"

#include <QFileInfo>
#include <QTextCursor>
#include <QUrl>

namespace {

FieldCellEditor* fieldBeingEdited(const FeatureContext& context)
{
    QWidget* window = context.window();
    return window ? qobject_cast<FieldCellEditor*>(window->focusWidget()) : nullptr;
}

} // namespace

LinkCommandsController::LinkCommandsController(FeatureContext& context) : m_context(context)
{
    m_context.registerAction(QStringLiteral("insertFileLink:"),
                             [this](QObject*) { insertFileLink(); });
    m_context.registerAction(QStringLiteral("deactivateFieldLink:"),
                             [this](QObject*) { deactivateFieldLink(); });
}

void LinkCommandsController::insertFileLink()
{
    OpenPanelRequest request;
    request.canChooseFiles = true;
    request.canChooseDirectories = true;
    request.allowsMultipleSelection = false;
    request.resolvesAliases = true;
    request.prompt = localized(QStringLiteral("Select"));
    const QList<QUrl> chosen = Presenter::shared().runOpenPanel(request, nullptr);
    if (chosen.isEmpty() || !chosen.constFirst().isLocalFile())
        return;
    const QString path = QFileInfo(chosen.constFirst().toLocalFile()).absoluteFilePath();
    const QString url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    FreeformTextView* text = m_context.host().freeformTextView();
    QWidget* window = m_context.window();
    if (text && window && window->focusWidget() == text) {
        linkInFreeformText(url, QFileInfo(path).fileName());
        return;
    }
    if (FieldCellEditor* field = fieldBeingEdited(m_context); field && !field->isReadOnly())
        field->insertPlainText(url);
}

void LinkCommandsController::linkInFreeformText(const QString& url, const QString& name)
{
    FreeformTextView* text = m_context.host().freeformTextView();
    if (text->isReadOnly())
        return;
    QTextCursor cursor = text->textCursor();
    if (!cursor.hasSelection()) {
        const int start = cursor.position();
        cursor.insertText(name);
        cursor.setPosition(start);
        cursor.setPosition(start + int(name.size()), QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
        text->setLinkOnSelection(url);
        // The caret after the name, as typing it would leave it.
        cursor.clearSelection();
        text->setTextCursor(cursor);
    } else {
        text->setLinkOnSelection(url);
    }
    if (m_context.settings()->automaticallyEnableLinks())
        m_context.host().activateFreeformLinks();
}

void LinkCommandsController::deactivateFieldLink()
{
    if (FieldCellEditor* field = fieldBeingEdited(m_context))
        field->setLinks({});
}
