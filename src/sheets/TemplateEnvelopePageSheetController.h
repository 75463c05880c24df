#pragma once

#include "TemplatePageSheetController.h"

// The envelope sheet: one envelope no larger than the paper, and its feed.
class TemplateEnvelopePageSheetController : public TemplatePageSheetController {
    Q_OBJECT

public:
    QButtonGroup* feedMatrix() const { return m_feedMatrix; }

protected:
    QString nibName() const override { return QStringLiteral("TemplateEnvelopePageSheet"); }
    void addFields(QGridLayout* grid, int& row) override;
    void prepareFields() override {}
    bool fieldsAreValid() const override { return true; }
    QString helpPage() const override { return QStringLiteral("TemplatesEditEnvelope.html"); }
    void limitSize(float& width, float& height, qint64 units) override;
    void updateFields(qint64 units) override;

private:
    QButtonGroup* m_feedMatrix = nullptr;
};
