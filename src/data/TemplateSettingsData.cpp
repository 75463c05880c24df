#include "TemplateSettingsData.h"

#include <QDir>

#include <algorithm>

std::shared_ptr<TemplateSettingsData> TemplateSettingsData::settings()
{
    return std::make_shared<TemplateSettingsData>();
}

std::shared_ptr<TemplateSettingsData>
TemplateSettingsData::settingsWithDictionary(const std::optional<PlistDictionary>& dictionary)
{
    return createWithDictionary<TemplateSettingsData>(dictionary);
}

std::shared_ptr<VKKeyedAccessorData> TemplateSettingsData::newInstance() const
{
    return std::make_shared<TemplateSettingsData>();
}

QUrl TemplateSettingsData::associatedDatafileURL()
{
    const QString stored = stringForKey(AssociatedDatafileURLKey, QString());
    if (!stored.isEmpty()) {
        const QUrl url(stored, QUrl::StrictMode);
        if (url.isValid())
            return url;
    }
    QString path = associatedDatafile();
    if (path.isEmpty())
        return {};
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path.replace(0, 1, QDir::homePath());
    const QUrl url = QUrl::fromLocalFile(path);
    // Older templates move to the URL form on first use.
    setAssociatedDatafileURL(url);
    setAssociatedDatafile(QString());
    return url;
}

void TemplateSettingsData::setAssociatedDatafileURL(const QUrl& url)
{
    setString(url.isEmpty() ? QString() : url.toString(QUrl::FullyEncoded),
              AssociatedDatafileURLKey);
}

PrintInfo TemplateSettingsData::printInfo()
{
    const PlistValue stored = objectForKey(PrintInfoKey, PlistValue());
    if (const QByteArray* data = stored.asData()) {
        if (std::optional<PrintInfo> stored = PrintInfo::fromArchive(*data)) {
            PrintInfo::setSharedPrintInfo(*stored);
            return *stored;
        }
    }
    PrintInfo shared = PrintInfo::sharedPrintInfo();
    setPrintInfo(shared);
    return shared;
}

void TemplateSettingsData::setPrintInfo(const PrintInfo& printInfo)
{
    setObject(printInfo.toArchive(), PrintInfoKey);
    PrintInfo::setSharedPrintInfo(printInfo);
}

float TemplateSettingsData::totalWidth() const
{
    if (isEnvelope())
        return width();
    const float columns = float(std::max<qint64>(labelColumns(), 1));
    return width() * columns + labelHorizontalSpacing() * (columns - 1);
}

float TemplateSettingsData::totalHeight() const
{
    if (isEnvelope())
        return height();
    const float rows = float(std::max<qint64>(labelRows(), 1));
    return height() * rows + labelVerticalSpacing() * (rows - 1);
}

float TemplateSettingsData::pageWidth()
{
    if (isEnvelope())
        return width();
    return totalWidth() + labelLeftMargin() + labelRightMargin();
}

float TemplateSettingsData::pageHeight()
{
    if (isEnvelope())
        return height();
    return totalHeight() + labelTopMargin() + labelBottomMargin();
}

float TemplateSettingsData::labelRightMargin()
{
    return float(printInfo().paperSize().width()) - labelLeftMargin() - totalWidth();
}

float TemplateSettingsData::labelBottomMargin()
{
    return float(printInfo().paperSize().height()) - labelTopMargin() - totalHeight();
}
