#include "EditorTelephonyController.h"

#include "ActionRouter.h"
#include "Application.h"
#include "CurrentRecordEngine.h"
#include "DatafileSettingsData.h"
#include "DialExtensionsSheetController.h"
#include "DialingSets.h"
#include "EditorDialingController.h"
#include "EditorTableController.h"
#include "FeatureContext.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "NumberBeingDialedController.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "RXTableView.h"
#include "RecordData.h"
#include "TelephoneLinkPass.h"
#include "Telephony.h"
#include "UserDefaults.h"

#include <QAction>

namespace {

const QString DialingMethodKey = QStringLiteral("DialingMethod");
const QString UseSpeakerDialingKey = QStringLiteral("UseSpeakerDialing");
const QString ShowNowDialingKey = QStringLiteral("ShowNowDialing");
const QString ModemPreferredPathKey = QStringLiteral("ModemPreferredPath");
const QString UsePhoneNumberBracketKey = QStringLiteral("UsePhoneNumberBracket");
const QString PhoneNumberBracketKey = QStringLiteral("PhoneNumberBracket");

EditorTelephonyController::Dialer realDialer;
EditorTelephonyController::Dialer* dialer = &realDialer;

bool holdsNumberCharacter(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), Telephony::startsNumber);
}

void sendToApplication(const QString& selector)
{
    ActionRouter::sendAction(selector, dynamic_cast<Responder*>(Application::shared().delegate()),
                             nullptr);
}

// The set a Dial item names by its tag; none for any other sender.
std::optional<int> dialingSetOf(QObject* sender)
{
    if (const auto* item = qobject_cast<const QAction*>(sender))
        return PopUpButton::tag(item);
    return std::nullopt;
}

} // namespace

void EditorTelephonyController::Dialer::dialPhoneNumber(const QString& number,
                                                        const QString& modemPath, int dialingMethod)
{
    EditorDialingController::dialPhoneNumber(number, modemPath, dialingMethod);
}

void EditorTelephonyController::Dialer::dialExtensions(const QStringList& pieces, QWidget* window,
                                                       const QString& modemPath, int dialingMethod)
{
    VKSheetController::controller<DialExtensionsSheetController>()->dialExtensions(
        pieces, window, modemPath, dialingMethod);
}

void EditorTelephonyController::Dialer::dialPhoneShowingNumber(const QString& number,
                                                               QWidget* window,
                                                               const QString& modemPath,
                                                               int dialingMethod)
{
    VKSheetController::controller<NumberBeingDialedController>()->dialPhoneShowingNumber(
        number, window, modemPath, dialingMethod);
}

void EditorTelephonyController::setDialerForTesting(Dialer* testDialer)
{
    dialer = testDialer ? testDialer : &realDialer;
}

EditorTelephonyController::EditorTelephonyController(FeatureContext& context) : m_context(context)
{
    m_context.registerAction(QStringLiteral("dialPhone:"),
                             [this](QObject* sender) { dialPhone(dialingSetOf(sender)); });
    m_context.registerAction(QStringLiteral("dialPhoneWithBasicSet:"),
                             [this](QObject*) { dialPhoneWithBasicSet(); });
    m_context.registerAction(QStringLiteral("createLinksForAllTelephoneNumbers:"),
                             [this](QObject*) {
                                 if (!m_context.nowSyncing())
                                     createLinksForAllTelephoneNumbers();
                             });
}

EditorTelephonyController::~EditorTelephonyController() = default;

// Finding the number.

QStringList EditorTelephonyController::telephoneNumberFormatsList()
{
    return Telephony::phoneNumberTemplates();
}

QString EditorTelephonyController::bracketedPhoneNumberInString(const QString& text,
                                                                const QString& bracket)
{
    if (bracket.isEmpty())
        return {};
    const qsizetype opening = text.indexOf(bracket);
    if (opening < 0)
        return {};
    const qsizetype start = opening + bracket.size();
    const qsizetype closing = text.indexOf(bracket, start);
    if (closing <= start)
        return {};
    return text.mid(start, closing - start);
}

QStringList EditorTelephonyController::phoneNumberArrayFromString(const QString& number)
{
    QStringList pieces;
    for (qsizetype start = 0;;) {
        const qsizetype x = number.indexOf(u'x', start);
        const QString piece = number.mid(start, x < 0 ? -1 : x - start);
        if (piece.isEmpty())
            break;
        pieces.append(piece);
        if (x < 0 || x == number.size() - 1)
            break;
        start = x + 1;
    }
    return pieces;
}

bool EditorTelephonyController::textAreaFocused() const
{
    const FreeformTextView* view = m_context.host().freeformTextView();
    const QWidget* window = m_context.window();
    return view && window && window->focusWidget() == view;
}

QString EditorTelephonyController::tableTextSelectedText() const
{
    const EditorTableController* tables = m_context.host().tableController();
    const RXTableView* table = tables ? tables->currentTableView() : nullptr;
    const FieldCellEditor* editor = table ? table->cellEditor() : nullptr;
    return editor ? editor->textCursor().selectedText() : QString();
}

QString EditorTelephonyController::highlightedPhoneNumber() const
{
    if (textAreaFocused()) {
        const QString selected = m_context.host().freeformTextView()->textCursor().selectedText();
        // The selection reads paragraph ends as U+2029; the number is dialed as typed.
        return QString(selected).replace(QChar::ParagraphSeparator, u'\n');
    }
    // Focus in the find box ends the cell's editing, so a cell editor means field text.
    return tableTextSelectedText();
}

std::optional<EditorTelephonyController::Sources> EditorTelephonyController::sources() const
{
    Sources sources;
    sources.record = m_context.currentRecord();
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    if (!sources.record || !settings)
        return std::nullopt;
    for (const PlistValue& definition : settings->fields())
        if (const PlistDictionary* field = definition.asDictionary())
            sources.fieldIdentifiers.append(field->stringForKey(QStringLiteral("Identifier")));
    const FreeformTextView* view = m_context.host().freeformTextView();
    sources.text = view ? view->plainText() : sources.record->textString();
    sources.caret =
        view ? std::min<qsizetype>(view->textCursor().selectionStart(), sources.text.size()) : 0;
    sources.textFocused = textAreaFocused();
    const EditorTableController* tables = m_context.host().tableController();
    sources.currentField = qsizetype(std::min<quint64>(tables ? tables->currentField() : 0,
                                                       quint64(sources.fieldIdentifiers.size())));
    return sources;
}

QString EditorTelephonyController::fieldValue(const Sources& sources, qsizetype field) const
{
    return sources.record->fields().stringForKey(sources.fieldIdentifiers.at(field));
}

QString EditorTelephonyController::bracketedPhoneNumber() const
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QString bracket = defaults.stringForKey(PhoneNumberBracketKey).value_or(QString());
    if (!defaults.boolForKey(UsePhoneNumberBracketKey) || bracket.isEmpty())
        return {};
    const std::optional<Sources> in = sources();
    if (!in)
        return {};
    const auto inFields = [&](qsizetype from, qsizetype to) {
        for (qsizetype field = from; field < to; ++field) {
            const QString value = fieldValue(*in, field);
            if (value.isEmpty())
                continue;
            const QString found = bracketedPhoneNumberInString(value, bracket);
            if (!found.isEmpty())
                return found;
        }
        return QString();
    };
    const QString fromCaret = bracketedPhoneNumberInString(in->text.mid(in->caret), bracket);
    const qsizetype fieldCount = in->fieldIdentifiers.size();
    QString found;
    if (in->textFocused) {
        found = fromCaret;
        if (found.isEmpty())
            found = inFields(0, fieldCount);
        if (found.isEmpty() && in->caret != 0)
            found = bracketedPhoneNumberInString(in->text, bracket);
    } else {
        found = inFields(in->currentField, fieldCount);
        if (found.isEmpty())
            found = fromCaret;
        if (found.isEmpty())
            found = inFields(0, in->currentField);
    }
    return found;
}

QString EditorTelephonyController::formatMatchingPhoneNumber() const
{
    const std::optional<Sources> in = sources();
    if (!in)
        return {};
    const QStringList formats = telephoneNumberFormatsList();
    const auto inFields = [&](qsizetype from, qsizetype to) {
        for (qsizetype field = from; field < to; ++field) {
            const QString value = fieldValue(*in, field);
            if (!holdsNumberCharacter(value))
                continue;
            // The number must begin the value.
            const QString run = Telephony::possibleNumberInString(value);
            if (!run.isEmpty() && Telephony::goodMatchForString(run, formats))
                return run;
        }
        return QString();
    };
    const auto inText = [&](qsizetype start, qsizetype length) {
        return Telephony::firstMatchingNumber(in->text, start, length, formats);
    };
    const qsizetype fieldCount = in->fieldIdentifiers.size();
    QString found;
    if (in->textFocused) {
        found = inText(in->caret, in->text.size() - in->caret);
        if (found.isEmpty())
            found = inFields(0, fieldCount);
        // A number running across the caret is cut there.
        if (found.isEmpty() && in->caret != 0)
            found = inText(0, in->caret);
    } else {
        found = inFields(in->currentField, fieldCount);
        if (found.isEmpty())
            found = inText(0, in->text.size());
        if (found.isEmpty())
            found = inFields(0, in->currentField);
    }
    return found;
}

// Dialing.

void EditorTelephonyController::dialPhone(std::optional<int> dialingSet)
{
    QString number = highlightedPhoneNumber();
    if (number.isEmpty())
        number = bracketedPhoneNumber();
    if (number.isEmpty())
        number = formatMatchingPhoneNumber();
    if (number.isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    qint64 method = defaults.integerForKey(DialingMethodKey);
    if (method == 0) {
        // The older setting decides once; the choice is kept from then on.
        method = defaults.boolForKey(UseSpeakerDialingKey)
                     ? EditorDialingController::speakerDialingMethod
                     : EditorDialingController::modemDialingMethod;
        defaults.setInteger(method, DialingMethodKey);
    }
    switch (method) {
    case telephoneUrlDialingMethod:
        dialByFaceTime(number);
        break;
    case EditorDialingController::speakerDialingMethod:
        dialBySpeaker(number, dialingSet);
        break;
    case EditorDialingController::modemDialingMethod:
        dialByModem(number, dialingSet);
        break;
    default:
        break;
    }
}

void EditorTelephonyController::dialPhoneWithBasicSet()
{
    const std::optional<PlistArray> sets =
        UserDefaults::standardUserDefaults().arrayForKey(DialingSets::DialingSetListKey);
    if (!sets)
        return;
    for (qsizetype index = 0; index < sets->size(); ++index) {
        const PlistDictionary* set = sets->at(index).asDictionary();
        if (set && set->value(DialingSets::IsDefaultKey).boolValue()) {
            dialPhone(int(index));
            return;
        }
    }
}

void EditorTelephonyController::dialBySpeaker(const QString& number, std::optional<int> dialingSet)
{
    dialWithSet(number, dialingSet, EditorDialingController::speakerDialingMethod, QString());
}

void EditorTelephonyController::dialByModem(const QString& number, std::optional<int> dialingSet)
{
    const QString path = UserDefaults::standardUserDefaults()
                             .stringForKey(ModemPreferredPathKey)
                             .value_or(QString());
    if (path.isEmpty()) {
        sendToApplication(QStringLiteral("startPreferences:"));
        sendToApplication(QStringLiteral("showModemPrefTab:"));
        return;
    }
    dialWithSet(number, dialingSet, EditorDialingController::modemDialingMethod, path);
}

void EditorTelephonyController::dialWithSet(const QString& number, std::optional<int> dialingSet,
                                            int dialingMethod, const QString& modemPath)
{
    if (m_context.hasCurrentRecordEngine())
        m_context.engine().saveIfDifferentRecord(nullptr);
    QString prefix;
    QString suffix;
    if (dialingSet) {
        const PlistArray sets = DialingSets::storedSets();
        if (*dialingSet >= 0 && *dialingSet < sets.size())
            if (const PlistDictionary* set = sets.at(*dialingSet).asDictionary()) {
                prefix = set->stringForKey(DialingSets::PrefixKey);
                suffix = set->stringForKey(DialingSets::SuffixKey);
            }
    }
    const QString fullNumber = prefix + number + suffix;
    const QStringList pieces = phoneNumberArrayFromString(fullNumber);
    if (pieces.isEmpty()) {
        // Only extensions ("x12"): there is no number to dial them after.
        Presenter::shared().beep();
        return;
    }
    QWidget* window = m_context.window();
    if (pieces.size() != 1)
        dialer->dialExtensions(pieces, window, modemPath, dialingMethod);
    else if (UserDefaults::standardUserDefaults().boolForKey(ShowNowDialingKey))
        dialer->dialPhoneShowingNumber(fullNumber, window, modemPath, dialingMethod);
    else
        dialer->dialPhoneNumber(fullNumber, modemPath, dialingMethod);
}

void EditorTelephonyController::dialByFaceTime(const QString& number)
{
    const QString text = QStringLiteral("tel://") + number;
    std::optional<QUrl> url = Telephony::telephoneUrl(text);
    if (!url) {
        QString stripped = text;
        for (const QChar character : {u'-', u' ', u'(', u')'})
            stripped.remove(character);
        url = Telephony::telephoneUrl(stripped);
    }
    // Without a handler for the scheme nothing opens, and nothing is said.
    if (url)
        Presenter::shared().openUrl(*url);
}
