#pragma once

#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// One type of an archive's type encoding: a scalar ("i", "f", "@" ...), an array
// ("[12c]") or a struct ("{_NSSize=ff}").
struct TypedStreamType {
    char code = 0;    // the scalar's character, '[' for an array, '{' for a struct
    qint64 count = 0; // an array's element count
    std::vector<TypedStreamType> members; // an array's element type, a struct's fields
    qint64 minimumSize = 1;               // the fewest bytes a value of the type takes

    bool isByteArray() const
    {
        return code == '[' && (members[0].code == 'c' || members[0].code == 'C');
    }
};

// Splits a group's type encoding into its types. Types that carry no bytes (an
// empty struct, an array of none) are refused, so that a count read from a stream
// can always be checked against the bytes left.
class TypedStreamEncoding {
public:
    // How deeply objects, arrays and structs may nest in a stream, read or written.
    static constexpr int maximumNesting = 64;

    static std::optional<std::vector<TypedStreamType>> parse(QByteArrayView encoding,
                                                             QString* error = nullptr);
};
