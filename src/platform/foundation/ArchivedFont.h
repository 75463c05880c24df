#pragma once

#include "TypedStreamValue.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

// A font as the platform archived it: its name and size in points. The flags the
// archive carries after the size are kept as read, so an unchanged font writes back
// byte for byte.
class ArchivedFont {
public:
    ArchivedFont();
    ArchivedFont(const QString& name, double size);

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    double size() const { return m_size; }
    void setSize(double size) { m_size = size; }

    // Nullopt (and one line in the system log) for anything that is not an archived font.
    static std::optional<ArchivedFont> fromArchive(QByteArrayView bytes);
    QByteArray toArchive() const;
    // The same for a font object inside a larger archive; nullopt says why in problem.
    static std::optional<ArchivedFont> fromObject(const TypedStreamObject& object,
                                                  QString* problem = nullptr);
    std::shared_ptr<TypedStreamObject> toObject() const;

    // Name and size; the flags kept from the archive do not count.
    bool operator==(const ArchivedFont& other) const;

private:
    QString m_name;
    double m_size = 0;
    QList<TypedStreamClass> m_classes;
    // The name's groups as read, written again while the name is unchanged: the same
    // text has more than one serialised form.
    QString m_archivedName;
    TypedStreamGroups m_archivedNameGroups;
    TypedStreamGroups m_trailingGroups;
};
