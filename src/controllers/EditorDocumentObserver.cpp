#include "EditorDocumentObserver.h"

#include "DatafileDocument.h"
#include "EditorTableController.h"
#include "EditorWindowController.h"
#include "ListViewModel.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"

namespace {

const QString DidAddRecordNotification = QStringLiteral("DidAddRecordNotification");
const QString WillDeleteRecordNotification = QStringLiteral("WillDeleteRecordNotification");
const QString DidDeleteRecordNotification = QStringLiteral("DidDeleteRecordNotification");
const QString DidChangeRecordNotification = QStringLiteral("DidChangeRecordNotification");

} // namespace

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
    center.addObserver(DidAddRecordNotification, document, this, [this](const Notification& note) {
        didAddRecord(note.userInfo.value(QStringLiteral("NewIdentifier")).toString(),
                     note.userInfo.value(QStringLiteral("AfterIdentifier")).toString());
    });
    center.addObserver(WillDeleteRecordNotification, document, this,
                       [this](const Notification& note) {
                           willDeleteRecord(note.userInfo.value(QStringLiteral("Identifier")).toString());
                       });
    center.addObserver(DidDeleteRecordNotification, document, this, [this](const Notification&) {
        if (m_editor.engine().isClone())
            m_editor.followFirstWindow();
    });
    center.addObserver(DidChangeRecordNotification, document, this,
                       [this](const Notification& note) {
                           didChangeRecord(note.userInfo.value(QStringLiteral("Identifier")).toString());
                       });
    center.addObserver(DatafileDocument::DatafileFieldFormatChangedNotification, document, this,
                       [this](const Notification&) { didChangeFieldFormat(); });
    center.addObserver(DatafileDocument::RevertedDatafileWindow, document, this,
                       [this](const Notification&) { datafileReverted(); });
    center.addObserver(SubsetSortedData::SelectionWouldBeEmptyErrorNotification,
                       m_editor.engine().catalog().get(), this,
                       [this](const Notification&) { emptySelectionAlert(); });
}

void EditorDocumentObserver::didAddRecord(const QString& identifier, const QString& afterIdentifier)
{
    if (m_editor.engine().isClone()) {
        m_editor.followFirstWindow();
        return;
    }
    m_editor.engine().catalog()->insertIdentifier(identifier, afterIdentifier);
}

void EditorDocumentObserver::willDeleteRecord(const QString& identifier)
{
    // The clone shares the document's catalog: the entry goes once, whichever window is first.
    m_editor.engine().catalog()->deleteIdentifier(identifier);
}

void EditorDocumentObserver::didChangeRecord(const QString& identifier)
{
    EditorTableController* tables = m_editor.tableController();
    if (tables)
        tables->listViewModel()->reloadRow(m_editor.engine().indexOfRecordWithIdentifier(identifier));
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
