// The find box: its row of buttons, the find commands in Find and Select mode, the
// mode button with its modifier clicks, and the keys the find box handles itself.
#include "EditorSearchController.h"

#include "FeatureContext.h"
#include "FindBoxView.h"
#include "Localization.h"
#include "Presenter.h"
#include "SubsetSortedData.h"
#include "UserDefaults.h"
#include "VKImageCategories.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QToolButton>

namespace {

const QString MagnifyingGlassDisabledKey = QStringLiteral("MagnifyingGlassDisabled");
constexpr int MaximumFindBoxFontSize = 36;

// The platform's Option and Control keys: Ctrl is Command, never Control.
bool optionHeld(Qt::KeyboardModifiers modifiers)
{
    return modifiers.testFlag(Qt::AltModifier);
}

bool controlHeld(Qt::KeyboardModifiers modifiers)
{
    return modifiers.testFlag(Qt::MetaModifier);
}

struct ButtonLook {
    const char* image;
    const char* pressedImage;
    const char* toolTip;
};

// Reverse and forward buttons in Find mode, then in Select mode.
constexpr ButtonLook reverseLooks[] = {
    {"TB_C_findBwd", "TB_C_findBwdDark", "Perform reverse search for text in Find Box.\nCommand-Shift-G"},
    {"TB_C_selectAllButton", "TB_C_selectAllButtonDark", "Select ALL records.\nCommand-Shift-G"},
};
constexpr ButtonLook forwardLooks[] = {
    {"TB_C_findFwd", "TB_C_findFwdDark", "Perform forward search for text in Find Box.\nCommand-G"},
    {"TB_C_selectButton", "TB_C_selectButtonDark",
     "Select records that contain text in Find Box.\nCommand-G"},
};

const char* const findButtonToolTip =
    "Click to toggle between Find and Select.\nOption-click to toggle between Classic "
    "Norva-style and Internet-style searching.\nControl-click to toggle Case-sensitive "
    "searching.";

void setImage(QToolButton* button, const QString& name)
{
    button->setProperty("imageName", name);
    button->setIcon(VKImageCategories::iconNamed(name));
}

// The image, and the other one shown while the button is held down.
void setLook(QToolButton* button, const ButtonLook& look)
{
    setImage(button, QString::fromLatin1(look.image));
    button->setProperty("pressedImageName", QString::fromLatin1(look.pressedImage));
    button->setToolTip(localized(QString::fromLatin1(look.toolTip)));
}

QToolButton* makeButton(QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(24, 24));
    QObject::connect(button, &QToolButton::pressed, button, [button] {
        const QString pressed = button->property("pressedImageName").toString();
        if (!pressed.isEmpty())
            button->setIcon(VKImageCategories::iconNamed(pressed));
    });
    QObject::connect(button, &QToolButton::released, button, [button] {
        button->setIcon(VKImageCategories::iconNamed(button->property("imageName").toString()));
    });
    return button;
}

} // namespace

EditorSearchController::EditorSearchController(FeatureContext& context, EditorSearchWindow& window,
                                               QWidget* barParent)
    : m_context(context), m_window(window), m_findBar(new QWidget(barParent)),
      m_ownsFindBar(!barParent)
{
    auto* row = new QHBoxLayout(m_findBar);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    m_findToggleButton = makeButton(m_findBar);
    m_searchField = new FindBoxView(m_findBar);
    m_reverseSearchButton = makeButton(m_findBar);
    m_forwardSearchButton = makeButton(m_findBar);
    row->addWidget(m_findToggleButton);
    row->addWidget(m_searchField, 1);
    row->addWidget(m_reverseSearchButton);
    row->addWidget(m_forwardSearchButton);

    m_searchField->setShouldChangeText(
        [this](const QString& replacement, Qt::KeyboardModifiers modifiers) {
            return textShouldChange(replacement, modifiers);
        });
    // A click's modifiers are those of the click.
    connect(m_findToggleButton, &QToolButton::clicked, this,
            [this] { toggleFindButton(QGuiApplication::keyboardModifiers()); });
    connect(m_forwardSearchButton, &QToolButton::clicked, this,
            [this] { forwardSearch(QGuiApplication::keyboardModifiers()); });
    connect(m_reverseSearchButton, &QToolButton::clicked, this,
            [this] { reverseSearch(QGuiApplication::keyboardModifiers()); });
}

EditorSearchController::~EditorSearchController()
{
    if (m_ownsFindBar)
        delete m_findBar.data();
    else if (m_findBar)
        m_searchField->setShouldChangeText({}); // the window may outlive its search
}

QString EditorSearchController::findButtonImageName(qint64 entryStyle, bool caseSensitive)
{
    if (entryStyle == PhraseEntryStyle)
        return caseSensitive ? QStringLiteral("TB_C_findButtonQuotesCase")
                             : QStringLiteral("TB_C_findButtonQuotes");
    return caseSensitive ? QStringLiteral("TB_C_findButtonAmperCase")
                         : QStringLiteral("TB_C_findButtonAmper");
}

void EditorSearchController::prepare()
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    setSearchOptionLock();
    m_findToggleButton->setCheckable(true);
    m_findToggleButton->setChecked(settings->findDisplayState() == SelectDisplayMode);
    restyleSearchButtons(settings->findDisplayState());
    setFindButtonImage(settings->findEntryMode(), settings->caseSensitiveSearches());
    adjustFindBox();
}

void EditorSearchController::setSearchOptionLock()
{
    const bool locked = UserDefaults::standardUserDefaults().boolForKey(MagnifyingGlassDisabledKey);
    m_findToggleButton->setToolTip(
        locked ? localized(QStringLiteral("This button is disabled. See the last item in the Find "
                                          "sub-menu under the Edit menu."))
               : localized(QString::fromLatin1(findButtonToolTip)));
}

void EditorSearchController::adjustFindBox()
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    QFont font = settings->findBoxFont();
    const qint64 size = std::clamp<qint64>(settings->findBoxFontSize(), 1, MaximumFindBoxFontSize);
    font.setPointSizeF(double(size));
    const int lineHeight = int(std::ceil(QFontMetricsF(font).boundingRect(QStringLiteral("Tg")).height()));
    m_searchField->setFont(font);
    m_searchField->document()->setDocumentMargin(2);
    m_searchField->setFixedHeight(lineHeight + 2 * m_searchField->frameWidth() + 4);
}

void EditorSearchController::activateFindBox()
{
    m_searchField->setFocus(Qt::OtherFocusReason);
    selectSearchField();
}

void EditorSearchController::selectSearchField()
{
    m_searchField->selectAllText();
}

QString EditorSearchController::findBoxText() const
{
    return m_searchField->string();
}

void EditorSearchController::restyleSearchButtons(qint64 displayMode)
{
    const int mode = displayMode == SelectDisplayMode ? 1 : 0;
    setLook(m_reverseSearchButton, reverseLooks[mode]);
    setLook(m_forwardSearchButton, forwardLooks[mode]);
}

void EditorSearchController::setFindButtonImage(qint64 entryStyle, bool caseSensitive)
{
    setImage(m_findToggleButton, findButtonImageName(entryStyle, caseSensitive));
}

// The find commands

bool EditorSearchController::activateSearchFieldAfter(Qt::KeyboardModifiers modifiers)
{
    bool activate = !controlHeld(modifiers);
    if (m_simulatedControlKeyDown)
        activate = false;
    m_simulatedControlKeyDown = false;
    return activate;
}

void EditorSearchController::search(Direction direction, Qt::KeyboardModifiers modifiers,
                                    bool optionRule)
{
    const bool forward = direction == Direction::Forward;
    if (forward)
        m_foundInForwardSearch = false;
    if (m_context.nowSyncing())
        return;
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    if (settings->findDisplayState() == SelectDisplayMode) {
        if (forward)
            quickSelect();
        else
            quickSelectAll();
        return;
    }
    const bool activate = activateSearchFieldAfter(modifiers);
    const QString text = findBoxText();
    if (text.isEmpty()) {
        if (forward)
            m_window.goToNextRecord();
        else
            m_window.goToPreviousRecord();
        return;
    }
    const qint64 style = settings->findEntryMode();
    const QStringList keys = targetStringList(text, style);
    if (optionRule && optionHeld(modifiers)) {
        // Whatever else the record holds is passed over.
        m_window.setLastHitField(forward ? FreeformHit : 0);
        m_window.activateFreeformText();
        if (forward)
            m_window.highlightEndOfCurrentRecord();
        else
            m_window.highlightBeginningOfCurrentRecord();
    }
    const bool caseSensitive = settings->caseSensitiveSearches();
    if (keys.size() == 1) {
        const QString key = singleKeyString(text, keys, style);
        if (forward)
            forwardSearchForString(key, caseSensitive, false, activate, AllFieldsScope, true, false,
                                   false);
        else
            reverseSearchForString(key, caseSensitive, false, activate, AllFieldsScope);
    } else if (forward) {
        forwardSearchForArrayOfStrings(keys, caseSensitive, false, false, AllFieldsScope, true, false);
    } else {
        reverseSearchForArrayOfStrings(keys, caseSensitive, false, activate, AllFieldsScope);
    }
    selectSearchField();
}

void EditorSearchController::forwardSearch(Qt::KeyboardModifiers modifiers)
{
    search(Direction::Forward, modifiers, true);
}

void EditorSearchController::reverseSearch(Qt::KeyboardModifiers modifiers)
{
    search(Direction::Reverse, modifiers, true);
}

void EditorSearchController::forwardSearchSkip(Qt::KeyboardModifiers modifiers)
{
    search(Direction::Forward, modifiers, false);
}

void EditorSearchController::reverseSearchSkip(Qt::KeyboardModifiers modifiers)
{
    search(Direction::Reverse, modifiers, false);
}

void EditorSearchController::quickSelect()
{
    const QString text = findBoxText();
    if (text.isEmpty()) {
        m_window.goToNextRecord();
        return;
    }
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const QStringList keys = targetStringList(text, settings->findEntryMode());
    const std::shared_ptr<SubsetSortedData> catalog = m_context.catalog();
    if (!catalog || !catalog->selectForFind(keys, settings->caseSensitiveSearches())) {
        beepWhenFindFails();
        return;
    }
    m_window.updateCurrentRecord();
    m_window.autoSaveChanges(false);
    m_window.loadRecordAtIndex(0);
    m_window.freshenWindowContentSettings();
}

void EditorSearchController::quickSelectAll()
{
    const std::shared_ptr<SubsetSortedData> catalog = m_context.catalog();
    if (catalog && catalog->count() == catalog->countSelected() && findBoxText().isEmpty())
        m_window.goToPreviousRecord();
    else
        m_context.host().selectAllRecords();
}

void EditorSearchController::toggleFindButton(Qt::KeyboardModifiers modifiers)
{
    if (UserDefaults::standardUserDefaults().boolForKey(MagnifyingGlassDisabledKey)) {
        Presenter::shared().beep();
        // The button shows the mode, which did not change.
        m_findToggleButton->setChecked(m_context.settings()->findDisplayState() ==
                                       SelectDisplayMode);
        return;
    }
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const qint64 style = settings->findEntryMode();
    const qint64 mode = settings->findDisplayState();
    const bool caseSensitive = settings->caseSensitiveSearches();
    if (optionHeld(modifiers)) {
        const qint64 newStyle = style == PhraseEntryStyle ? AmpersandEntryStyle : PhraseEntryStyle;
        settings->setFindEntryMode(newStyle);
        setFindButtonImage(newStyle, caseSensitive);
    } else if (controlHeld(modifiers)) {
        settings->setCaseSensitiveSearches(!caseSensitive);
        setFindButtonImage(style, !caseSensitive);
    } else {
        const qint64 newMode = mode == SelectDisplayMode ? FindDisplayMode : SelectDisplayMode;
        settings->setFindDisplayState(newMode);
        restyleSearchButtons(newMode);
    }
    m_findToggleButton->setChecked(settings->findDisplayState() == SelectDisplayMode);
    settings->setDatafileSettingsDidChange(true);
}

bool EditorSearchController::textShouldChange(const QString& replacement,
                                              Qt::KeyboardModifiers modifiers)
{
    if (replacement == QLatin1String("\n") || replacement == QLatin1String("\x03")) {
        if (modifiers.testFlag(Qt::ShiftModifier))
            reverseSearch(modifiers);
        else
            forwardSearch(modifiers);
        return false;
    }
    if (replacement == QLatin1String("\t")) {
        m_window.tableViewHit();
        return false;
    }
    return true;
}
