#include "DtmfTones.h"

#include <QtEndian>

#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr std::array rowFrequencies{697, 770, 852, 941};
constexpr std::array columnFrequencies{1209, 1336, 1477, 1633};
// Each of the two sines at half of full scale less a margin, so that their sum never clips.
constexpr double amplitude = 0.45 * 32767;
// Rising and falling over 5 ms, so that the tone starts and ends without a click.
constexpr double rampSeconds = 0.005;

void appendLittleEndian32(QByteArray& bytes, quint32 value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 4);
}

void appendLittleEndian16(QByteArray& bytes, quint16 value)
{
    char buffer[2];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, 2);
}

} // namespace

std::pair<int, int> DtmfTones::frequenciesForDigit(int digit)
{
    // The keypad: 1 2 3 / 4 5 6 / 7 8 9 / * 0 #.
    if (digit == 0)
        return {rowFrequencies[3], columnFrequencies[1]};
    const int key = digit - 1;
    return {rowFrequencies[size_t(key / 3)], columnFrequencies[size_t(key % 3)]};
}

QByteArray DtmfTones::wavForDigit(int digit)
{
    const auto [row, column] = frequenciesForDigit(digit);
    const int sampleCount = int(std::lround(toneSeconds * sampleRate));
    const int rampSamples = int(rampSeconds * sampleRate);
    QByteArray samples;
    samples.reserve(sampleCount * 2);
    for (int i = 0; i < sampleCount; ++i) {
        const double t = double(i) / sampleRate;
        const int fromEdge = std::min(i, sampleCount - 1 - i);
        const double envelope = fromEdge < rampSamples ? double(fromEdge) / rampSamples : 1.0;
        const double value = envelope * amplitude *
                             (std::sin(2 * std::numbers::pi * row * t) +
                              std::sin(2 * std::numbers::pi * column * t));
        appendLittleEndian16(samples, quint16(qint16(std::lround(value))));
    }

    QByteArray wav("RIFF");
    appendLittleEndian32(wav, quint32(36 + samples.size()));
    wav.append("WAVEfmt ");
    appendLittleEndian32(wav, 16); // the format chunk's size
    appendLittleEndian16(wav, 1);  // PCM
    appendLittleEndian16(wav, 1);  // mono
    appendLittleEndian32(wav, sampleRate);
    appendLittleEndian32(wav, sampleRate * 2); // bytes a second
    appendLittleEndian16(wav, 2);              // bytes a frame
    appendLittleEndian16(wav, 16);             // bits a sample
    wav.append("data");
    appendLittleEndian32(wav, quint32(samples.size()));
    wav.append(samples);
    return wav;
}
