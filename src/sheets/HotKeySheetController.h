#pragma once

#include "VKSheetController.h"

#include <functional>

class VKViewsListView;

// Datafile Hot Keys: one row per datafile with a key of its own, stored as
// "HotKeySettings" on OK; Cancel keeps what was stored. Application-modal, as tall as
// its rows; only its width can be changed.
class HotKeySheetController : public VKSheetController {
    Q_OBJECT

public:
    // Shows the stored rows (one with key 1 when there are none); didStore runs after OK
    // stored them.
    void show(std::function<void()> didStore = {});
    // The window is held to the height of its rows.
    void adjustWindowMinMaxHeight();

    void okay(QObject* sender = nullptr) override;
    void help(QObject* sender = nullptr) override;

    VKViewsListView* datafileView() const { return m_datafileView; }

protected:
    QString nibName() const override { return QStringLiteral("HotKeySheet"); }
    void buildInterface(QDialog* window) override;

private:
    VKViewsListView* m_datafileView = nullptr;
    std::function<void()> m_didStore;
};
