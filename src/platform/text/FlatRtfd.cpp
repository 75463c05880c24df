#include "FlatRtfd.h"

#include <QStringDecoder>
#include <QtEndian>

#include <set>

namespace {

constexpr quint32 FileRecord = 1;
constexpr quint32 FolderRecord = 3;
constexpr quint32 PaddedLength = 0x80000000;
constexpr int MaximumFolderDepth = 8;

bool isFolderDescription(QByteArrayView name)
{
    return name == "." || name == "__@PreferredName@__" || name == "__@UTF8PreferredName@__";
}

// Reads little-endian words and byte runs within one record, never past its end.
class RecordCursor {
public:
    explicit RecordCursor(QByteArrayView bytes) : m_bytes(bytes) {}

    std::optional<quint32> word()
    {
        if (remaining() < 4)
            return std::nullopt;
        const quint32 value = qFromLittleEndian<quint32>(m_bytes.data() + m_position);
        m_position += 4;
        return value;
    }

    std::optional<QByteArrayView> bytes(quint64 count)
    {
        if (count > quint64(remaining()))
            return std::nullopt;
        const QByteArrayView run = m_bytes.sliced(m_position, qsizetype(count));
        m_position += qsizetype(count);
        return run;
    }

    qsizetype remaining() const { return m_bytes.size() - m_position; }

private:
    QByteArrayView m_bytes;
    qsizetype m_position = 0;
};

class Reader {
public:
    std::optional<QString> readFolder(RecordCursor& cursor, const QString& prefix, int depth);

    QList<RtfdFile> files;
};

std::optional<QString> Reader::readFolder(RecordCursor& cursor, const QString& prefix, int depth)
{
    if (depth > MaximumFolderDepth)
        return QStringLiteral("The RTFD folders are nested too deeply.");
    const std::optional<quint32> count = cursor.word();
    // Every entry needs at least a name length and a record size.
    if (!count || quint64(*count) * 8 > quint64(cursor.remaining()))
        return QStringLiteral("The RTFD entry count does not fit the data.");

    std::vector<QByteArrayView> names;
    names.reserve(*count);
    for (quint32 i = 0; i < *count; ++i) {
        const std::optional<quint32> length = cursor.word();
        const std::optional<QByteArrayView> name = length ? cursor.bytes(*length) : std::nullopt;
        if (!name)
            return QStringLiteral("An RTFD entry name runs past the end of the data.");
        names.push_back(*name);
    }
    std::vector<quint32> sizes;
    sizes.reserve(*count);
    for (quint32 i = 0; i < *count; ++i) {
        const std::optional<quint32> size = cursor.word();
        if (!size)
            return QStringLiteral("The RTFD entry sizes run past the end of the data.");
        sizes.push_back(*size);
    }

    std::set<QString> seen;
    for (quint32 i = 0; i < *count; ++i) {
        const std::optional<QByteArrayView> record = cursor.bytes(sizes[i]);
        if (!record)
            return QStringLiteral("An RTFD entry runs past the end of the data.");
        const QByteArrayView rawName = names[i];
        if (isFolderDescription(rawName))
            continue;
        if (rawName.isEmpty() || rawName == ".." || rawName.contains('/') || rawName.contains('\0'))
            return QStringLiteral("An RTFD entry has an unusable name.");
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(rawName);
        if (utf8.hasError())
            return QStringLiteral("An RTFD entry name is not UTF-8.");
        if (!seen.insert(decoded).second)
            return QStringLiteral("An RTFD entry name occurs twice.");
        const QString name = prefix + decoded;

        RecordCursor entry(*record);
        const std::optional<quint32> type = entry.word();
        if (type == FolderRecord) {
            if (std::optional<QString> error =
                    readFolder(entry, name + QLatin1Char('/'), depth + 1))
                return error;
            continue;
        }
        if (type != FileRecord)
            return QStringLiteral("An RTFD entry is of an unknown kind.");
        std::optional<quint32> length = entry.word();
        if (length == PaddedLength) {
            length = entry.word();
            const std::optional<quint32> padding = entry.word();
            if (!padding || !entry.bytes(*padding))
                return QStringLiteral("An RTFD file's padding runs past its entry.");
        }
        const std::optional<QByteArrayView> contents = length ? entry.bytes(*length) : std::nullopt;
        if (!contents)
            return QStringLiteral("An RTFD file runs past its entry.");
        files.append({name, contents->toByteArray()});
    }
    return std::nullopt;
}

void appendWord(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// One folder of the written tree: its entries in the order first named.
struct FolderNode {
    struct Entry {
        QByteArray name;
        QByteArray contents;
        std::unique_ptr<FolderNode> folder;
    };
    std::vector<Entry> entries;

    Entry& entryNamed(const QByteArray& name)
    {
        for (Entry& entry : entries) {
            if (entry.name == name)
                return entry;
        }
        entries.push_back({name, {}, nullptr});
        return entries.back();
    }
};

QByteArray folderRecord(const FolderNode& folder)
{
    QByteArray out;
    appendWord(out, FolderRecord);
    appendWord(out, quint32(folder.entries.size()));
    std::vector<QByteArray> records;
    records.reserve(folder.entries.size());
    for (const FolderNode::Entry& entry : folder.entries) {
        appendWord(out, quint32(entry.name.size()));
        out += entry.name;
        if (entry.folder) {
            records.push_back(folderRecord(*entry.folder));
        } else {
            QByteArray record;
            appendWord(record, FileRecord);
            appendWord(record, quint32(entry.contents.size()));
            record += entry.contents;
            records.push_back(std::move(record));
        }
    }
    for (const QByteArray& record : records)
        appendWord(out, quint32(record.size()));
    for (const QByteArray& record : records)
        out += record;
    return out;
}

} // namespace

FlatRtfd::ReadResult FlatRtfd::read(QByteArrayView bytes)
{
    ReadResult result;
    RecordCursor cursor(bytes);
    const std::optional<QByteArrayView> magic = cursor.bytes(4);
    if (!magic || *magic != "rtfd") {
        result.error = QStringLiteral("The data is not flattened RTFD.");
        return result;
    }
    if (cursor.word() != 0u || cursor.word() != FolderRecord) {
        result.error = QStringLiteral("The flattened RTFD does not hold a folder.");
        return result;
    }
    Reader reader;
    result.error = reader.readFolder(cursor, QString(), 0);
    if (!result.error)
        result.files = std::move(reader.files);
    return result;
}

QByteArray FlatRtfd::write(const QList<RtfdFile>& files)
{
    FolderNode root;
    for (const RtfdFile& file : files) {
        const QList<QByteArray> parts = file.name.toUtf8().split('/');
        FolderNode* folder = &root;
        for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
            FolderNode::Entry& entry = folder->entryNamed(parts[i]);
            if (!entry.folder)
                entry.folder = std::make_unique<FolderNode>();
            folder = entry.folder.get();
        }
        folder->entryNamed(parts.last()).contents = file.contents;
    }
    QByteArray out = "rtfd";
    appendWord(out, 0);
    out += folderRecord(root);
    return out;
}
