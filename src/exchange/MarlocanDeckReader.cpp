#include "MarlocanDeckReader.h"

#include "MacRomanCodec.h"

std::optional<QStringList> MarlocanDeckReader::cards(QByteArrayView deck)
{
    QString text = MacRomanCodec::toUnicode(deck);
    const QLatin1StringView marker("*\rN");
    // Decks of one version start their cards with P: the same marker.
    for (qsizetype at = text.indexOf(QLatin1StringView("*\r"), HeaderLength); at >= 0;
         at = text.indexOf(QLatin1StringView("*\r"), at + 2)) {
        if (at + 2 < text.size() && (text[at + 2] == QLatin1Char('P') || text[at + 2] == QLatin1Char('p')))
            text[at + 2] = QLatin1Char('N');
    }
    if (text.indexOf(marker, HeaderLength) < 0)
        return std::nullopt;
    QStringList cards;
    const qsizetype end = text.size() - TrailerLength;
    const QStringView all(text);
    qsizetype current = HeaderLength;
    while (current < end) {
        const qsizetype next = all.indexOf(marker, current);
        if (next >= 0 && next + marker.size() <= end) {
            cards.append(all.sliced(current, next - current).toString());
            current = next + marker.size();
        } else {
            cards.append(all.sliced(current, end - current).toString());
            current = end;
        }
    }
    // The text area and the list's first line break lines at line feeds only; a
    // carriage return left in would run two lines together.
    for (QString& card : cards)
        card.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return cards;
}
