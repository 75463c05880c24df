#include "DatafileRecordSource.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "EditorDrawerController.h"
#include "EditorWindowController.h"

DatafileRecordSource::DatafileRecordSource(EditorWindowController* editor) : m_editor(editor)
{
}

bool DatafileRecordSource::isAvailable() const
{
    return m_editor && m_editor->datafileDocument();
}

qint64 DatafileRecordSource::countSelected() const
{
    return isAvailable() ? m_editor->engine().selectedRecordCount() : 0;
}

QString DatafileRecordSource::addressBlockAtIndex(qint64 index) const
{
    return isAvailable() ? m_editor->datafileDocument()->addressBlockAtIndex(index) : QString();
}

std::optional<QString> DatafileRecordSource::contentOfField(const QString& fieldName,
                                                            qint64 index) const
{
    if (!isAvailable())
        return std::nullopt;
    return m_editor->datafileDocument()->contentOfField(fieldName, index);
}

qint64 DatafileRecordSource::indexOfCurrentRecord() const
{
    return isAvailable() ? m_editor->engine().indexOfCurrentRecord() : 0;
}

void DatafileRecordSource::saveAndReloadCurrentRecord()
{
    if (!isAvailable())
        return;
    CurrentRecordEngine& engine = m_editor->engine();
    engine.saveIfDifferentRecord(nullptr);
    engine.loadRecordAtIndex(engine.indexOfCurrentRecord());
}

void DatafileRecordSource::incrementOpenTemplateCount()
{
    if (m_editor)
        m_editor->incrementOpenTemplateCount();
}

void DatafileRecordSource::decrementOpenTemplateCount()
{
    if (m_editor)
        m_editor->decrementOpenTemplateCount();
}

bool DatafileRecordSource::editingNonPrintableRecords() const
{
    return m_editor && m_editor->drawerController().editingNonPrintableRecords();
}

void DatafileRecordSource::editNonPrintableRecords(const QList<qint64>& printableRecords,
                                                   TemplatePageWindowController* controller)
{
    if (isAvailable())
        m_editor->drawerController().editNonPrintableRecords(printableRecords, controller);
}
