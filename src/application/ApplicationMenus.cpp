#include "ApplicationMenus.h"

#include "ActionRouter.h"
#include "KeyEquivalents.h"
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
            QStringLiteral("n"));
    addItem(file, QStringLiteral("Open…"), QStringLiteral("openDocument:"), QStringLiteral("o"));
    file->addMenu(m_datafilesMenu.get());
    file->addMenu(m_templatesMenu.get());
    file->addSeparator();
    addItem(file, QStringLiteral("Close"), QStringLiteral("performClose:"), QStringLiteral("w"));
    addItem(file, QStringLiteral("Close All"), QStringLiteral("closeAllOpenDatafiles:"), QString());
    addItem(file, QStringLiteral("Save"), QStringLiteral("saveDocument:"), QStringLiteral("s"));
    addItem(file, QStringLiteral("Save As…"), QStringLiteral("saveDocumentAs:"),
            QStringLiteral("S"));
    addItem(file, QStringLiteral("Revert to Saved"), QStringLiteral("revertDocumentToSaved:"), QString());
    file->addSeparator();
    addItem(file, QStringLiteral("Quit"), QStringLiteral("terminate:"), QStringLiteral("q"));

    QMenu* edit = m_editMenu.get();
    addItem(edit, QStringLiteral("Undo"), QStringLiteral("undo:"), QStringLiteral("z"));
    addItem(edit, QStringLiteral("Redo"), QStringLiteral("redo:"), QStringLiteral("Z"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Cut"), QStringLiteral("cut:"), QStringLiteral("x"));
    addItem(edit, QStringLiteral("Copy"), QStringLiteral("copy:"), QStringLiteral("c"));
    addItem(edit, QStringLiteral("Paste"), QStringLiteral("paste:"), QStringLiteral("v"));
    addItem(edit, QStringLiteral("Select All"), QStringLiteral("selectAll:"),
            QStringLiteral("a"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Find and Replace…"), QStringLiteral("startFindAndReplace:"), QString());
    addItem(edit, QStringLiteral("Multi-File Find…"), QStringLiteral("startMultiFileFind:"), QString());
    edit->addSeparator();
    addItem(edit, QStringLiteral("Preferences…"), QStringLiteral("startPreferences:"),
            QStringLiteral(","));

    QMenu* help = m_helpMenu.get();
    addItem(help, QStringLiteral("Norva Help"), QStringLiteral("helpGuide:"),
            QStringLiteral("?"));
    addItem(help, QStringLiteral("Release Notes"), QStringLiteral("helpReleaseNotes:"), QString());
    addItem(help, QStringLiteral("Norva Web Site"), QStringLiteral("helpAppSite:"), QString());
    addItem(help, QStringLiteral("Support"), QStringLiteral("helpSupport:"), QString());
    addItem(help, QStringLiteral("Send Feedback"), QStringLiteral("helpFeedback:"), QString());
    addItem(help, QStringLiteral("Email Support"), QStringLiteral("helpEmail:"), QString());
    addItem(help, QStringLiteral("Order Norva"), QStringLiteral("helpOrders:"), QString());

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
                                   const QString& keyEquivalent)
{
    QAction* action = menu->addAction(localized(title));
    action->setShortcut(KeyEquivalents::keySequence(keyEquivalent));
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
