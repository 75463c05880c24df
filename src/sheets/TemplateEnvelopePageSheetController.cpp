#include "TemplateEnvelopePageSheetController.h"

#include "Localization.h"
#include "MarginUnits.h"
#include "TemplateSettingsData.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

void TemplateEnvelopePageSheetController::addFields(QGridLayout* grid, int& row)
{
    grid->addWidget(new QLabel(localized(QStringLiteral("Feed:"))), row, 0, Qt::AlignRight);
    m_feedMatrix = new QButtonGroup(this);
    auto* feeds = new QHBoxLayout;
    int tag = 0;
    for (const char* feed : {"Left", "Center", "Right"}) {
        auto* button = new QRadioButton(localized(QString::fromLatin1(feed)));
        m_feedMatrix->addButton(button, tag++);
        feeds->addWidget(button);
    }
    m_feedMatrix->button(2)->setChecked(true);
    grid->addLayout(feeds, row++, 1, 1, 3);
    // The choice shows in the preview only; it is not stored.
    connect(m_feedMatrix, &QButtonGroup::idClicked, this, [this] { changeFeed(); });
}

void TemplateEnvelopePageSheetController::limitSize(float& width, float& height, qint64 units)
{
    // No envelope is larger than the paper it is printed as.
    const QSizeF paper = settings()->printInfo().paperSize();
    if (paper.height() > 0 && height > paper.height()) {
        height = float(paper.height());
        sizeHeightField()->setText(
            QString::number(double(MarginUnits::pixelsAsUnits(height, units == 0)), 'f', 2));
    }
    if (paper.width() > 0 && width > paper.width()) {
        width = float(paper.width());
        sizeWidthField()->setText(
            QString::number(double(MarginUnits::pixelsAsUnits(width, units == 0)), 'f', 2));
    }
}

void TemplateEnvelopePageSheetController::updateFields(qint64)
{
    TemplateSettingsData& settings = *this->settings();
    settings.setLabelColumns(1);
    settings.setLabelRows(1);
    settings.setLabelTopMargin(0);
    settings.setLabelLeftMargin(0);
    settings.setLabelVerticalSpacing(0);
    settings.setLabelHorizontalSpacing(0);
}
