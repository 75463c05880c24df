#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class TypedStreamObject;

// A colour as the platform archived it in the files' settings: its colour space and
// components (0..1) with alpha. A named (catalogue) colour carries the colour the
// platform resolved it to, which is the one we show.
class ArchivedColor {
public:
    // The values the archive stores for each space.
    enum class ColorSpace {
        CalibratedRgb = 1,
        DeviceRgb = 2,
        CalibratedWhite = 3,
        DeviceWhite = 4,
        Named = 6
    };

    // Opaque calibrated white.
    ArchivedColor();
    static ArchivedColor calibratedRgb(double red, double green, double blue, double alpha = 1);
    static ArchivedColor deviceRgb(double red, double green, double blue, double alpha = 1);
    static ArchivedColor calibratedWhite(double white, double alpha = 1);
    static ArchivedColor deviceWhite(double white, double alpha = 1);
    static ArchivedColor named(const QString& catalogName, const QString& colorName,
                               const ArchivedColor& fallback);

    ColorSpace colorSpace() const { return m_space; }
    // Red, green, blue for the RGB spaces; white for the white spaces; none for named.
    const QList<double>& components() const { return m_components; }
    double alpha() const;
    QString catalogName() const { return m_catalogName; }
    QString colorName() const { return m_colorName; }
    // The resolved colour of a named colour; null for the others.
    const ArchivedColor* fallback() const { return m_fallback.get(); }

    // The colour as RGB in 0..1: white as grey, a named colour through its fallback.
    double redComponent() const;
    double greenComponent() const;
    double blueComponent() const;

    // Nullopt (and one line in the system log) for anything that is not an archived
    // colour of the spaces above.
    static std::optional<ArchivedColor> fromArchive(QByteArrayView bytes);
    QByteArray toArchive() const;
    // The same for a colour object inside a larger archive; nullopt says why in problem.
    static std::optional<ArchivedColor> fromObject(const TypedStreamObject& object,
                                                   QString* problem = nullptr);
    std::shared_ptr<TypedStreamObject> toObject() const;

    bool operator==(const ArchivedColor& other) const;

private:
    friend class ArchivedColorCoding;
    double rgbComponent(qsizetype index) const;

    ColorSpace m_space = ColorSpace::CalibratedWhite;
    QList<double> m_components;
    double m_alpha = 1;
    QString m_catalogName;
    QString m_colorName;
    std::shared_ptr<const ArchivedColor> m_fallback;
};
