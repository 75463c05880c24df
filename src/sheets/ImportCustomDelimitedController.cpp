#include "ImportCustomDelimitedController.h"

#include "CustomDelimitedCutter.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "ImportedTextFile.h"
#include "Localization.h"
#include "RichText.h"

#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace {

// The characters from start to end of a rich text, with their styles and attachments.
std::unique_ptr<QTextDocument> richPiece(const QTextDocument& whole, qsizetype start,
                                         qsizetype length)
{
    // A clone keeps the images the piece may show.
    std::unique_ptr<QTextDocument> piece(whole.clone());
    QTextCursor cursor(piece.get());
    cursor.setPosition(int(start + length));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.setPosition(0);
    cursor.setPosition(int(start), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    return piece;
}

} // namespace

void ImportCustomDelimitedController::buildInterface(QDialog* window)
{
    ImportSheetBase::buildInterface(window);
    namesInFirstRecord()->hide();
    contentLayout()->addWidget(
        new QLabel(localized(QStringLiteral("Records are separated by:")), contentArea()));
    m_delimiterText = new QPlainTextEdit(contentArea());
    m_delimiterText->setObjectName(QStringLiteral("delimiterText"));
    m_delimiterText->setFixedHeight(60);
    contentLayout()->addWidget(m_delimiterText);
}

QString ImportCustomDelimitedController::delimiterText() const
{
    return m_delimiterText ? m_delimiterText->toPlainText() : QString();
}

void ImportCustomDelimitedController::importCustomDelimitedFile(NewDatafileMaker sender)
{
    m_plainTextFileContent.clear();
    m_rtfFileContent.reset();
    const std::optional<QString> path = chooseImportFile(
        std::move(sender), {{QStringLiteral("text"), QStringLiteral("txt"), QStringLiteral("rtf"),
                             QStringLiteral("rtfd")},
                            localized(QStringLiteral("Select a Custom-delimited File to Import")),
                            {QStringLiteral("rtfd")}});
    if (!path)
        return;
    if (!readFile(*path)) {
        ImportRecordSink::reportNothingImported(currentWindow());
        return;
    }
    // Whatever its fields, the datafile in front takes text alone.
    beginImportSheetOffering(true);
}

bool ImportCustomDelimitedController::readFile(const QString& path)
{
    const QString extension = QFileInfo(path).suffix();
    // "NOTES.TXT" is as plain as "notes.txt"; read as RTF it would fail.
    m_importingPlainText = extension.compare(QStringLiteral("text"), Qt::CaseInsensitive) == 0 ||
                           extension.compare(QStringLiteral("txt"), Qt::CaseInsensitive) == 0;
    if (m_importingPlainText) {
        const ImportedTextFile::Contents contents = ImportedTextFile::readPlainText(path);
        m_plainTextFileContent = contents.plainText.value_or(QString());
        return !m_plainTextFileContent.isEmpty();
    }
    ImportedTextFile::Contents contents = ImportedTextFile::readRichText(path);
    if (contents.error)
        return false;
    // Even an empty rich text is content: the user is told when nothing comes of it.
    m_rtfFileContent = std::move(contents.rich.document);
    return true;
}

QList<ImportRecordSink::Record>
ImportCustomDelimitedController::records(const QString& delimiter) const
{
    QList<ImportRecordSink::Record> made;
    const QString content = m_importingPlainText ? m_plainTextFileContent
                            : m_rtfFileContent   ? RichText::plainText(*m_rtfFileContent)
                                                 : QString();
    for (const CustomDelimitedCutter::Piece& piece :
         CustomDelimitedCutter::pieces(content, delimiter)) {
        ImportRecordSink::Record record;
        record.text = content.mid(piece.start, piece.length);
        if (!m_importingPlainText)
            record.rtfd =
                RichText::toRtfd(*richPiece(*m_rtfFileContent, piece.start, piece.length));
        made.append(std::move(record));
    }
    return made;
}

void ImportCustomDelimitedController::importCustomDelimitedFileDidEnd(int returnCode)
{
    if (returnCode != 1)
        return;
    FeatureContext* target = importTarget(std::nullopt, QStringLiteral("Custom-Delimited"));
    if (!target)
        return;
    target->progress().startIndeterminateProgressPanel(localized(QStringLiteral("Importing...")));
    const qint64 added =
        ImportRecordSink::add(*target, records(delimiterText()), {mergeIntoCurrentIsOn(), false});
    target->progress().endIndeterminateProgressPanel();
    if (createNewIsOn() && added > 0) {
        bringToFront(*target);
        target->document()->saveDocument();
    }
}
