// The application delegate's commands that make documents: a new datafile, a new
// template, and the import sink every importer makes its new datafile through.
#include "MainController.h"

#include "ApplicationMenus.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "EditorRecordsController.h"
#include "EditorTableController.h"
#include "EditorViewController.h"
#include "EditorWindowController.h"
#include "NotificationCenter.h"
#include "TemplateDocument.h"
#include "TemplateWindow.h"
#include "WindowController.h"

#include <QAction>
#include <QMenu>

namespace {

EditorWindowController* editorOf(DatafileDocument* document)
{
    if (!document || document->windowControllers().empty())
        return nullptr;
    return dynamic_cast<EditorWindowController*>(document->windowControllers().front().get());
}

// An untitled datafile of the kind with its editor window, not shown yet; nullptr when
// none can be made.
DatafileDocument* makeUntitledDatafile(const QString& type)
{
    return qobject_cast<DatafileDocument*>(
        DocumentController::shared().openUntitledDocumentOfType(type, false));
}

const ImportCommand* importCommandFor(const QString& selector)
{
    for (const ImportCommand& command : importCommands()) {
        if (selector == QLatin1String(command.selector))
            return &command;
    }
    return nullptr;
}

} // namespace

void MainController::registerDocumentActions()
{
    registerAction(QStringLiteral("newDatafile:"), [this](QObject*) { newDatafile(); });
    registerAction(QStringLiteral("newLabel:"), [this](QObject*) { newLabel(); });
    registerAction(QStringLiteral("newEnvelope:"), [this](QObject*) { newEnvelope(); });
    for (const ImportCommand& command : importCommands()) {
        registerAction(QString::fromLatin1(command.selector),
                       [this, &command](QObject* sender) { startImporter(command, sender); });
    }
}

void MainController::newDatafile()
{
    if (!m_newDatafileSheetFactory)
        return;
    m_newDatafileSheetFactory([this](int returnCode, const PlistArray& fields, bool isMobile) {
        newDatafileDidEnd(returnCode, fields, isMobile);
    });
}

void MainController::newDatafileDidEnd(int returnCode, const PlistArray& fields, bool isMobile)
{
    if (returnCode != 1)
        return;
    DatafileDocument* document = makeUntitledDatafile(
        isMobile ? DatafileDocument::MobileDatafileType : DatafileDocument::ProDatafileType);
    EditorWindowController* editor = editorOf(document);
    if (!editor || !document->datafileSettings())
        return;
    document->datafileSettings()->setFields(fields);
    editor->setTextFontToDefault();
    NotificationCenter::defaultCenter().postNotification(
        DatafileDocument::DatafileFieldFormatChangedNotification, document);
    editor->recordsController().addRecord();
    document->showWindows();
    if (!fields.isEmpty()) {
        editor->viewController().changeSplitViewForNewFBDatafile();
        EditorTableController* tables = editor->tableController();
        tables->selectRangeInField(tables->currentTableView(), 0, 0, 0, 0, false);
        editor->activateField();
    }
    document->setOpenedReadOnly(false);
    // A new datafile has no password to wait for before it may be saved.
    editor->engine().setCanSaveChanges(true);
    document->saveDocument();
}

void MainController::newLabel()
{
    Document* label =
        DocumentController::shared().openUntitledDocumentOfType(TemplateDocument::LabelType, false);
    if (!label || label->windowControllers().empty())
        return;
    label->windowControllers().front()->performAction(QStringLiteral("associateDatafile:"), this);
}

void MainController::newEnvelope()
{
    auto* envelope = qobject_cast<TemplateDocument*>(
        DocumentController::shared().openUntitledDocumentOfType(TemplateDocument::EnvelopeType,
                                                                false));
    if (!envelope || envelope->windowControllers().empty())
        return;
    const std::shared_ptr<TemplateSettingsData>& settings = envelope->templateSettings();
    settings->setIsEnvelope(true);
    settings->setLabelTopMargin(0);
    settings->setLabelLeftMargin(0);
    // Laid out again as the envelope it now is.
    if (TemplateWindow* page = envelope->pageWindow())
        page->prepare();
    envelope->showWindows();
    envelope->windowControllers().front()->performAction(QStringLiteral("associateDatafile:"),
                                                         this);
}

EditorWindowController*
MainController::createNewImportedDatafile(const std::optional<QStringList>& fieldNames,
                                          const std::optional<QString>& textName,
                                          const QString& defaultDraftName)
{
    // Imports always make the desktop kind.
    DatafileDocument* document = makeUntitledDatafile(DatafileDocument::ProDatafileType);
    EditorWindowController* editor = editorOf(document);
    if (!editor || !document->datafileSettings())
        return nullptr;
    document->setDefaultDraftName(defaultDraftName);
    const std::shared_ptr<DatafileSettingsData> settings = document->datafileSettings();
    if (fieldNames)
        settings->setFields(DatafileDocument::arrayForFieldNames(*fieldNames));
    editor->setTextFontToDefault();
    NotificationCenter::defaultCenter().postNotification(
        DatafileDocument::DatafileFieldFormatChangedNotification, document);
    if (textName)
        settings->setTextName(*textName);
    editor->recordsController().addRecord();
    document->showWindows();
    // Once shown, the split has its heights to change.
    editor->viewController().changeSplitViewForNewFBDatafile();
    document->setOpenedReadOnly(false);
    // A new datafile has no password to wait for before it may be saved.
    editor->engine().setCanSaveChanges(true);
    // The importer fills the main editor's datafile next.
    editor->makeMainEditor();
    return editor;
}

void MainController::registerImporter(Importer importer, ImporterEntry entry, qint64 tag)
{
    m_importers[importer] = std::move(entry);
    for (QAction* item : m_menus->importMenu()->actions()) {
        const ImportCommand* command = importCommandFor(m_menus->binding().selectorFor(item));
        if (command && command->importer == importer)
            item->setData(tag);
    }
}

bool MainController::importerRegistered(const QString& selector) const
{
    const ImportCommand* command = importCommandFor(selector);
    if (!command)
        return false;
    const auto found = m_importers.find(command->importer);
    return found != m_importers.end() && bool(found->second);
}

void MainController::startImporter(const ImportCommand& command, QObject* sender)
{
    const auto found = m_importers.find(command.importer);
    if (found == m_importers.end() || !found->second)
        return;
    qint64 kind = command.kind;
    // The bookmarks importer learns the browser from the item's tag.
    if (command.importer == Importer::Bookmarks)
        if (auto* item = qobject_cast<QAction*>(sender))
            kind = item->data().toLongLong();
    found->second(QString::fromLatin1(command.call), kind, *this);
}
