#pragma once

// What every template design entry must satisfy, shared by the fuzzer and the corpus
// replay test: a property list whose entries (or which itself) are read as graphics; an
// entry that is not one of the seven classes gives none; one that is writes a dictionary
// that reads back as the same class and, from then on, writes the same dictionary again.
// (A dictionary written always names a field, and a named field's stroke is its own, so
// a field read from a file without a name may change once.)
#include "Graphic.h"
#include "PropertyList.h"

#include <QByteArrayView>

inline bool graphicRoundTripHolds(QByteArrayView bytes)
{
    const PlistReadResult read = readPropertyList(bytes);
    if (!read.ok())
        return true;
    std::vector<PlistValue> entries;
    if (const PlistArray* array = read.value.asArray())
        entries.assign(array->begin(), array->end());
    else
        entries.push_back(read.value);
    for (const PlistValue& entry : entries) {
        const std::shared_ptr<Graphic> graphic =
            Graphic::graphicWithPropertyListRepresentation(entry);
        if (!graphic)
            continue;
        const auto reread = [&](const PlistDictionary& written) {
            std::shared_ptr<Graphic> again =
                Graphic::graphicWithPropertyListRepresentation(PlistValue(written));
            return again && again->graphicType() == graphic->graphicType() ? again : nullptr;
        };
        const PlistDictionary first = graphic->propertyListRepresentation();
        const std::shared_ptr<Graphic> second = reread(first);
        if (!PlistValue(first).hasXmlForm() || !second)
            return false;
        const PlistDictionary written = second->propertyListRepresentation();
        const std::shared_ptr<Graphic> third = reread(written);
        if (!third || PlistValue(third->propertyListRepresentation()) != PlistValue(written))
            return false;
    }
    return true;
}
