#include "EditorFieldContentsController.h"

#include "AddFieldWithContentSheetController.h"
#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "EditorTableController.h"
#include "FeatureContext.h"
#include "FillEmptyFieldsSheetController.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "ReplaceFieldContentSheetController.h"

#include <QPointer>

#include <limits>

EditorFieldContentsController::EditorFieldContentsController(FeatureContext& context)
    : m_context(context)
{
    const QList<std::pair<const char*, void (EditorFieldContentsController::*)()>> commands{
        {"addFieldWithContent:", &EditorFieldContentsController::addFieldWithContent},
        {"fillEmptyFields:", &EditorFieldContentsController::fillEmptyFields},
        {"replaceFieldContents:", &EditorFieldContentsController::replaceFieldContents},
        {"totalFieldContents:", &EditorFieldContentsController::totalFieldContents},
        {"transferFieldContents:", &EditorFieldContentsController::transferFieldContents},
        {"moveCurrentFreeformTextIntoFields:",
         &EditorFieldContentsController::moveCurrentFreeformTextIntoFields},
        {"moveAllFreeformTextIntoFields:",
         &EditorFieldContentsController::moveAllFreeformTextIntoFields},
        {"moveTextElements:", &EditorFieldContentsController::moveTextElements},
    };
    for (const auto& [selector, command] : commands)
        m_context.registerAction(QString::fromLatin1(selector),
                                 [this, command = command](QObject*) {
                                     // Nothing changes the datafile while it syncs.
                                     if (!m_context.nowSyncing())
                                         (this->*command)();
                                 });
}

EditorFieldContentsController::~EditorFieldContentsController() = default;

QString EditorFieldContentsController::withoutLineBreaks(const QString& text)
{
    QString cleaned;
    cleaned.reserve(text.size());
    for (const QChar character : text)
        if (!RecordData::isFieldBreak(character))
            cleaned.append(character);
    return cleaned;
}

QString EditorFieldContentsController::numberText(qint64 number, qint64 digitCount)
{
    // The magnitude of the lowest number does not fit a signed one.
    const quint64 magnitude = number < 0 ? quint64(0) - quint64(number) : quint64(number);
    QString digits = QString::number(magnitude);
    // No count asks for more zeros than a number could have digits.
    const qint64 wanted = std::min<qint64>(digitCount, 64);
    if (digits.size() < wanted)
        digits.prepend(QString(qsizetype(wanted) - digits.size(), u'0'));
    return number < 0 ? u'-' + digits : digits;
}

// Fill and replace.

void EditorFieldContentsController::fillEmptyFields()
{
    auto* sheet = VKSheetController::controller<FillEmptyFieldsSheetController>();
    sheet->beginForWindow(m_context.window(), m_context.settings()->fields(),
                          didEndOf(sheet, &EditorFieldContentsController::fillEmptyFieldsDidEnd));
}

void EditorFieldContentsController::replaceFieldContents()
{
    auto* sheet = VKSheetController::controller<ReplaceFieldContentSheetController>();
    sheet->beginForWindow(
        m_context.window(), m_context.settings()->fields(),
        didEndOf(sheet, &EditorFieldContentsController::replaceFieldContentsDidEnd));
}

void EditorFieldContentsController::fillEmptyFieldsDidEnd(FieldTextSheetController* sheet,
                                                          int returnCode)
{
    writeFieldText(sheet, returnCode, false);
}

void EditorFieldContentsController::replaceFieldContentsDidEnd(FieldTextSheetController* sheet,
                                                               int returnCode)
{
    writeFieldText(sheet, returnCode, true);
}

void EditorFieldContentsController::writeFieldText(FieldTextSheetController* sheet, int returnCode,
                                                   bool replace)
{
    if (returnCode != 1)
        return;
    CurrentRecordEngine& engine = m_context.engine();
    m_context.host().endEditing();
    engine.updateCurrentRecord();
    engine.saveIfDifferentRecord(engine.currentRecord());
    const QString field = sheet->selectedFieldIdentifier();
    const QString text = withoutLineBreaks(sheet->replacementText());
    if (field.isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    qint64 filled = 0;
    const qint64 count = engine.selectedRecordCount();
    for (qint64 index = 0; index < count; ++index) {
        const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
        if (!record)
            continue;
        if (!replace) {
            const PlistValue* value = record->fields().find(field);
            const QString* stored = value ? value->asString() : nullptr;
            if (stored && !stored->isEmpty())
                continue;
            ++filled;
        }
        engine.writeField(record, field, text, CurrentRecordEngine::FieldWrite::Bulk);
    }
    if (replace || filled > 0)
        engine.setDatafileChanged();
    engine.loadCurrentRecord();
}

// Add field with content.

void EditorFieldContentsController::addFieldWithContent()
{
    if (!m_context.document()->isDocumentEdited()) {
        addFieldWithContent2();
        return;
    }
    AlertRequest alert;
    alert.messageText = localized(
        QStringLiteral("Save changes or Revert to previously saved state before proceeding?"));
    alert.informativeText = localized(
        QStringLiteral("After the new field is added, it will be filled with the values that you "
                       "specify, which must then be saved."));
    alert.buttons = {localized(QStringLiteral("Save Changes")), localized(QStringLiteral("Cancel")),
                     localized(QStringLiteral("Revert"))};
    const QPointer<EditorFieldContentsController> self(this);
    Presenter::shared().beginAlertSheet(alert, m_context.window(),
                                        [self](const AlertResponse& response) {
                                            if (!self)
                                                return;
                                            switch (response.returnCode) {
                                            case AlertFirstButtonReturn:
                                                self->addFieldWithContentDidEnd1(1);
                                                break;
                                            case AlertThirdButtonReturn:
                                                self->addFieldWithContentDidEnd1(-1);
                                                break;
                                            default:
                                                self->addFieldWithContentDidEnd1(0);
                                            }
                                        });
}

void EditorFieldContentsController::addFieldWithContentDidEnd1(int returnCode)
{
    DatafileDocument* document = m_context.document();
    if (returnCode == 1) {
        document->saveDocument();
    } else if (returnCode == -1) {
        m_context.engine().goToNextRecord();
        document->revertToContentsOfURL(document->fileURL(),
                                        m_context.isMobile() ? DatafileDocument::MobileDatafileType
                                                             : DatafileDocument::ProDatafileType);
    } else {
        return;
    }
    addFieldWithContent2();
}

void EditorFieldContentsController::addFieldWithContent2()
{
    auto* sheet = VKSheetController::controller<AddFieldWithContentSheetController>();
    sheet->beginAddFieldSheetForWindow(
        m_context.window(), m_context.settings(),
        didEndOf(sheet, &EditorFieldContentsController::addFieldWithContentDidEnd2));
}

void EditorFieldContentsController::addFieldWithContentDidEnd2(
    AddFieldWithContentSheetController* sheet, int returnCode)
{
    if (returnCode != 1)
        return;
    CurrentRecordEngine& engine = m_context.engine();
    m_context.host().endEditing();
    qint64 n = engine.selectedRecordCount();
    const bool sequential = sheet->useSequentialNumber();
    const qint64 starting = sheet->startingNumber();
    const qint64 ending = sheet->endingNumber();
    const qint64 digitCount = sheet->padWithZeroes() ? sheet->digitCount() : 0;

    const qint64 count = ending - starting + 1;
    if (sequential && sheet->addRecords() && count > 0 && count > n) {
        m_context.progress().startIndeterminateProgressPanel(
            localized(QStringLiteral("Adding new records...")));
        if (n >= 2) {
            engine.goToFirstRecord();
            engine.goToLastRecord();
        }
        for (qint64 added = n; added < count; ++added)
            m_context.host().addNewRecord();
        m_context.progress().endIndeterminateProgressPanel();
        n = engine.selectedRecordCount();
    }

    const QString field = m_context.host().addNewFieldWithName(sheet->fieldName());
    NotificationCenter::defaultCenter().postNotification(
        DatafileDocument::DatafileFieldFormatChangedNotification, m_context.document());

    QStringList contents;
    contents.reserve(n);
    for (qint64 index = 0; index < n; ++index) {
        QString text;
        if (sheet->useStaticPrefix())
            text += sheet->staticPrefix();
        if (sequential)
            text += numberText(starting + index, digitCount);
        if (sheet->useStaticSuffix())
            text += sheet->staticSuffix();
        contents.append(text);
    }

    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    if (sheet->autoAddContent()) {
        settings->setAutoAddContentFieldID(field);
        settings->setAutoAddPrefix(sheet->staticPrefix());
        settings->setAutoAddSuffix(sheet->staticSuffix());
        settings->setAutoAddDigitCount(sheet->digitCount());
        settings->setLastAutoAddInteger(sequential && n > 0 ? starting + n - 1 : 0);
        settings->setAutoAddNumber(sequential);
    }

    if (engine.currentRecord() && !CurrentRecordEngine::isEmpty(*engine.currentRecord()))
        engine.goToNextRecord();
    const qint64 fieldCount = settings->fields().size();
    if (settings->mode() == EditorTableController::BasicMode && fieldCount != 1 &&
        m_context.host().tableController())
        m_context.host().tableController()->selectRow(fieldCount - 1);
    addFieldContent(contents, field);
    engine.goToPreviousRecord();
}

void EditorFieldContentsController::addFieldContent(const QStringList& contents,
                                                    const QString& field)
{
    CurrentRecordEngine& engine = m_context.engine();
    const qint64 count = std::min<qint64>(engine.selectedRecordCount(), contents.size());
    for (qint64 index = 0; index < count; ++index)
        engine.writeField(engine.recordAtIndex(index), field, contents[index],
                          CurrentRecordEngine::FieldWrite::Bulk);
}
