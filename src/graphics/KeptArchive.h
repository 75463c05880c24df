#pragma once

#include <QByteArray>

#include <optional>

// A property the file stores as an archived value (a colour, a font): the value, and the
// bytes it was read from, written back unchanged until the value is set. Bytes that do
// not decode are kept all the same, while the value counts as the property's default.
template <typename Value> class KeptArchive {
public:
    KeptArchive() = default;
    KeptArchive(std::optional<Value> value) : m_value(std::move(value)) {}

    static KeptArchive fromArchive(const QByteArray& archive, const Value& fallback)
    {
        KeptArchive kept(Value::fromArchive(archive).value_or(fallback));
        kept.m_archive = archive;
        return kept;
    }

    const std::optional<Value>& value() const { return m_value; }
    // A different value drops the bytes read; the same one keeps them.
    void set(const std::optional<Value>& value)
    {
        if (!(value == m_value))
            *this = KeptArchive(value);
    }
    // The bytes to store; empty for no value.
    QByteArray toArchive() const
    {
        if (!m_archive.isEmpty())
            return m_archive;
        return m_value ? m_value->toArchive() : QByteArray();
    }

    bool operator==(const KeptArchive& other) const
    {
        return m_value == other.m_value && m_archive == other.m_archive;
    }

private:
    std::optional<Value> m_value;
    QByteArray m_archive;
};
