#include "TemplateFormat.h"

#include "Localization.h"
#include "PlistXmlWriter.h"
#include "PropertyList.h"
#include "StringFormat.h"
#include "SystemLog.h"

namespace {

TemplateFormat::Result<TemplateFormat::Contents> failure(const QString& message)
{
    return {std::nullopt, PlistError{message, -1, 0}};
}

} // namespace

TemplateFormat::Result<TemplateFormat::Contents> TemplateFormat::read(QByteArrayView bytes)
{
    return contentsOf(readPropertyList(bytes));
}

TemplateFormat::Result<TemplateFormat::Contents> TemplateFormat::read(QIODevice& device)
{
    return contentsOf(readPropertyList(device));
}

TemplateFormat::Result<TemplateFormat::Contents>
TemplateFormat::contentsOf(const PlistReadResult& read)
{
    if (!read.ok()) {
        PlistError error = *read.error;
        error.message = stringWithFormat(
            localized(QStringLiteral("The file is not a template or is damaged (%@).")),
            read.error->toString());
        return {std::nullopt, error};
    }
    const PlistDictionary* top = read.value.asDictionary();
    if (!top)
        return failure(localized(QStringLiteral("The file is not a template.")));
    const PlistValue* settings = top->find(SettingsKey);
    const PlistValue* design = top->find(DesignKey);
    if (!settings || !settings->isDictionary())
        return failure(localized(QStringLiteral("The template has no settings.")));
    if (!design || !design->isArray())
        return failure(localized(QStringLiteral("The template has no design.")));
    for (const PlistValue& entry : *design->asArray()) {
        if (!entry.isDictionary())
            return failure(localized(QStringLiteral("The template's design is damaged.")));
    }

    PlistDictionary settingsRead = *settings->asDictionary();
    PlistArray designRead = *design->asArray();
    // A binary file may hold a null or a UID, which the XML the template is saved as
    // cannot: left out, what reads them finds its default, and every save still works.
    if (!PlistValue(settingsRead).hasXmlForm() || !PlistValue(designRead).hasXmlForm()) {
        SystemLog::log(QStringLiteral("The template holds values it cannot store (null or UID); "
                                      "they are not used."));
        settingsRead = *PlistValue(settingsRead).xmlFormCopy().asDictionary();
        designRead = *PlistValue(designRead).xmlFormCopy().asArray();
    }
    std::shared_ptr<TemplateSettingsData> made =
        TemplateSettingsData::settingsWithDictionary(settingsRead);
    if (!made)
        return failure(
            localized(QStringLiteral("The template was written by a newer version of Norva.")));
    return {Contents{std::move(made), std::move(designRead)}, {}};
}

bool TemplateFormat::write(const PlistDictionary& settings, const PlistArray& design,
                           QIODevice& device)
{
    return PlistXmlWriter::write(PlistDictionary{{SettingsKey, settings}, {DesignKey, design}},
                                 device);
}
