#pragma once

#include "NonPrintableRecordsEditor.h"
#include "PageRecordSource.h"

#include <QPointer>

class EditorWindowController;

// The records a template lays out, served by its datafile's document and editor window:
// the window's selection and current record, the document's address blocks and field
// contents. Once the window has closed, none.
class DatafileRecordSource : public PageRecordSource, public NonPrintableRecordsEditor {
public:
    explicit DatafileRecordSource(EditorWindowController* editor);

    EditorWindowController* editor() const { return m_editor; }

    bool isAvailable() const override;
    qint64 countSelected() const override;
    QString addressBlockAtIndex(qint64 index) const override;
    std::optional<QString> contentOfField(const QString& fieldName, qint64 index) const override;
    qint64 indexOfCurrentRecord() const override;
    void saveAndReloadCurrentRecord() override;
    void incrementOpenTemplateCount() override;
    void decrementOpenTemplateCount() override;

    // The window's bottom panel edits the records the template cannot print.
    bool editingNonPrintableRecords() const override;
    void editNonPrintableRecords(const QList<qint64>& printableRecords,
                                 TemplatePageWindowController* controller) override;

private:
    QPointer<EditorWindowController> m_editor;
};
