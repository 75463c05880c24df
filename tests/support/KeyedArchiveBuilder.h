#pragma once

// Keyed archives as the mobile app's archiver writes them: "$null" first, each instance
// pointing at its class by UID, written as a binary property list.
#include "PropertyList.h"

class KeyedArchiveBuilder {
public:
    KeyedArchiveBuilder() { m_objects.append(QStringLiteral("$null")); }

    PlistUid add(PlistValue object)
    {
        m_objects.append(std::move(object));
        return PlistUid{quint64(m_objects.size() - 1)};
    }
    PlistUid classNamed(const QString& name)
    {
        return add(PlistDictionary{{"$classname", name}, {"$classes", PlistArray{name, "NSObject"}}});
    }
    PlistUid array(const PlistArray& items, const QString& className = QStringLiteral("NSMutableArray"))
    {
        return add(PlistDictionary{{"NS.objects", items}, {"$class", classNamed(className)}});
    }
    // {"title": the value}, or the object the UID names.
    PlistUid titled(const PlistValue& title)
    {
        const PlistUid key = add(QStringLiteral("title"));
        const PlistUid value = title.isUid() ? *title.asUid() : add(title);
        return add(PlistDictionary{{"NS.keys", PlistArray{key}},
                                   {"NS.objects", PlistArray{value}},
                                   {"$class", classNamed(QStringLiteral("NSMutableDictionary"))}});
    }
    PlistUid mutableString(const QString& text)
    {
        return add(PlistDictionary{{"NS.string", text}, {"$class", classNamed(QStringLiteral("NSMutableString"))}});
    }
    // A slot filled later, for objects that refer forward or to themselves.
    PlistUid reserve() { return add(QStringLiteral("placeholder")); }
    void fill(PlistUid slot, PlistValue object) { m_objects[qsizetype(slot.value)] = std::move(object); }

    QByteArray bytes(PlistUid root) const
    {
        const PlistDictionary archive{{"$archiver", "NSKeyedArchiver"},
                                      {"$version", 100000},
                                      {"$top", PlistDictionary{{"root", root}}},
                                      {"$objects", m_objects}};
        return propertyListBytes(archive, PlistFormat::Binary);
    }

    // The app's answer to LIST: a mutable array of {"title": ...}, one per title given.
    static QByteArray listOf(const PlistArray& titles)
    {
        KeyedArchiveBuilder archive;
        PlistArray items;
        for (const PlistValue& title : titles)
            items.append(archive.titled(title));
        return archive.bytes(archive.array(items));
    }

private:
    PlistArray m_objects;
};
