#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSizeF>
#include <QString>

#include <optional>

// The print settings a document keeps: paper, orientation, margins and scaling, all
// in points. A value read from the files keeps the bytes it came from and writes them
// back unchanged until a setter changes a field; a changed or new value is written in
// our own form, a prefix and an XML property list, which the platform's archive never
// begins with.
class PrintInfo {
public:
    enum class Orientation { Portrait = 0, Landscape = 1 };

    // The platform's defaults: US Letter, portrait, one-inch side margins and
    // one-and-a-quarter-inch top and bottom margins, unscaled.
    PrintInfo();

    QString paperName() const { return m_paperName; }
    void setPaperName(const QString& name);
    QSizeF paperSize() const { return m_paperSize; }
    void setPaperSize(QSizeF size);
    Orientation orientation() const { return m_orientation; }
    void setOrientation(Orientation orientation);
    double leftMargin() const { return m_leftMargin; }
    void setLeftMargin(double points);
    double rightMargin() const { return m_rightMargin; }
    void setRightMargin(double points);
    double topMargin() const { return m_topMargin; }
    void setTopMargin(double points);
    double bottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(double points);
    double scalingFactor() const { return m_scalingFactor; }
    void setScalingFactor(double factor);

    // The bytes the value was read from while no field has changed; empty otherwise.
    const QByteArray& originalBytes() const { return m_originalBytes; }

    // Reads the platform's archived print info (what of it is practical; fields it
    // lacks keep their defaults) or our own form. Nullopt, and one line in the system
    // log, for anything else.
    static std::optional<PrintInfo> fromArchive(QByteArrayView bytes);
    QByteArray toArchive() const;

    // The application's print settings.
    static PrintInfo sharedPrintInfo();
    static void setSharedPrintInfo(const PrintInfo& printInfo);

    // The fields; where a value was read from does not count.
    bool operator==(const PrintInfo& other) const;

    static constexpr QByteArrayView ownFormPrefix = "NorvaPrintInfo1\n";

private:
    friend class PrintInfoArchive;
    template <typename T> void change(T& field, const T& value);

    QString m_paperName;
    QSizeF m_paperSize;
    Orientation m_orientation = Orientation::Portrait;
    double m_leftMargin;
    double m_rightMargin;
    double m_topMargin;
    double m_bottomMargin;
    double m_scalingFactor = 1;
    QByteArray m_originalBytes;
};
