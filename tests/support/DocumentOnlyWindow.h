#pragma once

#include "FeatureContext.h"

// A window with none of its own parts, only the document: how a headless run serves the
// features.
class DocumentOnlyWindow : public FeatureWindow {
public:
    explicit DocumentOnlyWindow(DatafileDocument& document) : m_document(document) {}
    DatafileDocument* datafileDocument() const override { return &m_document; }
    void selectAllRecords() override {}
    std::shared_ptr<RecordData> addNewRecord() override { return nullptr; }
    std::shared_ptr<RecordData> addRecordForModification() override { return nullptr; }
    qint64 stripDuplicateRecords(bool) override { return 0; }
    QString addNewFieldWithName(const QString&) override { return {}; }
    QString appendNewFieldWithName(const QString&) override { return {}; }
    void resetSplitView() override {}

private:
    DatafileDocument& m_document;
};
