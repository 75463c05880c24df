#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// An old Macintosh file's two forks as the containers that carry them elsewhere hold
// them: AppleSingle (both forks in one file), AppleDouble (the resource fork in a
// companion file) and MacBinary (both, behind a 128-byte header).
struct MacFileForks {
    std::optional<QByteArray> dataFork;
    std::optional<QByteArray> resourceFork;
};

class ForkContainers {
public:
    // Nothing unless the bytes are an AppleSingle or AppleDouble file whose entries fit.
    static std::optional<MacFileForks> readAppleSingleOrDouble(QByteArrayView bytes);
    // Nothing unless the bytes are a MacBinary file (its header's checks hold and its
    // forks fit).
    static std::optional<MacFileForks> readMacBinary(QByteArrayView bytes);
    // A BinHex or StuffIt archive: forks packed in a way we do not unpack.
    static bool isUnreadableArchive(QByteArrayView bytes);

    static constexpr quint32 AppleSingleMagic = 0x00051600;
    static constexpr quint32 AppleDoubleMagic = 0x00051607;
    // The CRC a MacBinary II header carries over its first 124 bytes.
    static quint16 macBinaryCrc(QByteArrayView bytes);
};
