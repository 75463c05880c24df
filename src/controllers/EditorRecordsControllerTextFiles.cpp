// A text or rich-text file made into a new record.
#include "EditorRecordsController.h"

#include "EditorWindowController.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "RichText.h"
#include "RtfdFolder.h"
#include "StringFormat.h"
#include "TextFileDecoding.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QStringList plainTextTypes = {QStringLiteral("text"), QStringLiteral("txt"),
                                    QStringLiteral("TEXT"), QStringLiteral("TXT")};
const QStringList richTextTypes = {QStringLiteral("rtf"), QStringLiteral("RTF")};
const QStringList rtfdTypes = {QStringLiteral("rtfd"), QStringLiteral("RTFD")};

// A regular file's bytes, or why there are none.
std::optional<QByteArray> fileContents(const QString& path, QString& reason)
{
    if (!QFileInfo(path).isFile()) {
        reason = localized(QStringLiteral("It is not a regular file."));
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

} // namespace

EditorRecordsController::TextFileContents EditorRecordsController::readTextFile(const QString& path)
{
    TextFileContents contents;
    const QString extension = QFileInfo(path).suffix();
    if (rtfdTypes.contains(extension)) {
        const RtfdFolder::Files folder = RtfdFolder::read(path);
        if (folder.error) {
            contents.error = *folder.error;
            return contents;
        }
        contents.rich = RichText::fromRtfdFiles(folder.files);
    } else if (richTextTypes.contains(extension) || plainTextTypes.contains(extension)) {
        QString reason;
        const std::optional<QByteArray> bytes = fileContents(path, reason);
        if (!bytes) {
            contents.error = reason;
            return contents;
        }
        if (plainTextTypes.contains(extension)) {
            contents.plainText = TextFileDecoding::decode(*bytes);
            if (!contents.plainText)
                contents.error = localized(QStringLiteral("It holds no text Norva can read."));
            return contents;
        }
        contents.rich = RichText::fromRtf(*bytes);
    } else {
        contents.error = localized(QStringLiteral("It is not a text or rich-text file."));
        return contents;
    }
    if (!contents.rich.ok() || !contents.rich.document) {
        contents.error = contents.rich.error.value_or(QString());
        contents.rich = {};
    }
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
