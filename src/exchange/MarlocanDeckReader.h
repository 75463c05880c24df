#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// A Marlocan card deck: Mac OS Roman text with a 6-character header and trailer, its
// cards between them separated by asterisk, carriage return and N (or P, of either case).
class MarlocanDeckReader {
public:
    static constexpr qsizetype HeaderLength = 6;
    static constexpr qsizetype TrailerLength = 6;

    // The cards' texts in deck order, an empty card kept, their carriage returns line
    // feeds; nothing when the deck holds no card marker after its header.
    static std::optional<QStringList> cards(QByteArrayView deck);
};
