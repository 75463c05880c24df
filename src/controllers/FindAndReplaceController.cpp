#include "FindAndReplaceController.h"

#include "Application.h"
#include "DatafileDocument.h"
#include "DocumentController.h"
#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "NotificationCenter.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "UserDefaults.h"
#include "VKPopUpButtonCategories.h"
#include "WindowFrameAutosave.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

bool anyDatafileOpen()
{
    for (Document* document : DocumentController::shared().documents()) {
        if (qobject_cast<DatafileDocument*>(document))
            return true;
    }
    return false;
}

QPlainTextEdit* plainTextView()
{
    auto* view = new QPlainTextEdit;
    view->setTabChangesFocus(true);
    view->setFixedHeight(view->fontMetrics().lineSpacing() * 3 + 12);
    return view;
}

// The editor in front: the one activated last, unless its datafile is closed or
// leaving; then the newest of the other datafiles'.
EditorWindowController* editorInFront(const Document* leaving = nullptr)
{
    const std::vector<Document*>& documents = DocumentController::shared().documents();
    const auto staying = [&](const Document* document) {
        return document && document != leaving &&
               std::find(documents.begin(), documents.end(), document) != documents.end();
    };
    EditorWindowController* main = EditorWindowController::mainEditor();
    if (main && staying(main->document()))
        return main;
    for (auto document = documents.rbegin(); document != documents.rend(); ++document) {
        if (!staying(*document) || !qobject_cast<DatafileDocument*>(*document) ||
            (*document)->windowControllers().empty())
            continue;
        if (auto* editor =
                dynamic_cast<EditorWindowController*>((*document)->windowControllers().front().get()))
            return editor;
    }
    return nullptr;
}

} // namespace

FindAndReplaceController::FindAndReplaceController(std::function<void(QWidget*)> installKeyEquivalents)
    : m_installKeyEquivalents(std::move(installKeyEquivalents))
{
    // With no document behind the window, the application's commands go to its delegate.
    setNextResponder(dynamic_cast<Responder*>(Application::shared().delegate()));
    WindowFrameAutosave::setFrameAutosaveName(window(), NibName);
    NotificationCenter::defaultCenter().addObserver(
        DatafileClosingNotification, nullptr, this, [this](const Notification& notification) {
            handleDatafileClosing(static_cast<const Document*>(notification.object));
        });
}

FindAndReplaceController::~FindAndReplaceController() = default;

QString FindAndReplaceController::windowTitleForDocumentDisplayName(const QString&) const
{
    return localized(QStringLiteral("Find and Replace"));
}

std::unique_ptr<QWidget> FindAndReplaceController::makeWindow()
{
    auto window = std::make_unique<QMainWindow>(nullptr, Qt::Tool);
    if (m_installKeyEquivalents)
        m_installKeyEquivalents(window.get());

    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    auto* form = new QFormLayout;
    m_findWhat = plainTextView();
    m_replaceWith = plainTextView();
    m_searchIn = new PopUpButton;
    form->addRow(localized(QStringLiteral("Find:")), m_findWhat);
    form->addRow(localized(QStringLiteral("Replace with:")), m_replaceWith);
    form->addRow(localized(QStringLiteral("Search in:")), m_searchIn);
    layout->addLayout(form);

    auto* boxes = new QHBoxLayout;
    m_caseSensitive = new QCheckBox(localized(QStringLiteral("Case sensitive")));
    m_wholeWord = new QCheckBox(localized(QStringLiteral("Whole word")));
    m_limitToCurrentRecord = new QCheckBox(localized(QStringLiteral("Limit to current record")));
    for (QCheckBox* box : {m_caseSensitive, m_wholeWord, m_limitToCurrentRecord})
        boxes->addWidget(box);
    boxes->addStretch();
    layout->addLayout(boxes);

    m_datafileName = new QLabel;
    m_datafileName->setTextFormat(Qt::PlainText);
    layout->addWidget(m_datafileName);

    auto* buttons = new QHBoxLayout;
    m_replaceAllButton = new QPushButton(localized(QStringLiteral("Replace All")));
    m_replaceButton = new QPushButton(localized(QStringLiteral("Replace")));
    m_replaceThenFindButton = new QPushButton(localized(QStringLiteral("Replace & Find"))
                                                  .replace(QLatin1Char('&'), QStringLiteral("&&")));
    m_findNextButton = new QPushButton(localized(QStringLiteral("Find Next")));
    m_findNextButton->setDefault(true);
    buttons->addWidget(m_replaceAllButton);
    buttons->addStretch();
    for (QPushButton* button : {m_replaceButton, m_replaceThenFindButton, m_findNextButton})
        buttons->addWidget(button);
    layout->addLayout(buttons);
    window->setCentralWidget(content);

    connect(m_findNextButton, &QPushButton::clicked, this, [this] { findNext(); });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { replace(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    connect(m_replaceThenFindButton, &QPushButton::clicked, this, [this] { replaceThenFind(); });
    connect(m_searchIn, &PopUpButton::activated, this,
            [this] { selectField(m_searchIn->indexOfSelectedItem()); });
    return window;
}

void FindAndReplaceController::windowDidLoad()
{
    awakeFromNib();
}

void FindAndReplaceController::awakeFromNib()
{
    if (!editorInFront()) {
        closeWindow();
        return;
    }
    m_limitToCurrentRecord->setChecked(false);
    m_popupItem = 0;
    retarget();
}

bool FindAndReplaceController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window() && event->type() == QEvent::WindowActivate)
        windowDidBecomeKey();
    return WindowController::eventFilter(watched, event);
}

void FindAndReplaceController::openFindAndReplaceDialog()
{
    if (!editorInFront())
        return;
    showWindow();
}

void FindAndReplaceController::bringToFront()
{
    // Opening it again follows the editor in front at once.
    retarget();
    openFindAndReplaceDialog();
    window()->raise();
    window()->activateWindow();
}

void FindAndReplaceController::windowDidBecomeKey()
{
    if (!anyDatafileOpen()) {
        closeWindow();
        return;
    }
    retarget();
}

void FindAndReplaceController::handleDatafileClosing(const Document* closing)
{
    if (!m_datafileWindowController || m_datafileWindowController->document() != closing)
        return;
    int open = 0;
    for (Document* document : DocumentController::shared().documents())
        open += qobject_cast<DatafileDocument*>(document) ? 1 : 0;
    if (open <= 1) {
        m_datafileWindowController = nullptr;
        closeWindow();
        return;
    }
    retarget(closing);
}

void FindAndReplaceController::retarget(const Document* leaving)
{
    EditorWindowController* main = editorInFront(leaving);
    if (!main)
        return;
    setDatafileName(main->windowTitle());
    m_datafileWindowController = main;
    addFieldsToPopup(*main->settings());
}

void FindAndReplaceController::setDatafileName(const QString& name)
{
    if (!name.isNull())
        m_datafileName->setText(name);
}

void FindAndReplaceController::addFieldsToPopup(const DatafileSettingsData& settings)
{
    using VKPopUpButtonCategories::addItemWithTitle;
    m_searchIn->removeAllItems();
    const PlistArray fields = settings.fields();
    if (fields.isEmpty()) {
        addItemWithTitle(m_searchIn, localized(QStringLiteral("Whole Record")),
                         int(EditorSearchController::FreeformOnlyScope));
    } else {
        addItemWithTitle(m_searchIn, localized(QStringLiteral("All Fields")),
                         int(EditorSearchController::AllFieldsScope));
        m_searchIn->menu()->addSeparator();
        for (qsizetype position = 0; position < fields.size(); ++position) {
            const PlistDictionary* definition = fields.at(position).asDictionary();
            addItemWithTitle(
                m_searchIn,
                definition ? definition->stringForKey(DatafileSettingsData::FieldNameKey)
                           : QString(),
                int(position),
                definition ? definition->stringForKey(DatafileSettingsData::FieldIdentifierKey)
                           : QString());
        }
        addItemWithTitle(m_searchIn, localized(settings.textName()),
                         int(EditorSearchController::FreeformOnlyScope));
    }
    // A position beyond a smaller datafile's items shows the first there and is kept.
    const QAction* remembered = m_searchIn->itemAtIndex(m_popupItem);
    m_searchIn->selectItemAtIndex(remembered && !remembered->isSeparator() ? m_popupItem : 0);
    m_searchIn->synchronizeTitleAndSelectedItem();
}

void FindAndReplaceController::selectField(int index)
{
    if (index >= 0)
        m_popupItem = index;
}

qint64 FindAndReplaceController::fieldsToSearchIn() const
{
    return m_searchIn->selectedTag();
}

bool FindAndReplaceController::caseSensitiveIsOn() const
{
    return m_caseSensitive->isChecked();
}

bool FindAndReplaceController::wholeWordIsOn() const
{
    return m_wholeWord->isChecked();
}

QString FindAndReplaceController::findWhat() const
{
    return m_findWhat->toPlainText();
}

QString FindAndReplaceController::replaceWith() const
{
    return m_replaceWith->toPlainText();
}

// The commands

void FindAndReplaceController::beepWhenFindFails()
{
    if (UserDefaults::standardUserDefaults().boolForKey(QStringLiteral("GeneralBeepWhenFindFails")))
        Presenter::shared().beep();
}

bool FindAndReplaceController::startCommand(bool beepAlways)
{
    const auto refuse = [beepAlways] {
        if (beepAlways)
            Presenter::shared().beep();
        else
            beepWhenFindFails();
        return false;
    };
    if (!anyDatafileOpen()) {
        closeWindow();
        return refuse();
    }
    if (!editorInFront())
        return refuse();
    retarget();
    return true;
}

bool FindAndReplaceController::targetRefusesReplacing() const
{
    return m_datafileWindowController->engine().isClone() ||
           m_datafileWindowController->nowSyncing();
}

bool FindAndReplaceController::searchForward()
{
    return m_datafileWindowController->editorSearchController().forwardSearchForString(
        findWhat(), caseSensitiveIsOn(), wholeWordIsOn(), false, fieldsToSearchIn(), true,
        m_limitToCurrentRecord->isChecked(), false);
}

void FindAndReplaceController::findNext()
{
    if (!startCommand(false))
        return;
    if (findWhat().isEmpty() || !searchForward())
        beepWhenFindFails();
}

void FindAndReplaceController::replace()
{
    if (!startCommand(false))
        return;
    if (targetRefusesReplacing() || findWhat().isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    m_datafileWindowController->editorSearchController().replaceString(
        findWhat(), replaceWith(), caseSensitiveIsOn(), m_limitToCurrentRecord->isChecked());
}

void FindAndReplaceController::replaceAll()
{
    const bool limit = m_limitToCurrentRecord->isChecked();
    if (!startCommand(true))
        return;
    if (targetRefusesReplacing()) {
        Presenter::shared().beep();
        return;
    }
    CurrentRecordEngine& engine = m_datafileWindowController->engine();
    engine.updateCurrentRecord();
    engine.autoSaveChanges(false);
    engine.loadCurrentRecord();
    if (findWhat().isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    if (limit) {
        engine.saveIfDifferentRecord(engine.currentRecord());
    } else {
        engine.goToLastRecord();
        engine.goToFirstRecord();
    }
    m_datafileWindowController->editorSearchController().replaceAll(
        findWhat(), replaceWith(), caseSensitiveIsOn(), wholeWordIsOn(), fieldsToSearchIn(), limit);
    engine.loadCurrentRecord();
}

void FindAndReplaceController::replaceThenFind()
{
    if (!startCommand(false))
        return;
    if (targetRefusesReplacing() || findWhat().isEmpty()) {
        Presenter::shared().beep();
        return;
    }
    EditorSearchController& search = m_datafileWindowController->editorSearchController();
    search.replaceString(findWhat(), replaceWith(), caseSensitiveIsOn(),
                         m_limitToCurrentRecord->isChecked());
    // The field just replaced is searched again from its start; no hit stays no hit.
    CurrentRecordEngine& engine = m_datafileWindowController->engine();
    if (const qint64 last = engine.lastHitField(); last >= 0)
        engine.setLastHitField(last - 1);
    if (!searchForward())
        beepWhenFindFails();
}
