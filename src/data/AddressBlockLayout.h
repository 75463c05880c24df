#pragma once

#include "ArchivedFont.h"

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QString>

#include <optional>

// The layout of a field-based address block: typed characters and field tokens, each
// token naming a field by its "Name", plus the font of the text when it is known.
// Read from the platform's archived attributed string or from our own form; written
// in our own form, which keeps each token's name, identifier, font and colour.
class AddressBlockLayout {
public:
    // Marks our own form, which follows as an XML property list.
    static inline const QByteArray OwnFormMagic = QByteArrayLiteral("NorvaAddressLayout1\n");

    struct Segment {
        enum class Kind { Text, Field };
        Kind kind = Kind::Text;
        // The characters of a text segment; the field name of a token.
        QString text;
        // A token's look and the field's "Identifier" when it was made, where known. No
        // reader goes by the identifier: a token names its field by its name.
        QString identifier;
        std::optional<ArchivedFont> font; // a size of 0 asks for the default size
        std::optional<QColor> color;

        static Segment plain(const QString& text) { return {Kind::Text, text, {}, {}, {}}; }
        static Segment field(const QString& name, const QString& identifier = QString(),
                             std::optional<ArchivedFont> font = std::nullopt,
                             std::optional<QColor> color = std::nullopt)
        {
            return {Kind::Field, name, identifier, std::move(font), color};
        }
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
    void appendField(const Segment& token);

    // Nullopt (and one line in the system log) for data in neither form.
    static std::optional<AddressBlockLayout> fromData(const QByteArray& data);
    QByteArray toData() const;

    bool operator==(const AddressBlockLayout&) const = default;

private:
    QList<Segment> m_segments;
    std::optional<ArchivedFont> m_font;
};
