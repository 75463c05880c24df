#pragma once

#include "TypedStreamValue.h"

#include <memory>
#include <optional>

// A paragraph style as the platform archives it in rich text: the alignment and the
// line-break mode it leads with. The metrics and tab stops after them are written as
// a plain style has them (no indents, spacing or tab stops).
class ArchivedParagraphStyle {
public:
    // The platform's numbers for them in archives of this kind, which were written
    // when right came before centre.
    enum class Alignment { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };
    enum class LineBreakMode {
        WordWrapping = 0,
        CharWrapping = 1,
        Clipping = 2,
        TruncatingHead = 3,
        TruncatingTail = 4,
        TruncatingMiddle = 5
    };

    ArchivedParagraphStyle() = default;
    ArchivedParagraphStyle(Alignment alignment, LineBreakMode lineBreakMode)
        : alignment(alignment), lineBreakMode(lineBreakMode)
    {
    }

    Alignment alignment = Alignment::Natural;
    LineBreakMode lineBreakMode = LineBreakMode::WordWrapping;

    // Nullopt, with the reason in problem, for anything else, or numbers out of range.
    static std::optional<ArchivedParagraphStyle> fromObject(const TypedStreamObject& object,
                                                            QString* problem = nullptr);
    std::shared_ptr<TypedStreamObject> toObject() const;

    bool operator==(const ArchivedParagraphStyle&) const = default;
};
