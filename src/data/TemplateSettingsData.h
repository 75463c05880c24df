#pragma once

#include "PrintInfo.h"
#include "VKKeyedAccessorData.h"

#include <QUrl>

// The page settings of an envelope or label template: the size of one envelope or
// label, the grid of labels with its margins and spacing, the address block's place,
// the envelope feed, the datafile it takes its records from and the print settings.
// Lengths are in points. Its dictionary is the template file's "Settings".
class TemplateSettingsData : public VKKeyedAccessorData {
public:
    static inline const QString IsEnvelopeKey = QStringLiteral("IsEnvelope");
    static inline const QString WidthKey = QStringLiteral("Width");
    static inline const QString HeightKey = QStringLiteral("Height");
    static inline const QString UnitsKey = QStringLiteral("Units");
    static inline const QString LabelCopiesKey = QStringLiteral("LabelCopies");
    static inline const QString LabelColumnsKey = QStringLiteral("LabelColumns");
    static inline const QString LabelRowsKey = QStringLiteral("LabelRows");
    static inline const QString LabelTopMarginKey = QStringLiteral("LabelTopMargin");
    static inline const QString LabelLeftMarginKey = QStringLiteral("LabelLeftMargin");
    static inline const QString LabelVerticalSpacingKey = QStringLiteral("LabelVerticalSpacing");
    static inline const QString LabelHorizontalSpacingKey =
        QStringLiteral("LabelHorizontalSpacing");
    static inline const QString ABHorziontalKey = QStringLiteral("ABHorziontal");
    static inline const QString ABVerticalKey = QStringLiteral("ABVertical");
    static inline const QString EnvelopeFeedKey = QStringLiteral("EnvelopeFeed");
    static inline const QString AssociatedDatafileURLKey = QStringLiteral("AssociatedDatafileURL");
    static inline const QString AssociatedDatafileKey = QStringLiteral("AssociatedDatafile");
    static inline const QString PrintInfoKey = QStringLiteral("PrintInfo");

    static std::shared_ptr<TemplateSettingsData> settings();
    // Nullptr when the data is too new.
    static std::shared_ptr<TemplateSettingsData>
    settingsWithDictionary(const std::optional<PlistDictionary>& dictionary);

    bool templateSettingsDidChange() const { return m_templateSettingsDidChange; }
    void setTemplateSettingsDidChange(bool changed) { m_templateSettingsDidChange = changed; }

    // Defaults that depend on the kind follow the stored "IsEnvelope" of the moment.
    bool isEnvelope() const { return boolForKey(IsEnvelopeKey, false); }
    void setIsEnvelope(bool envelope) { setBool(envelope, IsEnvelopeKey); }
    float width() const { return floatForKey(WidthKey, isEnvelope() ? 684.0f : 288.0f); }
    void setWidth(float width) { setFloat(width, WidthKey); }
    float height() const { return floatForKey(HeightKey, isEnvelope() ? 297.0f : 239.976f); }
    void setHeight(float height) { setFloat(height, HeightKey); }
    qint64 units() const { return integerForKey(UnitsKey, 0); }
    void setUnits(qint64 units) { setInteger(units, UnitsKey); }
    qint64 labelCopies() const { return integerForKey(LabelCopiesKey, 1); }
    void setLabelCopies(qint64 copies) { setInteger(copies, LabelCopiesKey); }
    qint64 labelColumns() const { return integerForKey(LabelColumnsKey, isEnvelope() ? 1 : 2); }
    void setLabelColumns(qint64 columns) { setInteger(columns, LabelColumnsKey); }
    qint64 labelRows() const { return integerForKey(LabelRowsKey, isEnvelope() ? 1 : 3); }
    void setLabelRows(qint64 rows) { setInteger(rows, LabelRowsKey); }
    float labelTopMargin() const { return floatForKey(LabelTopMarginKey, 36.0f); }
    void setLabelTopMargin(float margin) { setFloat(margin, LabelTopMarginKey); }
    float labelLeftMargin() const { return floatForKey(LabelLeftMarginKey, 12.024f); }
    void setLabelLeftMargin(float margin) { setFloat(margin, LabelLeftMarginKey); }
    float labelVerticalSpacing() const { return floatForKey(LabelVerticalSpacingKey, 0.0f); }
    void setLabelVerticalSpacing(float spacing) { setFloat(spacing, LabelVerticalSpacingKey); }
    float labelHorizontalSpacing() const { return floatForKey(LabelHorizontalSpacingKey, 12.024f); }
    void setLabelHorizontalSpacing(float spacing) { setFloat(spacing, LabelHorizontalSpacingKey); }
    qint64 horizontalAddressBlockPlacement() const { return integerForKey(ABHorziontalKey, 1); }
    void setHorizontalAddressBlockPlacement(qint64 placement)
    {
        setInteger(placement, ABHorziontalKey);
    }
    qint64 verticalAddressBlockPlacement() const { return integerForKey(ABVerticalKey, 1); }
    void setVerticalAddressBlockPlacement(qint64 placement)
    {
        setInteger(placement, ABVerticalKey);
    }
    qint64 envelopeFeed() const { return integerForKey(EnvelopeFeedKey, 2); }
    void setEnvelopeFeed(qint64 feed) { setInteger(feed, EnvelopeFeedKey); }

    // The stored URL; else the file URL of the older stored path ("~" expanded), which
    // then takes the URL's place in the settings; else an empty URL.
    QUrl associatedDatafileURL();
    void setAssociatedDatafileURL(const QUrl& url);
    QString associatedDatafile() const { return stringForKey(AssociatedDatafileKey, QString()); }
    void setAssociatedDatafile(const QString& path) { setString(path, AssociatedDatafileKey); }

    // The stored print settings, which become the application's shared ones; without
    // readable ones, the shared ones, which are then stored.
    PrintInfo printInfo();
    // Stores the print settings and makes them the application's shared ones.
    void setPrintInfo(const PrintInfo& printInfo);

    // Derived lengths, never stored. The paper is that of printInfo(); a grid of no
    // rows or columns counts as one.
    float totalWidth() const;
    float totalHeight() const;
    float pageWidth();
    float pageHeight();
    float labelRightMargin();
    float labelBottomMargin();

private:
    std::shared_ptr<VKKeyedAccessorData> newInstance() const override;

    bool m_templateSettingsDidChange = false;
};
