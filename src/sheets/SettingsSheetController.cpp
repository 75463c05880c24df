// The sheet itself: its tabs, opening on a datafile's settings, and OK and Cancel.
#include "SettingsSheetController.h"

#include "DatafileSettingsData.h"
#include "Localization.h"
#include "Presenter.h"
#include "UserGuide.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

SettingsSheetController::~SettingsSheetController() = default;

QCheckBox* SettingsSheetController::addCheck(QVBoxLayout* layout, const QString& title)
{
    auto* check = new QCheckBox(localized(title));
    layout->addWidget(check);
    return check;
}

QPushButton* SettingsSheetController::plainButton(const QString& title)
{
    auto* button = new QPushButton(localized(title));
    button->setAutoDefault(false);
    return button;
}

void SettingsSheetController::checkCell(QButtonGroup* group, qint64 tag)
{
    if (QAbstractButton* cell = group->button(int(tag)))
        cell->setChecked(true);
}

void SettingsSheetController::selectAllOf(QLineEdit* field)
{
    field->setFocus();
    field->selectAll();
}

void SettingsSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Datafile Settings")));
    m_tabView = new QTabWidget;
    m_tabView->addTab(buildGeneralTab(), localized(QStringLiteral("General")));
    m_tabView->addTab(buildTextTab(), localized(QStringLiteral("Freeform Text Area")));
    m_tabView->addTab(buildRecordsTab(), localized(QStringLiteral("Records")));
    m_tabView->addTab(buildAddressTab(), localized(QStringLiteral("Address Block")));
    m_tabView->addTab(buildPasswordTab(), localized(QStringLiteral("Password")));
    auto* windowBox = new QVBoxLayout(window);
    windowBox->addWidget(m_tabView, 1);
    windowBox->addLayout(makeButtonRow());
}

void SettingsSheetController::beginSheetWithSettings(std::shared_ptr<DatafileSettingsData> settings,
                                                     const QString& path, QWidget* docWindow,
                                                     SettingsSheetEditor* editor,
                                                     DidEndCallback didEnd)
{
    window(); // the controls exist
    m_settings = std::move(settings);
    m_path = path;
    m_editor = editor;
    m_setPasswordButton->setEnabled(true);
    beginSheetModalForWindow(docWindow, std::move(didEnd));
    if (m_editor && m_editor->openedReadOnly() && m_settings->networkShared())
        warnReadOnly(window());
}

void SettingsSheetController::warnReadOnly(QWidget* window)
{
    AlertRequest alert;
    alert.style = AlertRequest::Style::Informational;
    alert.messageText = localized(QStringLiteral("Changes to Datafile Settings will not be saved"));
    alert.informativeText =
        localized(QStringLiteral("This datafile has been opened as read-only, so no changes can be saved."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}

void SettingsSheetController::forgetEditor(const SettingsSheetEditor* editor)
{
    if (m_editor == editor)
        m_editor = nullptr;
}

bool SettingsSheetController::prepare()
{
    if (!m_settings)
        return VKSheetController::prepare();
    m_tabView->setCurrentIndex(0);
    loadGeneralTab();
    loadRecordsTab();
    loadPasswordTab();
    // Last the tabs whose fields take the focus: the text's name, then the address block's.
    loadTextTab();
    showAddressBlock();
    return VKSheetController::prepare();
}

bool SettingsSheetController::maintainButtons()
{
    if (okayButton())
        okayButton()->setEnabled(m_editor && m_editor->canSaveChanges());
    return true;
}

void SettingsSheetController::okay(QObject*)
{
    if (!webPageFieldsAccepted() || !passwordAccepted())
        return;
    continueOkayFunction();
}

void SettingsSheetController::continueOkayFunction()
{
    if (!m_settings || !window()->isVisible())
        return;
    storeGeneralTab();
    storeTextTab();
    storeRecordsTab();
    storeAddressBlock();
    storePasswordTab();
    m_settings->setDatafileSettingsDidChange(true);
    storeAutoOpen();
    if (m_editor)
        m_editor->showStoredSettings();
    endWithReturnCode(1);
    Presenter::shared().closeFontPanel();
}

void SettingsSheetController::cancel(QObject*)
{
    if (m_settings)
        m_settings->setPassword(m_openingPassword);
    Presenter::shared().closeFontPanel();
    endWithReturnCode(0);
}

void SettingsSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("FileSettings.html"));
}
