#pragma once

#include "Responder.h"

#include <QDialog>
#include <QLabel>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <typeinfo>

class QWidget;

// The base of every sheet and small dialog. Controllers are pooled per class: one is
// made the first time its class is asked for and handed out again whenever its window
// is not on screen, with its controls as the user left them. Each runs one life cycle:
// prepare, maintainButtons at every change, validate on OK, and the did-end callback
// with the window and the return code (1 OK, 0 Cancel) once the window is hidden.
//
// Writing a sheet:
//
//     class RenameSheetController : public VKSheetController {
//     public:
//         QString name() const { return m_nameField->text(); }
//     protected:
//         QString nibName() const override { return QStringLiteral("RenameSheet"); }
//         void buildInterface(QDialog* window) override {
//             VKSheetController::buildInterface(window);   // icon, prompt, Cancel, OK
//             m_nameField = new QLineEdit(contentArea());
//             contentLayout()->addWidget(m_nameField);
//             connectControl(m_nameField);                 // each keystroke: maintainButtons
//         }
//         bool maintainButtons() override {
//             okayButton()->setEnabled(!m_nameField->text().isEmpty());
//             return true;
//         }
//     private:
//         QLineEdit* m_nameField = nullptr;
//     };
//
//     auto* sheet = VKSheetController::controller<RenameSheetController>();
//     sheet->beginSheetModalForWindow(window, [sheet](QWidget*, int returnCode) {
//         if (returnCode == 1)
//             rename(sheet->name());
//     });
//
// Controllers live until the application quits; never delete one.
class VKSheetController : public QObject, public Responder {
    Q_OBJECT

public:
    // Called with the controller's window and the return code, after the window is
    // hidden, while the controller still holds its state. Stands for the delegate, its
    // did-end selector and the context, which the callback captures.
    using DidEndCallback = std::function<void(QWidget* window, int returnCode)>;

    ~VKSheetController() override;

    // A ready controller of exactly that class: the first one made whose window is
    // hidden (recycled), or else a new one.
    template <typename Controller> static Controller* controller();
    // The controller of that class already on screen for an equal object, brought
    // forward and left as it is; otherwise a controller begun as a window for the object.
    template <typename Controller>
    static Controller* controllerForObject(const QVariant& object, DidEndCallback didEnd = {});
    // The controller of exactly that class on screen for an equal object (any object when
    // the object is null), the most recently activated first; nullptr when there is none.
    template <typename Controller>
    static Controller* findControllerForObject(const QVariant& object);
    template <typename Controller> static Controller* topmostController();

    // The window, built on first use.
    QDialog* window();
    void showWindow();

    // Returns the controller to its pristine state before each reuse; an override calls
    // the base.
    virtual void recycle();

    // Shows the window as a window-modal sheet on the parent window (application-modal
    // without one).
    VKSheetController* beginSheetModalForWindow(QWidget* parentWindow, DidEndCallback didEnd);
    // Shows the window on its own, editing the object (an existing one when not null).
    VKSheetController* beginWindowForObject(const QVariant& object, DidEndCallback didEnd);

    // Hooks. The results of prepare and maintainButtons are not used.
    virtual bool prepare() { return true; }
    virtual bool maintainButtons() { return true; }
    // Whether OK may end the sheet; one that refuses has told the user why.
    virtual bool validate() { return true; }

    // Commits any editing, hides the window and calls back with the code. Nothing when
    // the window is not on screen, so a second click cannot call back twice.
    void endWithReturnCode(int returnCode);
    // Actions "okay:", "cancel:", "help:", "hit:" and "controlTextDidChange:".
    virtual void okay(QObject* sender = nullptr);
    virtual void cancel(QObject* sender = nullptr);
    // Opens the guide's index page; sheets with a page of their own override it.
    virtual void help(QObject* sender = nullptr);
    QString helpURL() const;
    void hit(QObject* sender = nullptr);
    void controlTextDidChange(QObject* sender = nullptr);

    // The outlets' values. Setters ignore a null value, keeping the interface's.
    QPixmap icon() const;
    void setIcon(const QPixmap& icon);
    QString prompt() const;
    void setPrompt(const QString& prompt);
    QString okayTitle() const;
    void setOkayTitle(const QString& title);
    QString cancelTitle() const;
    void setCancelTitle(const QString& title);
    QString windowTitle();
    void setWindowTitle(const QString& title);
    // The "alter" texts when altering an existing object, else the "add" ones; an icon
    // name that is null leaves the icon as it is.
    void setAddWindowTitle(const QString& addWindowTitle, const QString& addPrompt,
                           const QString& addOkayTitle, const QString& addIconNamed,
                           const QString& alterWindowTitle, const QString& alterPrompt,
                           const QString& alterOkayTitle, const QString& alterIconNamed);

    // Outlets; nullptr when the interface has none.
    QLabel* iconImageView() const { return m_iconImageView; }
    QLabel* promptStat() const { return m_promptStat; }
    QPushButton* okayButton() const { return m_okayButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    QVariant object() const { return m_object; }
    void setObject(const QVariant& object) { m_object = object; }
    QVariantMap& userInfo() { return m_userInfo; }
    void setUserInfo(const QVariantMap& userInfo) { m_userInfo = userInfo; }
    bool isAltering() const { return m_altering; }
    void setAltering(bool altering) { m_altering = altering; }
    bool isModal() const { return m_modal; }
    const DidEndCallback& didEnd() const { return m_didEnd; }
    void setDidEnd(DidEndCallback didEnd) { m_didEnd = std::move(didEnd); }

protected:
    VKSheetController();

    // The name of the class's interface; it also names the window's saved frame. Every
    // class that is asked for must override it.
    virtual QString nibName() const;
    // Builds the window's controls and names the outlets. The base lays out the standard
    // sheet: the icon beside the prompt, the content area below them, Cancel and OK (the
    // default button) at the bottom right. An override builds its own window or calls
    // the base and fills contentArea().
    virtual void buildInterface(QDialog* window);
    // Once per controller, after the interface is built.
    virtual void setup() {}

    // The standard sheet's area for a subclass's controls, with a vertical layout.
    QWidget* contentArea() const { return m_contentArea; }
    QVBoxLayout* contentLayout() const;
    void setIconImageView(QLabel* view) { m_iconImageView = view; }
    void setPromptStat(QLabel* label) { m_promptStat = label; }
    void setOkayButton(QPushButton* button);
    void setCancelButton(QPushButton* button);
    // Clicking the button sends the named action to the controller.
    void connectButton(QPushButton* button, const QString& selector);
    // The row of a sheet built by hand: "?" (help:) at the left, Cancel and OK (the
    // default) at the right, each already the controller's.
    QHBoxLayout* makeButtonRow();
    // Every change of the control's value re-evaluates the buttons.
    void connectControl(QWidget* control);

private Q_SLOTS:
    void controlChanged();

private:
    using Factory = std::function<std::unique_ptr<VKSheetController>()>;

    static VKSheetController* pooledController(const std::type_info& type, const Factory& factory);
    static VKSheetController* findPooledController(const std::type_info& type,
                                                   const QVariant& object);
    void loadWindow();
    void orderFront();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QString m_identifier;
    QVariant m_object;
    QVariantMap m_userInfo;
    bool m_altering = false;
    bool m_modal = true;
    DidEndCallback m_didEnd;

    QPointer<QDialog> m_window;
    QPointer<QLabel> m_iconImageView;
    QPointer<QLabel> m_promptStat;
    QPointer<QPushButton> m_okayButton;
    QPointer<QPushButton> m_cancelButton;
    QPointer<QWidget> m_contentArea;
    // When the window was last brought to the front, for the front-to-back order.
    quint64 m_frontOrder = 0;
};

template <typename Controller> Controller* VKSheetController::controller()
{
    static_assert(std::is_base_of_v<VKSheetController, Controller>);
    return static_cast<Controller*>(pooledController(
        typeid(Controller), [] { return std::unique_ptr<VKSheetController>(new Controller); }));
}

template <typename Controller>
Controller* VKSheetController::controllerForObject(const QVariant& object, DidEndCallback didEnd)
{
    if (object.isValid()) {
        if (Controller* shown = findControllerForObject<Controller>(object)) {
            shown->showWindow();
            return shown;
        }
    }
    Controller* made = controller<Controller>();
    made->beginWindowForObject(object, std::move(didEnd));
    return made;
}

template <typename Controller>
Controller* VKSheetController::findControllerForObject(const QVariant& object)
{
    static_assert(std::is_base_of_v<VKSheetController, Controller>);
    return static_cast<Controller*>(findPooledController(typeid(Controller), object));
}

template <typename Controller> Controller* VKSheetController::topmostController()
{
    return findControllerForObject<Controller>(QVariant());
}
