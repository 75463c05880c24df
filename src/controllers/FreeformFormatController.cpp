#include "FreeformFormatController.h"

#include "EditorWindowController.h"
#include "FreeformRuler.h"
#include "FreeformTextCommands.h"
#include "FreeformTextEdits.h"
#include "FreeformTextView.h"
#include "Presenter.h"
#include "RtfTextProperty.h"

#include <QAction>
#include <QEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextImageFormat>

namespace {

// Kerning steps of one point, in the twips the text keeps.
constexpr int KerningStep = 20;
// Raise and Lower move the baseline a point, in half-points.
constexpr int BaselineStep = 2;
constexpr int LigaturesNone = 0;
constexpr int LigaturesAll = 2;

// Shared by every window, as the platform's style and ruler pasteboards are.
std::optional<QTextCharFormat>& copiedStyle()
{
    static std::optional<QTextCharFormat> style;
    return style;
}

std::optional<QTextBlockFormat>& copiedRuler()
{
    static std::optional<QTextBlockFormat> ruler;
    return ruler;
}

int tagOf(QObject* sender)
{
    const auto* action = qobject_cast<QAction*>(sender);
    return action ? action->data().toInt() : 0;
}

qreal pointSizeOf(const QTextCharFormat& format)
{
    return format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                          : format.font().pointSizeF();
}

// The look of what the text keeps: the spacing and the raised or lowered baseline.
void showSpacingAndBaseline(QTextCharFormat& format)
{
    if (format.hasProperty(RtfTextProperty::Expansion)) {
        format.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        format.setFontLetterSpacing(format.intProperty(RtfTextProperty::Expansion) / 20.0);
    } else {
        format.clearProperty(QTextFormat::FontLetterSpacing);
        format.clearProperty(QTextFormat::FontLetterSpacingType);
    }
    const qreal size = pointSizeOf(format);
    if (format.hasProperty(RtfTextProperty::BaselineOffset) && size > 0)
        format.setBaselineOffset(format.intProperty(RtfTextProperty::BaselineOffset) / 2.0 / size * 100.0);
    else
        format.clearProperty(QTextFormat::TextBaselineOffset);
}

} // namespace

FreeformFormatController::FreeformFormatController(EditorWindowController& editor) : m_editor(editor)
{
    using Self = FreeformFormatController;
    const auto on = [this](const char* selector, void (Self::*command)()) {
        m_editor.registerAction(QString::fromLatin1(selector),
                                [this, command](QObject*) { (this->*command)(); });
    };
    on("orderFrontFontPanel:", &Self::orderFrontFontPanel);
    on("orderFrontColorPanel:", &Self::orderFrontColorPanel);
    on("underline:", &Self::underline);
    on("useStandardKerning:", &Self::useStandardKerning);
    on("turnOffKerning:", &Self::turnOffKerning);
    on("tightenKerning:", &Self::tightenKerning);
    on("loosenKerning:", &Self::loosenKerning);
    on("useStandardLigatures:", &Self::useStandardLigatures);
    on("turnOffLigatures:", &Self::turnOffLigatures);
    on("useAllLigatures:", &Self::useAllLigatures);
    on("unscript:", &Self::unscript);
    on("superscript:", &Self::superscript);
    on("subscript:", &Self::subscript);
    on("raiseBaseline:", &Self::raiseBaseline);
    on("lowerBaseline:", &Self::lowerBaseline);
    on("copyFont:", &Self::copyFont);
    on("pasteFont:", &Self::pasteFont);
    on("pasteFTAStyle:", &Self::pasteFont);
    on("copyRuler:", &Self::copyRuler);
    on("pasteRuler:", &Self::pasteRuler);
    on("pasteFTARuler:", &Self::pasteRuler);
    on("toggleFreeformRuler:", &Self::toggleFreeformRuler);
    m_editor.registerAction(QStringLiteral("addFontTrait:"),
                            [this](QObject* sender) { addFontTrait(tagOf(sender)); });
    m_editor.registerAction(QStringLiteral("modifyFont:"),
                            [this](QObject* sender) { modifyFont(tagOf(sender)); });
    for (const auto& [selector, alignment] :
         {std::pair{"alignLeft:", Qt::AlignLeft}, std::pair{"alignCenter:", Qt::AlignHCenter},
          std::pair{"alignJustified:", Qt::AlignJustify}, std::pair{"alignRight:", Qt::AlignRight}}) {
        const Qt::Alignment chosen = alignment;
        m_editor.registerAction(QString::fromLatin1(selector), [this, chosen](QObject*) { align(chosen); });
    }
}

FreeformFormatController::~FreeformFormatController() = default;

bool FreeformFormatController::mayEdit() const
{
    return m_editor.textCommands().textAreaEditable();
}

QTextCharFormat FreeformFormatController::formatAtSelectionStart() const
{
    return FreeformTextEdits::formatAtSelectionStart(m_editor.freeformTextView());
}

void FreeformFormatController::changeCharacters(const std::function<void(QTextCharFormat&)>& change)
{
    if (!mayEdit())
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    const QTextCursor selection = view->textCursor();
    if (!selection.hasSelection()) {
        QTextCharFormat typing = view->currentCharFormat();
        change(typing);
        view->setCurrentCharFormat(typing);
        return;
    }
    FreeformTextEdits::changeCharacterFormats(selection, change);
}

void FreeformFormatController::orderFrontFontPanel()
{
    FreeformTextView* view = m_editor.freeformTextView();
    QFont shown = formatAtSelectionStart().font();
    if (!formatAtSelectionStart().hasProperty(QTextFormat::FontPointSize))
        shown.setPointSizeF(view->textFont().pointSizeF());
    const QPointer<FreeformFormatController> self(this);
    Presenter::shared().showFontPanel(shown, m_editor.window(), [self](const QFont& font) {
        if (!self)
            return;
        // The family, size and traits picked; colours, underline and links stay.
        self->changeCharacters([&font](QTextCharFormat& format) {
            format.setFontFamilies(font.families().isEmpty() ? QStringList{font.family()}
                                                             : font.families());
            format.setFontPointSize(font.pointSizeF());
            format.setFontWeight(font.weight());
            format.setFontItalic(font.italic());
            showSpacingAndBaseline(format);
        });
    });
}

void FreeformFormatController::orderFrontColorPanel()
{
    if (!mayEdit())
        return;
    const QTextCharFormat start = formatAtSelectionStart();
    const QColor shown = start.hasProperty(QTextFormat::ForegroundBrush) ? start.foreground().color()
                                                                        : QColor(Qt::black);
    const std::optional<QColor> chosen = Presenter::shared().runColorPanel(shown, m_editor.window());
    if (!chosen)
        return;
    changeCharacters([&](QTextCharFormat& format) { format.setForeground(*chosen); });
}

void FreeformFormatController::addFontTrait(int trait)
{
    if (trait == BoldTrait)
        m_editor.textCommands().toggleBold();
    else if (trait == ItalicTrait)
        m_editor.textCommands().toggleItalic();
}

void FreeformFormatController::underline()
{
    const bool underlined = formatAtSelectionStart().fontUnderline();
    changeCharacters([underlined](QTextCharFormat& format) { format.setFontUnderline(!underlined); });
}

void FreeformFormatController::modifyFont(int action)
{
    const qreal step = action == SizeUpFontAction ? 1.0 : action == SizeDownFontAction ? -1.0 : 0.0;
    if (step == 0.0)
        return;
    changeCharacters([step](QTextCharFormat& format) {
        format.setFontPointSize(std::max<qreal>(1.0, pointSizeOf(format) + step));
        showSpacingAndBaseline(format);
    });
}

void FreeformFormatController::changeExpansion(
    const std::function<std::optional<int>(std::optional<int>)>& change, bool kerning)
{
    changeCharacters([&](QTextCharFormat& format) {
        std::optional<int> expansion;
        if (format.hasProperty(RtfTextProperty::Expansion))
            expansion = format.intProperty(RtfTextProperty::Expansion);
        expansion = change(expansion);
        if (expansion)
            format.setProperty(RtfTextProperty::Expansion, *expansion);
        else
            format.clearProperty(RtfTextProperty::Expansion);
        if (kerning)
            format.clearProperty(QTextFormat::FontKerning);
        else
            format.setFontKerning(false);
        showSpacingAndBaseline(format);
    });
}

void FreeformFormatController::useStandardKerning()
{
    changeExpansion([](std::optional<int>) { return std::nullopt; }, true);
}

void FreeformFormatController::turnOffKerning()
{
    changeExpansion([](std::optional<int>) { return 0; }, false);
}

void FreeformFormatController::tightenKerning()
{
    changeExpansion([](std::optional<int> twips) { return twips.value_or(0) - KerningStep; }, true);
}

void FreeformFormatController::loosenKerning()
{
    changeExpansion([](std::optional<int> twips) { return twips.value_or(0) + KerningStep; }, true);
}

void FreeformFormatController::useStandardLigatures()
{
    changeCharacters([](QTextCharFormat& format) { format.clearProperty(RtfTextProperty::Ligature); });
}

void FreeformFormatController::turnOffLigatures()
{
    changeCharacters(
        [](QTextCharFormat& format) { format.setProperty(RtfTextProperty::Ligature, LigaturesNone); });
}

void FreeformFormatController::useAllLigatures()
{
    changeCharacters(
        [](QTextCharFormat& format) { format.setProperty(RtfTextProperty::Ligature, LigaturesAll); });
}

void FreeformFormatController::unscript()
{
    changeCharacters([](QTextCharFormat& format) {
        format.clearProperty(QTextFormat::TextVerticalAlignment);
        format.clearProperty(RtfTextProperty::BaselineOffset);
        showSpacingAndBaseline(format);
    });
}

void FreeformFormatController::superscript()
{
    // One step up: subscript text comes back to the baseline.
    changeCharacters([](QTextCharFormat& format) {
        if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            format.clearProperty(QTextFormat::TextVerticalAlignment);
        else
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    });
}

void FreeformFormatController::subscript()
{
    changeCharacters([](QTextCharFormat& format) {
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            format.clearProperty(QTextFormat::TextVerticalAlignment);
        else
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    });
}

void FreeformFormatController::changeBaseline(int halfPoints)
{
    changeCharacters([halfPoints](QTextCharFormat& format) {
        const int offset = format.intProperty(RtfTextProperty::BaselineOffset) + halfPoints;
        if (offset == 0)
            format.clearProperty(RtfTextProperty::BaselineOffset);
        else
            format.setProperty(RtfTextProperty::BaselineOffset, offset);
        showSpacingAndBaseline(format);
    });
}

void FreeformFormatController::raiseBaseline()
{
    changeBaseline(BaselineStep);
}

void FreeformFormatController::lowerBaseline()
{
    changeBaseline(-BaselineStep);
}

void FreeformFormatController::align(Qt::Alignment alignment)
{
    if (!mayEdit())
        return;
    QTextBlockFormat format;
    format.setAlignment(alignment);
    m_editor.freeformTextView()->textCursor().mergeBlockFormat(format);
}

void FreeformFormatController::copyFont()
{
    QTextCharFormat style = formatAtSelectionStart();
    // The style, not what the text is: no link and no picture go with it.
    for (const int property : {int(QTextFormat::IsAnchor), int(QTextFormat::AnchorHref),
                               int(QTextFormat::ObjectType), int(QTextFormat::ImageName),
                               int(QTextFormat::ImageWidth), int(QTextFormat::ImageHeight),
                               int(RtfTextProperty::AttachmentFileName),
                               int(RtfTextProperty::AttachmentContents)})
        style.clearProperty(property);
    copiedStyle() = style;
}

void FreeformFormatController::pasteFont()
{
    if (!copiedStyle())
        return;
    const QTextCharFormat style = *copiedStyle();
    changeCharacters([&style](QTextCharFormat& format) {
        // Every attribute of the style replaces the text's own; links stay.
        const bool anchor = format.isAnchor();
        const QString href = format.anchorHref();
        if (format.isImageFormat()) {
            QTextImageFormat picture = format.toImageFormat();
            picture.merge(style);
            format = picture;
        } else {
            format = style;
        }
        if (anchor) {
            format.setAnchor(true);
            format.setAnchorHref(href);
        }
    });
}

void FreeformFormatController::copyRuler()
{
    QTextBlockFormat ruler = m_editor.freeformTextView()->textCursor().blockFormat();
    ruler.clearProperty(QTextFormat::ObjectIndex);
    copiedRuler() = ruler;
}

void FreeformFormatController::pasteRuler()
{
    if (!copiedRuler() || !mayEdit())
        return;
    const QTextBlockFormat ruler = *copiedRuler();
    FreeformTextEdits::changeParagraphFormats(m_editor.freeformTextView()->textCursor(),
                                              [&ruler](QTextBlockFormat& format) { format = ruler; });
}

FreeformRuler* FreeformFormatController::ruler() const
{
    return m_ruler.data();
}

void FreeformFormatController::toggleFreeformRuler()
{
    FreeformTextView* view = m_editor.freeformTextView();
    if (view->hasFocus()) {
        toggleRuler();
        return;
    }
    m_editor.activateFreeformText();
    toggleRuler();
    m_editor.activateFindBox();
}

void FreeformFormatController::toggleRuler()
{
    FreeformTextView* view = m_editor.freeformTextView();
    if (!m_ruler) {
        m_ruler = new FreeformRuler(view, [this] { return mayEdit(); }, view);
        view->installEventFilter(this);
        m_ruler->hide();
    }
    const bool show = m_ruler->isHidden();
    m_ruler->setVisible(show);
    view->setTopMargin(show ? m_ruler->sizeHint().height() : 0);
    placeRuler();
}

void FreeformFormatController::placeRuler()
{
    if (!m_ruler)
        return;
    FreeformTextView* view = m_editor.freeformTextView();
    const int frame = view->frameWidth();
    m_ruler->setGeometry(frame, frame, view->width() - 2 * frame, m_ruler->sizeHint().height());
}

bool FreeformFormatController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == m_editor.freeformTextView())
        placeRuler();
    return QObject::eventFilter(watched, event);
}
