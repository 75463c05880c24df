#include "ExportDelimitedSheetController.h"

#include "Localization.h"
#include "StringFormat.h"
#include "UserGuide.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>

namespace {

QRadioButton* addChoice(QButtonGroup* group, QVBoxLayout* layout, QWidget* parent,
                        const QString& title)
{
    auto* button = new QRadioButton(title, parent);
    group->addButton(button);
    layout->addWidget(button);
    return button;
}

} // namespace

void ExportDelimitedSheetController::buildInterface(QDialog* window)
{
    VKSheetController::buildInterface(window);
    setWindowTitle(localized(QStringLiteral("Export")));
    setPrompt(
        stringWithFormat(localized(QStringLiteral("Export the shown records as %@:")), kindName()));

    auto* encodingBox = new QGroupBox(localized(QStringLiteral("Encoding")), contentArea());
    auto* encodingLayout = new QVBoxLayout(encodingBox);
    auto* utfMatrix = new QButtonGroup(encodingBox);
    m_utf16Radio = addChoice(utfMatrix, encodingLayout, encodingBox,
                             localized(QStringLiteral("Unicode (UTF-16)")));
    m_utf8Radio = addChoice(utfMatrix, encodingLayout, encodingBox,
                            localized(QStringLiteral("Unicode (UTF-8)")));
    m_utf8Radio->setChecked(true);
    contentLayout()->addWidget(encodingBox);

    auto* lineEndBox = new QGroupBox(localized(QStringLiteral("Line endings")), contentArea());
    auto* lineEndLayout = new QVBoxLayout(lineEndBox);
    auto* lineEnds = new QButtonGroup(lineEndBox);
    m_linefeed = addChoice(lineEnds, lineEndLayout, lineEndBox,
                           localized(QStringLiteral("Linefeed (LF)")));
    m_carriageReturn = addChoice(lineEnds, lineEndLayout, lineEndBox,
                                 localized(QStringLiteral("Carriage return (CR)")));
    m_crlf = addChoice(lineEnds, lineEndLayout, lineEndBox,
                       localized(QStringLiteral("Carriage return and linefeed (CR LF)")));
    m_linefeed->setChecked(true);
    contentLayout()->addWidget(lineEndBox);

    m_includingFieldNames = new QCheckBox(
        localized(QStringLiteral("Include field names as the first line")), contentArea());
    m_includingFieldNames->setChecked(true);
    contentLayout()->addWidget(m_includingFieldNames);
    m_fieldContentOnly = new QCheckBox(
        localized(QStringLiteral("Field contents only (no Freeform Text Area)")), contentArea());
    contentLayout()->addWidget(m_fieldContentOnly);
}

void ExportDelimitedSheetController::beginSheetForWindow(QWidget* window, DidEndCallback didEnd)
{
    beginSheetModalForWindow(window, std::move(didEnd));
}

void ExportDelimitedSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("FileExportTab.html"));
}

bool ExportDelimitedSheetController::utf16() const
{
    return m_utf16Radio && m_utf16Radio->isChecked();
}

bool ExportDelimitedSheetController::linefeedIsOn() const
{
    return m_linefeed && m_linefeed->isChecked();
}

bool ExportDelimitedSheetController::carriageReturnIsOn() const
{
    return m_carriageReturn && m_carriageReturn->isChecked();
}

bool ExportDelimitedSheetController::crlfIsOn() const
{
    return m_crlf && m_crlf->isChecked();
}

bool ExportDelimitedSheetController::includingFieldNamesIsOn() const
{
    return m_includingFieldNames && m_includingFieldNames->isChecked();
}

bool ExportDelimitedSheetController::fieldContentOnlyIsOn() const
{
    return m_fieldContentOnly && m_fieldContentOnly->isChecked();
}

QString ExportAsCSVSheetController::kindName() const
{
    return localized(QStringLiteral("CSV"));
}

QString ExportAsTabDelimitedSheetController::kindName() const
{
    return localized(QStringLiteral("tab-delimited text"));
}
