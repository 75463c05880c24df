#include "EditorViewController.h"

#include "DatafileDocument.h"
#include "DatafileSettingsData.h"
#include "EditorSplitView.h"
#include "EditorTableController.h"
#include "EditorToolbarController.h"
#include "EditorWindowController.h"
#include "FieldCellEditor.h"
#include "FreeformTextView.h"
#include "ListViewModel.h"
#include "Presenter.h"
#include "PrintPageGeometry.h"
#include "RXTableView.h"
#include "SplitViewGeometry.h"
#include "WindowFrameString.h"
#include "WindowPlacement.h"
#include "ZoomMarginsSheetController.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

int primaryScreenHeight()
{
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? primary->geometry().height() : 0;
}

bool fieldShows(const PlistValue& value)
{
    const PlistDictionary* definition = value.asDictionary();
    const PlistValue* show = definition ? definition->find(DatafileSettingsData::FieldShowKey) : nullptr;
    return !show || show->boolValue();
}

} // namespace

EditorViewController::EditorViewController(EditorWindowController& editor) : m_editor(editor)
{
    // The command does nothing while the datafile syncs; the views' own switches still run.
    m_editor.registerAction(QStringLiteral("switchView:"), [this](QObject*) {
        if (!m_editor.nowSyncing())
            switchView();
    });
    m_editor.registerAction(QStringLiteral("zoomToPrintingSize:"),
                            [this](QObject*) { zoomToPrintingSize(); });
    m_editor.registerAction(QStringLiteral("activateFieldInNextRecord:"),
                            [this](QObject*) { activateFieldInNextRecord(); });
    m_editor.registerAction(QStringLiteral("updateLineWrapping:"), [this](QObject*) {
        if (EditorTableController* tables = m_editor.tableController())
            tables->updateLineWrapping();
    });
}

EditorViewController::~EditorViewController() = default;

void EditorViewController::setSplitView(EditorSplitView* splitView)
{
    m_splitView = splitView;
    connect(splitView, &EditorSplitView::didResizeSubviews, this,
            &EditorViewController::didResizeSubviews);
}

bool EditorViewController::listMode() const
{
    return m_editor.settings()->mode() == EditorTableController::ListMode;
}

bool EditorViewController::canMarkSettingsChanged() const
{
    return !m_editor.engine().isClone() && !DatafileSettingsData::noUpdateForViewChanges();
}

// Switching

qint64 EditorViewController::listColumnForField(const PlistArray& fields, qint64 field,
                                                qint64 columnCount)
{
    qint64 shown = 0;
    for (qint64 index = 0; index <= field && index < fields.size(); ++index)
        shown += fieldShows(fields.at(index)) ? 1 : 0;
    return std::clamp<qint64>(shown - 1, 0, std::max<qint64>(columnCount - 1, 0));
}

qint64 EditorViewController::fieldForListColumn(const PlistArray& fields, qint64 column)
{
    qint64 field = column;
    for (qint64 index = 0; index <= field && index < fields.size(); ++index)
        field += fieldShows(fields.at(index)) ? 0 : 1;
    return std::clamp<qint64>(field, 0, std::max<qint64>(fields.size() - 1, 0));
}

void EditorViewController::switchView()
{
    EditorTableController* tables = m_editor.tableController();
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    FreeformTextView* text = m_editor.freeformTextView();
    const bool textWasActive = text && text->hasFocus();
    const bool cellWasActive = m_editor.tableViewActive();
    const auto changeMode = [&](const QString& mode) {
        settings->setMode(mode);
        if (canMarkSettingsChanged())
            settings->setDatafileSettingsDidChange(true);
        tables->changeMode(mode);
        m_editor.toolbarController().setToolbarViewButton(mode);
        // The view's own frame and split.
        m_splitViewPrefsSet = false;
        if (!currentViewFrame().isEmpty())
            applyViewFrame();
        setupSplitterView();
    };
    const PlistArray fields = settings->fields();
    if (fields.isEmpty()) {
        changeMode(EditorTableController::ListMode);
        return;
    }

    std::optional<QPair<int, int>> range;
    if (const FieldCellEditor* cell = tables->currentTableView()->cellEditor())
        range = cell->selectedRange();
    tables->endEditing();
    m_editor.engine().updateCurrentRecord();

    const bool toList = !listMode();
    const qint64 current = qint64(tables->currentField());
    qint64 field = 0;
    qint64 row = 0;
    if (toList) {
        field = listColumnForField(fields, current, tables->listViewModel()->columnCount());
        row = m_editor.engine().indexOfCurrentRecord();
    } else {
        field = fieldForListColumn(fields, current);
        row = field;
    }
    tables->setCurrentField(quint64(field));
    changeMode(toList ? EditorTableController::ListMode : EditorTableController::BasicMode);

    RXTableView* table = tables->currentTableView();
    table->clearSelection();
    table->selectRow(int(row));
    table->scrollTo(table->model()->index(int(row), 0));
    if (textWasActive) {
        m_editor.activateFreeformText();
    } else if (cellWasActive) {
        m_editor.engine().setLastHitField(field);
        tables->selectRangeInField(table, field, row, range ? range->first : 0,
                                   range ? range->second : 0, false);
    } else {
        m_editor.activateFindBox();
    }
}

// Frames

QString EditorViewController::currentViewFrame() const
{
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    return listMode() ? settings->listViewFrame() : settings->basicViewFrame();
}

void EditorViewController::setCurrentViewFrame(const QString& frame)
{
    if (m_editor.engine().isClone())
        return;
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    if (listMode()) {
        if (settings->listViewFrame() != frame)
            settings->setListViewFrame(frame, m_editor.preparing());
    } else if (settings->basicViewFrame() != frame) {
        settings->setBasicViewFrame(frame, m_editor.preparing());
    }
}

void EditorViewController::applyViewFrame()
{
    // The stored frames are the first window's: a clone keeps its own, beside it.
    if (m_editor.engine().isClone())
        return;
    QWidget* window = m_editor.window();
    const std::optional<QRect> frame =
        WindowFrameString::toGeometry(currentViewFrame(), primaryScreenHeight());
    if (!frame) {
        // Nothing usable stored: the window cascades from the last one, and the frame it
        // is first shown in becomes the view's.
        m_restoredFrame.reset();
        if (!m_frameSettled) {
            WindowPlacement::cascade(window);
            m_cascaded = true;
        }
        return;
    }
    // The stored frame includes the window manager's decorations: the window goes where
    // the frame's corner was, and its size leaves them room once they are known.
    const QRect kept = WindowPlacement::fitted(*frame, WindowPlacement::availableGeometryAt(frame->center()));
    window->move(kept.topLeft());
    if (m_frameSettled) {
        window->resize(kept.size() - (window->frameGeometry().size() - window->size()));
        return;
    }
    m_restoredFrame = kept;
    window->resize(kept.size());
}

void EditorViewController::storeWindowFrame(bool preparing)
{
    QWidget* window = m_editor.window();
    if (!m_editor.document() || m_editor.engine().isClone())
        return;
    const QScreen* screen = window->screen();
    const QString frame = WindowFrameString::fromGeometry(
        window->frameGeometry(), screen ? screen->geometry() : QRect(), primaryScreenHeight());
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    if (listMode()) {
        if (settings->listViewFrame() != frame)
            settings->setListViewFrame(frame, preparing);
    } else if (settings->basicViewFrame() != frame) {
        settings->setBasicViewFrame(frame, preparing);
    }
}

void EditorViewController::noteFrameChange()
{
    QWidget* window = m_editor.window();
    if (!window->isVisible())
        return;
    if (m_frameSettled) {
        storeWindowFrame(false);
        return;
    }
    // The decorations are known once the window manager has framed the window.
    if (window->frameGeometry().size() != window->size())
        windowWasFramed();
}

void EditorViewController::windowWasFramed()
{
    if (m_frameSettled)
        return;
    QWidget* window = m_editor.window();
    if (m_restoredFrame) {
        const QSize decorations = window->frameGeometry().size() - window->size();
        const QSize client = m_restoredFrame->size() - decorations;
        if (client != window->size() && client.isValid())
            window->resize(client);
        m_restoredFrame.reset();
    }
    // Its decorations may take a cascaded window past the screen's edge.
    if (std::exchange(m_cascaded, false))
        WindowPlacement::keepOnScreen(window);
    // Where the window first stands is no change of the user's.
    storeWindowFrame(true);
    m_frameSettled = true;
}

void EditorViewController::windowDidShow()
{
    if (m_splitSetupPending)
        setupSplitterView();
}

void EditorViewController::windowDidMove()
{
    noteFrameChange();
}

void EditorViewController::windowDidResize()
{
    if (m_editor.engine().isClone()) {
        // A clone shows what the first window has, at any size.
        if (m_frameSettled)
            m_editor.followFirstWindow();
        return;
    }
    noteFrameChange();
    if (!listMode() && m_editor.tableController())
        m_editor.tableController()->updateLineWrapping();
}

void EditorViewController::windowDidBecomeMain()
{
    noteFrameChange();
}

void EditorViewController::windowWillClose()
{
    if (m_frameSettled && m_editor.window()->isVisible())
        storeWindowFrame(false);
}

// The split

float EditorViewController::currentSplitHeight() const
{
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    return SplitViewGeometry::readStoredHeight(listMode() ? settings->listSplitHeight()
                                                          : settings->basicSplitHeight());
}

void EditorViewController::setCurrentSplitHeight(float height)
{
    storeSplitHeight(height, true);
}

void EditorViewController::storeSplitHeight(float height, bool usersChange)
{
    if (m_editor.engine().isClone())
        return;
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const float stored = listMode() ? settings->listSplitHeight() : settings->basicSplitHeight();
    if (stored == height)
        return;
    if (listMode())
        settings->setListSplitHeight(height);
    else
        settings->setBasicSplitHeight(height);
    if (usersChange && !DatafileSettingsData::noUpdateForViewChanges())
        settings->setDatafileSettingsDidChange(true);
}

void EditorViewController::setupSplitterView()
{
    m_splitViewPrefsSet = false;
    // The split has its height once the window is shown.
    m_splitSetupPending = !m_splitView || !m_editor.window()->isVisible();
    if (m_splitSetupPending)
        return;
    const SplitViewGeometry::Setup setup =
        SplitViewGeometry::setup(m_splitView->height(), m_splitView->handleWidth(),
                                 currentSplitHeight(), m_splitView->topHeight());
    // What the view opens with is no change of the user's.
    if (setup.storeBack)
        storeSplitHeight(*setup.storeBack, false);
    if (setup.heights)
        m_splitView->setHeights(int(setup.heights->top), int(setup.heights->bottom));
    m_splitViewPrefsSet = true;
}

void EditorViewController::didResizeSubviews()
{
    if (!m_splitViewPrefsSet)
        return;
    setCurrentSplitHeight(SplitViewGeometry::storedHeightFor(m_splitView->topHeight()));
    noteFrameChange();
}

void EditorViewController::changeSplitViewForNewFBDatafile()
{
    EditorTableController* tables = m_editor.tableController();
    if (!m_splitView || !tables)
        return;
    const int grow = 3 * tables->listTableView()->verticalHeader()->defaultSectionSize();
    const QList<int> sizes = m_splitView->sizes();
    const int taken = std::min(grow, sizes.value(1));
    m_splitView->setHeights(sizes.value(0) + taken, sizes.value(1) - taken);
    didResizeSubviews();
}

// Focus

void EditorViewController::activateFieldInNextRecord()
{
    EditorTableController* tables = m_editor.tableController();
    if (!tables)
        return;
    RXTableView* table = tables->currentTableView();
    table->setFocus();
    const quint64 field = tables->currentField();
    m_editor.goToNextRecord();
    tables->tableViewHit();
    tables->setCurrentField(field);
    tables->selectRangeInField(table, qint64(field), m_editor.engine().indexOfCurrentRecord(), 0, 0,
                               false);
}

// Zoom to printing size

double EditorViewController::zoomWidth(QSizeF paper, const QRectF& imageableBounds,
                                       float& leftMargin, float& rightMargin, bool basicView)
{
    const PrintMargins minimum = PrintPageGeometry::minimumMargins(paper, imageableBounds, false);
    leftMargin = std::max(minimum.left, leftMargin);
    rightMargin = std::max(minimum.right, rightMargin);
    const double width = paper.width() - rightMargin - leftMargin + (basicView ? 16.0 : 0.0);
    return std::min(width, imageableBounds.width());
}

void EditorViewController::zoomToPrintingSize()
{
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const bool list = !settings->fields().isEmpty() && listMode();
    auto* sheet = VKSheetController::controller<ZoomMarginsSheetController>();
    const QPointer<EditorViewController> self(this);
    sheet->beginSheetWithLeftMargin(
        list ? settings->listViewPrintLeftMargin() : settings->basicViewPrintLeftMargin(),
        list ? settings->listViewPrintRightMargin() : settings->basicViewPrintRightMargin(),
        list ? settings->listViewPrintUseInches() : settings->basicViewPrintUseInches(), settings,
        m_editor.window(), [self, sheet](QWidget*, int) {
            // Whatever the sheet ended with, the window takes the width.
            if (self)
                self->zoomToPrintingSizeDidEnd(sheet);
        });
}

void EditorViewController::zoomToPrintingSizeDidEnd(ZoomMarginsSheetController* sheet)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const bool list = !settings->fields().isEmpty() && listMode();
    float left = sheet->leftMargin();
    float right = sheet->rightMargin();
    if (!m_editor.engine().isClone()) {
        if (list) {
            settings->setListViewPrintLeftMargin(left);
            settings->setListViewPrintRightMargin(right);
            settings->setListViewPrintUseInches(sheet->useInches());
        } else {
            settings->setBasicViewPrintLeftMargin(left);
            settings->setBasicViewPrintRightMargin(right);
            settings->setBasicViewPrintUseInches(sheet->useInches());
        }
        settings->setDatafileSettingsDidChange(true);
    }
    const std::optional<PrintInfo> stored =
        list ? settings->listViewPrintInfo() : settings->basicViewPrintInfo();
    const PrintInfo printInfo = stored ? *stored : m_editor.document()->printInfo();
    const QRectF bounds = Presenter::shared().imageablePageBounds(printInfo);
    const double width = zoomWidth(printInfo.paperSize(), bounds, left, right, !list);

    QWidget* window = m_editor.window();
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect visible = screen->availableGeometry();
    const QSize decorations = window->frameGeometry().size() - window->size();
    // Margins wider than the paper leave the window as narrow as it can be, and a paper
    // wider than the screen (any size can be stored) leaves it as wide as the screen.
    const int frameWidth =
        std::isfinite(width) ? int(std::clamp(width, 0.0, double(visible.width()))) : 0;
    const int clientWidth =
        std::max(window->minimumSizeHint().width(), frameWidth - decorations.width());
    window->move(visible.topLeft());
    window->resize(std::max(clientWidth, window->minimumWidth()),
                   visible.height() - decorations.height());
}
