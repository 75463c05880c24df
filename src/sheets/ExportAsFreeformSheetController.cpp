#include "ExportAsFreeformSheetController.h"

#include "DatafileSettingsData.h"
#include "ExportAsFreeformTextAttachmentCell.h"
#include "Localization.h"
#include "Presenter.h"
#include "UserDefaults.h"
#include "UserGuide.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace {

// A copied piece of the template, tokens and all; other programs see its plain text.
class TemplateFragment : public QMimeData {
public:
    explicit TemplateFragment(const QTextDocumentFragment& fragment) : m_fragment(fragment)
    {
        setText(fragment.toPlainText());
    }
    const QTextDocumentFragment& fragment() const { return m_fragment; }

private:
    QTextDocumentFragment m_fragment;
};

// The template's text view: what is copied from it and pasted back keeps its tokens,
// which neither plain text nor HTML can carry.
class TemplateTextEdit : public QTextEdit {
public:
    using QTextEdit::QTextEdit;

protected:
    QMimeData* createMimeDataFromSelection() const override
    {
        return new TemplateFragment(textCursor().selection());
    }
    void insertFromMimeData(const QMimeData* source) override
    {
        if (const auto* fragment = dynamic_cast<const TemplateFragment*>(source)) {
            QTextCursor cursor = textCursor();
            cursor.insertFragment(fragment->fragment());
            setTextCursor(cursor);
            return;
        }
        QTextEdit::insertFromMimeData(source);
    }
};

} // namespace

void ExportAsFreeformSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Export As Freeform Text")));
    setPrompt(localized(QStringLiteral(
        "Write the text of each record. Click a field name to put in its contents.")));
    setOkayTitle(localized(QStringLiteral("Export…")));
    auto* row = new QHBoxLayout;
    m_freeformText = new TemplateTextEdit(contentArea());
    m_freeformText->setAcceptRichText(false);
    m_freeformText->setMinimumSize(360, 240);
    ExportAsFreeformTextAttachmentCell::installInto(m_freeformText);
    m_fieldNameList = new QListWidget(contentArea());
    m_fieldNameList->setMaximumWidth(180);
    m_fieldNameList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QObject::connect(m_fieldNameList, &QListWidget::itemClicked, this,
                     [this] { fieldNamesHit(m_fieldNameList); });
    row->addWidget(m_freeformText, 1);
    row->addWidget(m_fieldNameList);
    contentLayout()->addLayout(row);
}

void ExportAsFreeformSheetController::beginSheetWithSettings(
    std::shared_ptr<DatafileSettingsData> settings, const QString&, QWidget* window,
    bool openedReadOnly, DidEndCallback didEnd)
{
    setSettings(std::move(settings));
    beginSheetModalForWindow(window, std::move(didEnd));
    if (openedReadOnly && m_settings && m_settings->networkShared()) {
        AlertRequest alert;
        alert.style = AlertRequest::Style::Informational;
        alert.messageText =
            localized(QStringLiteral("Changes to Datafile Settings will not be saved"));
        alert.informativeText = localized(QStringLiteral(
            "This datafile has been opened as read-only, so no changes can be saved."));
        alert.buttons = {localized(QStringLiteral("OK"))};
        Presenter::shared().beginAlertSheet(alert, this->window(), [](const AlertResponse&) {});
    }
}

void ExportAsFreeformSheetController::setSettings(std::shared_ptr<DatafileSettingsData> settings)
{
    m_settings = std::move(settings);
    reloadFieldNames();
}

void ExportAsFreeformSheetController::reloadFieldNames()
{
    if (!m_fieldNameList)
        return;
    m_fieldNameList->clear();
    if (!m_settings)
        return;
    for (const PlistValue& value : m_settings->fields()) {
        const PlistDictionary* definition = value.asDictionary();
        m_fieldNameList->addItem(
            definition ? definition->stringForKey(DatafileSettingsData::FieldNameKey) : QString());
    }
}

bool ExportAsFreeformSheetController::prepare()
{
    reloadFieldNames();
    m_freeformText->clear();
    m_freeformText->setCurrentFont(font());
    m_freeformText->document()->setDefaultFont(font());
    if (m_fieldNameList->currentRow() > 0) {
        m_fieldNameList->clearSelection();
        m_fieldNameList->setCurrentRow(-1);
        m_fieldNameList->scrollToTop();
    }
    return VKSheetController::prepare();
}

void ExportAsFreeformSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("FileExportFreeform.html"));
}

QFont ExportAsFreeformSheetController::font()
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QString name = defaults.stringForKey(QStringLiteral("DefaultFieldsFontName"))
                             .value_or(QStringLiteral("Helvetica"));
    qint64 size = defaults.integerForKey(QStringLiteral("DefaultFieldsFontSize"));
    if (size < 1)
        size = 12;
    // Without such a family, the user's font of that size.
    QFont font = QFontDatabase::hasFamily(name) ? QFont(name) : QGuiApplication::font();
    font.setPointSizeF(double(size));
    return font;
}

void ExportAsFreeformSheetController::fieldNamesHit(QObject*)
{
    const int row = m_fieldNameList->currentRow();
    if (row < 0 || !m_settings || row >= m_settings->fields().size())
        return;
    const PlistDictionary* definition = m_settings->fields().at(row).asDictionary();
    if (!definition)
        return;
    QTextCursor cursor = m_freeformText->textCursor();
    cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                      ExportAsFreeformTextAttachmentCell::format(
                          definition->stringForKey(DatafileSettingsData::FieldNameKey),
                          definition->stringForKey(DatafileSettingsData::FieldIdentifierKey),
                          font()));
    // Typing goes on in the template's own font, not the token's.
    QTextCharFormat typing;
    typing.setFont(font());
    cursor.setCharFormat(typing);
    m_freeformText->setTextCursor(cursor);
    m_freeformText->setFocus();
}

int ExportAsFreeformSheetController::numberOfRowsInTableView() const
{
    return m_settings ? int(m_settings->fields().size()) : 0;
}

FreeformTextFormat ExportAsFreeformSheetController::freeformTextFormat() const
{
    return m_freeformText ? FreeformTextFormat::fromDocument(*m_freeformText->document())
                          : FreeformTextFormat();
}
