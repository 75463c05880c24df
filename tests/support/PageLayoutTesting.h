#pragma once

#include "../graphics/GraphicTesting.h"

#include "AddressGraphic.h"
#include "FieldGraphic.h"
#include "PageDisplay.h"
#include "PageLayoutHost.h"
#include "PageRecordSource.h"
#include "PageViewController.h"
#include "TemplateSettingsData.h"

#include <QHash>
#include <QStringList>

#include <functional>

// Selected records as the datafile's window would serve them: each record's address
// block and its fields by name.
class FakeRecordSource : public PageRecordSource {
public:
    explicit FakeRecordSource(qint64 count = 0) : count(count) {}

    bool isAvailable() const override { return available; }
    qint64 countSelected() const override { return count; }
    QString addressBlockAtIndex(qint64 index) const override
    {
        ++addressBlocksAsked;
        if (addressBlock)
            return addressBlock(index);
        return addressBlocks.value(index);
    }
    std::optional<QString> contentOfField(const QString& fieldName, qint64 index) const override
    {
        if (index < 0 || index >= count || !fields.contains(fieldName))
            return std::nullopt;
        return fields.value(fieldName).value(index);
    }
    qint64 indexOfCurrentRecord() const override { return currentRecord; }
    void saveAndReloadCurrentRecord() override { ++reloads; }
    void incrementOpenTemplateCount() override { ++openTemplateCount; }
    void decrementOpenTemplateCount() override { --openTemplateCount; }

    qint64 count = 0;
    bool available = true;
    qint64 currentRecord = 0;
    QStringList addressBlocks;
    std::function<QString(qint64)> addressBlock;
    QHash<QString, QStringList> fields;
    int openTemplateCount = 0;
    int reloads = 0;
    mutable int addressBlocksAsked = 0;
};

// A window that opens the datafiles it is given and records what the engine asks.
class FakePageLayoutHost : public PageLayoutHost {
public:
    std::shared_ptr<PageRecordSource> openDatafile(const QString& path) override
    {
        openedPaths.append(path);
        return datafile;
    }
    QString templateDisplayName() const override { return displayName; }
    void setWindowTitle(const QString& title) override { windowTitle = title; }
    void showDatafileRequiredAlert() override { ++alerts; }
    bool isSinglePageSheet() const override { return singlePageSheet; }
    void reloadStatusBar() override { ++statusBarReloads; }

    std::shared_ptr<PageRecordSource> datafile;
    QString displayName = QStringLiteral("Labels.zlabel");
    bool singlePageSheet = false;
    QStringList openedPaths;
    QString windowTitle;
    int alerts = 0;
    int statusBarReloads = 0;
};

// A page view without a window.
class FakePageDisplay : public PageDisplay {
public:
    void setPageViewController(PageViewController* engine) override { controller = engine; }
    void setPaperFrame(const QRectF& frame) override { paperFrame = frame; }
    void setPrintableFrame(const QRectF& frame) override { printableFrame = frame; }
    void setCurrentPage(quint64 page) override { currentPage = page; }
    QSizeF frameSize() const override { return size; }
    void setFrameSize(const QSizeF& newSize) override { size = newSize; }
    bool isScaled() const override { return scale != 1; }
    void scaleUnitSquare(double by) override { scale *= by; }
    void setPageToolTip(const QString& text) override { toolTip = text; }
    void setNeedsDisplay() override { ++displays; }

    PageViewController* controller = nullptr;
    QRectF paperFrame;
    QRectF printableFrame;
    quint64 currentPage = 0;
    QSizeF size;
    double scale = 1;
    QString toolTip;
    int displays = 0;
};

// A label sheet of 3 rows x 2 columns of 288 x 144 points, 13.5 points from the left
// edge and 36 from the top, 9 points between the columns.
inline std::shared_ptr<TemplateSettingsData> labelSheet(qint64 rows = 3, qint64 columns = 2)
{
    auto settings = TemplateSettingsData::settings();
    settings->setLabelRows(rows);
    settings->setLabelColumns(columns);
    settings->setLabelLeftMargin(13.5);
    settings->setLabelTopMargin(36);
    settings->setWidth(288);
    settings->setHeight(144);
    settings->setLabelHorizontalSpacing(9);
    settings->setLabelVerticalSpacing(0);
    return settings;
}

inline std::shared_ptr<AddressGraphic> addressGraphicAt(const QRectF& bounds, qint64 horizontal = 0,
                                                        qint64 vertical = 0)
{
    auto address = std::make_shared<AddressGraphic>();
    address->setFont(ArchivedFont(QStringLiteral("Helvetica"), 12));
    address->setBounds(bounds);
    address->setHorizontalAddressBlockPlacement(horizontal);
    address->setVerticalAddressBlockPlacement(vertical);
    return address;
}

inline std::shared_ptr<FieldGraphic> fieldGraphicAt(const QRectF& bounds, const QString& name)
{
    auto field = std::make_shared<FieldGraphic>();
    field->setFont(ArchivedFont(QStringLiteral("Helvetica"), 12));
    field->setFieldName(name);
    field->setBounds(bounds);
    return field;
}
