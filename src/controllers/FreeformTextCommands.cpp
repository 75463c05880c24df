#include "FreeformTextCommands.h"

#include "Clock.h"
#include "ColorArchive.h"
#include "DatafileDocument.h"
#include "DatafileSettingsData.h"
#include "DateFormatting.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "FindBoxView.h"
#include "FreeformTextEdits.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "ParallelChunks.h"
#include "Presenter.h"
#include "RecordData.h"
#include "UserDefaults.h"
#include "VKTextViewCategories.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>

#include <vector>

namespace {

const QString HighlighterColorKey = QStringLiteral("GeneralHighlighterColor");
const QString LeaveTextSelectedKey = QStringLiteral("GeneralLeaveTextSelected");
const QString DateTimeFormatKey = QStringLiteral("GeneralDateTimeFormat");
const QString TimeInDateStampKey = QStringLiteral("GeneralTimeInDateStamp");
const QString ShowSecondsKey = QStringLiteral("GeneralShowSecondsInTimeStamp");
const QString MagnifyingGlassDisabledKey = QStringLiteral("MagnifyingGlassDisabled");
const QString RecordLinkPrefix = QStringLiteral("uuid://");

void copyToClipboard(const QString& text)
{
    QApplication::clipboard()->setText(text);
}

// Inserts into the focused text view or cell editor; false when none takes text.
bool insertIntoFocusedView(QWidget* focused, const QString& text)
{
    if (auto* rich = qobject_cast<QTextEdit*>(focused)) {
        if (rich->isReadOnly())
            return false;
        rich->insertPlainText(text);
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focused)) {
        if (plain->isReadOnly())
            return false;
        plain->insertPlainText(text);
        return true;
    }
    if (auto* line = qobject_cast<QLineEdit*>(focused)) {
        if (line->isReadOnly())
            return false;
        line->insert(text);
        return true;
    }
    return false;
}

DateFormatting::Style dateStyleFor(qint64 format)
{
    switch (format) {
    case 1:
        return DateFormatting::Style::Short;
    case 2:
        return DateFormatting::Style::Long;
    case 3:
        return DateFormatting::Style::Medium;
    case 4:
        return DateFormatting::Style::Full;
    default:
        return DateFormatting::Style::None;
    }
}

} // namespace

FreeformTextCommands::FreeformTextCommands(EditorWindowController& editor) : m_editor(editor)
{
    const auto on = [this](const char* selector, void (FreeformTextCommands::*command)()) {
        m_editor.registerAction(QString::fromLatin1(selector), [this, command](QObject*) { (this->*command)(); });
    };
    on("stripAnomalousBackgroundColors:", &FreeformTextCommands::stripAnomalousBackgroundColors);
    on("changeAllToDefaultFont:", &FreeformTextCommands::changeAllToDefaultFont);
    on("changeCurrentRecordToDefaultFont:", &FreeformTextCommands::changeCurrentRecordToDefaultFont);
    on("changeSelectedTextToDefaultFontAndRuler:",
       &FreeformTextCommands::changeSelectedTextToDefaultFontAndRuler);
    on("removeBlankLines:", &FreeformTextCommands::removeBlankLines);
    on("toggleHighlighter:", &FreeformTextCommands::toggleHighlighter);
    on("pastePlainText:", &FreeformTextCommands::pastePlainText);
    on("toggleBold:", &FreeformTextCommands::toggleBold);
    on("toggleItalic:", &FreeformTextCommands::toggleItalic);
    on("copyAddressBlock:", &FreeformTextCommands::copyAddressBlock);
    on("copyRecordIdentifierToPasteboard:", &FreeformTextCommands::copyRecordIdentifierToPasteboard);
    on("copySelectionToFindBox:", &FreeformTextCommands::copySelectionToFindBox);
    on("insertAmpersand:", &FreeformTextCommands::insertAmpersand);
    on("insertDateTime:", &FreeformTextCommands::insertDateTime);
    m_editor.registerAction(QStringLiteral("toggleSearchOptionLock:"), [this](QObject* sender) {
        toggleSearchOptionLock(qobject_cast<QAction*>(sender));
    });
}

FreeformTextCommands::~FreeformTextCommands() = default;

void FreeformTextCommands::prepare()
{
    titleSearchOptionLockItem(m_editor.menus().searchOptionLockItem);
}

bool FreeformTextCommands::textAreaEditable() const
{
    const FreeformTextView* view = m_editor.freeformTextView();
    return view && !view->isReadOnly() && m_editor.engine().textShouldBeginEditing();
}

bool FreeformTextCommands::freeformTextAreaActive() const
{
    const FreeformTextView* view = m_editor.freeformTextView();
    return view && view->hasFocus();
}

bool FreeformTextCommands::editSelectedRecords(const QString& progressMessage,
                                               const std::function<bool(QTextDocument&)>& richEdit,
                                               const std::function<bool(QString&)>& plainEdit)
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.isClone() || engine.nowSyncing())
        return false;
    // The reload after the edit would otherwise drop what was typed.
    engine.saveIfDifferentRecord(nullptr);
    const qint64 count = engine.selectedRecordCount();
    const bool showProgress = count >= ProgressSheetRecordCount;
    if (showProgress)
        m_editor.startIndeterminateProgressPanel(progressMessage);
    const bool mobile = m_editor.isMobile();
    QList<std::shared_ptr<RecordData>> records;
    records.reserve(count);
    for (qint64 index = 0; index < count; ++index)
        records.append(engine.recordAtIndex(index));
    // Each record's text is read, edited and written on its own: on several threads, the
    // records themselves changed afterwards, here.
    struct Edit {
        std::optional<FreeformTextEdits::EditedText> rich;
        std::optional<QString> plain;
    };
    std::vector<Edit> edits(size_t(records.size()));
    forEachChunk(
        records.size(),
        [&](qsizetype begin, qsizetype end) {
            for (qsizetype index = begin; index < end; ++index) {
                const RecordData* record = records[index].get();
                if (!record || record->recordLocked())
                    continue;
                if (!mobile && !record->textRTFD().isEmpty()) {
                    edits[size_t(index)].rich = FreeformTextEdits::editRtfd(record->textRTFD(), richEdit);
                } else if (plainEdit) {
                    QString text = record->textString();
                    if (plainEdit(text))
                        edits[size_t(index)].plain = text;
                }
            }
        },
        64);
    bool changed = false;
    {
        // One notice for every record changed.
        DatafileChanges::Batch batch(m_editor.datafileDocument()->changes());
        for (qsizetype index = 0; index < records.size(); ++index) {
            Edit& edit = edits[size_t(index)];
            if (edit.rich) {
                changed |= engine.writeText(records[index], edit.rich->plainText, edit.rich->rtfd,
                                            CurrentRecordEngine::FieldWrite::Bulk);
            } else if (edit.plain) {
                changed |= engine.writeText(records[index], *edit.plain,
                                            records[index]->textRTFD(),
                                            CurrentRecordEngine::FieldWrite::Bulk);
            }
        }
    }
    if (showProgress)
        m_editor.endIndeterminateProgressPanel();
    if (changed) {
        engine.setDatafileChanged();
        m_editor.reloadTables();
        engine.loadCurrentRecord();
    }
    return changed;
}

void FreeformTextCommands::stripAnomalousBackgroundColors()
{
    if (m_editor.isMobile())
        return;
    editSelectedRecords(
        localized(QStringLiteral("Removing background colors...")),
        [](QTextDocument& document) {
            FreeformTextEdits::removeBackgroundColors(document);
            return true;
        },
        {});
    FreeformTextView* view = m_editor.freeformTextView();
    view->setBackgroundColor(m_editor.settings()->backgroundFTAcolor());
    if (textAreaEditable())
        FreeformTextEdits::removeBackgroundColors(*view->document());
}

void FreeformTextCommands::changeAllToDefaultFont()
{
    if (m_editor.isMobile())
        return;
    const QFont font = m_editor.settings()->textFont();
    editSelectedRecords(
        localized(QStringLiteral("Changing to the default font...")),
        [font](QTextDocument& document) {
            FreeformTextEdits::applyDefaultFont(document, font, true);
            return true;
        },
        {});
    applyDefaultsToTextArea(true);
}

void FreeformTextCommands::changeCurrentRecordToDefaultFont()
{
    applyDefaultsToTextArea(false);
    m_editor.engine().setDatafileChanged();
    m_editor.reloadTables();
}

void FreeformTextCommands::applyDefaultsToTextArea(bool removeShadows)
{
    FreeformTextView* view = m_editor.freeformTextView();
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    view->setBackgroundColor(settings->backgroundFTAcolor());
    view->setTextFont(settings->textFont());
    QTextCharFormat typing;
    typing.setFont(settings->textFont(), QTextCharFormat::FontPropertiesAll);
    typing.setForeground(Qt::black);
    if (!textAreaEditable())
        return;
    QTextCursor all(view->document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    FreeformTextEdits::applyDefaultFont(all, settings->textFont(), removeShadows);
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.blockFormat().hasProperty(QTextFormat::BlockAlignment))
            continue;
        QTextBlockFormat natural = block.blockFormat();
        natural.clearProperty(QTextFormat::BlockAlignment);
        QTextCursor paragraph(block);
        paragraph.setBlockFormat(natural);
    }
    all.endEditBlock();
    view->setCurrentCharFormat(typing);
}

void FreeformTextCommands::changeSelectedTextToDefaultFontAndRuler()
{
    if (!freeformTextAreaActive() || !textAreaEditable())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    // The find box's paragraph style is the plain one: no alignment, indents, tabs or list.
    const QTextBlockFormat ruler =
        m_editor.editorSearchController().searchField()->document()->firstBlock().blockFormat();
    QTextCursor selection = view->textCursor();
    selection.beginEditBlock();
    // The plain ruler holds no list.
    for (QTextBlock block = view->document()->findBlock(selection.selectionStart());
         block.isValid() && block.position() <= selection.selectionEnd(); block = block.next()) {
        if (QTextList* list = block.textList())
            list->remove(block);
    }
    FreeformTextEdits::changeParagraphFormats(selection,
                                              [&ruler](QTextBlockFormat& format) { format = ruler; });
    FreeformTextEdits::applyDefaultFont(selection, m_editor.settings()->textFont(), true);
    selection.endEditBlock();
    m_editor.engine().setDatafileChanged();
}

void FreeformTextCommands::removeBlankLines()
{
    editSelectedRecords(localized(QStringLiteral("Removing blank lines...")),
                        [](QTextDocument& document) {
                            return FreeformTextEdits::removeLeadingLineBreaks(document);
                        },
                        [](QString& text) { return FreeformTextEdits::removeLeadingLineBreaks(text); });
}

QColor FreeformTextCommands::highlighterColor()
{
    const std::optional<QByteArray> stored =
        UserDefaults::standardUserDefaults().dataForKey(HighlighterColorKey);
    return stored ? ColorArchive::colorFromArchive(*stored, Qt::yellow) : QColor(Qt::yellow);
}

void FreeformTextCommands::toggleHighlighter()
{
    if (!freeformTextAreaActive() || !textAreaEditable())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    const QColor background = m_editor.settings()->backgroundFTAcolor();
    const QTextCharFormat there = FreeformTextEdits::formatAtSelectionStart(view);
    const bool highlighted = there.hasProperty(QTextFormat::BackgroundBrush) &&
                             there.background().color() != background;
    QTextCharFormat paint;
    paint.setBackground(highlighted ? background : highlighterColor());
    view->mergeCurrentCharFormat(paint);
    if (!UserDefaults::standardUserDefaults().boolForKey(LeaveTextSelectedKey)) {
        QTextCursor cursor = view->textCursor();
        cursor.setPosition(cursor.selectionEnd());
        view->setTextCursor(cursor);
    }
}

void FreeformTextCommands::pastePlainText()
{
    if (!textAreaEditable())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    const int before = view->document()->characterCount();
    const QTextCursor selection = view->textCursor();
    const int location = selection.selectionStart();
    const int selected = selection.selectionEnd() - location;
    if (!view->pasteAsPlainText(QApplication::clipboard()->mimeData()))
        return;
    const int pasted = selected - before + view->document()->characterCount();
    if (pasted <= 0)
        return;
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    QTextCursor range(view->document());
    range.setPosition(location);
    range.setPosition(location + pasted, QTextCursor::KeepAnchor);
    // One step with the paste for undo.
    range.joinPreviousEditBlock();
    FreeformTextEdits::applyDefaultFont(range, settings->textFont(), true);
    QTextCharFormat colours;
    colours.setBackground(settings->backgroundFTAcolor());
    colours.setForeground(Qt::black);
    range.mergeCharFormat(colours);
    range.endEditBlock();
}

void FreeformTextCommands::toggleBold()
{
    if (!textAreaEditable())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    const bool bold = FreeformTextEdits::formatAtSelectionStart(view).fontWeight() >= QFont::Bold;
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Normal : QFont::Bold);
    view->mergeCurrentCharFormat(format);
}

void FreeformTextCommands::toggleItalic()
{
    if (!textAreaEditable())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    QTextCharFormat format;
    format.setFontItalic(!FreeformTextEdits::formatAtSelectionStart(view).fontItalic());
    view->mergeCurrentCharFormat(format);
}

void FreeformTextCommands::copyAddressBlock()
{
    m_editor.engine().saveIfDifferentRecord(nullptr);
    copyToClipboard(m_editor.addressBlockText());
}

void FreeformTextCommands::copyRecordIdentifierToPasteboard()
{
    const CurrentRecordEngine& engine = m_editor.engine();
    if (!engine.catalog())
        return;
    copyToClipboard(RecordLinkPrefix +
                    engine.catalog()->selectedIdentifierAtIndex(engine.indexOfCurrentRecord()));
}

void FreeformTextCommands::copySelectionToFindBox()
{
    FreeformTextView* view = m_editor.freeformTextView();
    EditorSearchController& search = m_editor.editorSearchController();
    FindBoxView* findBox = search.searchField();
    if (findBox->hasFocus() || !freeformTextAreaActive() || !view->textCursor().hasSelection()) {
        Presenter::shared().beep();
        return;
    }
    const QString text = VKTextViewCategories::selectedStringValue(view);
    // The selection replaces the whole find text.
    QTextCursor all(findBox->document());
    all.select(QTextCursor::Document);
    findBox->setTextCursor(all);
    findBox->insertPlainText(text);
    findBox->setFocus(Qt::OtherFocusReason);
    m_editor.engine().setLastHitField(CurrentRecordEngine::NoHit);
}

void FreeformTextCommands::toggleSearchOptionLock(QAction* item)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setBool(!defaults.boolForKey(MagnifyingGlassDisabledKey), MagnifyingGlassDisabledKey);
    titleSearchOptionLockItem(item ? item : m_editor.menus().searchOptionLockItem);
    m_editor.editorSearchController().setSearchOptionLock();
}

void FreeformTextCommands::titleSearchOptionLockItem(QAction* item) const
{
    if (!item)
        return;
    const bool locked = UserDefaults::standardUserDefaults().boolForKey(MagnifyingGlassDisabledKey);
    item->setText(localized(locked ? QStringLiteral("Enable Search Option Button")
                                   : QStringLiteral("Disable Search Option Button")));
    item->setToolTip(localized(locked ? QStringLiteral("Enable magnifying glass button.")
                                      : QStringLiteral("Disable magnifying glass button.")));
}

void FreeformTextCommands::insertAmpersand()
{
    m_editor.editorSearchController().searchField()->insertPlainText(QStringLiteral("&&"));
}

QString FreeformTextCommands::dateTimeStamp()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const DateFormatting::Style date = dateStyleFor(defaults.integerForKey(DateTimeFormatKey));
    DateFormatting::Style time = DateFormatting::Style::None;
    if (defaults.boolForKey(TimeInDateStampKey))
        time = defaults.boolForKey(ShowSecondsKey) ? DateFormatting::Style::Medium
                                                  : DateFormatting::Style::Short;
    const double seconds =
        Clock::now().secondsSinceReferenceDate + double(PlistDate::referenceDateUnixSeconds);
    return DateFormatting::format(date, time, QLocale().name(), seconds * 1000.0);
}

void FreeformTextCommands::insertDateTime()
{
    QWidget* focused = m_editor.window() ? m_editor.window()->focusWidget() : nullptr;
    FindBoxView* findBox = m_editor.editorSearchController().searchField();
    if (focused == m_editor.freeformTextView() && !textAreaEditable())
        return;
    if (!insertIntoFocusedView(focused, dateTimeStamp()))
        return;
    if (focused != findBox)
        m_editor.engine().setDatafileChanged();
}
