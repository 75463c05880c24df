#pragma once

#include "TypedStreamValue.h"

#include <QByteArrayView>

// What stopped a typed stream, and where.
struct TypedStreamError {
    QString message;
    qint64 byteOffset = -1;

    QString toString() const;
};

struct TypedStreamReadResult {
    TypedStreamGroups groups;
    std::optional<TypedStreamError> error;

    bool ok() const { return !error.has_value(); }
};

// Reads the old non-keyed archive format ("typed stream") into a generic tree:
// objects with their class chains, scalars, strings, arrays and structs, with
// back-references resolved to the shared values. Both byte orders are read, told
// apart by the signature. Bad input is an error, never a crash: nesting, counts and
// references are checked against the bytes there are.
class TypedStreamReader {
public:
    static TypedStreamReadResult read(QByteArrayView bytes);
};
