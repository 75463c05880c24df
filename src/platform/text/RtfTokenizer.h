#pragma once

#include <QByteArrayView>

// One lexical unit of RTF.
struct RtfToken {
    // Malformed: a \' escape not followed by two hex digits.
    enum class Kind {
        GroupStart,
        GroupEnd,
        ControlWord,
        ControlSymbol,
        HexByte,
        Malformed,
        Text,
        End
    };

    Kind kind = Kind::End;
    QByteArrayView word; // control word letters, or the text bytes
    int parameter = 0;
    bool hasParameter = false;
    char symbol = 0; // control symbol character; '\n' for a backslash before a line end
};

// Splits RTF bytes into groups, control words and symbols, hex bytes and text runs.
// Line ends outside control words carry no meaning and are dropped; "\binN" data is
// skipped. Every call consumes input, so a reader loop always ends.
class RtfTokenizer {
public:
    explicit RtfTokenizer(QByteArrayView rtf) : m_data(rtf) {}

    RtfToken next();
    qsizetype position() const { return m_position; }

private:
    RtfToken readControl();

    QByteArrayView m_data;
    qsizetype m_position = 0;
};
