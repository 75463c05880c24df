#pragma once

#include "NotificationCenter.h"
#include "VKViewsListHandler.h"

#include <QPointer>

#include <set>

class QAction;
class VKViewsListView;

// A row of a views list with a mode pop-up (each item's tag is a mode) and Add and
// Remove buttons; modes may have to be unique among the rows. The row's settings hold
// at least "Mode"; subclasses add their own keys to mutableSettings().
class VKPopupHandler : public VKViewsListHandler {
    Q_OBJECT

public:
    static inline const QString ValueDidChangeNotification =
        QStringLiteral("VKPopupHandlerValueDidChange");

    VKPopupHandler();
    ~VKPopupHandler() override;

    // The list and user info; the mode from the settings' "Mode" when there is one.
    bool initForViewsListView(VKViewsListView* list, const PlistDictionary& settings,
                              const QVariant& userInfo) override;
    PlistDictionary settings() const override { return mutableSettings(); }
    // {"Mode": mode}; subclasses add their keys to what the base returns.
    virtual PlistDictionary mutableSettings() const;

    virtual bool shouldAddAfter() const { return true; }
    virtual bool modesAreUnique() const { return false; }
    // -1: the first mode no row uses yet.
    virtual qint64 defaultMode() const { return 0; }
    static QString defaultChangeNotificationName() { return ValueDidChangeNotification; }

    virtual void selectDefaultItem() {}
    virtual void modeDidChange() {}
    // Posts the change notification with the handler as object.
    void notifyOfChange();

    // Every subclass answers these.
    virtual void containerViewDidChange();
    virtual void enableRemoveButtons(bool enable);
    virtual QList<qint64> unusedModes() const;
    QWidget* containerView() const override;

    // The list's handlers with the mode, this one only when asked; empty when none.
    QList<VKPopupHandler*> handlersForMode(qint64 mode, bool includingSelf) const;
    std::multiset<qint64> usedModesIncludingSelf(bool includingSelf) const;
    virtual qint64 firstUnusedMode() const { return 0; }
    // Whether the pop-up's item may be chosen: with unique modes, not one another row has.
    bool validateMenuItem(const QAction* item) const;

    // The actions of the row's controls.
    void changeMode(qint64 mode);
    void remove();
    void add();
    void hit() { notifyOfChange(); }
    void textDidChange() { notifyOfChange(); }

    QWidget* window() const;
    VKViewsListView* viewsListView() const;
    QVariant userInfo() const { return m_userInfo; }
    void setUserInfo(const QVariant& userInfo) { m_userInfo = userInfo; }
    qint64 mode() const { return m_mode; }
    void setMode(qint64 mode) { m_mode = mode; }
    QString changeNotificationName() const { return m_changeNotificationName; }
    void setChangeNotificationName(const QString& name) { m_changeNotificationName = name; }

private:
    void viewsListViewHandlersDidChange(const Notification& notification);

    QPointer<VKViewsListView> m_viewsListView;
    QVariant m_userInfo;
    qint64 m_mode = 0;
    QString m_changeNotificationName;
};
