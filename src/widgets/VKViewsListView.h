#pragma once

#include "PlistValue.h"
#include "VKViewsListHandler.h"

#include <QPointer>
#include <QScrollArea>
#include <QSplitter>
#include <QVariant>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QVBoxLayout;

// A vertical list of rows, one handler per row owning the row's view. Rows are added,
// inserted, replaced and removed at run time, and the list makes its surroundings fit
// its rows: the window's height, a split view's panes, or a scroll view's document.
// After every change (or at the end of a batch of them) the tab order runs through the
// rows and "VKViewsListViewHandlersDidChange" is posted with the list as object.
//
// The list owns its handlers: one handed to it that it refuses, and every one it
// removes, is deleted once control returns to the event loop, so a handler may remove
// itself from its own button.
class VKViewsListView : public QWidget {
    Q_OBJECT

public:
    static inline const QString HandlersDidChangeNotification =
        QStringLiteral("VKViewsListViewHandlersDidChange");

    using HandlerClass = VKViewsListHandlerClass;
    template <typename Handler> static HandlerClass handlerClass()
    {
        return [] { return new Handler; };
    }

    explicit VKViewsListView(QWidget* parent = nullptr);
    ~VKViewsListView() override;

    // In one batch: every row goes, then one row per settings dictionary (the default
    // settings alone when there are none and they are given).
    void addHandlersWithClass(const HandlerClass& handlerClass, const PlistArray& settingsArray,
                              const std::optional<PlistDictionary>& defaultSettings,
                              const QVariant& userInfo);
    // Every row's settings in row order: what a caller stores.
    PlistArray handlerSettings() const;

    void addHandler(std::unique_ptr<VKViewsListHandler> handler);
    void insertHandlerBeforeHandler(std::unique_ptr<VKViewsListHandler> handler,
                                    VKViewsListHandler* reference);
    void insertHandlerAfterHandler(std::unique_ptr<VKViewsListHandler> handler,
                                   VKViewsListHandler* reference);
    void replaceHandler(VKViewsListHandler* oldHandler,
                        std::unique_ptr<VKViewsListHandler> newHandler);
    void removeHandler(VKViewsListHandler* handler);
    void removeAllHandlers();
    // Swaps a row's view for another (a handler whose view changed).
    void replaceView(QWidget* oldView, QWidget* newView);

    int count() const { return int(m_viewHandlersArray.size()); }
    VKViewsListHandler* firstHandler() const;
    VKViewsListHandler* lastHandler() const;
    // In row order, top to bottom.
    const std::vector<VKViewsListHandler*>& handlers() const { return m_viewHandlersArray; }

    // Changes inside a batch tell nobody until the outermost batch ends.
    qint64 beginBatch();
    qint64 endBatch();
    qint64 batchCount() const { return m_batchCount; }

    // The surroundings that follow the rows: a scroll view if set, else a split view if
    // set, else the window.
    void setResizesViaSplitView(QSplitter* splitView, bool isWithinTopSubview);
    QSplitter* splitView() const { return m_splitView; }
    bool isWithinTopSubview() const { return m_isWithinTopSubview; }
    // The list becomes the scroll view's document.
    void setResizesViaScrollView(QScrollArea* scrollView);
    QScrollArea* scrollView() const { return m_scrollView; }
    // What the tab order leads to after the last row.
    QWidget* oldNextKeyView() const { return m_oldNextKeyView; }
    void setOldNextKeyView(QWidget* view) { m_oldNextKeyView = view; }
    // Rows stack from the top down; otherwise from the bottom up.
    bool willAddToBottom() const { return m_addToBottom; }
    void setAddToBottom(bool addToBottom);
    bool drawsBackground() const { return m_drawsBackground; }
    void setDrawsBackground(bool draws);
    bool drawsBorder() const { return m_drawsBorder; }
    void setDrawsBorder(bool draws);
    // In the scroll form, the rows' own heights added up after the last change.
    float minimumHeight() const { return m_minimumHeight; }
    void setMinimumHeight(float height) { m_minimumHeight = height; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changeHandler(VKViewsListHandler* oldHandler,
                       std::unique_ptr<VKViewsListHandler> newHandler,
                       VKViewsListHandler* reference, bool after);
    bool isAcceptable(const VKViewsListHandler* handler) const;
    void discard(VKViewsListHandler* handler);
    void didChange();
    void resizeSurroundings();
    void resizeWindow();
    void resizeSplitView();
    void restackScrollView();
    void rebuildKeyViewLoop();
    int rowsHeight() const;

    std::vector<VKViewsListHandler*> m_viewHandlersArray;
    QVBoxLayout* m_rows;
    QPointer<QSplitter> m_splitView;
    QPointer<QScrollArea> m_scrollView;
    QPointer<QWidget> m_oldNextKeyView;
    qint64 m_batchCount = 0;
    float m_minimumHeight = 0;
    bool m_isWithinTopSubview = false;
    bool m_addToBottom = true;
    bool m_drawsBackground = true;
    bool m_drawsBorder = true;
};
