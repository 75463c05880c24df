#include "EditorFieldContentsController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "StringFormat.h"
#include "TotalFieldContentsSheetController.h"

#include <QLocale>
#include <QPointer>

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr std::array<qint64, 7> PowersOfTen{1, 10, 100, 1'000, 10'000, 100'000, 1'000'000};

bool isDigit(QChar character)
{
    return character >= u'0' && character <= u'9';
}

bool isNumberCharacter(QChar character)
{
    return character == u'-' || isDigit(character);
}

bool allDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(), isDigit);
}

// Digits with a minus sign in front at most, and one blank after that sign: "- 5". A
// hyphen anywhere else ("555-1234") is no minus sign.
bool wellFormedInteger(QStringView text)
{
    if (text.startsWith(u'-'))
        text = text.mid(text.startsWith(u"- ") ? 2 : 1);
    return allDigits(text);
}

// The leading integer after white space and a sign; nullopt when it does not fit.
std::optional<qint64> leadingInteger(QStringView text)
{
    qsizetype index = 0;
    while (index < text.size() && text[index].isSpace())
        ++index;
    bool negative = false;
    if (index < text.size() && (text[index] == u'-' || text[index] == u'+'))
        negative = text[index++] == u'-';
    qint64 value = 0;
    for (; index < text.size() && text[index] >= u'0' && text[index] <= u'9'; ++index) {
        const int digit = text[index].unicode() - u'0';
        if (__builtin_mul_overflow(value, 10, &value) ||
            __builtin_sub_overflow(value, digit, &value)) // summed negatively: the lowest fits
            return std::nullopt;
    }
    if (!negative && __builtin_mul_overflow(value, -1, &value))
        return std::nullopt;
    return value;
}

struct NumberReading {
    std::optional<qint64> units; // in 10^-digits; nullopt when too large
    bool wellFormed = true;
};

NumberReading readNumber(const QString& text, const QString& separator, int digits)
{
    if (text.isEmpty())
        return {0, true};
    const qsizetype at = separator.isEmpty() ? -1 : text.indexOf(separator);
    QString integer = at < 0 ? text : (at == 0 ? QStringLiteral("0") : text.left(at));
    // What follows the separator up to the last fraction digit counted; anything after
    // that is neither checked nor counted.
    QString fraction = QStringLiteral("0");
    if (at >= 0 && at + separator.size() < text.size()) {
        fraction = text.mid(at + separator.size(), digits);
        fraction.append(QString(digits - fraction.size(), u'0'));
    }
    integer.remove(separator == QLatin1String(".") ? u',' : u'.');
    // A currency sign in front of the number is passed over.
    for (qsizetype index = 0; index < integer.size(); ++index) {
        if (isNumberCharacter(integer[index])) {
            integer.remove(0, index);
            break;
        }
    }
    NumberReading reading;
    reading.wellFormed = wellFormedInteger(integer) && allDigits(fraction);
    // The blank a minus sign may have is no end of the number.
    if (integer.startsWith(u"- "))
        integer.remove(1, 1);
    // The fraction's own digits count, each in its place: "5 kg" is five tenths, however
    // many characters follow the digits.
    qsizetype fractionDigits = 0;
    while (fractionDigits < fraction.size() && isDigit(fraction[fractionDigits]))
        ++fractionDigits;
    const qint64 fractionUnits =
        fractionDigits == 0
            ? 0
            : fraction.left(fractionDigits).toLongLong() * PowersOfTen[digits - fractionDigits];
    const std::optional<qint64> whole = integer.isEmpty() ? 0 : leadingInteger(integer);
    // The fraction carries the integer part's sign.
    const qint64 part = integer.startsWith(u'-') ? -fractionUnits : fractionUnits;
    qint64 units = 0;
    if (!whole || __builtin_mul_overflow(*whole, PowersOfTen[digits], &units) ||
        __builtin_add_overflow(units, part, &units)) {
        reading.units = std::nullopt;
        reading.wellFormed = false;
    } else {
        reading.units = units;
    }
    return reading;
}

QString unitsText(qint64 units, const QString& separator, int digits, bool money)
{
    const bool negative = units < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(units) : quint64(units);
    const quint64 scale = quint64(PowersOfTen[digits]);
    QString text = negative ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / scale);
    QString fraction = QString::number(magnitude % scale).rightJustified(digits, u'0');
    if (!money) {
        while (fraction.endsWith(u'0'))
            fraction.chop(1);
        if (fraction.isEmpty())
            return text;
    }
    return text + separator + fraction;
}

} // namespace

EditorFieldContentsController::NumberSum
EditorFieldContentsController::addNumberString(const QString& total, const QString& value,
                                               const QString& decimalSeparator, bool treatAsMoney)
{
    const int digits = treatAsMoney ? 2 : 6;
    const NumberReading running = readNumber(total, decimalSeparator, digits);
    const NumberReading added = readNumber(value, decimalSeparator, digits);
    qint64 sum = running.units.value_or(0);
    bool readable = added.wellFormed;
    // A value that would overflow the total is reported and left out, never clamped.
    if (!added.units || __builtin_add_overflow(sum, *added.units, &sum)) {
        sum = running.units.value_or(0);
        readable = false;
    }
    return {unitsText(sum, decimalSeparator, digits, treatAsMoney), readable};
}

void EditorFieldContentsController::totalFieldContents()
{
    auto* sheet = VKSheetController::controller<TotalFieldContentsSheetController>();
    sheet->beginTotalFieldContentsForWindow(
        m_context.window(), m_context.settings()->fields(),
        didEndOf(sheet, &EditorFieldContentsController::totalFieldContentsDidEnd));
}

void EditorFieldContentsController::totalFieldContentsDidEnd(
    TotalFieldContentsSheetController* sheet, int returnCode)
{
    if (returnCode != 1)
        return;
    const bool money = sheet->treatAsMoney();
    const PlistArray fields = sheet->fieldsToTotal();
    if (fields.isEmpty())
        return;
    const QString separator = QLocale().decimalPoint();
    CurrentRecordEngine& engine = m_context.engine();
    engine.goToLastRecord();
    const std::shared_ptr<RecordData> sum = m_context.host().addRecordForModification();
    if (!sum)
        return;
    const qint64 count = engine.selectedRecordCount();

    // Every unreadable value, in the alert's words; one alert follows the totals.
    QStringList unreadable;
    for (const PlistValue& definition : fields) {
        const PlistValue* identifierValue =
            definition.asDictionary()
                ? definition.asDictionary()->find(DatafileSettingsData::FieldIdentifierKey)
                : nullptr;
        const QString field = identifierValue && identifierValue->asString()
                                  ? *identifierValue->asString()
                                  : QString();
        QString total = QStringLiteral("0.0");
        for (qint64 position = 0; position < count - 1; ++position) {
            const std::shared_ptr<RecordData> record = engine.recordAtIndex(position);
            if (!record || record->isSum())
                continue;
            const PlistValue* stored = record->fields().find(field);
            const QString value = stored && stored->asString() ? *stored->asString() : QString();
            NumberSum added = addNumberString(total, value, separator, money);
            total = std::move(added.total);
            if (!added.readable)
                unreadable.append(stringWithFormat(
                    localized(QStringLiteral("Non-numeric data found in:\n\tRecord #: "
                                             "%d\n\tField: \"%@\"\n\tData: %@")),
                    int(position + 1), engine.fieldNameForIdentifier(field), value));
        }
        engine.writeField(sum, field, total, CurrentRecordEngine::FieldWrite::Bulk);
    }

    sum->setIsSum(true);
    const QString explanation = localized(QStringLiteral(
        "This record contains the result of summing one or more columns in other "
        "records.\nIts contents will be ignored when summing columns in the future."));
    if (FreeformTextView* text = m_context.host().freeformTextView()) {
        text->loadPlainText(explanation);
        engine.textDidChange();
    }
    sum->modified();
    engine.setCurrentRecordDirty(true);
    engine.updateCurrentRecord();
    engine.loadCurrentRecord();
    showUnreadableValues(unreadable);
}

void EditorFieldContentsController::showUnreadableValues(const QStringList& messages)
{
    if (messages.isEmpty())
        return;
    AlertRequest alert;
    alert.messageText = messages.front();
    alert.informativeText = localized(QStringLiteral(
        "This could cause an error in the sum. Please remove any non-numeric characters and do the "
        "sum again.\n\nAcceptable numeric characters include digits, periods, commas, and hyphens "
        "used as minus signs. Currency symbols preceding those characters should not be a problem, "
        "but a minus sign cannot be followed by a currency symbol."));
    if (messages.size() > 1)
        alert.informativeText +=
            stringWithFormat(localized(QStringLiteral("\n\n%d more values could not be read.")),
                             int(messages.size() - 1));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [](const AlertResponse&) {});
}
