#pragma once

#include "ArchivedFont.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The layout of a field-based address block: typed characters and field tokens, each
// token naming a field by its "Name", plus the font of the text when it is known.
// Read from the platform's archived attributed string or from our own form; written
// in our own form.
class AddressBlockLayout {
public:
    // Marks our own form, which follows as an XML property list.
    static inline const QByteArray OwnFormMagic = QByteArrayLiteral("NorvaAddressLayout1\n");

    struct Segment {
        enum class Kind { Text, Field };
        Kind kind = Kind::Text;
        // The characters of a text segment; the field name of a token.
        QString text;

        static Segment plain(const QString& text) { return {Kind::Text, text}; }
        static Segment field(const QString& name) { return {Kind::Field, name}; }
        bool operator==(const Segment&) const = default;
    };

    AddressBlockLayout() = default;
    explicit AddressBlockLayout(const QList<Segment>& segments,
                                std::optional<ArchivedFont> font = std::nullopt);

    const QList<Segment>& segments() const { return m_segments; }
    const std::optional<ArchivedFont>& font() const { return m_font; }

    // Adjacent characters stay one segment; an empty text adds nothing.
    void appendText(const QString& text);
    void appendField(const QString& name);

    // Nullopt (and one line in the system log) for data in neither form.
    static std::optional<AddressBlockLayout> fromData(const QByteArray& data);
    QByteArray toData() const;

    bool operator==(const AddressBlockLayout&) const = default;

private:
    QList<Segment> m_segments;
    std::optional<ArchivedFont> m_font;
};
