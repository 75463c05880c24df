#include "FreeformTextOptions.h"

#include "EditorSearchController.h"
#include "EditorWindowController.h"
#include "FindBoxView.h"
#include "FreeformTextView.h"
#include "LinkFinder.h"
#include "SpellChecker.h"
#include "SpellingHighlighter.h"
#include "UserDefaults.h"

#include <QHelpEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>
#include <QToolTip>

#include <utility>

namespace {

const QString SpellCheckerOffKey = QStringLiteral("GeneralSpellCheckerOff");

// Typing one of these ends a word, and with it perhaps an address.
bool endsWord(QChar c)
{
    return c.isSpace() || c == QChar::ParagraphSeparator || c == QLatin1Char(',') ||
           c == QLatin1Char(';') || c == QLatin1Char(')');
}

} // namespace

FreeformTextOptions::FreeformTextOptions(EditorWindowController& editor) : m_editor(editor) {}

FreeformTextOptions::~FreeformTextOptions()
{
    delete m_textSpelling.data();
    delete m_findBoxSpelling.data();
}

bool FreeformTextOptions::spellChecking() const
{
    return !m_textSpelling.isNull();
}

void FreeformTextOptions::prepare()
{
    if (std::exchange(m_prepared, true))
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    if (!UserDefaults::standardUserDefaults().boolForKey(SpellCheckerOffKey)) {
        const SpellChecker& checker = SpellChecker::shared();
        m_textSpelling =
            new SpellingHighlighter(view->document(), checker, [view](const auto& misspelled) {
                view->setMisspelledRanges(misspelled);
            });
        FindBoxView* findBox = m_editor.editorSearchController().searchField();
        m_findBoxSpelling = new SpellingHighlighter(
            findBox->document(), checker,
            [findBox](const auto& misspelled) {
                findBox->setExtraSelections(
                    SpellingHighlighter::underlines(findBox->document(), misspelled));
            });
    }
    view->viewport()->installEventFilter(this);
    connect(view->document(), &QTextDocument::contentsChange, this,
            [this, view](int position, int removed, int added) {
                // Only the user's typing: a record loaded is read-only for this moment
                // or quiet, and pasted text is found by its own command.
                if (added != 1 || removed != 0 || view->isReadOnly() || !view->hasFocus())
                    return;
                if (!endsWord(view->document()->characterAt(position)))
                    return;
                // After the edit: the document may not change while it tells of a change.
                QTimer::singleShot(0, this, [this, position] { findLinksAround(position); });
            });
}

void FreeformTextOptions::findLinksAround(int position)
{
    FreeformTextView* view = m_editor.freeformTextView();
    QTextDocument* document = view->document();
    const QTextBlock block = document->findBlock(position);
    if (!block.isValid() || view->isReadOnly())
        return;
    QTextCursor cursor(document);
    bool joined = false;
    for (const LinkFinder::Link& link :
         LinkFinder::linksInString(block.text(), LinkFinder::Characters::FreeformText)) {
        const int start = block.position() + int(link.range.location);
        cursor.setPosition(start);
        cursor.setPosition(start + int(link.range.length), QTextCursor::KeepAnchor);
        // Text that is a link already keeps the link it has.
        QTextCursor first(document);
        first.setPosition(start + 1);
        if (first.charFormat().isAnchor())
            continue;
        if (!joined) {
            cursor.joinPreviousEditBlock();
            joined = true;
        }
        QTextCharFormat format;
        format.setAnchor(true);
        format.setAnchorHref(link.url);
        cursor.mergeCharFormat(format);
    }
    if (!joined)
        return;
    cursor.endEditBlock();
    view->showLinks();
}

bool FreeformTextOptions::eventFilter(QObject* watched, QEvent* event)
{
    FreeformTextView* view = m_editor.freeformTextView();
    if (event->type() == QEvent::ToolTip && view && watched == view->viewport()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString link = view->anchorAt(help->pos());
        if (link.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), QUrl::fromPercentEncoding(link.toUtf8()), view->viewport());
        return true;
    }
    return QObject::eventFilter(watched, event);
}
