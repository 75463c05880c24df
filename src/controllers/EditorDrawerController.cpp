#include "EditorDrawerController.h"

#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "PageViewController.h"
#include "PointPainting.h"
#include "SubsetSortedData.h"
#include "TemplatePageWindowController.h"
#include "Toolbar.h"
#include "TooBigToolbarController.h"
#include "TooBigView.h"
#include "VKToolbarController.h"

#include <QBoxLayout>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScreen>

#include <algorithm>
#include <cmath>

EditorDrawerController::EditorDrawerController(FeatureContext& context,
                                               VKToolbarController& editorToolbar)
    : m_context(context), m_editorToolbar(editorToolbar)
{
    context.registerAction(QStringLiteral("updateDrawerContents:"),
                           [this](QObject*) { updateDrawerContents(); });
    context.registerAction(QStringLiteral("quitEditingNonPrintableRecords:"),
                           [this](QObject*) { quitEditingNonPrintableRecords(); });
}

EditorDrawerController::~EditorDrawerController() = default;

void EditorDrawerController::setupBottomDrawer(QBoxLayout* column, QMainWindow* window)
{
    m_window = window;
    m_bottomDrawer = new QWidget(window);
    m_bottomDrawer->setObjectName(QStringLiteral("bottomDrawer"));
    auto* layout = new QVBoxLayout(m_bottomDrawer);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_tooBigView = new TooBigView(m_bottomDrawer);
    m_tooBigTextView = new QPlainTextEdit;
    m_tooBigTextView->setObjectName(QStringLiteral("tooBigTextView"));
    m_tooBigView->setTooBigTextView(m_tooBigTextView);
    layout->addWidget(m_tooBigView, 1);
    m_bottomDrawer->hide();
    column->addWidget(m_bottomDrawer);
}

QString EditorDrawerController::addressBlockText() const
{
    DatafileDocument* document = m_context.document();
    return document ? document->addressBlockAtIndex(m_context.engine().indexOfCurrentRecord())
                    : QString();
}

void EditorDrawerController::editNonPrintableRecords(const QList<qint64>& printableRecords,
                                                     TemplatePageWindowController* controller)
{
    const std::shared_ptr<SubsetSortedData> catalog = m_context.catalog();
    if (!catalog || !m_window)
        return;
    m_templatePageWindowController = controller;
    m_savedIdentifiers = catalog->selectedIdentifiers();
    // The positions of the records that fit, each once, taken out from the last down so
    // that the others keep theirs.
    QList<qint64> positions = printableRecords;
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (auto position = positions.crbegin(); position != positions.crend(); ++position) {
        const QString identifier = catalog->selectedIdentifierAtIndex(*position);
        if (!identifier.isNull())
            catalog->omitIdentifier(identifier, false);
    }
    catalog->rebuildSelectedIdentifiers();
    CurrentRecordEngine& engine = m_context.engine();
    engine.updateCurrentRecord();
    engine.autoSaveChanges(false);
    engine.loadRecordAtIndex(0);
    m_context.host().reloadTables();
    m_context.host().reloadStatusBar();
    openBottomDrawer();
    m_window->raise();
    m_window->activateWindow();
    m_context.host().makeMain();
}

void EditorDrawerController::openBottomDrawer()
{
    if (m_editingNonPrintableRecords || !m_window)
        return;
    m_tooBigView->setAddressGraphic(
        m_templatePageWindowController
            ? m_templatePageWindowController->pageViewController().addressGraphic()
            : nullptr);
    m_tooBigView->setAddressBlockText(addressBlockText());

    // The window grows by the panel below its content, within the screen's room.
    m_windowFrame = m_window->geometry();
    const double points = PointPainting::scaleOf(*m_window);
    const int height = int(std::ceil(m_tooBigView->bottomDrawerRect().height() * points));
    m_bottomDrawer->setFixedHeight(height);
    m_bottomDrawer->show();
    QRect grown = m_windowFrame.adjusted(0, 0, 0, height);
    if (const QScreen* screen = m_window->screen()) {
        const QRect room = screen->availableGeometry();
        if (grown.bottom() > room.bottom())
            grown.moveBottom(room.bottom());
        if (grown.top() < room.top()) {
            grown.moveTop(room.top());
            grown.setBottom(std::min(grown.bottom(), room.bottom()));
        }
    }
    m_window->setGeometry(grown);

    Toolbar* toolbar = m_editorToolbar.toolbar();
    m_toolbarVisible = !toolbar || toolbar->isVisible();
    if (toolbar)
        toolbar->setVisible(false);
    if (!m_tooBigToolbar) {
        m_tooBigToolbar = std::make_unique<TooBigToolbarController>();
        m_tooBigToolbar->setWindow(m_window);
        m_tooBigToolbar->setupFixed();
    }
    // A window has one toolbar: the too-large one takes the editor's place.
    if (Toolbar* tooBig = m_tooBigToolbar->toolbar()) {
        tooBig->installInWindow(m_window);
        tooBig->setVisible(true);
    }
    m_editingNonPrintableRecords = true;
}

void EditorDrawerController::closeBottomDrawer()
{
    if (!m_editingNonPrintableRecords)
        return;
    m_bottomDrawer->hide();
    if (Toolbar* toolbar = m_editorToolbar.toolbar()) {
        toolbar->setVisible(m_toolbarVisible);
        toolbar->installInWindow(m_window);
    }
    m_window->setGeometry(m_windowFrame);
    m_editingNonPrintableRecords = false;
}

void EditorDrawerController::updateDrawerContents()
{
    if (!m_editingNonPrintableRecords)
        return;
    CurrentRecordEngine& engine = m_context.engine();
    engine.saveIfDifferentRecord(nullptr);
    engine.loadRecordAtIndex(engine.indexOfCurrentRecord());
    m_tooBigView->setAddressBlockText(addressBlockText());
}

void EditorDrawerController::quitEditingNonPrintableRecords()
{
    const std::shared_ptr<SubsetSortedData> catalog = m_context.catalog();
    if (!m_editingNonPrintableRecords || !catalog)
        return;
    catalog->setSelectedIdentifiers(m_savedIdentifiers);
    closeBottomDrawer();
    for (auto identifier = m_savedIdentifiers.crbegin(); identifier != m_savedIdentifiers.crend();
         ++identifier)
        catalog->includeIdentifier(*identifier, false);
    catalog->rebuildSelectedIdentifiers();
    CurrentRecordEngine& engine = m_context.engine();
    engine.updateCurrentRecord();
    m_context.host().reloadTables();
    m_context.host().reloadStatusBar();
    if (TemplatePageWindowController* page = m_templatePageWindowController) {
        QWidget* pageWindow = page->window();
        pageWindow->raise();
        pageWindow->activateWindow();
        page->testNonPrintableRecords();
    }
}

QSize EditorDrawerController::drawerWillResizeContents(const QSize& size) const
{
    return QSize(size.width(), m_bottomDrawer ? m_bottomDrawer->height() : size.height());
}
