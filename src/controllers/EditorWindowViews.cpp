#include "EditorWindowViews.h"

#include "DatafileDocument.h"
#include "EditorRecordsController.h"
#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "NotificationCenter.h"

#include <QTextCursor>

QString EditorWindowViews::plainText() const
{
    const FreeformTextView* view = m_editor.freeformTextView();
    return view ? view->plainText() : QString();
}

QByteArray EditorWindowViews::rtfd() const
{
    const FreeformTextView* view = m_editor.freeformTextView();
    return view ? view->rtfd() : QByteArray();
}

bool EditorWindowViews::showRtfd(const QByteArray& rtfd)
{
    FreeformTextView* view = m_editor.freeformTextView();
    if (!view || !view->loadRtfd(rtfd))
        return false;
    // An empty rich text has no characters to type like: typing takes the datafile's
    // text attributes, as in a record added without text, not the last record's.
    if (view->document()->isEmpty())
        showPlainText(QString());
    return true;
}

void EditorWindowViews::showPlainText(const QString& text)
{
    FreeformTextView* view = m_editor.freeformTextView();
    if (!view)
        return;
    view->setTextFont(settings()->textFont());
    view->setBackgroundColor(settings()->backgroundFTAcolor());
    view->loadPlainText(text);
}

void EditorWindowViews::removeLinks()
{
    if (FreeformTextView* view = m_editor.freeformTextView())
        view->removeLinks();
}

void EditorWindowViews::activateLinks()
{
    m_editor.activateFreeformLinks();
}

void EditorWindowViews::setEditable(bool editable)
{
    if (FreeformTextView* view = m_editor.freeformTextView())
        view->setReadOnly(!editable);
}

void EditorWindowViews::resetSelection()
{
    FreeformTextView* view = m_editor.freeformTextView();
    if (!view)
        return;
    view->setTextCursor(QTextCursor(view->document()));
    view->ensureCursorVisible();
}

bool EditorWindowViews::tableViewActive() const
{
    return m_editor.tableViewActive();
}

void EditorWindowViews::reloadTables()
{
    m_editor.reloadTables();
}

void EditorWindowViews::scrollRowToVisible(qint64 row)
{
    if (EditorTableController* tables = m_editor.tableController())
        tables->listTableView()->scrollTo(tables->listViewModel()->index(int(row), 0));
}

void EditorWindowViews::makeCurrentTableFirstResponder()
{
    if (EditorTableController* tables = m_editor.tableController())
        tables->currentTableView()->setFocus();
}

void EditorWindowViews::tableViewHit()
{
    if (EditorTableController* tables = m_editor.tableController())
        tables->tableViewHit();
}

void EditorWindowViews::editListCell(quint64 column, qint64 row)
{
    if (EditorTableController* tables = m_editor.tableController())
        tables->listTableView()->editCell(int(column), int(row), false);
}

void EditorWindowViews::endEditing()
{
    m_editor.endEditing();
}

quint64 EditorWindowViews::currentField() const
{
    return m_editor.currentField();
}

bool EditorWindowViews::isMobile() const
{
    return m_editor.datafileDocument()->isMobile();
}

std::shared_ptr<DatafileSettingsData> EditorWindowViews::settings() const
{
    return m_editor.settings();
}

bool EditorWindowViews::isDocumentEdited() const
{
    return m_editor.datafileDocument()->isDocumentEdited();
}

void EditorWindowViews::markDocumentEdited()
{
    m_editor.datafileDocument()->updateChangeCount(Document::ChangeType::Done);
}

DatafileChanges& EditorWindowViews::changes()
{
    return m_editor.datafileDocument()->changes();
}

void EditorWindowViews::saveDocument()
{
    m_editor.datafileDocument()->saveDocument();
}

void EditorWindowViews::showRecordLocked(bool locked)
{
    m_editor.showRecordLocked(locked);
}

void EditorWindowViews::showRecordInfo()
{
    m_editor.recordsController().updateRecordInfoPalette();
}

void EditorWindowViews::activateFindBox()
{
    m_editor.activateFindBox();
}

void EditorWindowViews::reloadStatusBar()
{
    m_editor.reloadStatusBar();
}

void EditorWindowViews::didDeleteRecord(const QString& identifier)
{
    NotificationCenter::defaultCenter().postNotification(
        DatafileChanges::DidDeleteRecordNotification, m_editor.document(),
        {{DatafileChanges::IdentifierKey, identifier}});
}
