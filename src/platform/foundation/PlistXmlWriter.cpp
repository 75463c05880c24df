#include "PlistXmlWriter.h"

#include <QIODevice>
#include <QStringEncoder>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <mutex>
#include <numeric>
#include <string>
#include <system_error>
#include <thread>

namespace {

constexpr char kHeader[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
    "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
    "<plist version=\"1.0\">\n";
constexpr char kFooter[] = "</plist>\n";

// Large documents stream to the device in pieces of this size.
constexpr qsizetype kFlushSize = 1 << 20;
// Text made apart from this size on is written without a copy.
constexpr qsizetype kDirectWriteSize = 64 << 10;

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Days since 1970-01-01 to a proleptic Gregorian date.
void civilFromDays(qint64 days, qint64& year, int& month, int& day)
{
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 mp = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

class XmlOutput {
public:
    explicit XmlOutput(QIODevice* device) : m_device(device)
    {
        if (m_device)
            m_buffer.reserve(kFlushSize + 4096);
    }
    // Text made apart, in a buffer given for its memory.
    explicit XmlOutput(QByteArray buffer) : m_device(nullptr), m_buffer(std::move(buffer))
    {
        m_buffer.resize(0);
    }

    QByteArray& buffer() { return m_buffer; }
    bool failed() const { return m_failed; }

    void append(const char* text, qsizetype length) { m_buffer.append(text, length); }
    template <qsizetype N>
    void append(const char (&text)[N])
    {
        m_buffer.append(text, N - 1);
    }
    void append(const QByteArray& bytes) { m_buffer.append(bytes); }
    void indent(int level) { m_buffer.append(qsizetype(level), '\t'); }

    void maybeFlush()
    {
        if (m_device && m_buffer.size() >= kFlushSize)
            flush();
    }

    void flush()
    {
        if (!m_device || m_failed || m_buffer.isEmpty())
            return;
        if (m_device->write(m_buffer) != m_buffer.size())
            m_failed = true;
        m_buffer.resize(0); // its memory serves the next piece

    }

    // Text made apart goes to the device as it is, without a copy into the buffer, unless
    // it is short.
    void appendMade(const QByteArray& text)
    {
        if (!m_device || text.size() < kDirectWriteSize) {
            append(text);
            maybeFlush();
            return;
        }
        flush();
        if (!m_failed && m_device->write(text) != text.size())
            m_failed = true;
    }

    void fail() { m_failed = true; }

    // Text escaped for element content: &, <, > as entities, CR as a character reference.
    void appendEscaped(const QString& text)
    {
        const char16_t* begin = reinterpret_cast<const char16_t*>(text.constData());
        const char16_t* end = begin + text.size();
        const char16_t* run = begin;
        for (const char16_t* c = begin; c != end; ++c) {
            const char* entity = nullptr;
            switch (*c) {
            case u'&': entity = "&amp;"; break;
            case u'<': entity = "&lt;"; break;
            case u'>': entity = "&gt;"; break;
            case u'\r': entity = "&#13;"; break;
            default: continue;
            }
            appendUtf8(QStringView(run, c - run));
            m_buffer.append(entity);
            run = c + 1;
        }
        appendUtf8(QStringView(run, end - run));
    }

    void appendBase64Lines(const QByteArray& data, int level)
    {
        // Lines fill 76 columns with every tab counted as 8, and no fewer than 12.
        const int lineChars = 76 - 8 * std::min(level, 8);
        const qsizetype bytesPerLine = lineChars / 4 * 3;
        const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
        for (qsizetype start = 0; start < data.size(); start += bytesPerLine) {
            indent(level);
            const qsizetype count = std::min(bytesPerLine, data.size() - start);
            appendBase64(bytes + start, count);
            m_buffer.append('\n');
            maybeFlush();
        }
    }

private:
    void appendUtf8(QStringView text)
    {
        if (text.isEmpty())
            return;
        const qsizetype oldSize = m_buffer.size();
        m_buffer.resize(oldSize + m_encoder.requiredSpace(text.size()));
        char* end = m_encoder.appendToBuffer(m_buffer.data() + oldSize, text);
        m_buffer.resize(end - m_buffer.constData());
    }

    void appendBase64(const uchar* in, qsizetype count)
    {
        const qsizetype oldSize = m_buffer.size();
        m_buffer.resize(oldSize + (count + 2) / 3 * 4);
        char* out = m_buffer.data() + oldSize;
        qsizetype i = 0;
        for (; i + 3 <= count; i += 3) {
            const quint32 n = quint32(in[i]) << 16 | quint32(in[i + 1]) << 8 | in[i + 2];
            *out++ = kBase64Alphabet[n >> 18];
            *out++ = kBase64Alphabet[(n >> 12) & 63];
            *out++ = kBase64Alphabet[(n >> 6) & 63];
            *out++ = kBase64Alphabet[n & 63];
        }
        if (i < count) {
            const quint32 n = quint32(in[i]) << 16 | (i + 1 < count ? quint32(in[i + 1]) << 8 : 0);
            *out++ = kBase64Alphabet[n >> 18];
            *out++ = kBase64Alphabet[(n >> 12) & 63];
            *out++ = i + 1 < count ? kBase64Alphabet[(n >> 6) & 63] : '=';
            *out++ = '=';
        }
    }

    QIODevice* m_device;
    QByteArray m_buffer;
    // Stateless: each piece of text is encoded on its own, so a lone surrogate becomes
    // U+FFFD where it stands instead of waiting for a partner in the next string.
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    bool m_failed = false;
};

void writeValue(XmlOutput& out, const PlistValue& value, int level);

// From this many children on, a container's children are written side by side.
constexpr size_t kSideBySideChildren = 1024;

// Writes children 0..count-1 of one container, as writeChild writes each, in order. A
// datafile's records and catalog are written side by side: runs of children are made on
// the other cores, each into a buffer of its own, while this thread hands them to the
// device in order. Only a window of runs is made ahead of the writing, and each slot of it
// keeps its buffer for the next run it holds: fresh memory costs a page fault per page,
// more than making the text in it.
template <typename WriteChild>
void writeChildrenSideBySide(XmlOutput& out, size_t count, WriteChild writeChild)
{
    constexpr size_t runLength = 64;
    const size_t runs = (count + runLength - 1) / runLength;
    const size_t makers = std::max(1u, std::thread::hardware_concurrency());
    const size_t window = 4 * makers;
    struct Slot {
        QByteArray text;
        bool made = false;
        bool failed = false;
    };
    std::vector<Slot> slots(window); // run k is made in slot k % window
    std::mutex lock;
    std::condition_variable changed;
    size_t nextRun = 0;
    size_t written = 0;
    bool stop = false;
    std::exception_ptr thrown;

    const auto make = [&] {
        std::unique_lock guard(lock);
        for (;;) {
            changed.wait(guard, [&] { return stop || nextRun >= runs || nextRun < written + window; });
            if (stop || nextRun >= runs)
                return;
            const size_t run = nextRun++;
            Slot& slot = slots[run % window];
            XmlOutput part(std::move(slot.text));
            guard.unlock();
            try {
                const size_t end = std::min(count, (run + 1) * runLength);
                for (size_t child = run * runLength; child < end; ++child)
                    writeChild(part, child);
            } catch (...) {
                guard.lock();
                thrown = std::current_exception();
                stop = true;
                changed.notify_all();
                return;
            }
            guard.lock();
            slot.text = std::move(part.buffer());
            slot.failed = part.failed();
            slot.made = true;
            changed.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    for (size_t i = 0; i < makers; ++i) {
        try {
            workers.emplace_back(make);
        } catch (const std::system_error&) {
            break; // the ones running make what is left
        }
    }
    if (workers.empty()) {
        // No thread to be had: written here, child after child.
        for (size_t child = 0; child < count && !out.failed(); ++child)
            writeChild(out, child);
        return;
    }
    for (size_t run = 0; run < runs; ++run) {
        Slot& slot = slots[run % window];
        {
            std::unique_lock guard(lock);
            changed.wait(guard, [&] { return stop || slot.made; });
            if (stop)
                break;
        }
        // The slot is this thread's until `written` moves past it.
        if (slot.failed)
            out.fail();
        else
            out.appendMade(slot.text);
        slot.text.resize(0);
        const std::lock_guard guard(lock);
        slot.made = false;
        written = run + 1;
        stop = stop || out.failed();
        changed.notify_all();
        if (stop)
            break;
    }
    {
        const std::lock_guard guard(lock);
        stop = true;
        changed.notify_all();
    }
    workers.clear();
    if (thrown)
        std::rethrow_exception(thrown);
}

// A dictionary of `count` entries from its "<dict>", after the indentation: each entry's key
// and then its value, as writeValueAt writes it, in index order.
template <typename KeyAt, typename WriteValueAt>
void writeDictionary(XmlOutput& out, size_t count, int level, KeyAt keyAt, WriteValueAt writeValueAt)
{
    if (count == 0) {
        out.append("<dict/>\n");
        return;
    }
    out.append("<dict>\n");
    const auto writeEntry = [&](XmlOutput& to, size_t index) {
        to.indent(level + 1);
        to.append("<key>");
        to.appendEscaped(keyAt(index));
        to.append("</key>\n");
        writeValueAt(to, index);
    };
    if (count >= kSideBySideChildren) {
        writeChildrenSideBySide(out, count, writeEntry);
    } else {
        for (size_t index = 0; index < count; ++index)
            writeEntry(out, index);
    }
    out.indent(level);
    out.append("</dict>\n");
}

void writeSource(XmlOutput& out, const PlistXmlWriter::DictionarySource& source, int level)
{
    out.indent(level);
    std::vector<size_t> order(source.keys.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return source.keys[a] < source.keys[b]; });
    writeDictionary(
        out, order.size(), level, [&](size_t index) -> const QString& { return source.keys[order[index]]; },
        [&](XmlOutput& to, size_t index) {
            // Each thread's entries are made in the same memory, value after value.
            thread_local PlistDictionary::Entries entries;
            thread_local std::vector<const PlistDictionary::Entry*> sorted;
            source.appendEntries(order[index], entries);
            sorted.clear();
            for (const PlistDictionary::Entry& entry : entries)
                sorted.push_back(&entry);
            std::sort(sorted.begin(), sorted.end(),
                      [](const auto* a, const auto* b) { return a->key < b->key; });
            to.indent(level + 1);
            writeDictionary(
                to, sorted.size(), level + 1, [&](size_t at) -> const QString& { return sorted[at]->key; },
                [&](XmlOutput& into, size_t at) { writeValue(into, sorted[at]->value, level + 2); });
            sorted.clear();
            entries.clear(); // the values' references go at once
            to.maybeFlush();
        });
}

void writeSimple(XmlOutput& out, const char* open, const QByteArray& text, const char* close)
{
    out.buffer().append(open);
    out.append(text);
    out.buffer().append(close);
}

void writeValue(XmlOutput& out, const PlistValue& value, int level)
{
    if (out.failed())
        return;
    out.indent(level);
    switch (value.type()) {
    case PlistValue::Type::Boolean:
        if (value.boolValue())
            out.append("<true/>\n");
        else
            out.append("<false/>\n");
        break;
    case PlistValue::Type::Integer:
        writeSimple(out, "<integer>",
                    value.isUnsignedInteger() ? QByteArray::number(quint64(value.integerBits()))
                                              : QByteArray::number(value.integerBits()),
                    "</integer>\n");
        break;
    case PlistValue::Type::Real:
        writeSimple(out, "<real>", PlistXmlWriter::realText(value.realValue()), "</real>\n");
        break;
    case PlistValue::Type::String:
        out.append("<string>");
        out.appendEscaped(*value.asString());
        out.append("</string>\n");
        break;
    case PlistValue::Type::Date:
        writeSimple(out, "<date>", PlistXmlWriter::dateText(*value.asDate()), "</date>\n");
        break;
    case PlistValue::Type::Data:
        out.append("<data>\n");
        out.appendBase64Lines(*value.asData(), level);
        out.indent(level);
        out.append("</data>\n");
        break;
    case PlistValue::Type::Array: {
        const PlistArray& array = *value.asArray();
        if (array.isEmpty()) {
            out.append("<array/>\n");
            break;
        }
        out.append("<array>\n");
        const auto writeElement = [&](XmlOutput& to, size_t index) {
            writeValue(to, array[qsizetype(index)], level + 1);
        };
        if (size_t(array.size()) >= kSideBySideChildren) {
            writeChildrenSideBySide(out, size_t(array.size()), writeElement);
        } else {
            for (size_t index = 0; index < size_t(array.size()); ++index)
                writeElement(out, index);
        }
        out.indent(level);
        out.append("</array>\n");
        break;
    }
    case PlistValue::Type::Dictionary: {
        const std::vector<const PlistDictionary::Entry*> entries =
            value.asDictionary()->sortedEntries();
        writeDictionary(
            out, entries.size(), level, [&](size_t index) -> const QString& { return entries[index]->key; },
            [&](XmlOutput& to, size_t index) { writeValue(to, entries[index]->value, level + 1); });
        break;
    }
    case PlistValue::Type::Null:
    case PlistValue::Type::Uid:
        // Neither has an XML form.
        out.fail();
        return;
    }
    out.maybeFlush();
}

// The header, the top value as writeTop writes it, and the footer.
template <typename WriteTop> bool writeDocument(XmlOutput& out, WriteTop writeTop)
{
    out.append(kHeader);
    writeTop();
    out.append(kFooter);
    out.flush();
    return !out.failed();
}

} // namespace

bool PlistXmlWriter::write(const PlistValue& value, QIODevice& device)
{
    XmlOutput out(&device);
    return writeDocument(out, [&] { writeValue(out, value, 0); });
}

bool PlistXmlWriter::write(const PlistDictionary& top, const QString& key,
                           const DictionarySource& source, QIODevice& device)
{
    struct Entry {
        const QString* key;
        const PlistValue* value; // nullptr for the source
    };
    std::vector<Entry> entries{{&key, nullptr}};
    for (const PlistDictionary::Entry& entry : top)
        entries.push_back({&entry.key, &entry.value});
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return *a.key < *b.key; });
    XmlOutput out(&device);
    return writeDocument(out, [&] {
        writeDictionary(
            out, entries.size(), 0,
            [&](size_t index) -> const QString& { return *entries[index].key; },
            [&](XmlOutput& to, size_t index) {
                if (entries[index].value)
                    writeValue(to, *entries[index].value, 1);
                else
                    writeSource(to, source, 1);
            });
    });
}

QByteArray PlistXmlWriter::toBytes(const PlistValue& value)
{
    XmlOutput out(nullptr);
    if (!writeDocument(out, [&] { writeValue(out, value, 0); }))
        return {};
    return std::move(out.buffer());
}

QByteArray PlistXmlWriter::realText(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("nan");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("+infinity") : QByteArrayLiteral("-infinity");

    // The shortest digits that read back exactly, laid out as Python's repr does:
    // positional between 1e-4 and 1e16, otherwise scientific with a two-digit exponent.
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::scientific);
    Q_UNUSED(ec);
    const std::string_view text(buffer, size_t(end - buffer));
    const size_t ePos = text.find('e');
    std::string_view mantissa = text.substr(0, ePos);
    const int exponent = std::stoi(std::string(text.substr(ePos + 1)));

    QByteArray result;
    if (mantissa.front() == '-') {
        result.append('-');
        mantissa.remove_prefix(1);
    }
    std::string digits;
    for (char c : mantissa) {
        if (c != '.')
            digits.push_back(c);
    }

    if (exponent >= -4 && exponent < 16) {
        if (exponent >= 0) {
            if (digits.size() <= size_t(exponent) + 1)
                digits.append(size_t(exponent) + 1 - digits.size(), '0');
            result.append(digits.data(), qsizetype(exponent) + 1);
            result.append('.');
            const std::string fraction = digits.substr(size_t(exponent) + 1);
            result.append(fraction.empty() ? "0" : fraction.c_str());
        } else {
            result.append("0.");
            result.append(QByteArray(-exponent - 1, '0'));
            result.append(digits.c_str());
        }
        return result;
    }
    result.append(digits[0]);
    if (digits.size() > 1) {
        result.append('.');
        result.append(digits.c_str() + 1);
    }
    result.append(exponent < 0 ? "e-" : "e+");
    const int magnitude = std::abs(exponent);
    if (magnitude < 10)
        result.append('0');
    result.append(QByteArray::number(magnitude));
    return result;
}

PlistDate PlistXmlWriter::writtenDate(PlistDate date)
{
    // The years 0000 to 9999: four digits, as every reader of the format takes them.
    constexpr double earliest = -62167219200.0 - double(PlistDate::referenceDateUnixSeconds);
    constexpr double latest = 253402300799.0 - double(PlistDate::referenceDateUnixSeconds);
    const double seconds = date.secondsSinceReferenceDate;
    if (std::isnan(seconds))
        return PlistDate{0};
    return PlistDate{std::clamp(std::floor(seconds), earliest, latest)};
}

QByteArray PlistXmlWriter::dateText(PlistDate date)
{
    const qint64 seconds =
        qint64(writtenDate(date).secondsSinceReferenceDate) + PlistDate::referenceDateUnixSeconds;
    qint64 days = seconds / 86400;
    qint64 secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --days;
    }
    qint64 year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);
    char buffer[48];
    const int length =
        std::snprintf(buffer, sizeof buffer, "%04lld-%02d-%02dT%02d:%02d:%02dZ", (long long)year,
                      month, day, int(secondOfDay / 3600), int(secondOfDay / 60 % 60),
                      int(secondOfDay % 60));
    return QByteArray(buffer, length);
}
