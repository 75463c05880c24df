#pragma once

#include "PaperPrintView.h"

#include <QList>
#include <QRectF>

#include <memory>

class TemplateSettingsData;

// The test sheet of a label template: one page with the outline of every label of the
// sheet, to hold a sheet of labels against. No design and no records.
class TestPrintView : public PaperPrintView {
public:
    explicit TestPrintView(const QRectF& frame);

    void setTempletSettings(std::shared_ptr<TemplateSettingsData> settings)
    {
        m_templateSettings = std::move(settings);
    }

    // PrintableView: page 1 alone, whatever range was asked.
    int pageCount() override { return 1; }
    std::optional<PageRange> fixedPageRange() const override { return PageRange{1, 1}; }
    void drawPage(QPainter& painter, int index) override;

    // The cells outlined, in points on the paper.
    QList<QRectF> labelOutlines() const;

private:
    std::shared_ptr<TemplateSettingsData> m_templateSettings;
};
