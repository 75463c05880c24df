#include "EditorFieldContentsController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "MoveTextElementsSheetController.h"
#include "NotificationCenter.h"
#include "StringFormat.h"
#include "Telephony.h"

#include <QPointer>

#include <array>
#include <functional>

namespace {

bool isAddressCharacter(QChar character)
{
    if (character.unicode() > 0x7f)
        return false;
    const char ascii = char(character.unicode());
    if ((ascii >= 'a' && ascii <= 'z') || (ascii >= 'A' && ascii <= 'Z') ||
        (ascii >= '0' && ascii <= '9'))
        return true;
    return std::string_view("_-.!~*'();/?:@&=+$,#%[]").find(ascii) != std::string_view::npos;
}

bool isTrailingPunctuation(QChar character)
{
    return character == u'.' || character == u'!' || character == u'?' || character == u',';
}

// The length up to the end of the address characters from `from`, less a trailing
// punctuation mark.
qsizetype addressLength(const QString& text, qsizetype start, qsizetype from, qsizetype end)
{
    qsizetype stop = from;
    while (stop < end && isAddressCharacter(text[stop]))
        ++stop;
    qsizetype length = stop - start;
    if (length > 0 && isTrailingPunctuation(text[start + length - 1]))
        --length;
    return length;
}

// The AutoSaveChanges setting off for one run, restored however the run ends.
class AutoSaveSuspension {
public:
    explicit AutoSaveSuspension(std::shared_ptr<DatafileSettingsData> settings)
        : m_settings(std::move(settings)), m_former(m_settings->autoSaveChanges())
    {
        m_settings->setAutoSaveChanges(false);
    }
    ~AutoSaveSuspension() { m_settings->setAutoSaveChanges(m_former); }
    AutoSaveSuspension(const AutoSaveSuspension&) = delete;
    AutoSaveSuspension& operator=(const AutoSaveSuspension&) = delete;

private:
    std::shared_ptr<DatafileSettingsData> m_settings;
    bool m_former;
};

enum Kind { PhoneKind, EmailKind, WebLinkKind };
constexpr std::array<Kind, 3> Kinds{PhoneKind, EmailKind, WebLinkKind};

QString fieldName(Kind kind)
{
    switch (kind) {
    case PhoneKind:
        return localized(QStringLiteral("Phone"));
    case EmailKind:
        return localized(QStringLiteral("Email"));
    default:
        return localized(QStringLiteral("Web Link"));
    }
}

QString numberedFieldName(Kind kind, qint64 number)
{
    switch (kind) {
    case PhoneKind:
        return stringWithFormat(localized(QStringLiteral("Phone %ld")), number);
    case EmailKind:
        return stringWithFormat(localized(QStringLiteral("Email %ld")), number);
    default:
        return stringWithFormat(localized(QStringLiteral("Web Link %ld")), number);
    }
}

using TextRange = EditorFieldContentsController::TextRange;

// The first element of the kind at or after the location; length 0 for none. A phone
// number that does not stand in the text as it was read (a "%20" in it) is none.
TextRange findElement(Kind kind, const QString& text, qsizetype location,
                      const QStringList& templates)
{
    if (kind == PhoneKind) {
        const QString number =
            EditorFieldContentsController::phoneNumberInString(text, location, templates);
        const qsizetype at = number.isEmpty() ? -1 : text.indexOf(number, location);
        return at < 0 ? TextRange{} : TextRange{at, number.size()};
    }
    const TextRange range{location, text.size() - location};
    return kind == EmailKind ? EditorFieldContentsController::emailRangeInString(text, range)
                             : EditorFieldContentsController::webLinkRangeInString(text, range);
}

} // namespace

QString EditorFieldContentsController::phoneNumberInString(const QString& text, qsizetype location,
                                                           const QStringList& templates)
{
    const qsizetype start = std::max<qsizetype>(location, 0);
    return Telephony::firstMatchingNumber(text, start, text.size() - start, templates);
}

EditorFieldContentsController::TextRange
EditorFieldContentsController::emailRangeInString(const QString& text, TextRange range)
{
    const qsizetype end = std::min(text.size(), range.location + range.length);
    for (qsizetype search = range.location; search < end;) {
        const qsizetype at = text.indexOf(u'@', search);
        if (at < 0 || at >= end)
            return {};
        // The name before the "@" may begin before the range.
        qsizetype start = at;
        while (start > 0 && isAddressCharacter(text[start - 1]))
            --start;
        const qsizetype length = addressLength(text, start, at + 1, end);
        if (length >= 6)
            return {start, length};
        // Too short to be an address: a later one may be.
        search = at + 1;
    }
    return {};
}

EditorFieldContentsController::TextRange
EditorFieldContentsController::webLinkRangeInString(const QString& text, TextRange range)
{
    const qsizetype end = std::min(text.size(), range.location + range.length);
    qsizetype start = -1;
    qsizetype prefixLength = 0;
    for (const QLatin1StringView prefix :
         {QLatin1StringView("http://"), QLatin1StringView("https://"), QLatin1StringView("www.")}) {
        const qsizetype at = text.indexOf(prefix, range.location);
        if (at < 0 || at + prefix.size() > end)
            continue;
        if (start < 0 || at < start) {
            start = at;
            prefixLength = prefix.size();
        }
    }
    if (start < 0)
        return {};
    return {start, addressLength(text, start, start + prefixLength, end)};
}

void EditorFieldContentsController::moveTextElements()
{
    auto* sheet = VKSheetController::controller<MoveTextElementsSheetController>();
    sheet->beginMoveTextElementsForWindow(
        m_context.window(),
        didEndOf(sheet, &EditorFieldContentsController::moveTextElementsDidEnd));
}

void EditorFieldContentsController::moveTextElementsDidEnd(MoveTextElementsSheetController* sheet,
                                                           int returnCode)
{
    if (returnCode != 1)
        return;
    const bool phones = sheet->movePhoneNumbers();
    const bool email = sheet->moveEmailAddresses();
    const bool links = sheet->moveWebLinks();
    if (sheet->moveOneEach())
        sheet->copyToFields() ? copyOneEach(phones, email, links)
                              : moveOneEach(phones, email, links);
    else
        sheet->copyToFields() ? copyAll(phones, email, links) : moveAll(phones, email, links);
    NotificationCenter::defaultCenter().postNotification(
        DatafileDocument::DatafileFieldFormatChangedNotification, m_context.document());
}

void EditorFieldContentsController::copyOneEach(bool phoneNumbers, bool email, bool webLinks)
{
    const AutoSaveSuspension suspension(m_context.settings());
    const std::array<bool, 3> enabled{phoneNumbers, email, webLinks};
    const QStringList templates = Telephony::phoneNumberTemplates();
    CurrentRecordEngine& engine = m_context.engine();
    std::array<QString, 3> fields;
    const qint64 count = engine.selectedRecordCount();
    for (qint64 index = 0; index < count; ++index) {
        const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
        // The stored text: edits not yet committed are not seen.
        const QString text = record ? record->textString() : QString();
        if (text.isEmpty())
            continue;
        for (const Kind kind : Kinds) {
            if (!enabled[kind])
                continue;
            const TextRange range = findElement(kind, text, 0, templates);
            const QString element = text.mid(range.location, range.length);
            // The field comes with the first element of its kind.
            if (fields[kind].isEmpty() && !element.isEmpty())
                fields[kind] = m_context.host().addNewFieldWithName(fieldName(kind));
            if (!fields[kind].isEmpty())
                engine.writeField(record, fields[kind], element,
                                  CurrentRecordEngine::FieldWrite::Bulk);
        }
    }
    m_context.host().resetSplitView();
}

void EditorFieldContentsController::moveOneEach(bool phoneNumbers, bool email, bool webLinks)
{
    const AutoSaveSuspension suspension(m_context.settings());
    const std::array<bool, 3> enabled{phoneNumbers, email, webLinks};
    const QStringList templates = Telephony::phoneNumberTemplates();
    CurrentRecordEngine& engine = m_context.engine();
    std::array<QString, 3> fields;
    for (const Kind kind : Kinds)
        if (enabled[kind])
            fields[kind] = m_context.host().addNewFieldWithName(fieldName(kind));
    engine.updateCurrentRecord();
    const qint64 count = engine.selectedRecordCount();
    engine.goToFirstRecord();
    for (qint64 index = 0; index < count; ++index) {
        const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
        engine.loadRecord(record);
        // A locked record is left whole: nothing cut, nothing stored.
        if (!currentTextEditable())
            continue;
        for (const Kind kind : Kinds) {
            if (!enabled[kind])
                continue;
            const QString text = m_context.host().freeformTextView()->plainText();
            const TextRange range = findElement(kind, text, 0, templates);
            if (range.length == 0)
                continue;
            engine.writeField(record, fields[kind], text.mid(range.location, range.length),
                              CurrentRecordEngine::FieldWrite::Bulk);
            deleteTextRange(range.location, range.length);
        }
    }
    engine.goToFirstRecord();
    m_context.host().resetSplitView();
}

namespace {

// The numbered fields of one kind, made as records need them.
class NumberedFields {
public:
    NumberedFields(Kind kind, FeatureWindow& fields) : m_kind(kind), m_fields(fields) {}
    void addFirstAtFront()
    {
        m_identifiers.append(m_fields.addNewFieldWithName(numberedFieldName(m_kind, 1)));
    }
    // The identifier of the field of the element numbered from 0.
    const QString& field(qsizetype element)
    {
        while (m_identifiers.size() <= element)
            m_identifiers.append(m_fields.appendNewFieldWithName(
                numberedFieldName(m_kind, m_identifiers.size() + 1)));
        return m_identifiers[element];
    }

private:
    Kind m_kind;
    FeatureWindow& m_fields;
    QStringList m_identifiers;
};

std::array<NumberedFields, 3> numberedFieldsOf(FeatureWindow& fields)
{
    return {NumberedFields(PhoneKind, fields), NumberedFields(EmailKind, fields),
            NumberedFields(WebLinkKind, fields)};
}

} // namespace

void EditorFieldContentsController::copyAll(bool phoneNumbers, bool email, bool webLinks)
{
    const AutoSaveSuspension suspension(m_context.settings());
    const std::array<bool, 3> enabled{phoneNumbers, email, webLinks};
    const QStringList templates = Telephony::phoneNumberTemplates();
    CurrentRecordEngine& engine = m_context.engine();
    std::array<NumberedFields, 3> fields = numberedFieldsOf(m_context.host());
    const qint64 count = engine.selectedRecordCount();
    for (qint64 index = 0; index < count; ++index) {
        const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
        const QString text = record ? record->textString() : QString();
        for (const Kind kind : Kinds) {
            if (!enabled[kind])
                continue;
            qsizetype element = 0;
            for (TextRange range = findElement(kind, text, 0, templates); range.length > 0;
                 range = findElement(kind, text, range.location + range.length, templates))
                engine.writeField(record, fields[kind].field(element++),
                                  text.mid(range.location, range.length),
                                  CurrentRecordEngine::FieldWrite::Bulk);
        }
    }
    m_context.host().resetSplitView();
}

void EditorFieldContentsController::moveAll(bool phoneNumbers, bool email, bool webLinks)
{
    const AutoSaveSuspension suspension(m_context.settings());
    const std::array<bool, 3> enabled{phoneNumbers, email, webLinks};
    const QStringList templates = Telephony::phoneNumberTemplates();
    CurrentRecordEngine& engine = m_context.engine();
    std::array<NumberedFields, 3> fields = numberedFieldsOf(m_context.host());
    for (const Kind kind : Kinds)
        if (enabled[kind])
            fields[kind].addFirstAtFront();
    engine.updateCurrentRecord();
    engine.goToFirstRecord();
    const qint64 count = engine.selectedRecordCount();
    for (qint64 index = 0; index < count; ++index) {
        const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
        engine.loadRecord(record);
        // A locked record keeps its text, so it is left whole rather than searched forever.
        if (!currentTextEditable())
            continue;
        for (const Kind kind : Kinds) {
            if (!enabled[kind])
                continue;
            qsizetype element = 0;
            qsizetype location = 0;
            for (;;) {
                const QString text = m_context.host().freeformTextView()->plainText();
                const TextRange range = findElement(kind, text, location, templates);
                if (range.length == 0)
                    break;
                engine.writeField(record, fields[kind].field(element++),
                                  text.mid(range.location, range.length),
                                  CurrentRecordEngine::FieldWrite::Bulk);
                deleteTextRange(range.location, range.length);
                // Phone numbers are sought again from the same place, the others from where
                // the element was.
                if (kind != PhoneKind)
                    location = range.location;
            }
        }
    }
    engine.goToFirstRecord();
    m_context.host().resetSplitView();
}
