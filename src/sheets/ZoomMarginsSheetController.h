#pragma once

#include "MarginUnits.h"
#include "VKSheetController.h"

#include <memory>

class DatafileSettingsData;
class QButtonGroup;
class QLineEdit;

// The left and right margins the window's zoom to the printed width leaves, in inches or
// centimetres. The margins are kept in points; the caller reads them back in its did-end,
// whatever the sheet ended with.
class ZoomMarginsSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The tags of the units' buttons.
    static constexpr int CentimetresTag = MarginUnits::CentimetresTag;
    static constexpr int InchesTag = MarginUnits::InchesTag;

    void beginSheetWithLeftMargin(float leftMargin, float rightMargin, bool useInches,
                                  std::shared_ptr<DatafileSettingsData> settings, QWidget* docWindow,
                                  DidEndCallback didEnd);

    bool prepare() override;
    void okay(QObject* sender = nullptr) override;
    // The units' action: the margins typed are kept and shown in the other unit.
    void changeUnits();
    float pixelsAsUnits(float points) const;
    float unitsAsPixels(float units) const;

    float leftMargin() const { return m_leftMargin; }
    void setLeftMargin(float points) { m_leftMargin = points; }
    float rightMargin() const { return m_rightMargin; }
    void setRightMargin(float points) { m_rightMargin = points; }
    bool useInches() const { return m_useInches; }
    void setUseInches(bool useInches) { m_useInches = useInches; }
    const std::shared_ptr<DatafileSettingsData>& settings() const { return m_settings; }

    // Outlets.
    QLineEdit* marginsLeftField() const { return m_marginsLeftField; }
    QLineEdit* marginsRightField() const { return m_marginsRightField; }
    QButtonGroup* unitsMatrix() const { return m_unitsMatrix; }

protected:
    QString nibName() const override { return QStringLiteral("ZoomMarginsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    // Both fields read back into the margins, in the unit shown until now.
    void takeMargins();

    float m_leftMargin = 72.0f;
    float m_rightMargin = 72.0f;
    bool m_useInches = true;
    std::shared_ptr<DatafileSettingsData> m_settings;

    QLineEdit* m_marginsLeftField = nullptr;
    QLineEdit* m_marginsRightField = nullptr;
    QButtonGroup* m_unitsMatrix = nullptr;
};
