#pragma once

#include "VKPopupHandler.h"

#include <QPointer>
#include <QWidget>

class PopUpButton;
class QHBoxLayout;
class QPushButton;

// A popup row built from one interface: the mode pop-up at the left, the subclass's
// controls, then Add ("+") and Remove ("-").
class VKPopupSingleHandler : public VKPopupHandler {
    Q_OBJECT

public:
    ~VKPopupSingleHandler() override;

    bool initForViewsListView(VKViewsListView* list, const PlistDictionary& settings,
                              const QVariant& userInfo) override;
    virtual void completeInitializationWithSettings(const PlistDictionary&) {}
    // Names the row's interface; a null name builds none.
    virtual QString nibName() const;
    virtual void buildModePopup() {}

    // The pop-up's modes, in menu order, that no row uses.
    QList<qint64> unusedModes() const override;
    qint64 firstUnusedMode() const override;
    void containerViewDidChange() override {}
    void enableRemoveButtons(bool enable) override;
    QWidget* containerView() const override { return m_containerView; }

    PopUpButton* modePopup() const { return m_modePopup; }
    QPushButton* addButton() const { return m_addButton; }
    QPushButton* removeButton() const { return m_removeButton; }

protected:
    // The subclass's controls between the pop-up and the buttons, and the pop-up's items.
    virtual void buildInterface(QHBoxLayout* row) { Q_UNUSED(row); }

private:
    void loadInterface();

    QPointer<QWidget> m_containerView;
    PopUpButton* m_modePopup = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeButton = nullptr;
};
