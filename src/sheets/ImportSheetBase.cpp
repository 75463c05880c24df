#include "ImportSheetBase.h"

#include "Document.h"
#include "DocumentController.h"
#include "EditorWindowController.h"
#include "ImportRecordSink.h"
#include "Localization.h"
#include "Presenter.h"
#include "TextFileDecoding.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QRadioButton>

#include <algorithm>

void ImportSheetBase::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Import")));
    setPrompt(localized(QStringLiteral("Import the records into:")));
    setOkayTitle(localized(QStringLiteral("Import")));
    auto* destinations = new QButtonGroup(window);
    m_createNew = new QRadioButton(localized(QStringLiteral("A new datafile")), contentArea());
    m_appendToCurrent = new QRadioButton(
        localized(QStringLiteral("The end of the current datafile")), contentArea());
    m_mergeIntoCurrent = new QRadioButton(
        localized(QStringLiteral("The current datafile, without duplicate records")),
        contentArea());
    m_currentDatafileName = new QLabel(contentArea());
    m_currentDatafileName->setIndent(20);
    m_namesInFirstRecord = new QCheckBox(
        localized(QStringLiteral("The first record holds the field names")), contentArea());
    for (QRadioButton* button : {m_createNew, m_appendToCurrent, m_mergeIntoCurrent}) {
        destinations->addButton(button);
        contentLayout()->addWidget(button);
    }
    contentLayout()->addWidget(m_currentDatafileName);
    contentLayout()->addSpacing(8);
    contentLayout()->addWidget(m_namesInFirstRecord);
}

bool ImportSheetBase::appendToCurrentIsOn() const
{
    return m_appendToCurrent && m_appendToCurrent->isChecked();
}

bool ImportSheetBase::createNewIsOn() const
{
    return m_createNew && m_createNew->isChecked();
}

bool ImportSheetBase::mergeIntoCurrentIsOn() const
{
    return m_mergeIntoCurrent && m_mergeIntoCurrent->isChecked();
}

bool ImportSheetBase::namesInFirstRecordIsOn() const
{
    return m_namesInFirstRecord && m_namesInFirstRecord->isChecked();
}

EditorWindowController* ImportSheetBase::currentEditor() const
{
    return isOpenEditor(m_current) ? m_current.data() : nullptr;
}

bool ImportSheetBase::isOpenEditor(const EditorWindowController* editor)
{
    if (!editor)
        return false;
    Document* document = editor->document();
    const std::vector<Document*>& open = DocumentController::shared().documents();
    if (std::find(open.begin(), open.end(), document) == open.end())
        return false;
    for (const std::unique_ptr<WindowController>& controller : document->windowControllers()) {
        if (controller.get() == editor)
            return true;
    }
    return false;
}

QWidget* ImportSheetBase::currentWindow() const
{
    EditorWindowController* current = currentEditor();
    return current ? current->featureContext().window() : nullptr;
}

std::optional<QString> ImportSheetBase::openImportFile(NewDatafileMaker sender,
                                                       const OpenPanelKind& kind)
{
    const std::optional<QString> path = chooseImportFile(std::move(sender), kind);
    if (!path)
        return std::nullopt;
    QFile file(*path);
    std::optional<QString> text;
    if (file.open(QIODevice::ReadOnly))
        text = TextFileDecoding::decode(file.readAll());
    if (!text || text->isEmpty()) {
        ImportRecordSink::reportNothingImported(currentWindow());
        return std::nullopt;
    }
    return text;
}

std::optional<QString> ImportSheetBase::chooseImportFile(NewDatafileMaker sender,
                                                         const OpenPanelKind& kind)
{
    OpenPanelRequest request;
    request.fileTypes = kind.fileTypes;
    request.message = kind.message;
    request.packageTypes = kind.packageTypes;
    return runOpenPanel(std::move(sender), request);
}

std::optional<QString> ImportSheetBase::chooseImportFolder(NewDatafileMaker sender,
                                                           const QString& message)
{
    OpenPanelRequest request;
    request.message = message;
    request.prompt = localized(QStringLiteral("Select"));
    request.canChooseFiles = false;
    request.canChooseDirectories = true;
    request.resolvesAliases = false;
    return runOpenPanel(std::move(sender), request);
}

std::optional<QString> ImportSheetBase::runOpenPanel(NewDatafileMaker sender,
                                                     const OpenPanelRequest& request)
{
    m_sender = std::move(sender);
    // The datafile in front now is the one meant, whatever comes to the front later.
    m_current = EditorWindowController::mainEditor();
    const QList<QUrl> chosen = Presenter::shared().runOpenPanel(request, nullptr);
    if (chosen.isEmpty() || !chosen.constFirst().isLocalFile())
        return std::nullopt;
    const QString path = chosen.constFirst().toLocalFile();
    m_fileName = QFileInfo(path).fileName();
    m_newFilename = QFileInfo(path).completeBaseName();
    return path;
}

void ImportSheetBase::beginImportSheet(qsizetype incomingFieldCount)
{
    EditorWindowController* current = currentEditor();
    beginImportSheetOffering(current &&
                             current->engine().currentRecordNumberOfFields() == incomingFieldCount);
}

void ImportSheetBase::beginImportSheetOffering(bool currentIsSuitable)
{
    window();
    EditorWindowController* current = currentEditor();
    const bool suitable = current && currentIsSuitable;
    m_appendToCurrent->setChecked(false);
    m_createNew->setChecked(true);
    m_mergeIntoCurrent->setChecked(false);
    m_namesInFirstRecord->setChecked(false);
    m_appendToCurrent->setEnabled(suitable);
    m_mergeIntoCurrent->setEnabled(suitable);
    m_currentDatafileName->setText(suitable ? current->featureContext().host().windowTitle()
                                            : localized(NoSuitableDatafile));
    beginSheetModalForWindow(nullptr, [this](QWidget*, int returnCode) {
        if (returnCode == 1)
            importDidEnd();
    });
}

FeatureContext* ImportSheetBase::importTarget(const std::optional<QStringList>& fieldNames,
                                              const std::optional<QString>& draftName,
                                              const std::optional<QString>& textName)
{
    EditorWindowController* target = nullptr;
    if (createNewIsOn())
        target = m_sender ? m_sender(fieldNames, textName, draftName.value_or(m_newFilename))
                          : nullptr;
    else
        target = currentEditor();
    if (!target) {
        ImportRecordSink::reportNothingImported(
            nullptr,
            createNewIsOn()
                ? localized(QStringLiteral("A new datafile for them could not be made."))
                : localized(QStringLiteral("The datafile they were meant for is no longer open.")));
        return nullptr;
    }
    return &target->featureContext();
}

void ImportSheetBase::bringToFront(FeatureContext& target)
{
    target.host().makeMain();
    if (QWidget* window = target.window()) {
        window->show();
        window->raise();
        window->activateWindow();
    }
}
