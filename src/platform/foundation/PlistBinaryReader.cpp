#include "PlistBinaryReader.h"

#include <QHash>

#include <cstring>
#include <vector>

namespace {

constexpr qint64 kHeaderSize = 8;
constexpr qint64 kTrailerSize = 32;
constexpr int kMaxDepth = 512;

bool isValidIntSize(quint64 size)
{
    return size == 1 || size == 2 || size == 4 || size == 8;
}

quint64 readBigEndian(const uchar* p, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | p[i];
    return value;
}

double readDouble(const uchar* p)
{
    const quint64 bits = readBigEndian(p, 8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float readFloat(const uchar* p)
{
    const quint32 bits = quint32(readBigEndian(p, 4));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Decodes one file. Objects are read on demand through the offset table; nothing is
// allocated from a size the file states until that size is checked against the bytes
// that could hold it.
class Decoder {
public:
    explicit Decoder(QByteArrayView bytes)
        : m_data(reinterpret_cast<const uchar*>(bytes.data())), m_size(bytes.size())
    {
    }

    PlistReadResult run();

private:
    enum State : quint8 { SeenOnce = 1, Cached = 2, OnPath = 4 };

    bool fail(QString message, qint64 byteOffset);
    bool objectError(quint64 ref, qint64 start, const QString& what);
    bool readTrailer();
    bool objectStart(quint64 ref, qint64 refPosition, qint64& start);
    quint64 readRef(qint64 position) const { return readBigEndian(m_data + position, m_refSize); }
    bool readCount(quint64 ref, qint64 start, qint64& position, quint64& count);
    bool checkLength(quint64 ref, qint64 start, qint64 position, quint64 count, quint64 unit,
                     const char* what);
    bool decode(quint64 ref, qint64 refPosition, int depth, PlistValue& out);
    bool decodeScalar(quint64 ref, qint64 start, PlistValue& out);
    bool decodeArray(quint64 ref, qint64 start, int depth, PlistValue& out);
    bool decodeDictionary(quint64 ref, qint64 start, int depth, PlistValue& out);

    const uchar* m_data;
    qint64 m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_numObjects = 0;
    quint64 m_topObject = 0;
    qint64 m_tableOffset = 0;

    std::vector<quint8> m_state;
    // Scalars referenced more than once (a uniqued key in every record) are decoded
    // once and then shared; QString and QByteArray copies are cheap.
    QHash<quint64, PlistValue> m_cache;
    // Every reference followed counts against this budget, so that shared containers
    // nested in each other cannot expand exponentially. A file without shared
    // containers follows at most one reference per byte, so only sharing beyond
    // twice the file (and a floor for small files) is refused.
    qint64 m_visits = 0;
    qint64 m_budget = 0;
    std::optional<PlistError> m_error;
};

bool Decoder::fail(QString message, qint64 byteOffset)
{
    if (!m_error)
        m_error = PlistError{std::move(message), byteOffset, 0};
    return false;
}

bool Decoder::objectError(quint64 ref, qint64 start, const QString& what)
{
    return fail(QStringLiteral("object %1 at byte %2: %3").arg(ref).arg(start).arg(what), start);
}

bool Decoder::readTrailer()
{
    if (m_size < kHeaderSize + kTrailerSize + 2)
        return fail(
            QStringLiteral("file of %1 bytes is too short for a binary property list").arg(m_size),
            m_size);
    const qint64 at = m_size - kTrailerSize;
    const uchar* t = m_data + at;
    m_offsetSize = t[6];
    m_refSize = t[7];
    m_numObjects = readBigEndian(t + 8, 8);
    m_topObject = readBigEndian(t + 16, 8);
    const quint64 tableOffset = readBigEndian(t + 24, 8);

    if (!isValidIntSize(quint64(m_offsetSize)))
        return fail(QStringLiteral("offset size %1 is not 1, 2, 4 or 8").arg(m_offsetSize), at + 6);
    if (!isValidIntSize(quint64(m_refSize)))
        return fail(QStringLiteral("object reference size %1 is not 1, 2, 4 or 8").arg(m_refSize),
                    at + 7);
    if (m_numObjects == 0)
        return fail(QStringLiteral("the file holds no objects"), at + 8);
    if (m_topObject >= m_numObjects)
        return fail(QStringLiteral("top object %1 is not among the %2 objects")
                        .arg(m_topObject)
                        .arg(m_numObjects),
                    at + 16);
    if (tableOffset <= quint64(kHeaderSize) || tableOffset > quint64(at))
        return fail(
            QStringLiteral("offset table at byte %1 lies outside the file").arg(tableOffset),
            at + 24);
    m_tableOffset = qint64(tableOffset);
    if (m_numObjects > quint64(at - m_tableOffset) / quint64(m_offsetSize))
        return fail(
            QStringLiteral("offset table of %1 entries runs past the trailer").arg(m_numObjects),
            m_tableOffset);
    return true;
}

bool Decoder::objectStart(quint64 ref, qint64 refPosition, qint64& start)
{
    if (ref >= m_numObjects)
        return fail(
            QStringLiteral("reference to object %1 at byte %2, but the file holds %3 objects")
                .arg(ref)
                .arg(refPosition)
                .arg(m_numObjects),
            refPosition);
    const qint64 entry = m_tableOffset + qint64(ref) * m_offsetSize;
    const quint64 offset = readBigEndian(m_data + entry, m_offsetSize);
    if (offset < quint64(kHeaderSize) || offset >= quint64(m_tableOffset))
        return fail(QStringLiteral("object %1: offset %2 lies outside the object area")
                        .arg(ref)
                        .arg(offset),
                    entry);
    start = qint64(offset);
    return true;
}

bool Decoder::checkLength(quint64 ref, qint64 start, qint64 position, quint64 count, quint64 unit,
                          const char* what)
{
    if (position > m_tableOffset || count > quint64(m_tableOffset - position) / unit)
        return objectError(ref, start,
                           QStringLiteral("%1 of %2 entries runs past the end of the object area")
                               .arg(QLatin1StringView(what))
                               .arg(count));
    return true;
}

// A count below 15 sits in the marker; otherwise an integer object follows it.
bool Decoder::readCount(quint64 ref, qint64 start, qint64& position, quint64& count)
{
    count = m_data[start] & 0x0F;
    position = start + 1;
    if (count != 0x0F)
        return true;
    if (position >= m_tableOffset)
        return objectError(ref, start,
                           QStringLiteral("count runs past the end of the object area"));
    const uchar marker = m_data[position];
    const quint64 size = quint64(1) << (marker & 0x0F);
    if ((marker & 0xF0) != 0x10 || !isValidIntSize(size))
        return objectError(ref, start, QStringLiteral("count is not an integer"));
    if (quint64(m_tableOffset - position - 1) < size)
        return objectError(ref, start,
                           QStringLiteral("count runs past the end of the object area"));
    count = readBigEndian(m_data + position + 1, int(size));
    position += 1 + qint64(size);
    return true;
}

bool Decoder::decode(quint64 ref, qint64 refPosition, int depth, PlistValue& out)
{
    qint64 start = 0;
    if (!objectStart(ref, refPosition, start))
        return false;
    if (++m_visits > m_budget)
        return objectError(
            ref, start,
            QStringLiteral("shared references expand to more than %1 values").arg(m_budget));
    quint8& state = m_state[ref];
    if (state & Cached) {
        out = m_cache.value(ref);
        return true;
    }
    if (state & OnPath)
        return objectError(ref, start, QStringLiteral("cyclic reference"));

    const int kind = m_data[start] >> 4;
    if (kind == 0xA || kind == 0xC || kind == 0xD) {
        if (depth >= kMaxDepth)
            return objectError(
                ref, start,
                QStringLiteral("containers nested deeper than %1 levels").arg(kMaxDepth));
        // Each reference to a container yields a container of its own, so editing
        // one place in the model never changes another behind its back.
        m_state[ref] |= OnPath;
        const bool ok = kind == 0xD ? decodeDictionary(ref, start, depth, out)
                                    : decodeArray(ref, start, depth, out);
        m_state[ref] &= quint8(~OnPath);
        return ok;
    }

    if (!decodeScalar(ref, start, out))
        return false;
    if (state & SeenOnce) {
        m_cache.insert(ref, out);
        state |= Cached;
    } else {
        state |= SeenOnce;
    }
    return true;
}

bool Decoder::decodeScalar(quint64 ref, qint64 start, PlistValue& out)
{
    const uchar marker = m_data[start];
    const int low = marker & 0x0F;
    const qint64 body = start + 1;
    const qint64 available = m_tableOffset - body;
    const auto needs = [&](qint64 size) {
        if (available >= size)
            return true;
        return objectError(
            ref, start,
            QStringLiteral("value of %1 bytes runs past the end of the object area").arg(size));
    };
    const auto unsupported = [&] {
        return objectError(ref, start,
                           QStringLiteral("unsupported object type 0x%1")
                               .arg(uint(marker), 2, 16, QLatin1Char('0')));
    };

    switch (marker >> 4) {
    case 0x0:
        if (marker == 0x00)
            out = PlistValue();
        else if (marker == 0x08 || marker == 0x09)
            out = PlistValue(marker == 0x09);
        else
            return unsupported();
        return true;
    case 0x1: {
        if (low == 4) {
            if (!needs(16))
                return false;
            const quint64 high = readBigEndian(m_data + body, 8);
            const quint64 value = readBigEndian(m_data + body + 8, 8);
            // A 128-bit integer is kept when it fits 64 bits: unsigned, or a
            // sign-extended negative one.
            if (high == 0)
                out = PlistValue(value);
            else if (high == ~quint64(0) && qint64(value) < 0)
                out = PlistValue(qint64(value));
            else
                return objectError(ref, start, QStringLiteral("integer does not fit in 64 bits"));
            return true;
        }
        if (low > 3)
            return objectError(
                ref, start, QStringLiteral("integer of %1 bytes is not supported").arg(1 << low));
        const int size = 1 << low;
        if (!needs(size))
            return false;
        // Integers of 1, 2 and 4 bytes are unsigned; 8 bytes are signed.
        const quint64 value = readBigEndian(m_data + body, size);
        out = PlistValue(qint64(value));
        return true;
    }
    case 0x2:
        if (marker == 0x22) {
            if (!needs(4))
                return false;
            out = PlistValue(double(readFloat(m_data + body)));
            return true;
        }
        if (marker == 0x23) {
            if (!needs(8))
                return false;
            out = PlistValue(readDouble(m_data + body));
            return true;
        }
        return unsupported();
    case 0x3:
        if (marker != 0x33)
            return unsupported();
        if (!needs(8))
            return false;
        out = PlistValue(PlistDate{readDouble(m_data + body)});
        return true;
    case 0x4:
    case 0x5:
    case 0x6:
    case 0x7: {
        qint64 position = 0;
        quint64 count = 0;
        if (!readCount(ref, start, position, count))
            return false;
        const int kind = marker >> 4;
        const char* what = kind == 0x4 ? "data" : "string";
        if (!checkLength(ref, start, position, count, kind == 0x6 ? 2 : 1, what))
            return false;
        const char* p = reinterpret_cast<const char*>(m_data + position);
        const qsizetype n = qsizetype(count);
        if (kind == 0x4) {
            out = PlistValue(QByteArray(p, n));
        } else if (kind == 0x5) {
            out = PlistValue(QString::fromLatin1(p, n));
        } else if (kind == 0x7) {
            out = PlistValue(QString::fromUtf8(p, n));
        } else {
            QString text(n, Qt::Uninitialized);
            QChar* chars = text.data();
            const uchar* u = m_data + position;
            for (qsizetype i = 0; i < n; ++i)
                chars[i] = QChar(char16_t((u[2 * i] << 8) | u[2 * i + 1]));
            out = PlistValue(std::move(text));
        }
        return true;
    }
    case 0x8: {
        const int size = low + 1;
        if (size > 8)
            return objectError(ref, start,
                               QStringLiteral("UID of %1 bytes is not supported").arg(size));
        if (!needs(size))
            return false;
        out = PlistValue(PlistUid{readBigEndian(m_data + body, size)});
        return true;
    }
    default:
        return unsupported();
    }
}

bool Decoder::decodeArray(quint64 ref, qint64 start, int depth, PlistValue& out)
{
    qint64 position = 0;
    quint64 count = 0;
    if (!readCount(ref, start, position, count) ||
        !checkLength(ref, start, position, count, quint64(m_refSize), "array"))
        return false;
    PlistArray array;
    array.reserve(qsizetype(count));
    for (quint64 i = 0; i < count; ++i) {
        const qint64 at = position + qint64(i) * m_refSize;
        PlistValue value;
        if (!decode(readRef(at), at, depth + 1, value))
            return false;
        array.append(std::move(value));
    }
    out = PlistValue(std::move(array));
    return true;
}

bool Decoder::decodeDictionary(quint64 ref, qint64 start, int depth, PlistValue& out)
{
    qint64 position = 0;
    quint64 count = 0;
    if (!readCount(ref, start, position, count) ||
        !checkLength(ref, start, position, count, 2 * quint64(m_refSize), "dictionary"))
        return false;
    const qint64 valuesAt = position + qint64(count) * m_refSize;
    PlistDictionary dictionary;
    dictionary.reserve(qsizetype(count));
    for (quint64 i = 0; i < count; ++i) {
        const qint64 keyAt = position + qint64(i) * m_refSize;
        const qint64 valueAt = valuesAt + qint64(i) * m_refSize;
        const quint64 keyRef = readRef(keyAt);
        const quint64 valueRef = readRef(valueAt);
        // Look at the key's marker first so a container posing as a key is never decoded.
        qint64 keyStart = 0;
        if (!objectStart(keyRef, keyAt, keyStart))
            return false;
        const int keyKind = m_data[keyStart] >> 4;
        if (keyKind != 0x5 && keyKind != 0x6 && keyKind != 0x7)
            return objectError(
                ref, start,
                QStringLiteral("key %1 (object %2) is not a string").arg(i).arg(keyRef));
        PlistValue key;
        PlistValue value;
        if (!decode(keyRef, keyAt, depth + 1, key) || !decode(valueRef, valueAt, depth + 1, value))
            return false;
        dictionary.insert(*key.asString(), std::move(value));
    }
    out = PlistValue(std::move(dictionary));
    return true;
}

PlistReadResult Decoder::run()
{
    if (!PlistBinaryReader::isBinary(QByteArrayView(m_data, m_size)))
        return PlistReadResult::failure(QStringLiteral("not a binary property list"), 0);
    if (!readTrailer())
        return {PlistValue(), m_error};
    m_state.assign(size_t(m_numObjects), 0);
    m_budget = 2 * m_size + 100'000;
    PlistValue top;
    if (!decode(m_topObject, m_size - kTrailerSize + 16, 0, top))
        return {PlistValue(), m_error};
    return {std::move(top), std::nullopt};
}

} // namespace

bool PlistBinaryReader::isBinary(QByteArrayView bytes)
{
    return bytes.startsWith("bplist00");
}

PlistReadResult PlistBinaryReader::read(QByteArrayView bytes)
{
    return Decoder(bytes).run();
}
