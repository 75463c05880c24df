// The editor window's current record: every rule lives in CurrentRecordEngine; the
// window gives it its views and forwards the operations other features call.
#include "EditorWindowController.h"

#include "DatafileDocument.h"

#include "Localization.h"

#include <QLabel>

void EditorWindowController::setCatalog(std::shared_ptr<SubsetSortedData> catalog)
{
    m_engine->setCatalog(std::move(catalog));
}

void EditorWindowController::setCurrentRecord(std::shared_ptr<RecordData> record)
{
    m_engine->setCurrentRecord(std::move(record));
}

std::shared_ptr<RecordData>
EditorWindowController::recordForIdentifier(const QString& identifier) const
{
    return m_engine->recordForIdentifier(identifier);
}

QList<std::shared_ptr<RecordData>>
EditorWindowController::recordsForIdentifiers(const QStringList& identifiers) const
{
    return m_engine->recordsForIdentifiers(identifiers);
}

QStringList EditorWindowController::identifiersForRecords(
    const QList<std::shared_ptr<RecordData>>& records) const
{
    return m_engine->identifiersForRecords(records);
}

std::shared_ptr<RecordData> EditorWindowController::recordAtIndex(qint64 index) const
{
    return m_engine->recordAtIndex(index);
}

std::shared_ptr<RecordData> EditorWindowController::recordAtCatalogIndex(qint64 index) const
{
    return m_engine->recordAtCatalogIndex(index);
}

qint64 EditorWindowController::indexOfCurrentRecord() const
{
    return m_engine->indexOfCurrentRecord();
}

qint64 EditorWindowController::indexOfRecordWithIdentifier(const QString& identifier) const
{
    return m_engine->indexOfRecordWithIdentifier(identifier);
}

bool EditorWindowController::isValidRecord(const std::shared_ptr<RecordData>& record) const
{
    return m_engine->isValidRecord(record);
}

bool EditorWindowController::isEmpty(const RecordData& record)
{
    return CurrentRecordEngine::isEmpty(record);
}

qint64 EditorWindowController::currentRecordNumberOfFields() const
{
    return m_engine->currentRecordNumberOfFields();
}

std::optional<PlistDictionary> EditorWindowController::fieldInformationAtIndex(qint64 index) const
{
    return m_engine->fieldInformationAtIndex(index);
}

QString EditorWindowController::fieldNameForIdentifier(const QString& identifier) const
{
    return m_engine->fieldNameForIdentifier(identifier);
}

QStringList EditorWindowController::fieldNames() const
{
    return m_engine->fieldNames();
}

QList<qint64> EditorWindowController::emptyFieldList() const
{
    return m_engine->emptyFieldList();
}

void EditorWindowController::addField(const QString& name)
{
    m_engine->addField(name);
}

void EditorWindowController::saveIfDifferentRecord(const std::shared_ptr<RecordData>& record)
{
    m_engine->saveIfDifferentRecord(record);
}

void EditorWindowController::updateCurrentRecord()
{
    m_engine->updateCurrentRecord();
}

void EditorWindowController::loadRecord(const std::shared_ptr<RecordData>& record)
{
    m_engine->loadRecord(record);
}

void EditorWindowController::loadRecordAtIndex(qint64 index)
{
    m_engine->loadRecordAtIndex(index);
}

void EditorWindowController::loadCurrentRecord()
{
    m_engine->loadCurrentRecord();
}

void EditorWindowController::setDatafileChanged()
{
    m_engine->setDatafileChanged();
}

void EditorWindowController::autoSaveChanges(bool force)
{
    m_engine->autoSaveChanges(force);
}

void EditorWindowController::deleteIfEmptyRecordAtIndex(qint64 index)
{
    m_engine->deleteIfEmptyRecordAtIndex(index);
}

void EditorWindowController::insertInViewedRecordList(const std::shared_ptr<RecordData>& record)
{
    m_engine->insertInViewedRecordList(record);
}

void EditorWindowController::removeFromViewedRecordList(const std::shared_ptr<RecordData>& record)
{
    m_engine->removeFromViewedRecordList(record);
}

void EditorWindowController::setMovingInViewedRecordList(bool moving)
{
    m_engine->setMovingInViewedRecordList(moving);
}

void EditorWindowController::goBackOneRecord()
{
    m_engine->goBackOneRecord();
}

void EditorWindowController::goForwardOneRecord()
{
    m_engine->goForwardOneRecord();
}

void EditorWindowController::goToNextRecord()
{
    m_engine->goToNextRecord();
}

void EditorWindowController::showRecordLocked(bool locked)
{
    if (m_recordLocked)
        m_recordLocked->setText(locked ? localized(QStringLiteral("Locked")) : QString());
}

QString EditorWindowController::addressBlockText() const
{
    return datafileDocument()->addressBlockAtIndex(indexOfCurrentRecord());
}
