#pragma once

#include "GraphicList.h"
#include "PrintInfo.h"
#include "VKSheetController.h"

#include <memory>
#include <optional>

class PageView;
class PageViewController;
class QButtonGroup;
class QGridLayout;
class QLineEdit;
class TemplateSettingsData;

// The page-layout sheet of a template: the size of one label or of the envelope and the
// units they show in, with a preview of the page, on the sheet's own copy of the
// settings; Page Setup changes only the copy. The caller reads settings() on OK. The
// label and envelope sheets add their own fields.
class TemplatePageSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The stored units: inches, and centimetres for any other.
    static constexpr qint64 Inches = 0;
    static constexpr qint64 Centimetres = 1;

    ~TemplatePageSheetController() override;

    // The pooled sheet for an envelope or for labels.
    static TemplatePageSheetController* controllerForTemplate(bool isEnvelope);

    // Begins on a copy of the settings; with openPageSetup, Page Setup opens at once.
    void beginSheetWithSettings(const std::shared_ptr<TemplateSettingsData>& settings,
                                const GraphicList& graphics, QWidget* window, DidEndCallback didEnd,
                                bool openPageSetup);

    bool prepare() override;
    // The fields into the settings copy, read in the units they were shown in; the units
    // chosen are stored last.
    void updateSettings();
    // The fields into the copy and the preview; refused with a beep while a field holds
    // no usable number.
    void apply();
    void okay(QObject* sender = nullptr) override;
    void help(QObject* sender = nullptr) override;
    void changeUnits();
    void changeFeed();
    void pageSetup();
    void pageLayoutDidEnd(const std::optional<PrintInfo>& accepted);

    // A length in points as the copy's units show it, and back.
    float pixelsAsUnits(float points) const;
    float unitsAsPixels(float value) const;

    const std::shared_ptr<TemplateSettingsData>& settings() const { return m_templateSettings; }
    void setSettings(const std::shared_ptr<TemplateSettingsData>& settings);
    const GraphicList& graphics() const { return m_graphics; }
    void setGraphics(const GraphicList& graphics) { m_graphics = graphics; }
    PageViewController& pageViewController() const { return *m_pageViewController; }
    PageView* pageView() const { return m_pageView; }

    QLineEdit* sizeWidthField() const { return m_sizeWidthField; }
    QLineEdit* sizeHeightField() const { return m_sizeHeightField; }
    QButtonGroup* unitsMatrix() const { return m_unitsMatrix; }
    QPushButton* applyButton() const { return m_applyButton; }

protected:
    TemplatePageSheetController();
    void buildInterface(QDialog* window) override;
    // The subclass's fields, below the size, on the grid.
    virtual void addFields(QGridLayout* grid, int& row) = 0;
    // The subclass's fields from the settings copy, before the common ones.
    virtual void prepareFields() = 0;
    // Whether the subclass's fields hold usable numbers.
    virtual bool fieldsAreValid() const = 0;
    // The size as typed, in points, made to fit where the kind asks it.
    virtual void limitSize(float& /*width*/, float& /*height*/, qint64 /*units*/) {}
    // The subclass's fields into the copy, read in the units given.
    virtual void updateFields(qint64 units) = 0;
    // After the preview shows the applied copy.
    virtual void didApply() {}
    virtual QString helpPage() const = 0;
    // Every field holds a usable number: a size above 0, the subclass's own.
    bool fieldsAreUsable() const;
    // The copy laid out in the preview.
    void resetPreview();
    // A length field: shown with two decimals; a usable value is above 0 where asked.
    QLineEdit* addLengthField(QGridLayout* grid, int row, int column, const QString& label);
    void showLength(QLineEdit* field, float points) const;
    // The typed value in points, in the given units; none when it is no number.
    static std::optional<float> typedLength(const QLineEdit* field, qint64 units);
    static std::optional<qint64> typedWholeNumber(const QLineEdit* field);

private:
    std::shared_ptr<TemplateSettingsData> m_templateSettings;
    GraphicList m_graphics;
    std::unique_ptr<PageViewController> m_pageViewController;
    PageView* m_pageView = nullptr;
    QLineEdit* m_sizeWidthField = nullptr;
    QLineEdit* m_sizeHeightField = nullptr;
    QButtonGroup* m_unitsMatrix = nullptr;
    QPushButton* m_applyButton = nullptr;
};
