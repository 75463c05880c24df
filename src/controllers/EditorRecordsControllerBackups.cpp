// Deleting every selected record after a dated backup copy of the datafile.
#include "EditorRecordsController.h"

#include "DatafileDocument.h"
#include "DateFormatting.h"
#include "EditorWindowController.h"
#include "FileURL.h"
#include "Localization.h"
#include "Presenter.h"
#include "UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPointer>

namespace {

const QString NoBackupKey = QStringLiteral("NoBackupForDelectedSelectedRecords");
const QString DatafilesFolderKey = QStringLiteral("DatafilesFolderURL");

} // namespace

QString EditorRecordsController::fullDateTime(const QString& localeName, double millisecondsSinceEpoch)
{
    QString text = DateFormatting::format(DateFormatting::Style::Short,
                                          DateFormatting::Style::Medium, localeName,
                                          millisecondsSinceEpoch);
    if (text.isEmpty()) // no such locale data: Qt's own short form
        text = QLocale(localeName).toString(
            QDateTime::fromMSecsSinceEpoch(qint64(millisecondsSinceEpoch)), QLocale::ShortFormat);

    text.replace(QLatin1Char('/'), QLatin1Char('-'));
    text.replace(QLatin1Char(':'), QChar(0x2022));
    for (QChar& character : text) {
        if (character.isSpace())
            character = QLatin1Char('_');
    }
    return text;
}

QString EditorRecordsController::fullDateTime()
{
    return fullDateTime(QLocale().name(), double(QDateTime::currentMSecsSinceEpoch()));
}

QString EditorRecordsController::backupFileName(const QString& title, const QString& extension,
                                                const QString& dateTime,
                                                const std::function<bool(const QString&)>& taken)
{
    QString base = title;
    if (base.contains(extension))
        base.replace(extension, QLatin1Char(' ') + dateTime);
    else
        base += QLatin1Char(' ') + dateTime;
    QString name = base + extension;
    for (int number = 2; taken(name); ++number)
        name = base + QLatin1Char(' ') + QString::number(number) + extension;
    return name;
}

std::optional<QString> EditorRecordsController::saveCurrentDatafileToBackups()
{
    const QString datafiles = FileURL::folderPath(
        UserDefaults::standardUserDefaults().stringForKey(DatafilesFolderKey).value_or(QString()));
    const QString folder = datafiles.isEmpty() ? QString() : datafiles + QStringLiteral("/Backups");
    const auto failure = [](const QString& path, const QString& reason) {
        return QStringLiteral("%1\n\n%2").arg(path, reason);
    };
    if (datafiles.isEmpty() || !QFileInfo(datafiles).isDir())
        return failure(datafiles.isEmpty() ? localized(QStringLiteral("Backups")) : folder,
                       localized(QStringLiteral("There is no datafiles folder.")));
    if (!QFileInfo::exists(folder) && !QDir().mkdir(folder))
        return failure(folder, localized(QStringLiteral("The folder could not be created.")));
    if (!QFileInfo(folder).isDir())
        return failure(folder, localized(QStringLiteral("This is not a folder.")));

    DatafileDocument* document = m_editor.datafileDocument();
    const QString extension =
        document->isMobile() ? QStringLiteral(".nvm") : QStringLiteral(".nv3");
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    const QString name =
        backupFileName(document->displayName(), extension, fullDateTime(),
                       [&](const QString& candidate) {
                           return QFileInfo::exists(resolved + QLatin1Char('/') + candidate);
                       });
    const QString path = resolved + QLatin1Char('/') + name;
    if (const std::optional<QString> reason = document->writeCopyToPath(path))
        return failure(path, *reason);
    return std::nullopt;
}

void EditorRecordsController::deleteAllSelectedRecords()
{
    const CurrentRecordEngine& engine = m_editor.engine();
    // At least one record always stays; a clone never changes its document.
    if (engine.isClone() || engine.selectedRecordCount() == 0 ||
        engine.selectedRecordCount() >= engine.catalog()->count()) {
        Presenter::shared().beep();
        return;
    }
    AlertRequest alert;
    alert.style = AlertRequest::Style::Critical;
    alert.messageText = localized(QStringLiteral("Delete All Selected Records?"));
    alert.informativeText =
        m_editor.hasSyncID()
            ? localized(QStringLiteral("When this datafile is synchronized, These records will "
                                       "also be deleted on the other sync file.\n\nAre you sure "
                                       "you want to delete all currently selected records?"))
            : localized(QStringLiteral(
                  "Are you sure you want to delete all currently selected records?"));
    alert.buttons = {localized(QStringLiteral("Delete")), localized(QStringLiteral("Cancel"))};
    const QPointer<EditorRecordsController> self(this);
    Presenter::shared().beginAlertSheet(alert, m_editor.window(), [self](const AlertResponse& response) {
        if (self)
            self->deleteAllSelectedRecordsDidEnd(response.returnCode == AlertFirstButtonReturn ? 1 : 0);
    });
}

void EditorRecordsController::deleteAllSelectedRecordsDidEnd(int returnCode)
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (returnCode != 1 || engine.nowSyncing() || engine.isClone())
        return;
    m_editor.endEditing();
    if (UserDefaults::standardUserDefaults().integerForKey(NoBackupKey) == 0) {
        if (const std::optional<QString> failure = saveCurrentDatafileToBackups()) {
            // Without its backup nothing is deleted.
            AlertRequest alert;
            alert.style = AlertRequest::Style::Critical;
            alert.messageText = localized(QStringLiteral("The backup copy could not be written."));
            alert.informativeText = *failure;
            alert.buttons = {localized(QStringLiteral("OK"))};
            Presenter::shared().beginAlertSheet(alert, m_editor.window(), [](const AlertResponse&) {});
            return;
        }
    }
    engine.deleteSelectedRecords();
}
