#include "RecordData.h"

#include "SystemLog.h"

#include <algorithm>

RecordData::RecordData(const PlistDictionary& dictionary) : VKKeyedRecordData(dictionary)
{
    if (const PlistValue* fields = dictionary.find(FieldsKey)) {
        // Values that are not strings are kept as they are and written back unchanged;
        // only what a datafile cannot hold (a binary property list's null or UID) is left
        // out, as kept it would fail every save.
        if (const PlistDictionary* asDictionary = fields->asDictionary()) {
            if (fields->hasXmlForm()) {
                m_fields = *asDictionary;
            } else {
                m_fields = *fields->xmlFormCopy().asDictionary();
                SystemLog::log(QStringLiteral("Record %1: \"%2\" holds values a datafile cannot "
                                              "store (null or UID); they are not used.")
                                   .arg(identifier(), FieldsKey));
            }
        } else {
            logWrongKind(FieldsKey, "a dictionary");
        }
    }
    if (const PlistValue* text = dictionary.find(TextStringKey)) {
        if (const QString* asString = text->asString())
            m_textString = *asString;
        else
            logWrongKind(TextStringKey, "a string");
    }
    if (const PlistValue* rtfd = dictionary.find(TextRTFDKey)) {
        if (const QByteArray* asData = rtfd->asData())
            m_textRTFD = *asData;
        else
            logWrongKind(TextRTFDKey, "data");
    }
}

std::shared_ptr<RecordData> RecordData::record()
{
    return std::make_shared<RecordData>();
}

std::shared_ptr<RecordData> RecordData::record(PlistDictionary fields, QString textString,
                                               QByteArray textRTFD)
{
    auto made = std::make_shared<RecordData>();
    made->m_fields = std::move(fields);
    made->m_textString = std::move(textString);
    made->m_textRTFD = std::move(textRTFD);
    return made;
}

void RecordData::appendEntries(PlistDictionary::Entries& entries) const
{
    VKKeyedRecordData::appendEntries(entries);
    entries.push_back({FieldsKey, m_fields});
    entries.push_back({TextStringKey, m_textString});
    entries.push_back({TextRTFDKey, m_textRTFD});
}

QString RecordData::cleanedFieldValue(const QString& text)
{
    // Most values hold no break: they are shared, not copied.
    if (std::none_of(text.cbegin(), text.cend(), isFieldBreak))
        return text;
    QString cleaned = text;
    for (QChar& character : cleaned) {
        if (isFieldBreak(character))
            character = u' ';
    }
    return cleaned;
}
