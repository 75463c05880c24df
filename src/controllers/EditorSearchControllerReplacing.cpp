// Replacing: the selected hit in the cell being edited or in the Freeform Text Area, and
// every occurrence in the shown records, fields and rich text alike.
#include "EditorSearchController.h"

#include "CurrentRecordEngine.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "ParallelChunks.h"
#include "Presenter.h"
#include "RichText.h"
#include "StringFormat.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <vector>

namespace {

// The code point that ends just before `position`, and the one that starts at it.
char32_t codePointBefore(QStringView text, qsizetype position)
{
    const QChar low = text[position - 1];
    if (low.isLowSurrogate() && position >= 2 && text[position - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[position - 2], low);
    return low.unicode();
}

char32_t codePointAt(QStringView text, qsizetype position)
{
    const QChar high = text[position];
    if (high.isHighSurrogate() && position + 1 < text.size() && text[position + 1].isLowSurrogate())
        return QChar::surrogateToUcs4(high, text[position + 1]);
    return high.unicode();
}

bool isWholeWord(QStringView text, const TextRange& range)
{
    const qsizetype end = range.position + range.length;
    if (range.position > 0 && TextSearch::isWordCharacter(codePointBefore(text, range.position)))
        return false;
    return end >= text.size() || !TextSearch::isWordCharacter(codePointAt(text, end));
}

// A selection's text as the system's plain string: paragraph ends are line feeds.
QString selectedPlainText(const QTextCursor& cursor)
{
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

bool equalsKey(const QString& selected, const QString& key, bool caseSensitive)
{
    return caseSensitive ? selected == key : selected.toUpper() == key.toUpper();
}

// Replaces the cursor's selection, the replacement taking the attributes of the first
// character replaced.
void replaceSelection(QTextCursor& cursor, const QString& replacement)
{
    QTextCursor first(cursor.document());
    first.setPosition(cursor.selectionStart());
    first.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    cursor.insertText(replacement, first.charFormat());
}

// The text with the ranges (last first, none overlapping) replaced, made in one pass.
QString replacedText(QStringView text, const QList<TextRange>& ranges, const QString& replacement)
{
    QString result;
    result.reserve(text.size() + ranges.size() * replacement.size());
    qsizetype from = 0;
    for (auto range = ranges.crbegin(); range != ranges.crend(); ++range) {
        result.append(text.sliced(from, range->position - from));
        result.append(replacement);
        from = range->position + range->length;
    }
    result.append(text.sliced(from));
    return result;
}

} // namespace

QList<TextRange> EditorSearchController::replacementRanges(QStringView text, const QString& key,
                                                           bool caseSensitive, bool wholeWord)
{
    QList<TextRange> ranges;
    const Qt::CaseSensitivity sensitivity = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype end = text.size();
    while (!key.isEmpty() && end >= key.size()) {
        const std::optional<TextRange> found =
            TextSearch::lastRangeOfLiteral(text, key, sensitivity, end);
        if (!found)
            break;
        if (wholeWord && !isWholeWord(text, *found)) {
            end = found->position + found->length - 1;
            continue;
        }
        ranges.append(*found);
        if (found->position == 0)
            break;
        end = found->position;
    }
    return ranges;
}

qint64 EditorSearchController::replaceInString(QString& text, const QString& key,
                                               const QString& replacement, bool caseSensitive,
                                               bool wholeWord)
{
    const QList<TextRange> ranges = replacementRanges(text, key, caseSensitive, wholeWord);
    if (!ranges.isEmpty())
        text = replacedText(text, ranges, replacement);
    return ranges.size();
}

qint64 EditorSearchController::replaceInDocument(QTextDocument& document, const QString& key,
                                                 const QString& replacement, bool caseSensitive,
                                                 bool wholeWord)
{
    const QList<TextRange> ranges =
        replacementRanges(RichText::plainText(document), key, caseSensitive, wholeWord);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const TextRange& range : ranges) {
        cursor.setPosition(int(range.position));
        cursor.setPosition(int(range.position + range.length), QTextCursor::KeepAnchor);
        replaceSelection(cursor, replacement);
    }
    cursor.endEditBlock();
    return ranges.size();
}

void EditorSearchController::replaceString(const QString& key, const QString& replacement,
                                           bool caseSensitive, bool)
{
    const std::shared_ptr<RecordData> record = m_window.currentRecord();
    if (!record)
        return;
    if (record->recordLocked()) {
        m_window.setLastHitField(NoHit);
        return;
    }
    if (m_window.lastHitField() != FreeformHit) {
        QPlainTextEdit* editor = m_window.fieldEditor();
        if (!editor)
            return;
        QTextCursor cursor = editor->textCursor();
        if (!equalsKey(selectedPlainText(cursor), key, caseSensitive))
            return;
        const int start = cursor.selectionStart();
        cursor.insertText(replacement);
        cursor.setPosition(start);
        editor->setTextCursor(cursor);
        m_context.host().endEditing();
    } else {
        QTextEdit* view = m_context.host().freeformTextView();
        QTextCursor cursor = view->textCursor();
        if (!equalsKey(selectedPlainText(cursor), key, caseSensitive))
            return;
        replaceSelection(cursor, replacement);
        view->setTextCursor(cursor);
        m_window.commitFreeformText();
    }
    record->modified();
    m_window.setDatafileChanged();
}

qint64 EditorSearchController::replaceAllInRecord(const std::shared_ptr<RecordData>& record,
                                                  const QString& key, const QString& replacement,
                                                  bool caseSensitive, bool wholeWord,
                                                  qint64 fieldsToSearchIn, bool& richTextRewritten)
{
    richTextRewritten = false;
    qint64 total = 0;
    const qint64 n = fieldCount();
    if (fieldsToSearchIn != FreeformOnlyScope) {
        const qint64 first = fieldsToSearchIn == AllFieldsScope ? 0 : fieldsToSearchIn;
        const qint64 end =
            fieldsToSearchIn == AllFieldsScope ? n : std::min(fieldsToSearchIn + 1, n);
        // Searched where it is stored; only a value that changes is copied.
        for (qint64 position = std::max<qint64>(first, 0); position < end; ++position) {
            const QStringView value = fieldValue(*record, position);
            if (value.isEmpty())
                continue;
            const QList<TextRange> ranges =
                replacementRanges(value, key, caseSensitive, wholeWord);
            if (ranges.isEmpty())
                continue;
            total += ranges.size();
            m_context.engine().writeField(record, m_fieldIdentifiers.at(position),
                                          replacedText(value, ranges, replacement),
                                          CurrentRecordEngine::FieldWrite::Edit);
        }
    }
    if (fieldsToSearchIn != FreeformOnlyScope && fieldsToSearchIn != AllFieldsScope && n > 0)
        return total;

    qint64 inText = 0;
    if (record->textRTFD().isEmpty()) {
        const QString& text = record->textString();
        const QList<TextRange> ranges = replacementRanges(text, key, caseSensitive, wholeWord);
        inText = ranges.size();
        if (inText > 0)
            m_context.engine().writeText(record, replacedText(text, ranges, replacement),
                                         QByteArray(), CurrentRecordEngine::FieldWrite::Edit);
    } else if (TextSearch::containsLiteral(record->textString(), key,
                                           caseSensitive ? Qt::CaseSensitive
                                                         : Qt::CaseInsensitive)) {
        // The rich text is read only where its plain text holds the key.
        const RichTextResult rich = RichText::fromRtfd(record->textRTFD());
        if (!rich.ok() || rich.document->isEmpty())
            return total;
        inText = replaceInDocument(*rich.document, key, replacement, caseSensitive, wholeWord);
        if (inText > 0) {
            m_context.engine().writeText(record, RichText::plainText(*rich.document),
                                         RichText::toRtfd(*rich.document, rich.attributes),
                                         CurrentRecordEngine::FieldWrite::Edit);
            richTextRewritten = true;
        }
    }
    return total + inText;
}

void EditorSearchController::replaceAll(const QString& key, const QString& replacement,
                                        bool caseSensitive, bool wholeWord, qint64 fieldsToSearchIn,
                                        bool limitToCurrentRecord)
{
    m_context.progress().startIndeterminateProgressPanel(
        localized(QStringLiteral("Replacing text...")));
    readFieldDefinitions();
    const qint64 current = m_window.indexOfCurrentRecord();
    const qint64 first = limitToCurrentRecord ? current : 0;
    const qint64 end = limitToCurrentRecord ? current + 1 : m_window.selectedRecordCount();
    // Which records hold the key at all is found on every core; only those are
    // replaced in, one after the other.
    const RecordKeySearch search(m_fieldIdentifiers, key,
                                 caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, false);
    // Without fields a field's scope replaces in the text.
    const qint64 searched = m_fieldIdentifiers.isEmpty() ? AllFieldsScope : fieldsToSearchIn;
    std::vector<char> holds(size_t(std::max<qint64>(end - first, 0)));
    forEachChunk(qsizetype(holds.size()), [&](qsizetype begin, qsizetype chunkEnd) {
        for (qsizetype offset = begin; offset < chunkEnd; ++offset) {
            const std::shared_ptr<RecordData> record = m_window.recordAtIndex(first + offset);
            holds[size_t(offset)] = record && search.holds(*record, searched);
        }
    });
    qint64 total = 0;
    qint64 richTextsRewritten = 0;
    for (qint64 index = first; index < end; ++index) {
        if (!holds[size_t(index - first)])
            continue;
        const std::shared_ptr<RecordData> record = m_window.recordAtIndex(index);
        if (!record || record->recordLocked())
            continue;
        bool rewritten = false;
        total += replaceAllInRecord(record, key, replacement, caseSensitive, wholeWord,
                                    fieldsToSearchIn, rewritten);
        richTextsRewritten += rewritten ? 1 : 0;
    }
    QString message = localized(QStringLiteral("No changes were made."));
    if (total != 0) {
        m_window.setDatafileChanged();
        message = stringWithFormat(localized(QStringLiteral("Number of changes made: %d")), total);
    }
    if (richTextsRewritten > 0)
        m_context.host().reloadTables();
    m_context.progress().endIndeterminateProgressPanel();
    AlertRequest alert;
    alert.messageText = message;
    alert.buttons = {localized(QStringLiteral("OK"))};
    alert.style = AlertRequest::Style::Informational;
    Presenter::shared().beginAlertSheet(alert, m_context.window(), [](const AlertResponse&) {});
}
