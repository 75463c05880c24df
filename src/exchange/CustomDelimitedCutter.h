#pragma once

#include <QList>
#include <QStringView>

// A text cut at a delimiter the user typed, matched literally and case-sensitively.
namespace CustomDelimitedCutter {

struct Piece {
    qsizetype start = 0;
    qsizetype length = 0;
};

// The non-empty pieces between delimiters, in order; an empty delimiter leaves the whole
// text one piece.
QList<Piece> pieces(QStringView text, QStringView delimiter);

} // namespace CustomDelimitedCutter
