#pragma once

#include <QTextFormat>

// Text format properties for what QTextDocument has no property of its own, so that
// those attributes survive reading and writing rich text.
struct RtfTextProperty {
    enum : int {
        // QVariantList {x offset, y offset, blur radius, opacity (twips, 0-255), QColor}
        Shadow = QTextFormat::UserProperty + 0x5200,
        Kerning,            // int, the kerning control's parameter
        Expansion,          // int, character expansion in twips
        Ligature,           // int
        BaselineOffset,     // int, half-points; positive raises the text
        AttachmentFileName, // QString, the attachment's file name in the RTFD folder
        AttachmentContents, // QByteArray, the attachment file's bytes as read
        MaximumLineHeight,  // int, twips
        DefaultTabInterval, // int, twips
    };
};
