#include "DialingSteps.h"
#include "DtmfTones.h"
#include "QtPresenter.h"
#include "SoundLibrary.h"

#include <QFile>
#include <QTest>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

struct Wave {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::vector<double> samples; // -1 to 1
};

// The format and samples of a PCM WAV file; the channels stay zero when it is none.
Wave readWave(const QByteArray& bytes)
{
    Wave wave;
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return wave;
    // Read from a copy of our own: the compiler cannot see that an empty array's shared
    // byte is never read here, and warns.
    const std::vector<char> data(bytes.cbegin(), bytes.cend());
    const auto length = qsizetype(data.size());
    qsizetype at = 12;
    while (at + 8 <= length) {
        const QByteArray id = bytes.mid(at, 4);
        const auto size = qsizetype(qFromLittleEndian<quint32>(data.data() + at + 4));
        const char* body = data.data() + at + 8;
        if (at + 8 + size > length)
            return {};
        if (id == "fmt " && size >= 16 && qFromLittleEndian<quint16>(body) == 1) {
            wave.channels = qFromLittleEndian<quint16>(body + 2);
            wave.sampleRate = int(qFromLittleEndian<quint32>(body + 4));
            wave.bitsPerSample = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data") {
            for (qsizetype i = 0; i + 1 < size; i += 2)
                wave.samples.push_back(qFromLittleEndian<qint16>(body + i) / 32768.0);
        }
        at += 8 + size + (size & 1);
    }
    return wave;
}

// The amplitude of the frequency in the samples, by Goertzel's recurrence: a full-scale
// sine of that frequency gives 1.
double amplitudeAt(const Wave& wave, double frequency)
{
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / wave.sampleRate);
    double previous = 0;
    double beforePrevious = 0;
    for (const double sample : wave.samples) {
        const double current = sample + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious -
                         coefficient * previous * beforePrevious;
    return 2 * std::sqrt(std::max(0.0, power)) / double(wave.samples.size());
}

TEST(DtmfTonesTest, EachBundledTone_HoldsItsDigitsTwoFrequenciesAndNoOther)
{
    const int expected[10][2] = {{941, 1336}, {697, 1209}, {697, 1336}, {697, 1477}, {770, 1209},
                                 {770, 1336}, {770, 1477}, {852, 1209}, {852, 1336}, {852, 1477}};
    for (int digit = 0; digit <= 9; ++digit) {
        SCOPED_TRACE(digit);
        const QString name = DialingSteps::toneNameForCharacter(QChar(u'0' + digit));
        QFile file(QStringLiteral(":/sounds/%1.wav").arg(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = file.readAll();
        EXPECT_EQ(bytes, DtmfTones::wavForDigit(digit));
        const Wave wave = readWave(bytes);
        ASSERT_EQ(wave.channels, 1);
        ASSERT_EQ(wave.bitsPerSample, 16);
        ASSERT_GT(wave.sampleRate, 2 * 1633);
        // Over before the next tone begins.
        EXPECT_LT(double(wave.samples.size()) / wave.sampleRate, 0.25);
        EXPECT_GT(double(wave.samples.size()) / wave.sampleRate, 0.1);

        const auto [row, column] = DtmfTones::frequenciesForDigit(digit);
        EXPECT_EQ(row, expected[digit][0]);
        EXPECT_EQ(column, expected[digit][1]);
        EXPECT_GT(amplitudeAt(wave, row), 0.35);
        EXPECT_GT(amplitudeAt(wave, column), 0.35);
        // Every other tone of the keypad, and everything else the telephone band carries.
        for (const int other : {697, 770, 852, 941, 1209, 1336, 1477, 1633}) {
            if (other != row && other != column) {
                EXPECT_LT(amplitudeAt(wave, other), 0.02) << other;
            }
        }
        for (int frequency = 300; frequency <= 3400; frequency += 25) {
            if (std::abs(frequency - row) > 60 && std::abs(frequency - column) > 60) {
                EXPECT_LT(amplitudeAt(wave, frequency), 0.02) << frequency;
            }
        }
        // The two sines together never clip.
        double peak = 0;
        for (const double sample : wave.samples)
            peak = std::max(peak, std::abs(sample));
        EXPECT_LT(peak, 0.99);
    }
}

TEST(DtmfTonesTest, ToneNames_DigitsOnly)
{
    EXPECT_EQ(DialingSteps::toneNameForCharacter(u'0'), "n222s_0");
    EXPECT_EQ(DialingSteps::toneNameForCharacter(u'9'), "n222s_9");
    for (const QChar other : {u'-', u'*', u'#', u'a', u' ', u'\u0663'})
        EXPECT_TRUE(DialingSteps::toneNameForCharacter(other).isEmpty());
    EXPECT_EQ(readWave("RIFF\x10\0\0\0WAVEdata\xff\xff\0\0").channels, 0);
}

TEST(DtmfTonesTest, QtPresenter_FindsTheToneAmongTheProgramsOwnSounds_PlaysWithoutAnAudioDevice)
{
    EXPECT_EQ(SoundLibrary::bundledSoundPath("n222s_3"), ":/sounds/n222s_3.wav");
    EXPECT_TRUE(SoundLibrary::bundledSoundPath("n222s_x").isEmpty());
    EXPECT_TRUE(SoundLibrary::bundledSoundPath("").isEmpty());
    QtPresenter presenter;
    presenter.playSound("n222s_3");
    presenter.playSound("n222s_3");
    presenter.playSound("n222s_4");
    QTest::qWait(50);
}

} // namespace
