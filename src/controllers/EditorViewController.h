#pragma once

#include "PlistValue.h"

#include <QObject>
#include <QRect>
#include <QSizeF>
#include <QString>

#include <optional>

class EditorSplitView;
class EditorWindowController;
class ZoomMarginsSheetController;

// The editor window's two views of its datafile: switching between the Basic View (one
// row per field) and the List View (one row per record) with the cell being edited
// carried over, the window frame and the split height each view keeps in the settings,
// the split's rules, the zoom of the window to the printed width, and the focus commands.
class EditorViewController : public QObject {
    Q_OBJECT

public:
    explicit EditorViewController(EditorWindowController& editor);
    ~EditorViewController() override;

    // The window's split of the tables above the Freeform Text Area.
    void setSplitView(EditorSplitView* splitView);

    // The List column of a field: the shown fields up to it, less one, kept within the
    // columns.
    static qint64 listColumnForField(const PlistArray& fields, qint64 field, qint64 columnCount);
    // The field of a List column: every hidden field before it moves it one on.
    static qint64 fieldForListColumn(const PlistArray& fields, qint64 column);

    // Basic to List or back, the cell being edited and its selection carried over, and
    // the focus kept where it was; a datafile without fields goes to the List View.
    void switchView();

    // The present view's frame ("x y w h sx sy sw sh"); empty when none is stored.
    QString currentViewFrame() const;
    void setCurrentViewFrame(const QString& frame);
    // The window takes the present view's stored frame, kept on its screen; with none,
    // the frame it is first shown in becomes the view's.
    void applyViewFrame();

    // The present view's top box height; a stored 20.0 is a collapsed one (0).
    float currentSplitHeight() const;
    // Nothing in a clone; the user's change, to be saved.
    void setCurrentSplitHeight(float height);
    // Lays the split out as the view stored it (once the window is shown); from then on
    // moving the divider is stored.
    void setupSplitterView();
    // A new datafile with fields: the top box grows by three List rows, taken from the
    // Freeform Text Area.
    void changeSplitViewForNewFBDatafile();

    // The focus into the current field of the next record.
    void activateFieldInNextRecord();

    // Opens the zoom sheet on the window with the view's print margins; the window then
    // takes the printed width.
    void zoomToPrintingSize();
    void zoomToPrintingSizeDidEnd(ZoomMarginsSheetController* sheet);
    // The window's width for the zoom: the paper's less the margins (each at least the
    // printer's border plus one point), 16 points more in the Basic View, at most the
    // imageable width.
    // The margins come back raised to those minimums.
    static double zoomWidth(QSizeF paper, const QRectF& imageableBounds, float& leftMargin,
                            float& rightMargin, bool basicView);

    // What the window tells.
    void windowDidShow();
    void windowDidMove();
    void windowDidResize();
    void windowDidBecomeMain();
    void windowWasFramed();
    void windowWillClose();
    // Once framed, a change of the window's frame is the user's and is stored.
    bool frameSettled() const { return m_frameSettled; }

private:
    bool listMode() const;
    bool canMarkSettingsChanged() const;
    // The frame the window manager gave the window, decorations included, kept as the
    // present view's; changes the settings only when it differs.
    void storeWindowFrame(bool preparing);
    void noteFrameChange();
    void storeSplitHeight(float height, bool usersChange);
    void didResizeSubviews();

    EditorWindowController& m_editor;
    EditorSplitView* m_splitView = nullptr;
    std::optional<QRect> m_restoredFrame;
    bool m_frameSettled = false;
    bool m_cascaded = false; // placed by the cascade, not from a stored frame
    // Split changes are stored only once the split is laid out as stored.
    bool m_splitViewPrefsSet = false;
    bool m_splitSetupPending = false;
};
