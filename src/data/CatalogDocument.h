#pragma once

#include <QString>

class RecordData;

// What a catalog's sort asks of the document that owns it.
class CatalogDocument {
public:
    virtual ~CatalogDocument() = default;
    // The record's address block taken from its Freeform text, lines joined by "\n".
    virtual QString freeformAddressBlockForRecord(const RecordData& record) const = 0;
};
