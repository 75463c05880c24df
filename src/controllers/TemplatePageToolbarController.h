#pragma once

#include "ActionBinding.h"
#include "VKToolbarController.h"

#include <QPointer>
#include <QToolButton>

#include <memory>

class QMenu;
class QWidget;

// The toolbar of a template's page window, customizable and saved as "TemplateEditor":
// the Select Datafile pop-up, the page and design sheets, the address test, the label
// copies, printing and page turning. Its items send their actions to the window.
class TemplatePageToolbarController : public VKToolbarController {
    Q_OBJECT

public:
    // The menu's fixed items: the face, "None" and a separator; the datafiles follow.
    static constexpr int FixedDatafileItemCount = 3;

    TemplatePageToolbarController();
    ~TemplatePageToolbarController() override;

    QString identifier() const override { return QStringLiteral("TemplateEditor"); }
    void addToolbarItems() override;
    QStringList toolbarDefaultItemIdentifiers(Toolbar* toolbar) override;

    // The datafiles folder's datafiles afresh after the fixed items.
    void updateDatafileMenu();

    QMenu* datafileMenu() const { return m_datafileMenu.get(); }
    QWidget* datafileView() const { return m_datafileView; }
    QToolButton* datafilePopup() const { return m_datafilePopup; }

private:
    std::unique_ptr<QMenu> m_datafileMenu;
    QPointer<QWidget> m_datafileView;
    QPointer<QToolButton> m_datafilePopup;
    // Sends the menu's actions along the window's responder chain.
    ActionBinding m_datafileBinding;
};
