// The Dialing pane: how phone numbers are found and dialled, and the dialing sets the
// Dial menu offers.
#include "PreferencesController.h"

#include "DialingSets.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "Presenter.h"
#include "UserDefaults.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString bracketKey = QStringLiteral("PhoneNumberBracket");
const QString useBracketKey = QStringLiteral("UsePhoneNumberBracket");
const QString showNowDialingKey = QStringLiteral("ShowNowDialing");
const QString dialingMethodKey = QStringLiteral("DialingMethod");
const QString templatesKey = QStringLiteral("PhoneNumberTemplates");
const QString defaultTemplates =
    QStringLiteral("nnn-nnnn\nnnn-nnn-nnnn\nnnn nnn-nnnn\n(nnn)nnn-nnnn\n(nnn) nnn-nnnn");
const QString nameColumn = QStringLiteral("Name");

bool isDefaultSet(const PlistValue& set)
{
    const PlistDictionary* dictionary = set.asDictionary();
    return dictionary && dictionary->value(DialingSets::IsDefaultKey).boolValue();
}

QString setString(const PlistValue& set, const QString& key)
{
    const PlistDictionary* dictionary = set.asDictionary();
    return dictionary ? dictionary->stringForKey(key) : QString();
}

} // namespace

QWidget* PreferencesController::makeDialingPane()
{
    auto* pane = new QWidget;
    auto* column = new QVBoxLayout(pane);

    auto* bracketRow = new QHBoxLayout;
    m_dialing.bracketCheck =
        new QCheckBox(localized(QStringLiteral("Dial the number after the bracket character:")));
    m_dialing.bracketText = new QLineEdit;
    m_dialing.bracketText->setMaximumWidth(40);
    bracketRow->addWidget(m_dialing.bracketCheck);
    bracketRow->addWidget(m_dialing.bracketText);
    bracketRow->addStretch();
    column->addLayout(bracketRow);
    m_dialing.showNowDialingCheck = new QCheckBox(localized(QStringLiteral("Show \"Now Dialing\"")));
    column->addWidget(m_dialing.showNowDialingCheck);
    connect(m_dialing.bracketCheck, &QCheckBox::clicked, this, &PreferencesController::dialingPrefHit);
    connect(m_dialing.showNowDialingCheck, &QCheckBox::clicked, this,
            &PreferencesController::dialingPrefHit);
    connect(m_dialing.bracketText, &QLineEdit::editingFinished, this,
            &PreferencesController::dialingPrefHit);

    column->addWidget(new QLabel(localized(QStringLiteral("Dial with:"))));
    m_dialing.modemSpeakerMatrix = new QButtonGroup(pane);
    auto* methods = new QHBoxLayout;
    const std::pair<const char*, int> cells[] = {{"Telephone link", 1}, {"Speaker", 2}, {"Modem", 3}};
    for (const auto& [title, tag] : cells) {
        auto* cell = new QRadioButton(localized(QString::fromLatin1(title)));
        m_dialing.modemSpeakerMatrix->addButton(cell, tag);
        methods->addWidget(cell);
    }
    methods->addStretch();
    column->addLayout(methods);
    connect(m_dialing.modemSpeakerMatrix, &QButtonGroup::idClicked, this,
            &PreferencesController::modemSpeakerMatrixHit);

    column->addWidget(new QLabel(localized(QStringLiteral("Phone number formats (n is a digit):"))));
    m_dialing.phoneNumberTemplatesText = new QPlainTextEdit;
    m_dialing.phoneNumberTemplatesText->setMaximumHeight(90);
    column->addWidget(m_dialing.phoneNumberTemplatesText);
    connect(m_dialing.phoneNumberTemplatesText, &QPlainTextEdit::textChanged, this,
            &PreferencesController::phoneNumberTemplatesTextHit);

    column->addWidget(new QLabel(localized(QStringLiteral("Dialing sets:"))));
    m_dialing.dialingSetTable = new QTableWidget(0, 2);
    m_dialing.dialingSetTable->setHorizontalHeaderLabels(
        {localized(QStringLiteral("Name")), localized(QStringLiteral("Default"))});
    m_dialing.dialingSetTable->horizontalHeaderItem(0)->setData(Qt::UserRole, nameColumn);
    m_dialing.dialingSetTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_dialing.dialingSetTable->verticalHeader()->hide();
    m_dialing.dialingSetTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_dialing.dialingSetTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_dialing.dialingSetTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    column->addWidget(m_dialing.dialingSetTable, 1);
    connect(m_dialing.dialingSetTable, &QTableWidget::itemSelectionChanged, this,
            &PreferencesController::dialingSetSelectionDidChange);

    auto* fields = new QFormLayout;
    m_dialing.dialingSetName = new QLineEdit;
    m_dialing.dialingPrefix = new QLineEdit;
    m_dialing.dialingSuffix = new QLineEdit;
    fields->addRow(localized(QStringLiteral("Name:")), m_dialing.dialingSetName);
    fields->addRow(localized(QStringLiteral("Prefix:")), m_dialing.dialingPrefix);
    fields->addRow(localized(QStringLiteral("Suffix:")), m_dialing.dialingSuffix);
    column->addLayout(fields);
    connect(m_dialing.dialingSetName, &QLineEdit::textChanged, this,
            &PreferencesController::dialingEnableControls);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](QPushButton*& button, const char* title,
                               void (PreferencesController::*action)()) {
        button = new QPushButton(localized(QString::fromLatin1(title)));
        connect(button, &QPushButton::clicked, this, action);
        buttons->addWidget(button);
    };
    addButton(m_dialing.addButton, "Add", &PreferencesController::addItem);
    addButton(m_dialing.changeButton, "Change", &PreferencesController::changeItem);
    addButton(m_dialing.removeButton, "Remove", &PreferencesController::removeItem);
    addButton(m_dialing.makeDefaultButton, "Make Default", &PreferencesController::makeDefault);
    buttons->addStretch();
    column->addLayout(buttons);

    addPaneButtons(pane, DialingPane, nullptr);
    return pane;
}

void PreferencesController::loadDialingPane()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    m_dialing.bracketText->setText(defaults.stringForKey(bracketKey).value_or(QStringLiteral("\\")));
    m_dialing.bracketCheck->setChecked(defaults.boolForKey(useBracketKey));
    m_dialing.showNowDialingCheck->setChecked(defaults.boolForKey(showNowDialingKey));
    if (QAbstractButton* cell =
            m_dialing.modemSpeakerMatrix->button(int(defaults.integerForKey(dialingMethodKey))))
        cell->setChecked(true);

    const std::optional<QString> templates = defaults.stringForKey(templatesKey);
    {
        const QSignalBlocker loading(m_dialing.phoneNumberTemplatesText);
        m_dialing.phoneNumberTemplatesText->setPlainText(templates.value_or(defaultTemplates));
    }
    if (!templates)
        phoneNumberTemplatesTextHit();

    m_dialingSets = DialingSets::storedSets().deepCopy();
    reloadDialingSetTable();
    // The default set starts selected, so that closing the window keeps it the default.
    int defaultRow = -1;
    for (qsizetype row = 0; row < m_dialingSets.size(); ++row)
        if (isDefaultSet(m_dialingSets.at(row)))
            defaultRow = int(row);
    selectDialingSetRow(defaultRow);
    dialingSetSelectionDidChange();
}

void PreferencesController::reloadDialingSetTable()
{
    QTableWidget* table = m_dialing.dialingSetTable;
    const QSignalBlocker reloading(table);
    table->clearContents();
    table->setRowCount(int(m_dialingSets.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const PlistValue& set = m_dialingSets.at(row);
        for (int column = 0; column < table->columnCount(); ++column) {
            const bool isName = table->horizontalHeaderItem(column)->data(Qt::UserRole) == nameColumn;
            const QString text = isName ? setString(set, DialingSets::SetNameKey)
                                        : (isDefaultSet(set) ? QStringLiteral("D") : QString());
            table->setItem(row, column, new QTableWidgetItem(text));
        }
    }
}

int PreferencesController::selectedDialingSetRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_dialing.dialingSetTable->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.front().topRow();
}

void PreferencesController::selectDialingSetRow(int row)
{
    QTableWidget* table = m_dialing.dialingSetTable;
    const QSignalBlocker selecting(table);
    table->clearSelection();
    if (row >= 0 && row < table->rowCount())
        table->selectRow(row);
}

void PreferencesController::dialingPrefHit()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(m_dialing.bracketText->text(), bracketKey);
    defaults.setBool(m_dialing.bracketCheck->isChecked(), useBracketKey);
    defaults.setBool(m_dialing.showNowDialingCheck->isChecked(), showNowDialingKey);
    dialingEnableControls();
}

void PreferencesController::modemSpeakerMatrixHit()
{
    UserDefaults::standardUserDefaults().setInteger(m_dialing.modemSpeakerMatrix->checkedId(),
                                                    dialingMethodKey);
}

void PreferencesController::phoneNumberTemplatesTextHit()
{
    UserDefaults::standardUserDefaults().setObject(m_dialing.phoneNumberTemplatesText->toPlainText(),
                                                   templatesKey);
}

void PreferencesController::dialingSetSelectionDidChange()
{
    const int row = selectedDialingSetRow();
    const PlistValue set = row >= 0 ? m_dialingSets.at(row) : PlistValue();
    m_dialing.dialingSetName->setText(setString(set, DialingSets::SetNameKey));
    m_dialing.dialingPrefix->setText(setString(set, DialingSets::PrefixKey));
    m_dialing.dialingSuffix->setText(setString(set, DialingSets::SuffixKey));
    dialingEnableControls();
}

void PreferencesController::dialingEnableControls()
{
    const bool hasSets = !m_dialingSets.isEmpty();
    m_dialing.makeDefaultButton->setEnabled(hasSets);
    m_dialing.changeButton->setEnabled(hasSets);
    m_dialing.removeButton->setEnabled(hasSets);
    m_dialing.addButton->setEnabled(!m_dialing.dialingSetName->text().isEmpty());
}

void PreferencesController::addItem()
{
    const QString name = m_dialing.dialingSetName->text();
    if (name.isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    m_dialingSets.append(PlistDictionary{{DialingSets::SetNameKey, name},
                                         {DialingSets::PrefixKey, m_dialing.dialingPrefix->text()},
                                         {DialingSets::SuffixKey, m_dialing.dialingSuffix->text()},
                                         {DialingSets::IsDefaultKey, m_dialingSets.isEmpty()}});
    reloadDialingSetTable();
    selectDialingSetRow(int(m_dialingSets.size()) - 1);
    dialingEnableControls();
}

void PreferencesController::makeDefault()
{
    if (m_dialingSets.isEmpty())
        return;
    const int selected = selectedDialingSetRow();
    PlistArray sets;
    for (qsizetype row = 0; row < m_dialingSets.size(); ++row) {
        const PlistDictionary* set = m_dialingSets.at(row).asDictionary();
        PlistDictionary copy = set ? set->shallowCopy() : PlistDictionary();
        copy.insert(DialingSets::IsDefaultKey, row == selected);
        sets.append(copy);
    }
    m_dialingSets = sets;
    reloadDialingSetTable();
    selectDialingSetRow(selected);
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(m_dialingSets.deepCopy(), DialingSets::DialingSetListKey);
    defaults.synchronize();
    // The application rebuilds its Dial menu on it, the editors their dial pop-ups.
    NotificationCenter::defaultCenter().postNotification(QStringLiteral("DialingSetChanged"),
                                                         nullptr);
}

void PreferencesController::removeItem()
{
    // No row selected would lose a set at random; the first set stays.
    const int row = selectedDialingSetRow();
    if (row <= 0) {
        Presenter::shared().beep();
        return;
    }
    const bool wasDefault = isDefaultSet(m_dialingSets.at(row));
    m_dialingSets.removeAt(row);
    reloadDialingSetTable();
    selectDialingSetRow(0);
    dialingSetSelectionDidChange();
    if (wasDefault)
        makeDefault();
}

void PreferencesController::changeItem()
{
    // Without a row or a name the set would be lost: nothing changes.
    const int row = selectedDialingSetRow();
    if (row <= 0 || m_dialing.dialingSetName->text().isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    const bool wasDefault = isDefaultSet(m_dialingSets.at(row));
    m_dialingSets.removeAt(row);
    addItem();
    if (wasDefault)
        makeDefault();
}
