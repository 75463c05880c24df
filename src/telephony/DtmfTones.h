#pragma once

#include <QByteArray>
#include <utility>

// The touch tones of the digits: each the sum of a row frequency (697, 770, 852 or 941 Hz)
// and a column frequency (1209, 1336 or 1477 Hz; 1633 Hz is the fourth column, of the
// letter keys), written as short mono 16-bit WAV files.
namespace DtmfTones {

constexpr int sampleRate = 22050;
// Shorter than the pause between tones, so that one has ended before the next begins.
constexpr double toneSeconds = 0.2;

// The row and column frequencies of a digit 0-9, in hertz.
std::pair<int, int> frequenciesForDigit(int digit);
// The digit's tone as a whole WAV file.
QByteArray wavForDigit(int digit);

} // namespace DtmfTones
