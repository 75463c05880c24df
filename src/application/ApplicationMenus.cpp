#include "ApplicationMenus.h"

#include "ActionRouter.h"
#include "Localization.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

std::unique_ptr<QMenu> makeMenu(const QString& title)
{
    return std::make_unique<QMenu>(localized(title));
}

} // namespace

ApplicationMenus::ApplicationMenus(ActionBinding::FirstResponderFunction firstResponder)
    : m_binding(firstResponder ? std::move(firstResponder) : &ActionRouter::firstResponder), m_fileMenu(makeMenu(QStringLiteral("&File"))),
      m_editMenu(makeMenu(QStringLiteral("&Edit"))), m_helpMenu(makeMenu(QStringLiteral("&Help"))),
      m_datafilesMenu(makeMenu(QStringLiteral("Datafiles"))),
      m_templatesMenu(makeMenu(QStringLiteral("Templates"))),
      m_dialMenu(makeMenu(QStringLiteral("&Dial")))
{
    QMenu* file = m_fileMenu.get();
    addItem(file, QStringLiteral("New Datafile…"), QStringLiteral("newDatafile:"),
            QKeySequence::New);
    addItem(file, QStringLiteral("Open…"), QStringLiteral("openDocument:"), QKeySequence::Open);
    file->addMenu(m_datafilesMenu.get());
    file->addMenu(m_templatesMenu.get());
    file->addSeparator();
    addItem(file, QStringLiteral("Close"), QStringLiteral("performClose:"), QKeySequence::Close);
    addItem(file, QStringLiteral("Close All"), QStringLiteral("closeAllOpenDatafiles:"), {});
    addItem(file, QStringLiteral("Save"), QStringLiteral("saveDocument:"), QKeySequence::Save);
    addItem(file, QStringLiteral("Save As…"), QStringLiteral("saveDocumentAs:"),
            QKeySequence::SaveAs);
    addItem(file, QStringLiteral("Revert to Saved"), QStringLiteral("revertDocumentToSaved:"), {});
    file->addSeparator();
    addItem(file, QStringLiteral("Quit"), QStringLiteral("terminate:"), QKeySequence::Quit);

    QMenu* edit = m_editMenu.get();
    addItem(edit, QStringLiteral("Undo"), QStringLiteral("undo:"), QKeySequence::Undo);
    addItem(edit, QStringLiteral("Redo"), QStringLiteral("redo:"), QKeySequence::Redo);
    edit->addSeparator();
    addItem(edit, QStringLiteral("Cut"), QStringLiteral("cut:"), QKeySequence::Cut);
    addItem(edit, QStringLiteral("Copy"), QStringLiteral("copy:"), QKeySequence::Copy);
    addItem(edit, QStringLiteral("Paste"), QStringLiteral("paste:"), QKeySequence::Paste);
    addItem(edit, QStringLiteral("Select All"), QStringLiteral("selectAll:"),
            QKeySequence::SelectAll);
    edit->addSeparator();
    addItem(edit, QStringLiteral("Find and Replace…"), QStringLiteral("startFindAndReplace:"), {});
    addItem(edit, QStringLiteral("Multi-File Find…"), QStringLiteral("startMultiFileFind:"), {});
    edit->addSeparator();
    addItem(edit, QStringLiteral("Preferences…"), QStringLiteral("startPreferences:"),
            QKeySequence::Preferences);

    QMenu* help = m_helpMenu.get();
    addItem(help, QStringLiteral("Norva Help"), QStringLiteral("helpGuide:"),
            QKeySequence::HelpContents);
    addItem(help, QStringLiteral("Release Notes"), QStringLiteral("helpReleaseNotes:"), {});
    addItem(help, QStringLiteral("Norva Web Site"), QStringLiteral("helpAppSite:"), {});
    addItem(help, QStringLiteral("Support"), QStringLiteral("helpSupport:"), {});
    addItem(help, QStringLiteral("Send Feedback"), QStringLiteral("helpFeedback:"), {});
    addItem(help, QStringLiteral("Email Support"), QStringLiteral("helpEmail:"), {});
    addItem(help, QStringLiteral("Order Norva"), QStringLiteral("helpOrders:"), {});

    for (QMenu* menu : {file, edit, help, m_dialMenu.get()})
        m_binding.validateWhenShown(menu);
    // A menu that its feature has not filled yet is shown, disabled.
    QObject::connect(file, &QMenu::aboutToShow, file, [this] {
        m_datafilesMenu->menuAction()->setEnabled(!m_datafilesMenu->isEmpty());
        m_templatesMenu->menuAction()->setEnabled(!m_templatesMenu->isEmpty());
    });
}

ApplicationMenus::~ApplicationMenus() = default;

QAction* ApplicationMenus::addItem(QMenu* menu, const QString& title, const QString& selector,
                                   const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(localized(title));
    action->setShortcut(shortcut);
    m_binding.bind(action, selector);
    return action;
}

void ApplicationMenus::installInto(QMenuBar* menuBar) const
{
    menuBar->addMenu(m_fileMenu.get());
    menuBar->addMenu(m_editMenu.get());
    QAction* dial = menuBar->addMenu(m_dialMenu.get());
    dial->setVisible(!m_dialMenu->isEmpty());
    menuBar->addMenu(m_helpMenu.get());
}
