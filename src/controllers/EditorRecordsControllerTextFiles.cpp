// A text or rich-text file made into a new record.
#include "EditorRecordsController.h"

#include "EditorWindowController.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "RichText.h"
#include "StringFormat.h"

#include <QFileInfo>

namespace {

const QStringList plainTextTypes = {QStringLiteral("text"), QStringLiteral("txt"),
                                    QStringLiteral("TEXT"), QStringLiteral("TXT")};
const QStringList richTextTypes = {QStringLiteral("rtf"), QStringLiteral("RTF")};
const QStringList rtfdTypes = {QStringLiteral("rtfd"), QStringLiteral("RTFD")};

} // namespace

EditorRecordsController::TextFileContents EditorRecordsController::readTextFile(const QString& path)
{
    const QString extension = QFileInfo(path).suffix();
    if (plainTextTypes.contains(extension))
        return ImportedTextFile::readPlainText(path);
    if (richTextTypes.contains(extension) || rtfdTypes.contains(extension))
        return ImportedTextFile::readRichText(path);
    TextFileContents contents;
    contents.error = localized(QStringLiteral("It is not a text or rich-text file."));
    return contents;
}

void EditorRecordsController::importTextFileAsRecord()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing() || refusedInAClone())
        return;
    OpenPanelRequest request;
    request.message = localized(QStringLiteral("Select a Text File to Import"));
    request.fileTypes = plainTextTypes + QStringList{QStringLiteral("rtf"), QStringLiteral("rtfd"),
                                                     QStringLiteral("RTF"), QStringLiteral("RTFD")};
    request.packageTypes = rtfdTypes;
    const QList<QUrl> chosen = Presenter::shared().runOpenPanel(request, m_editor.window());
    if (chosen.isEmpty() || !chosen.constFirst().isLocalFile())
        return;
    // A link is read through to the file it points to.
    const QString path = chosen.constFirst().toLocalFile();
    if (!request.fileTypes.contains(QFileInfo(path).suffix()))
        return;

    const TextFileContents contents = readTextFile(path);
    if (contents.error) {
        // Nothing is added for a file that cannot be read.
        AlertRequest alert;
        alert.style = AlertRequest::Style::Warning;
        alert.messageText = stringWithFormat(
            localized(QStringLiteral("The file \u201C%@\u201D could not be read.")),
            QFileInfo(path).fileName());
        alert.informativeText = *contents.error;
        alert.buttons = {localized(QStringLiteral("OK"))};
        Presenter::shared().beginAlertSheet(alert, m_editor.window(), [](const AlertResponse&) {});
        return;
    }
    addRecordWithText(contents);
}

void EditorRecordsController::addRecordWithText(const TextFileContents& contents)
{
    CurrentRecordEngine& engine = m_editor.engine();
    addRecord();
    const std::shared_ptr<RecordData> record = engine.currentRecord();
    if (!record)
        return;
    FreeformTextView* text = m_editor.freeformTextView();
    if (contents.plainText) {
        text->loadPlainText(*contents.plainText);
        engine.writeText(record, *contents.plainText, [text] { return text->rtfd(); },
                         CurrentRecordEngine::FieldWrite::Edit);
    } else {
        const QTextDocument& document = *contents.rich.document;
        engine.writeText(record, RichText::plainText(document),
                         [&] { return RichText::toRtfd(document, contents.rich.attributes); },
                         CurrentRecordEngine::FieldWrite::Edit);
        engine.loadCurrentRecord();
    }
    m_editor.reloadTables();
    engine.setDatafileChanged();
}
