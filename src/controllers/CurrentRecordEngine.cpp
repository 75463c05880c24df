#include "CurrentRecordEngine.h"

#include "FieldDefinitions.h"
#include "SystemLog.h"
#include "VKArrayCategories.h"
#include "VKStringCategories.h"

namespace {

bool isEmptyValue(const PlistValue* value)
{
    if (!value || value->isNull())
        return true;
    if (const QString* string = value->asString())
        return string->isEmpty();
    if (const QByteArray* data = value->asData())
        return data->isEmpty();
    return false;
}

using FieldDefinitions::fieldIdentifierOf;
using FieldDefinitions::fieldNameOf;

} // namespace

CurrentRecordEngine::CurrentRecordEngine(Views views) : m_views(views)
{
}

std::shared_ptr<DatafileSettingsData> CurrentRecordEngine::settings() const
{
    return m_views.document->settings();
}

void CurrentRecordEngine::setCurrentRecord(std::shared_ptr<RecordData> record)
{
    m_currentRecord = std::move(record);
}

void CurrentRecordEngine::setCurrentRecordDirty(bool dirty)
{
    if (!m_isClone)
        m_currentRecordDirty = dirty;
}

void CurrentRecordEngine::setNowSyncing(bool syncing)
{
    m_nowSyncing = syncing;
    updateTextEditability();
}

// Lookups

std::shared_ptr<RecordData>
CurrentRecordEngine::recordForIdentifier(const QString& identifier) const
{
    if (!m_catalog || !m_catalog->records())
        return nullptr;
    return m_catalog->records()->recordForIdentifier(identifier);
}

QList<std::shared_ptr<RecordData>>
CurrentRecordEngine::recordsForIdentifiers(const QStringList& identifiers) const
{
    if (!m_catalog || !m_catalog->records())
        return {};
    return m_catalog->records()->recordsForIdentifiers(identifiers);
}

QStringList
CurrentRecordEngine::identifiersForRecords(const QList<std::shared_ptr<RecordData>>& records) const
{
    QStringList identifiers;
    identifiers.reserve(records.size());
    for (const std::shared_ptr<RecordData>& record : records) {
        if (record)
            identifiers.append(record->identifier());
    }
    return identifiers;
}

std::shared_ptr<RecordData> CurrentRecordEngine::recordAtIndex(qint64 index) const
{
    if (!m_catalog)
        return nullptr;
    return recordForIdentifier(m_catalog->selectedIdentifierAtIndex(index));
}

std::shared_ptr<RecordData> CurrentRecordEngine::recordAtCatalogIndex(qint64 index) const
{
    if (!m_catalog)
        return nullptr;
    return recordForIdentifier(SortedData::identifierOfEntry(m_catalog->objectAtIndex(index)));
}

qint64 CurrentRecordEngine::indexOfCurrentRecord() const
{
    if (!m_currentRecord || !m_catalog)
        return 0;
    const qint64 index = m_catalog->indexOfSelectedIdentifier(m_currentRecord->identifier());
    return index == VKArrayCategories::NotFound ? 0 : index;
}

qint64 CurrentRecordEngine::indexOfRecordWithIdentifier(const QString& identifier) const
{
    return m_catalog ? m_catalog->indexOfSelectedIdentifier(identifier)
                     : VKArrayCategories::NotFound;
}

bool CurrentRecordEngine::isValidRecord(const std::shared_ptr<RecordData>& record) const
{
    return record && !record->identifier().isEmpty() && m_catalog &&
           m_catalog->isSelectedIdentifier(record->identifier());
}

bool CurrentRecordEngine::isEmpty(const RecordData& record)
{
    for (const PlistDictionary::Entry& field : record.fields()) {
        if (!isEmptyValue(&field.value))
            return false;
    }
    return record.textString().isEmpty();
}

// Field definitions

qint64 CurrentRecordEngine::currentRecordNumberOfFields() const
{
    return settings()->fields().size();
}

std::optional<PlistDictionary> CurrentRecordEngine::fieldInformationAtIndex(qint64 index) const
{
    const PlistArray fields = settings()->fields();
    if (index < 0 || index >= fields.size())
        return std::nullopt;
    const PlistDictionary* definition = fields.at(index).asDictionary();
    return definition ? std::optional<PlistDictionary>(*definition) : std::nullopt;
}

QString CurrentRecordEngine::fieldNameForIdentifier(const QString& identifier) const
{
    for (const PlistValue& definition : settings()->fields()) {
        if (fieldIdentifierOf(definition) != identifier)
            continue;
        return fieldNameOf(definition);
    }
    return QStringLiteral("");
}

QStringList CurrentRecordEngine::fieldNames() const
{
    QStringList names;
    for (const PlistValue& definition : settings()->fields())
        names.append(fieldNameOf(definition));
    return names;
}

QList<qint64> CurrentRecordEngine::emptyFieldList() const
{
    const PlistArray fields = settings()->fields();
    QList<qint64> empty;
    QStringList identifiers;
    for (qint64 position = 0; position < fields.size(); ++position) {
        empty.append(position);
        identifiers.append(fieldIdentifierOf(fields.at(position)));
    }
    if (!m_catalog)
        return empty;
    for (const QString& selected : m_catalog->selectedIdentifiers()) {
        if (empty.isEmpty())
            break;
        const std::shared_ptr<RecordData> record = recordForIdentifier(selected);
        if (!record)
            continue;
        empty.removeIf([&](qint64 position) {
            return !isEmptyValue(record->fields().find(identifiers.at(position)));
        });
    }
    return empty;
}

void CurrentRecordEngine::addField(const QString& name)
{
    m_views.tables->endEditing();
    FieldDefinitions::insertNewDefinition(*settings(), name, 0);
}

bool CurrentRecordEngine::removeValuesOfUndefinedFields()
{
    return m_views.document->changes().removeValuesOfUndefinedFields();
}

// Commit and load

void CurrentRecordEngine::saveIfDifferentRecord(const std::shared_ptr<RecordData>& record)
{
    if (record != m_currentRecord && !m_isClone) {
        if (m_currentRecord)
            cleanCurrentRecordFields();
        if (record)
            record->viewed();
        CurrentRecordTables& tables = *m_views.tables;
        const bool wasTableActive = tables.tableViewActive();
        if (wasTableActive)
            tables.endEditing();
        if (m_currentRecord) {
            const quint64 column = tables.currentField();
            const qint64 row = indexOfCurrentRecord();
            commitText();
            if (wasTableActive) {
                tables.makeCurrentTableFirstResponder();
                if (!record) {
                    // A commit in place: the user goes on editing the same cell.
                    tables.tableViewHit();
                    if (inListMode())
                        tables.editListCell(column, row);
                }
            }
        }
    }
    if (record)
        setCurrentRecord(record);
}

void CurrentRecordEngine::cleanCurrentRecordFields()
{
    // Values stored before they were cleaned (read from a file, or typed elsewhere).
    const PlistDictionary fields = m_currentRecord->fields();
    for (const PlistValue& definition : settings()->fields()) {
        const QString identifier = fieldIdentifierOf(definition);
        const PlistValue* stored = fields.find(identifier);
        if (const QString* value = stored ? stored->asString() : nullptr)
            writeField(m_currentRecord, identifier, *value, FieldWrite::Bulk);
    }
}

bool CurrentRecordEngine::writeField(const std::shared_ptr<RecordData>& record,
                                     const QString& identifier, const QString& value,
                                     FieldWrite kind)
{
    DatafileChanges* door = changes();
    // Undo of a field change will be registered here.
    return door && door->writeField(record, identifier, value, kind);
}

bool CurrentRecordEngine::writeText(const std::shared_ptr<RecordData>& record,
                                    const QString& plainText,
                                    const DatafileChanges::RichText& rtfd, FieldWrite kind)
{
    DatafileChanges* door = changes();
    return door && door->writeText(record, plainText, rtfd, kind);
}

bool CurrentRecordEngine::writeText(const std::shared_ptr<RecordData>& record,
                                    const QString& plainText, const QByteArray& rtfd,
                                    FieldWrite kind)
{
    DatafileChanges* door = changes();
    return door && door->writeText(record, plainText, rtfd, kind);
}

DatafileChanges* CurrentRecordEngine::changes()
{
    // A clone only shows the datafile.
    return m_isClone ? nullptr : &m_views.document->changes();
}

void CurrentRecordEngine::commitText()
{
    if (m_keepStoredText)
        return;
    CurrentRecordTextArea& textArea = *m_views.textArea;
    // Stored on every commit; typing stamped the record and marked the datafile already.
    writeText(m_currentRecord, textArea.plainText(), [&textArea] { return textArea.rtfd(); },
              FieldWrite::Commit);
}

void CurrentRecordEngine::updateCurrentRecord()
{
    if (m_views.tables->tableViewActive())
        m_views.tables->endEditing();
    commitFreeformText();
}

void CurrentRecordEngine::commitFreeformText()
{
    if (m_currentRecord && !m_isClone)
        commitText();
}

void CurrentRecordEngine::privateLoadValidatedRecord(const std::shared_ptr<RecordData>& record)
{
    m_views.statusBar->showRecordLocked(record->recordLocked());
    saveIfDifferentRecord(record);

    CurrentRecordTextArea& textArea = *m_views.textArea;
    textArea.removeLinks();
    m_keepStoredText = false;
    const bool rich = !record->textRTFD().isEmpty() && !m_views.document->isMobile();
    if (!rich || !textArea.showRtfd(record->textRTFD())) {
        // Once per record: stepping through records must not fill the log.
        if (rich && !m_unreadableTextLogged.contains(record->identifier())) {
            m_unreadableTextLogged.insert(record->identifier());
            SystemLog::log(QStringLiteral("The rich text of record %1 cannot be read; its plain "
                                          "text is shown and the rich text is kept.")
                               .arg(record->identifier()));
        }
        if (rich)
            m_keepStoredText = true;
        textArea.showPlainText(record->textString());
    }
    updateTextEditability();

    m_views.tables->reloadTables();
    if (inListMode())
        m_views.tables->scrollRowToVisible(indexOfCurrentRecord());
    textArea.resetSelection();
    m_views.statusBar->reloadStatusBar();
    m_views.document->removeAllUndoActions();
    if (settings()->automaticallyEnableLinks())
        textArea.activateLinks();
    m_views.statusBar->showRecordInfo();
    setCurrentRecord(record);
}

void CurrentRecordEngine::loadRecord(const std::shared_ptr<RecordData>& record)
{
    if (isValidRecord(record))
        privateLoadValidatedRecord(record);
    else
        loadRecordAtIndex(0);
}

void CurrentRecordEngine::loadRecordAtIndex(qint64 index)
{
    const std::shared_ptr<RecordData> record = recordAtIndex(index);
    if (!record) {
        if (index != 0)
            loadRecordAtIndex(0);
        return;
    }
    if (!isValidRecord(record)) {
        // The first record itself not valid: there is nothing to fall back to.
        if (index == 0)
            return;
        loadRecordAtIndex(0);
        insertInViewedRecordList(recordAtIndex(0));
        return;
    }
    privateLoadValidatedRecord(record);
    insertInViewedRecordList(record);
}

void CurrentRecordEngine::loadCurrentRecord()
{
    loadRecord(m_currentRecord);
}

void CurrentRecordEngine::openRecordAtIndex(qint64 index)
{
    m_viewedRecordList.clear();
    m_currentRecordInList = 0;
    m_movingInViewedRecordList = true;
    loadRecordAtIndex(index);
    m_movingInViewedRecordList = false;
    loadRecordAtIndex(index); // the record shown becomes the history's first entry
    m_currentRecordInList = 0;
}

// Edited state

void CurrentRecordEngine::setDatafileChanged()
{
    if (m_isClone || m_nowSyncing)
        return;
    m_views.document->markDocumentEdited();
}

void CurrentRecordEngine::autoSaveChanges(bool force)
{
    if (!settings()->autoSaveChanges() || !m_canSaveChanges || m_isClone || m_nowSyncing)
        return;
    if (force || m_views.document->isDocumentEdited() || m_currentRecordDirty)
        m_views.document->saveDocument();
}

void CurrentRecordEngine::deleteIfEmptyRecordAtIndex(qint64 index)
{
    if (m_isClone || selectedRecordCount() < 2)
        return;
    const std::shared_ptr<RecordData> record = recordAtIndex(index);
    if (!record || !isEmpty(*record))
        return;
    const QString identifier = record->identifier();
    // The record the user moved to is shown again afterwards, wherever it now stands.
    const QString movedTo =
        m_currentRecord && m_currentRecord != record ? m_currentRecord->identifier() : QString();

    m_views.document->changes().removeRecord(record);
    const qint64 last = lastIndex();
    removeFromViewedRecordList(record);
    m_currentRecord = nullptr;
    if (selectedRecordCount() == 0)
        m_catalog->selectAll();

    m_views.tables->reloadTables();
    m_views.statusBar->reloadStatusBar();
    setDatafileChanged();
    autoSaveChanges(true);

    const std::shared_ptr<RecordData> shown = recordForIdentifier(movedTo);
    if (isValidRecord(shown))
        loadRecord(shown);
    else
        loadRecordAtIndex(last == index ? 0 : index);
    m_lastHitField = NoHit;
    m_views.notifier->didDeleteRecord(identifier);
}

void CurrentRecordEngine::deleteCurrentRecord()
{
    if (m_currentRecord)
        removeRecords({m_currentRecord}, true);
}

qsizetype CurrentRecordEngine::deleteRecords(const QList<std::shared_ptr<RecordData>>& records)
{
    return removeRecords(records, false);
}

qsizetype CurrentRecordEngine::removeRecords(const QList<std::shared_ptr<RecordData>>& records,
                                             bool autoSave)
{
    if (m_isClone || m_nowSyncing || !m_catalog)
        return 0;
    QList<std::shared_ptr<RecordData>> doomed;
    qsizetype left = m_catalog->count();
    for (const std::shared_ptr<RecordData>& record : records) {
        if (left < 2)
            break;
        if (record && !doomed.contains(record)) {
            doomed.append(record);
            --left;
        }
    }
    if (doomed.isEmpty())
        return 0;
    m_views.tables->endEditing();
    const bool currentGoes = m_currentRecord && doomed.contains(m_currentRecord);
    const qint64 index = indexOfCurrentRecord();
    QStringList identifiers;
    identifiers.reserve(doomed.size());
    for (const std::shared_ptr<RecordData>& record : std::as_const(doomed)) {
        identifiers.append(record->identifier());
        removeFromViewedRecordList(record);
    }
    if (doomed.size() == 1)
        m_views.document->changes().removeRecord(doomed.front());
    else
        m_views.document->changes().removeRecords(doomed);
    if (currentGoes)
        m_currentRecord = nullptr;
    if (selectedRecordCount() == 0)
        m_catalog->selectAll();

    m_views.tables->reloadTables();
    m_views.statusBar->reloadStatusBar();
    setDatafileChanged();
    if (autoSave)
        autoSaveChanges(true);
    if (currentGoes) {
        // The record that followed it, the first when it was the last.
        loadRecordAtIndex(index > lastIndex() ? 0 : index);
        m_lastHitField = NoHit;
    }
    for (const QString& identifier : std::as_const(identifiers))
        m_views.notifier->didDeleteRecord(identifier);
    return doomed.size();
}

void CurrentRecordEngine::deleteSelectedRecords()
{
    if (m_isClone || m_nowSyncing || !m_catalog)
        return;
    const QStringList selected = m_catalog->selectedIdentifiers();
    if (selected.isEmpty() || selected.size() >= m_catalog->count())
        return;
    QList<std::shared_ptr<RecordData>> records;
    records.reserve(selected.size());
    for (auto identifier = selected.crbegin(); identifier != selected.crend(); ++identifier) {
        if (std::shared_ptr<RecordData> record = recordForIdentifier(*identifier))
            records.append(std::move(record));
    }
    m_views.document->changes().removeRecords(records);
    m_currentRecord = nullptr;
    m_catalog->selectAll();
    m_views.tables->reloadTables();
    m_views.statusBar->reloadStatusBar();
    setDatafileChanged();
    loadRecordAtIndex(0);
    m_lastHitField = NoHit;
}

// Viewed-record history

void CurrentRecordEngine::insertInViewedRecordList(const std::shared_ptr<RecordData>& record)
{
    if (m_movingInViewedRecordList || !record || record->identifier().isEmpty())
        return;
    if (m_viewedRecordList.size() >= 2 && m_currentRecordInList + 1 < m_viewedRecordList.size())
        m_viewedRecordList.resize(m_currentRecordInList + 1);
    if (m_viewedRecordList.isEmpty() || m_viewedRecordList.last() != record->identifier()) {
        m_viewedRecordList.append(record->identifier());
        m_currentRecordInList = m_viewedRecordList.size() - 1;
    }
}

void CurrentRecordEngine::removeFromViewedRecordList(const std::shared_ptr<RecordData>& record)
{
    if (!record)
        return;
    // The first entry stays: the history is never empty.
    for (qsizetype i = m_viewedRecordList.size() - 1; i >= 1; --i) {
        if (m_viewedRecordList.at(i) != record->identifier())
            continue;
        m_viewedRecordList.removeAt(i);
        if (i <= m_currentRecordInList)
            --m_currentRecordInList;
    }
}

bool CurrentRecordEngine::canGoBackOneRecord() const
{
    return m_viewedRecordList.size() >= 2 && m_currentRecordInList > 0;
}

bool CurrentRecordEngine::canGoForwardOneRecord() const
{
    return m_viewedRecordList.size() >= 2 && m_currentRecordInList + 1 < m_viewedRecordList.size();
}

void CurrentRecordEngine::goBackOneRecord()
{
    if (m_currentRecordInList > 0)
        moveInViewedRecordList(-1);
}

void CurrentRecordEngine::goForwardOneRecord()
{
    if (m_currentRecordInList + 1 < m_viewedRecordList.size())
        moveInViewedRecordList(+1);
}

void CurrentRecordEngine::moveInViewedRecordList(qsizetype step)
{
    updateCurrentRecord();
    autoSaveChanges(false);
    m_movingInViewedRecordList = true;
    m_currentRecordInList += step;
    loadRecord(recordForIdentifier(m_viewedRecordList.at(m_currentRecordInList)));
    m_movingInViewedRecordList = false;
}

qint64 CurrentRecordEngine::selectedPositionOfCurrentRecord() const
{
    return m_currentRecord ? indexOfRecordWithIdentifier(m_currentRecord->identifier())
                           : VKArrayCategories::NotFound;
}

void CurrentRecordEngine::moveToRecordAtIndex(qint64 target, qint64 left)
{
    updateCurrentRecord();
    autoSaveChanges(false);
    loadRecordAtIndex(target);
    freshenWindowContentSettings();
    if (left != VKArrayCategories::NotFound)
        deleteIfEmptyRecordAtIndex(left);
}

void CurrentRecordEngine::goToFirstRecord()
{
    const qint64 left = selectedPositionOfCurrentRecord();
    if (selectedRecordCount() <= 1 || left == 0)
        return;
    moveToRecordAtIndex(0, left);
    if (m_currentRecord && isEmpty(*m_currentRecord))
        goToNextRecord();
}

void CurrentRecordEngine::goToLastRecord()
{
    const qint64 left = selectedPositionOfCurrentRecord();
    if (selectedRecordCount() <= 1 || left == lastIndex())
        return;
    moveToRecordAtIndex(lastIndex(), left);
    if (m_currentRecord && isEmpty(*m_currentRecord))
        goToPreviousRecord();
}

void CurrentRecordEngine::goToNextRecord()
{
    if (selectedRecordCount() <= 1)
        return;
    const qint64 left = selectedPositionOfCurrentRecord();
    const bool wraps = left == VKArrayCategories::NotFound || left == lastIndex();
    moveToRecordAtIndex(wraps ? 0 : left + 1, left);
}

void CurrentRecordEngine::goToPreviousRecord()
{
    if (selectedRecordCount() <= 1)
        return;
    const qint64 left = selectedPositionOfCurrentRecord();
    const bool wraps = left == VKArrayCategories::NotFound || left == 0;
    moveToRecordAtIndex(wraps ? lastIndex() : left - 1, left);
}

void CurrentRecordEngine::goToRecordAtIndex(qint64 index)
{
    const qint64 left = selectedPositionOfCurrentRecord();
    if (index == left)
        return;
    if (m_catalog && m_catalog->isValidSelectedIndex(index))
        moveToRecordAtIndex(index, left);
    else
        goToLastRecord(); // which offers the record left behind itself, once
}

void CurrentRecordEngine::freshenWindowContentSettings()
{
    if (m_views.findBox)
        m_views.findBox->activateFindBox();
    m_lastHitField = NoHit;
}

// Freeform Text Area

bool CurrentRecordEngine::textShouldBeginEditing() const
{
    if (m_isClone || m_nowSyncing)
        return false;
    return !(m_currentRecord && m_currentRecord->recordLocked());
}

bool CurrentRecordEngine::shouldChangeText() const
{
    return !m_nowSyncing && !m_isClone;
}

void CurrentRecordEngine::textDidChange()
{
    if (m_isClone)
        return;
    m_keepStoredText = false;
    if (m_currentRecord)
        m_currentRecord->modified();
    m_currentRecordDirty = true;
    setDatafileChanged();
}

void CurrentRecordEngine::textDidRestore()
{
    if (m_isClone)
        return;
    m_keepStoredText = false;
    setDatafileChanged();
}

void CurrentRecordEngine::updateTextEditability()
{
    m_views.textArea->setEditable(textShouldBeginEditing());
}

bool CurrentRecordEngine::inListMode() const
{
    return settings()->mode() == QLatin1String("List");
}
