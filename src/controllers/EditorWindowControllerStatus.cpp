// The editor window's status bar, the record information it gives the palette, and
// its progress sheet for long work.
#include "EditorWindowController.h"

#include "DatafileDocument.h"
#include "Localization.h"
#include "StringFormat.h"

#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QVBoxLayout>

QString EditorWindowController::readOnlyStatusText() const
{
    using Reason = DatafileDocument::ReadOnlyReason;
    switch (datafileDocument()->readOnlyReason()) {
    case Reason::None:
        return {};
    case Reason::Requested:
        return localized(QStringLiteral("Read-only"));
    case Reason::ReadOnlySetting:
        return localized(QStringLiteral("Read-only: this datafile is set to open read-only"));
    case Reason::FileNotWritable:
        return localized(QStringLiteral("Read-only: the file or its folder cannot be written"));
    case Reason::LockedElsewhere:
        return localized(QStringLiteral("Read-only: the datafile is in use elsewhere"));
    case Reason::NoPassword:
        return localized(QStringLiteral("Read-only: the password was not given"));
    }
    return {};
}

void EditorWindowController::reloadStatusBar()
{
    if (!m_recordNumber || !m_engine->catalog())
        return;
    m_readOnlyNote->setText(readOnlyStatusText());
    m_recordNumber->setText(
        stringWithFormat(localized(QStringLiteral("#%d")), m_engine->indexOfCurrentRecord() + 1));
    m_selection->setText(
        stringWithFormat(localized(QStringLiteral("%d of %d selected")), m_engine->catalog()->countSelected(),
                         datafileDocument()->datafileCatalog()->sortedArray().size()));
}

qint64 EditorWindowController::recordSize(const RecordData& record)
{
    qint64 size = record.textRTFD().size() + record.textString().size();
    for (const PlistDictionary::Entry& field : record.fields()) {
        if (const QString* value = field.value.asString())
            size += value->size();
    }
    return size;
}

QString EditorWindowController::recordSizeText(qint64 size)
{
    if (size >= 1'000'001)
        return stringWithFormat(localized(QStringLiteral("%2f MB")), double(size) / 1'000'000.0);
    if (size < 1001)
        return stringWithFormat(localized(QStringLiteral("%lu Bytes")), qulonglong(size));
    return stringWithFormat(localized(QStringLiteral("%2f KB")), double(size) / 1'000.0);
}

QStringList EditorWindowController::recordInfo() const
{
    if (!m_engine->currentRecord())
        return QStringList(7);
    const QLocale locale;
    const auto date = [&](PlistDate stored) {
        return locale.toString(stored.toDateTime().toLocalTime().date(), QLocale::ShortFormat);
    };
    const RecordData& record = *m_engine->currentRecord();
    return {date(record.modifiedDate()),
            date(record.viewedDate()),
            date(record.createdDate()),
            record.modifiedBy(),
            record.viewedBy(),
            record.createdBy(),
            recordSizeText(recordSize(record))};
}

void EditorWindowController::beginProgressSheet(const QString& message)
{
    if (!m_progressPanel) {
        m_progressPanel = new QDialog(window());
        m_progressPanel->setWindowModality(Qt::WindowModal);
        auto* layout = new QVBoxLayout(m_progressPanel);
        m_progressMessage = new QLabel(m_progressPanel);
        m_progressBar = new QProgressBar(m_progressPanel);
        m_progressBar->setTextVisible(false);
        layout->addWidget(m_progressMessage);
        layout->addWidget(m_progressBar);
        m_progressPanel->setMinimumWidth(360);
    }
    m_progressMessage->setText(message);
    m_progressPanel->open();
}

void EditorWindowController::startIndeterminateProgressPanel(const QString& message)
{
    startUnthreadedIndeterminateProgressPanel(message);
}

void EditorWindowController::startUnthreadedIndeterminateProgressPanel(const QString& message)
{
    beginProgressSheet(message);
    m_progressBar->setRange(0, 0);
}

void EditorWindowController::incrementProgressPanel(const QString& message)
{
    if (!m_progressPanel)
        return;
    m_progressMessage->setText(message);
    // The work runs on this thread: paint the sheet and the window now.
    m_progressPanel->repaint();
    window()->repaint();
}

void EditorWindowController::startMailProgressPanel(const QString& message)
{
    m_totalIncrements = 0;
    beginProgressSheet(message);
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
}

void EditorWindowController::incrementMailProgressPanel(const QString& message, qint64 fileCount)
{
    if (!m_progressPanel)
        return;
    // No files means nothing to advance by.
    if (fileCount > 0) {
        m_totalIncrements = std::min(100.0, m_totalIncrements + 100.0 / double(fileCount));
        m_progressBar->setValue(int(m_totalIncrements));
    }
    m_progressMessage->setText(message);
    m_progressPanel->repaint();
}

void EditorWindowController::endIndeterminateProgressPanel()
{
    if (m_progressPanel)
        m_progressPanel->hide();
}
