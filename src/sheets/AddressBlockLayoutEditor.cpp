#include "AddressBlockLayoutEditor.h"

#include "DatafileSettingsData.h"
#include "SettingsTextAttachmentCell.h"
#include "UserDefaults.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace {

const QString DefaultFieldsFontNameKey = QStringLiteral("DefaultFieldsFontName");
const QString DefaultFieldsFontSizeKey = QStringLiteral("DefaultFieldsFontSize");

// The family itself when it is installed, else the user font's.
QString installedFamily(const std::optional<QString>& family)
{
    return family && QFontDatabase::hasFamily(*family) ? *family : QGuiApplication::font().family();
}

QTextCharFormat textFormat(const ArchivedFont& font)
{
    QTextCharFormat format;
    format.setFontFamilies({font.name()});
    format.setFontPointSize(font.size());
    return format;
}

} // namespace

AddressBlockLayoutEditor::AddressBlockLayoutEditor(QWidget* parent) : QObject(parent)
{
    m_layoutEditor = new QTextEdit(parent);
    m_layoutEditor->setAcceptRichText(false);
    SettingsTextAttachmentCell::installInto(m_layoutEditor);
    m_addressFieldNames = new QListWidget(parent);
    connect(m_addressFieldNames, &QListWidget::itemClicked, this, [this] { addressFieldNamesHit(); });
    connect(m_addressFieldNames, &QListWidget::itemActivated, this,
            [this] { addressFieldNamesHit(); });
}

ArchivedFont AddressBlockLayoutEditor::defaultFieldsFont()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const qint64 size = defaults.integerForKey(DefaultFieldsFontSizeKey);
    return ArchivedFont(installedFamily(defaults.stringForKey(DefaultFieldsFontNameKey)
                                            .value_or(QStringLiteral("Helvetica"))),
                        size >= 1 ? double(size) : 12.0);
}

ArchivedFont AddressBlockLayoutEditor::tokenFont()
{
    const UserDefaults& defaults = UserDefaults::standardUserDefaults();
    return ArchivedFont(installedFamily(defaults.stringForKey(DefaultFieldsFontNameKey)),
                        double(defaults.integerForKey(DefaultFieldsFontSizeKey)));
}

void AddressBlockLayoutEditor::setFieldBasedSource(QAbstractButton* button,
                                                   std::function<void()> addressModeRadioHit)
{
    m_fieldBasedSource = button;
    m_addressModeRadioHit = std::move(addressModeRadioHit);
}

void AddressBlockLayoutEditor::setFields(const PlistArray& fields)
{
    m_fields = fields;
    m_addressFieldNames->clear();
    for (const PlistValue& field : fields) {
        const PlistDictionary* definition = field.asDictionary();
        m_addressFieldNames->addItem(
            definition ? definition->stringForKey(DatafileSettingsData::FieldNameKey) : QString());
    }
}

void AddressBlockLayoutEditor::addressFieldNamesHit()
{
    if (m_fieldBasedSource && !m_fieldBasedSource->isChecked()) {
        m_fieldBasedSource->setChecked(true);
        if (m_addressModeRadioHit)
            m_addressModeRadioHit();
    }
    const int row = m_addressFieldNames->currentRow();
    const QListWidgetItem* item = m_addressFieldNames->currentItem();
    if (row < 0 || row >= m_fields.size() || !item || !item->isSelected())
        return;
    const PlistDictionary* field = m_fields.at(row).asDictionary();
    if (!field)
        return;
    const AddressBlockLayout::Segment token = AddressBlockLayout::Segment::field(
        field->stringForKey(DatafileSettingsData::FieldNameKey),
        field->stringForKey(DatafileSettingsData::FieldIdentifierKey), tokenFont(),
        SettingsTextAttachmentCell::tokenColor());
    QTextCursor cursor = m_layoutEditor->textCursor();
    cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                      SettingsTextAttachmentCell::format(token));
    m_layoutEditor->setTextCursor(cursor);
    m_layoutEditor->setFocus();
}

void AddressBlockLayoutEditor::setEditorFont()
{
    // Tokens keep the look of their own format: only the typed text takes the font.
    const ArchivedFont font = defaultFieldsFont();
    QTextCursor all(m_layoutEditor->document());
    all.select(QTextCursor::Document);
    all.mergeCharFormat(textFormat(font));
    QFont editorFont = QGuiApplication::font();
    editorFont.setFamily(font.name());
    editorFont.setPointSizeF(font.size());
    m_layoutEditor->setFont(editorFont);
    m_layoutEditor->setCurrentFont(editorFont);
}

void AddressBlockLayoutEditor::showLayout(const AddressBlockLayout& layout)
{
    QTextCursor cursor(m_layoutEditor->document());
    const QTextCharFormat text = textFormat(defaultFieldsFont());
    for (const AddressBlockLayout::Segment& segment : layout.segments()) {
        if (segment.kind == AddressBlockLayout::Segment::Kind::Field) {
            cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                              SettingsTextAttachmentCell::format(segment));
            continue;
        }
        QString typed = segment.text;
        typed.remove(QChar::ObjectReplacementCharacter); // a token the archive lost
        cursor.insertText(typed, text);
    }
}

void AddressBlockLayoutEditor::loadLayout(const DatafileSettingsData& settings)
{
    m_layoutEditor->clear();
    m_loadedData = settings.addressBlockLayout();
    if (m_loadedData) {
        if (const std::optional<AddressBlockLayout> layout = AddressBlockLayout::fromData(*m_loadedData))
            showLayout(*layout);
    }
    setEditorFont();
    m_layoutEditor->moveCursor(QTextCursor::Start);
    m_layoutEditor->document()->setModified(false);
    if (m_addressFieldNames->currentRow() > 0)
        m_addressFieldNames->clearSelection();
    m_addressFieldNames->scrollToTop();
}

AddressBlockLayout AddressBlockLayoutEditor::layout() const
{
    AddressBlockLayout layout({}, defaultFieldsFont());
    const QTextDocument* document = m_layoutEditor->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (block != document->begin())
            layout.appendText(QStringLiteral("\n"));
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment part = fragment.fragment();
            if (const auto token = SettingsTextAttachmentCell::token(part.charFormat())) {
                // Tokens side by side may share one fragment.
                for (qsizetype count = 0; count < part.length(); ++count)
                    layout.appendField(*token);
                continue;
            }
            QString typed = part.text();
            typed.replace(QChar::LineSeparator, QLatin1Char('\n'));
            typed.remove(QChar::ObjectReplacementCharacter);
            layout.appendText(typed);
        }
    }
    return layout;
}

void AddressBlockLayoutEditor::storeLayout(DatafileSettingsData& settings)
{
    if (m_loadedData && !m_layoutEditor->document()->isModified()) {
        settings.setAddressBlockLayout(m_loadedData);
        return;
    }
    setEditorFont();
    m_loadedData = layout().toData();
    settings.setAddressBlockLayout(m_loadedData);
    m_layoutEditor->document()->setModified(false);
}
