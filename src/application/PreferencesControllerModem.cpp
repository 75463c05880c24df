// The Modem pane: the modem to dial with, found by probing the serial ports on a worker
// thread, and the strings and delay the dialer sends.
#include "PreferencesController.h"

#include "Localization.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "UserDefaults.h"
#include "VKPopUpButtonCategories.h"

#include <QAction>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString delayKey = QStringLiteral("ModemDialingDelayTicks");
const QString startCallsKey = QStringLiteral("ModemStartCallsString");
const QString endCallsKey = QStringLiteral("ModemEndCallsString");
const QString preferredNameKey = QStringLiteral("ModemPreferredName");
const QString preferredPathKey = QStringLiteral("ModemPreferredPath");

struct ProbeSeams {
    ModemProbe::Finder finder;
    ModemSleeper::Duration duration;
};

ProbeSeams& probeSeams()
{
    static ProbeSeams seams;
    return seams;
}

// The key's value as text (the delay may be stored as a number); the fallback when it
// has none.
QString storedText(const QString& key, const QString& fallback)
{
    const PlistValue value = UserDefaults::standardUserDefaults().objectForKey(key);
    if (value.asString() || value.isNumber())
        return value.stringValue();
    return fallback;
}

} // namespace

QStringList PreferencesController::modemPreferenceKeys()
{
    return {delayKey, endCallsKey, preferredNameKey, preferredPathKey, startCallsKey};
}

QStringList PreferencesController::restorablePreferenceKeys()
{
    return {delayKey, endCallsKey, startCallsKey};
}

void PreferencesController::setModemProbeSeams(ModemProbe::Finder finder,
                                               ModemSleeper::Duration duration)
{
    probeSeams() = {std::move(finder), std::move(duration)};
}

bool PreferencesController::isProbingModems() const
{
    return m_modemProbe && m_modemProbe->isRunning();
}

QWidget* PreferencesController::makeModemPane()
{
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);
    auto* form = new QFormLayout;
    m_modem.chooseModemPopup = new PopUpButton;
    connect(m_modem.chooseModemPopup, &PopUpButton::activated, this,
            &PreferencesController::modemPrefHit);
    form->addRow(localized(QStringLiteral("Modem:")), m_modem.chooseModemPopup);
    const auto addField = [&](QLineEdit*& field, const char* title) {
        field = new QLineEdit;
        connect(field, &QLineEdit::editingFinished, this, &PreferencesController::modemPrefHit);
        form->addRow(localized(QString::fromLatin1(title)), field);
    };
    addField(m_modem.startCallsWith, "Start calls with:");
    addField(m_modem.endCallsWith, "End calls with:");
    addField(m_modem.dialingDelay, "Seconds before hanging up:");
    column->addLayout(form);
    m_modem.factorySettingsButton =
        addPaneButtons(pane, ModemPane, &PreferencesController::modemFactorySettingsButtonHit);
    return pane;
}

void PreferencesController::loadModemPane()
{
    m_modem.dialingDelay->setText(storedText(delayKey, QStringLiteral("125")));
    m_modem.endCallsWith->setText(storedText(endCallsKey, QStringLiteral("ath")));
    m_modem.startCallsWith->setText(storedText(startCallsKey, QStringLiteral("atdt")));
    initModemPopup();
    modemEnableControls();
}

void PreferencesController::initModemPopup()
{
    if (m_modems) {
        modemsFound(*m_modems);
        return;
    }
    PopUpButton* popup = m_modem.chooseModemPopup;
    popup->removeAllItems();
    VKPopUpButtonCategories::addItemWithTitle(popup, localized(QStringLiteral("<none>")), 0);
    popup->selectItemAtIndex(0);
    popup->setEnabled(false);
    m_modemPath.clear();
    // One probe at a time; the window is usable meanwhile.
    if (isProbingModems())
        return;
    const ProbeSeams& seams = probeSeams();
    m_modemProbe = std::make_unique<ModemProbe>(seams.finder, seams.duration);
    connect(m_modemProbe.get(), &ModemProbe::finished, this, [this](const QList<ModemProbe::Modem>& modems) {
        m_modems = modems;
        modemsFound(modems);
    });
    m_modemProbe->start();
}

void PreferencesController::modemsFound(const QList<ModemProbe::Modem>& modems)
{
    PopUpButton* popup = m_modem.chooseModemPopup;
    popup->removeAllItems();
    for (qsizetype index = 0; index < modems.size(); ++index)
        VKPopUpButtonCategories::addItemWithTitle(popup, modems.at(index).name, int(index),
                                                  modems.at(index).path);
    if (modems.isEmpty())
        VKPopUpButtonCategories::addItemWithTitle(popup, localized(QStringLiteral("<none>")), 0);
    popup->selectItemAtIndex(0);
    popup->setEnabled(!modems.isEmpty());
    m_modemError = modems.isEmpty();
    selectPreferredModem();
    modemEnableControls();
}

void PreferencesController::selectPreferredModem()
{
    PopUpButton* popup = m_modem.chooseModemPopup;
    const QString firstTitle = popup->itemAtIndex(0)->text();
    const QString stored =
        UserDefaults::standardUserDefaults().stringForKey(preferredNameKey).value_or(QString());
    m_modemName = stored.isEmpty() ? firstTitle : stored;
    QAction* chosen = nullptr;
    for (QAction* item : popup->itemArray())
        if (!chosen && item->text() == m_modemName)
            chosen = item;
    if (chosen) {
        popup->selectItem(chosen);
    } else {
        m_modemName = firstTitle;
        popup->selectItemAtIndex(0);
        AlertRequest alert;
        alert.messageText = localized(QStringLiteral("The preferred modem is not responding."));
        alert.buttons = {localized(QStringLiteral("OK"))};
        alert.informativeText = localized(QStringLiteral(
            "Please close the Preference panel, make sure that the modem is turned on, and try "
            "again.\n\nIf the modem is turned on, try turning it off and back on."));
        Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
    }
    const QAction* selected = popup->selectedItem();
    m_modemPath = m_modemError || !selected ? QString()
                                            : PopUpButton::representedObject(selected).toString();
}

void PreferencesController::showModemTab()
{
    if (!m_modemError) {
        showPane(ModemPane);
        return;
    }
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("No modem found."));
    alert.buttons = {localized(QStringLiteral("OK"))};
    alert.informativeText = localized(QStringLiteral(
        "Please close the Preferences panel, make sure that the modem is turned on, and try "
        "again.\n\nIf the modem is turned on, try turning it off and back on.\n\nIf the modem is "
        "external, make sure that it is properly attached to the computer."));
    Presenter::shared().beginAlertSheet(alert, window(), [](const AlertResponse&) {});
}

void PreferencesController::modemPrefHit()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(m_modem.dialingDelay->text(), delayKey);
    defaults.setObject(m_modem.startCallsWith->text(), startCallsKey);
    defaults.setObject(m_modem.endCallsWith->text(), endCallsKey);
    // Until a probe has found a modem, the stored one stays.
    const QAction* selected = m_modem.chooseModemPopup->selectedItem();
    if (m_modems && !m_modems->isEmpty() && selected) {
        m_modemName = selected->text();
        m_modemPath = PopUpButton::representedObject(selected).toString();
        defaults.setObject(m_modemName, preferredNameKey);
        defaults.setObject(m_modemPath, preferredPathKey);
    }
    modemEnableControls();
}

void PreferencesController::modemEnableControls()
{
    enableFactorySettingsButton(m_modem.factorySettingsButton, modemPreferenceKeys());
}

void PreferencesController::modemFactorySettingsButtonHit()
{
    // The chosen modem stays; the modems are looked for afresh.
    if (!isProbingModems())
        m_modems.reset();
    restoreFactorySettings(restorablePreferenceKeys());
}
