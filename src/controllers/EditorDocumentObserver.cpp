#include "EditorDocumentObserver.h"

#include "DatafileDocument.h"
#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "ListViewModel.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"

EditorDocumentObserver::EditorDocumentObserver(EditorWindowController& editor) : m_editor(editor) {}

EditorDocumentObserver::~EditorDocumentObserver()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void EditorDocumentObserver::observe()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.removeObserver(this);
    // The document as the object: another document's records never reach this window.
    const DatafileDocument* document = m_editor.datafileDocument();
    // The document's door has placed new records in the shared catalog already.
    const auto followInAClone = [this](const Notification&) {
        if (m_editor.engine().isClone())
            m_editor.followFirstWindow();
    };
    center.addObserver(DatafileChanges::DidAddRecordNotification, document, this, followInAClone);
    center.addObserver(DatafileChanges::DidAddRecordsNotification, document, this, followInAClone);
    center.addObserver(DatafileChanges::WillDeleteRecordNotification, document, this,
                       [this](const Notification& note) {
                           willDeleteRecord(
                               note.userInfo.value(DatafileChanges::IdentifierKey).toString());
                       });
    center.addObserver(DatafileChanges::DidDeleteRecordNotification, document, this,
                       followInAClone);
    center.addObserver(DatafileChanges::DidChangeRecordNotification, document, this,
                       [this](const Notification& note) {
                           const QVariant one = note.userInfo.value(DatafileChanges::IdentifierKey);
                           didChangeRecords(
                               one.isValid()
                                   ? QStringList{one.toString()}
                                   : note.userInfo.value(DatafileChanges::IdentifiersKey)
                                         .toStringList());
                       });
    center.addObserver(DatafileDocument::DatafileFieldFormatChangedNotification, document, this,
                       [this](const Notification&) { didChangeFieldFormat(); });
    center.addObserver(DatafileDocument::RevertedDatafileWindow, document, this,
                       [this](const Notification&) { datafileReverted(); });
    center.addObserver(SubsetSortedData::SelectionWouldBeEmptyErrorNotification,
                       m_editor.engine().catalog().get(), this,
                       [this](const Notification&) { emptySelectionAlert(); });
}

void EditorDocumentObserver::willDeleteRecord(const QString& identifier)
{
    // The clone shares the document's catalog: the entry goes once, whichever window is first.
    m_editor.engine().catalog()->deleteIdentifier(identifier);
}

void EditorDocumentObserver::didChangeRecords(const QStringList& identifiers)
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (EditorTableController* tables = m_editor.tableController()) {
        if (identifiers.size() == 1)
            tables->listViewModel()->reloadRow(engine.indexOfRecordWithIdentifier(identifiers.front()));
        else
            tables->listViewModel()->reloadAllRows();
    }
    // A clone shows the record's new values and text; the window that wrote them has them.
    const std::shared_ptr<RecordData>& current = engine.currentRecord();
    if (engine.isClone() && current && identifiers.contains(current->identifier())) {
        m_editor.reloadTables();
        engine.loadCurrentRecord();
    }
}

void EditorDocumentObserver::didChangeFieldFormat()
{
    // A clone shows the new fields too; it marks nothing changed.
    m_editor.setupTables();
    m_editor.engine().setDatafileChanged();
}

void EditorDocumentObserver::datafileReverted()
{
    if (m_editor.engine().isClone()) {
        m_editor.followFirstWindow();
        return;
    }
    CurrentRecordEngine& engine = m_editor.engine();
    m_editor.endEditing();
    engine.setCurrentRecord(nullptr);
    engine.setCatalog(m_editor.datafileDocument()->datafileCatalog());
    m_editor.setupTables();
    m_editor.reloadStatusBar();
    engine.loadCurrentRecord();
    // The catalog read again is another object: its refusals are observed anew.
    observe();
}

void EditorDocumentObserver::emptySelectionAlert()
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = localized(QStringLiteral("Selection Did Not Change"));
    alert.informativeText = localized(QStringLiteral(
        "Criterion would have resulted in no records being selected, which is not permitted."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_editor.window(), [](const AlertResponse&) {});
}
