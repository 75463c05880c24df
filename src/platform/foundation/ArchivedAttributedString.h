#pragma once

#include "TypedStreamValue.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The platform's attributed string as its archiver writes it: the characters, then one
// group per run (the index of the run's attribute dictionary and the run's length),
// each dictionary following the first run that uses its index. The one reader of that
// layout for every archived value that holds rich text.
class ArchivedAttributedString {
public:
    // One attribute dictionary: its keys and values in archive order.
    struct Attributes {
        std::vector<std::pair<QString, TypedStreamValue>> entries;

        // The object under key; null when absent or nil. A key given twice answers
        // with its last value, as a dictionary built from the entries would.
        std::shared_ptr<TypedStreamObject> object(QStringView key) const;
        bool operator==(const Attributes&) const = default;
    };

    struct Run {
        qint64 location = 0;
        qint64 length = 0;
        // Shared by the runs that name one dictionary.
        std::shared_ptr<const Attributes> attributes;
    };

    ArchivedAttributedString();

    // The chain of the archived object (a text storage archives as its own class).
    QList<TypedStreamClass> classes;
    QString string;
    // In order and adjacent from the start; characters past the last run carry no
    // attributes.
    std::vector<Run> runs;

    // Appends characters with their attributes; a run whose attributes equal the last
    // run's lengthens that one.
    void append(const QString& text, const Attributes& attributes);
    // The attributes at a character; null past the runs.
    const Attributes* attributesAt(qint64 position) const;

    // Nullopt, with the reason in problem, for anything that is not an attributed string
    // of that layout.
    static std::optional<ArchivedAttributedString> fromObject(const TypedStreamObject& object,
                                                              QString* problem);
    static std::optional<ArchivedAttributedString> fromData(QByteArrayView bytes, QString* problem);
    // Runs with equal attributes share one dictionary.
    std::shared_ptr<TypedStreamObject> toObject() const;
    QByteArray toData() const;

    // The characters of a string object, or of an attributed string object.
    static std::optional<QString> textOf(const TypedStreamValue& value);
};
