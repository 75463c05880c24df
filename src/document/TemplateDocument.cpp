#include "TemplateDocument.h"

#include "EnvelopeDocument.h"
#include "FileURL.h"
#include "Graphic.h"
#include "LabelDocument.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "PagePrintView.h"
#include "PageViewController.h"
#include "Presenter.h"
#include "PrintOperation.h"
#include "SafeFileWriter.h"
#include "StringFormat.h"
#include "SystemLog.h"
#include "TestPrintView.h"
#include "TemplateFormat.h"
#include "TemplatePrintHost.h"
#include "TemplateWindow.h"
#include "UserDefaults.h"
#include "WindowController.h"

#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>

namespace {

TemplateDocument::PageWindowFactory& pageWindowFactory()
{
    static TemplateDocument::PageWindowFactory factory;
    return factory;
}

std::function<void()>& didWriteHook()
{
    static std::function<void()> hook;
    return hook;
}

bool isTemplateType(const QString& type)
{
    return type == TemplateDocument::LabelType || type == TemplateDocument::EnvelopeType;
}

// Writing also takes the bare extensions for the two types.
bool isWritableType(const QString& type)
{
    return isTemplateType(type) || type == TemplateDocument::LabelExtension ||
           type == TemplateDocument::EnvelopeExtension;
}

} // namespace

void TemplateDocument::setPageWindowFactory(PageWindowFactory factory)
{
    pageWindowFactory() = std::move(factory);
}

void TemplateDocument::setDidWriteHook(std::function<void()> hook)
{
    didWriteHook() = std::move(hook);
}

std::unique_ptr<TemplateDocument> TemplateDocument::makeOfType(const QString& type)
{
    if (type == EnvelopeType)
        return std::make_unique<EnvelopeDocument>();
    return std::make_unique<LabelDocument>();
}

std::unique_ptr<TemplateDocument>
TemplateDocument::templateForPrintingWithFile(const QString& path, const QString& type,
                                              TemplatePrintHost* controller)
{
    std::unique_ptr<TemplateDocument> document = makeOfType(type);
    document->setPrintingSingleItem(true);
    const QUrl url = QUrl::fromLocalFile(FileURL::expandTilde(path));
    if (!document->readFromURL(url, type))
        SystemLog::log(stringWithFormat(QStringLiteral("Unable to open %@: Error %@"), path,
                                        document->failureReason()));
    document->m_printHost = controller;
    return document;
}

TemplateDocument::TemplateDocument() : m_templateSettings(TemplateSettingsData::settings())
{
    m_templateSettings->setTemplateSettingsDidChange(false);
    registerAction(QStringLiteral("runPageLayout:"), [this](QObject*) { runPageLayout(); });
    registerAction(QStringLiteral("printDocument:"), [this](QObject*) { printDocument(); });
    registerAction(QStringLiteral("printTestSheet:"), [this](QObject*) { printTestSheet(); });
}

TemplateDocument::~TemplateDocument() = default;

void TemplateDocument::setTemplateSettings(std::shared_ptr<TemplateSettingsData> settings)
{
    m_templateSettings = std::move(settings);
}

TemplateWindow* TemplateDocument::pageWindow() const
{
    if (windowControllers().empty())
        return nullptr;
    return dynamic_cast<TemplateWindow*>(windowControllers().front().get());
}

bool TemplateDocument::readFromURL(const QUrl& url, const QString& type)
{
    if (!isTemplateType(type))
        return true;
    const QString path = url.toLocalFile();
    // Opening a pipe would wait for its writer, and a device has no end.
    if (const QFileInfo info(path); info.exists() && !info.isFile()) {
        setFailureReason(
            localized(QStringLiteral("The file could not be read: it is not a regular file.")));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setFailureReason(stringWithFormat(
            localized(QStringLiteral("The file could not be read: %@.")), file.errorString()));
        return false;
    }
    TemplateFormat::Result<TemplateFormat::Contents> read = TemplateFormat::read(file);
    if (!read.ok()) {
        setFailureReason(read.error.message);
        return false;
    }
    m_templateSettings = std::move(read.value->settings);
    setMasterGraphicsFromArrayOfDictionaries(read.value->design);
    setPrintInfo(m_templateSettings->printInfo());
    // The type, not what the file says, makes the template an envelope.
    m_templateSettings->setIsEnvelope(type == EnvelopeType);
    m_templateSettings->setTemplateSettingsDidChange(false);
    setTemplateDocumentEdited(false);
    return true;
}

bool TemplateDocument::writeToURL(const QUrl& url, const QString& type)
{
    if (!isWritableType(type)) {
        setFailureReason(localized(QStringLiteral("Norva cannot save files of this kind.")));
        return false;
    }
    const PlistDictionary settings = m_templateSettings->dictionary();
    const PlistArray design = masterGraphicsAsArrayOfDictionaries();
    const SafeFileWriter::Result written =
        SafeFileWriter::write(url.toLocalFile(), [&](QIODevice& device) {
            return TemplateFormat::write(settings, design, device);
        });
    if (didWriteHook())
        QTimer::singleShot(100, [] {
            if (didWriteHook())
                didWriteHook()();
        });
    // A failed write keeps both marks of the changes: they are still to be saved.
    if (!written.ok) {
        setFailureReason(written.errorString);
        return false;
    }
    m_templateSettings->setTemplateSettingsDidChange(false);
    setTemplateDocumentEdited(false);
    return true;
}

void TemplateDocument::makeWindowControllers()
{
    if (m_printingSingleItem || !pageWindowFactory())
        return;
    addWindowController(pageWindowFactory()(*this));
    if (TemplateWindow* made = pageWindow())
        made->prepare();
}

bool TemplateDocument::prepareSavePanel(SavePanelRequest& request)
{
    request.directory = FileURL::folderPath(UserDefaults::standardUserDefaults()
                                                .stringForKey(QStringLiteral("TemplatesFolderURL"))
                                                .value_or(QString()));
    return true;
}

bool TemplateDocument::revertToContentsOfURL(const QUrl& url, const QString& type)
{
    if (!Document::revertToContentsOfURL(url, type))
        return false;
    NotificationCenter::defaultCenter().postNotification(RevertedTemplateWindow, this);
    return true;
}

bool TemplateDocument::validateAction(const QString& selector) const
{
    if (selector == QLatin1String("saveDocument:"))
        return isDocumentEdited();
    if (selector == QLatin1String("printTestSheet:"))
        return !m_templateSettings->isEnvelope();
    return Document::validateAction(selector);
}

void TemplateDocument::runPageLayout()
{
    setPrintInfo(m_templateSettings->printInfo());
    Presenter::shared().runPageLayout(
        printInfo(), windowForSheet(),
        [document = QPointer<TemplateDocument>(this)](const std::optional<PrintInfo>& accepted) {
            if (document)
                document->documentDidRunModalPageLayout(accepted);
        });
    PrintInfo::setSharedPrintInfo(m_templateSettings->printInfo());
}

void TemplateDocument::documentDidRunModalPageLayout(const std::optional<PrintInfo>& accepted)
{
    QWidget* window = windowForSheet();
    if (!accepted) {
        // The window's mark shows the document's own state again.
        if (!windowControllers().empty())
            windowControllers().front()->setDocumentEdited(isDocumentEdited());
        return;
    }
    setPrintInfo(*accepted);
    m_templateSettings->setPrintInfo(*accepted);
    setTemplateDocumentEdited(true);
    if (TemplateWindow* page = pageWindow())
        page->resetPageLayout();
    if (!window)
        return;
    // One whole page in view: the paper plus room for the scroll bars and the status bar
    // below the window's bars (menu bar, toolbar), the top left corner where it was.
    const auto* main = qobject_cast<QMainWindow*>(window);
    const int bars =
        main && main->centralWidget() ? window->height() - main->centralWidget()->height() : 0;
    const QSizeF paper = accepted->paperSize();
    window->resize(int(paper.width() + 15), int(paper.height() + 32) + bars);
}

TemplatePrintHost* TemplateDocument::printHost() const
{
    if (m_printHost)
        return m_printHost;
    if (windowControllers().empty())
        return nullptr;
    return dynamic_cast<TemplatePrintHost*>(windowControllers().front().get());
}

void TemplateDocument::printDocument()
{
    TemplatePrintHost* host = printHost();
    if (!host)
        return;
    const QSizeF paper = m_templateSettings->printInfo().paperSize();
    PageViewController& engine = host->pageViewController();
    // The pages as the records stand now.
    engine.resetWithSettings(m_templateSettings, m_masterGraphics, false);
    auto view = std::make_shared<PagePrintView>(QRectF(QPointF(0, 0), paper));
    view->setFirstLabelOffset(quint64(std::max<qint64>(engine.firstLabelOffset(), 0)));
    view->setPageViewController(engine, m_templateSettings, m_masterGraphics);
    view->setPaperFrame(QRectF(QPointF(0, 0), paper));
    view->setPrintJobTitle(displayName());
    runPrintOperation(view);
}

void TemplateDocument::printTestSheet()
{
    const QSizeF paper = m_templateSettings->printInfo().paperSize();
    auto view = std::make_shared<TestPrintView>(QRectF(QPointF(0, 0), paper));
    view->setTempletSettings(m_templateSettings);
    view->setPaperFrame(QRectF(QPointF(0, 0), paper));
    view->setPrintJobTitle(displayName());
    runPrintOperation(view);
}

void TemplateDocument::runPrintOperation(const std::shared_ptr<PrintableView>& view)
{
    TemplatePrintHost* host = printHost();
    QWidget* window = host ? host->printWindow() : windowForSheet();
    PrintOperationRequest request;
    request.printInfo = m_templateSettings->printInfo();
    request.view = view;
    const QPointer<QWidget> shown(window);
    Presenter::shared().runPrintOperation(request, window,
                                          [shown](const PrintOperationResult& result) {
                                              reportUnwritablePrintFile(result, shown);
                                          });
}

PlistArray TemplateDocument::masterGraphicsAsArrayOfDictionaries() const
{
    PlistArray dictionaries;
    dictionaries.reserve(m_masterGraphics.size());
    for (const std::shared_ptr<Graphic>& graphic : m_masterGraphics)
        dictionaries.append(graphic->propertyListRepresentation());
    return dictionaries;
}

void TemplateDocument::setMasterGraphicsFromArrayOfDictionaries(const PlistArray& dictionaries)
{
    GraphicList graphics;
    graphics.reserve(dictionaries.size());
    for (qsizetype index = 0; index < dictionaries.size(); ++index) {
        if (std::shared_ptr<Graphic> graphic =
                Graphic::graphicWithPropertyListRepresentation(dictionaries[index])) {
            graphics.append(std::move(graphic));
            continue;
        }
        const PlistDictionary* entry = dictionaries[index].asDictionary();
        const PlistValue* className = entry ? entry->find(QStringLiteral("Class")) : nullptr;
        SystemLog::log(
            QStringLiteral("The design element %1 of class \"%2\" is no graphic Norva "
                           "knows; it is left out.")
                .arg(index)
                .arg(className && className->asString() ? *className->asString() : QString()));
    }
    m_masterGraphics = std::move(graphics);
}

void TemplateDocument::setTemplateDocumentEdited(bool edited)
{
    if (edited != isDocumentEdited())
        updateChangeCount(edited ? ChangeType::Done : ChangeType::Cleared);
    if (!windowControllers().empty())
        windowControllers().front()->setDocumentEdited(edited);
}
