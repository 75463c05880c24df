#include "SpellingPanelController.h"

#include "EditorWindowController.h"
#include "FreeformTextCommands.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "SpellChecker.h"
#include "VKTextViewCategories.h"

#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QTextCursor>

SpellingPanelController::SpellingPanelController(EditorWindowController& editor) : m_editor(editor)
{
    m_editor.registerAction(QStringLiteral("showGuessPanel:"), [this](QObject*) { showGuessPanel(); });
}

SpellingPanelController::~SpellingPanelController()
{
    delete m_panel.data();
}

void SpellingPanelController::showGuessPanel()
{
    if (!m_panel) {
        m_panel = new TextPanel(localized(QStringLiteral("Spelling")), m_editor.window());
        m_word = new QLabel(m_panel);
        m_guesses = new QListWidget(m_panel);
        m_panel->form()->addRow(localized(QStringLiteral("Word:")), m_word);
        m_panel->form()->addRow(localized(QStringLiteral("Guesses:")), m_guesses);
        m_panel->addButton(localized(QStringLiteral("Ignore")), [this] { ignore(); });
        m_panel->addButton(localized(QStringLiteral("Find Next")), [this] { findNext(); });
        m_panel->addButton(localized(QStringLiteral("Correct")), [this] { correct(); });
        connect(m_guesses, &QListWidget::itemDoubleClicked, this, [this] { correct(); });
    }
    m_panel->orderFront();
    findNext();
}

bool SpellingPanelController::findNext()
{
    FreeformTextView* view = m_editor.freeformTextView();
    const QString text = VKTextViewCategories::stringValue(view);
    const int from = view->textCursor().selectionEnd();
    const auto ranges = SpellChecker::shared().misspelledRanges(text);
    const auto after = std::find_if(ranges.begin(), ranges.end(),
                                    [from](const auto& range) { return range.first >= from; });
    m_guesses->clear();
    if (ranges.isEmpty()) {
        m_word->setText(localized(QStringLiteral("No misspelled words.")));
        Presenter::shared().beep();
        return false;
    }
    const auto& [start, length] = after != ranges.end() ? *after : ranges.front();
    QTextCursor word(view->document());
    word.setPosition(int(start));
    word.setPosition(int(start + length), QTextCursor::KeepAnchor);
    view->setTextCursor(word);
    view->ensureCursorVisible();
    const QString misspelled = text.mid(start, length);
    m_word->setText(misspelled);
    m_guesses->addItems(SpellChecker::shared().guesses(misspelled));
    if (m_guesses->count() > 0)
        m_guesses->setCurrentRow(0);
    return true;
}

void SpellingPanelController::correct()
{
    FreeformTextView* view = m_editor.freeformTextView();
    const QListWidgetItem* guess = m_guesses ? m_guesses->currentItem() : nullptr;
    if (!guess || !view->textCursor().hasSelection() || !m_editor.textCommands().textAreaEditable())
        return;
    // The word takes the guess in its own attributes.
    view->textCursor().insertText(guess->text());
    findNext();
}

void SpellingPanelController::ignore()
{
    if (!m_word || m_word->text().isEmpty())
        return;
    SpellChecker::shared().ignoreWord(m_word->text());
    findNext();
}
