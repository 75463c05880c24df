#include "HotKeyHandler.h"

#include "FilePathField.h"
#include "FileURL.h"
#include "Localization.h"
#include "PopUpButton.h"
#include "Presenter.h"
#include "UserDefaults.h"
#include "VKTextFieldCategories.h"
#include "VKViewsListView.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>

namespace {

// Tags 1 to 9 are the digit keys, 10 the "0" key.
constexpr int hotKeyCount = 10;

} // namespace

QString HotKeyHandler::keyEquivalentForMode(qint64 mode)
{
    if (mode < 1)
        return QString(QLatin1String(""));
    return mode <= 9 ? QString::number(mode) : QStringLiteral("0");
}

bool HotKeyHandler::initForViewsListView(VKViewsListView* list, const PlistDictionary& settings,
                                         const QVariant& userInfo)
{
    if (!VKPopupSingleHandler::initForViewsListView(list, settings, userInfo))
        return false;
    VKTextFieldCategories::setFieldValue(m_pathField,
                                         settings.stringForKey(QStringLiteral("Path")));
    return true;
}

void HotKeyHandler::buildInterface(QHBoxLayout* row)
{
    for (int tag = 1; tag <= hotKeyCount; ++tag) {
        QAction* item = modePopup()->menu()->addAction(QString::number(tag % 10));
        PopUpButton::setTag(item, tag);
    }
    m_pathField = new FilePathField;
    m_pathField->setMinimumWidth(240);
    m_pathField->setPlaceholderText(localized(QStringLiteral("Datafile")));
    m_browseButton = new QPushButton(localized(QStringLiteral("Browse…")));
    row->addWidget(m_pathField, 1);
    row->addWidget(m_browseButton);
    connect(m_pathField, &FilePathField::action, this, [this] { path(); });
    connect(m_pathField, &QLineEdit::editingFinished, this, [this] { path(); });
    connect(m_browseButton, &QPushButton::clicked, this, [this] { browse(); });
}

PlistDictionary HotKeyHandler::mutableSettings() const
{
    PlistDictionary settings = VKPopupSingleHandler::mutableSettings();
    settings.insert(QStringLiteral("Path"), m_pathField ? m_pathField->text() : QString());
    settings.insert(QStringLiteral("KeyEquivalent"), keyEquivalentForMode(mode()));
    return settings;
}

void HotKeyHandler::enableRemoveButtons(bool enable)
{
    VKPopupSingleHandler::enableRemoveButtons(enable);
    if (addButton())
        addButton()->setEnabled(viewsListView() && viewsListView()->count() < hotKeyCount);
}

void HotKeyHandler::browse()
{
    OpenPanelRequest request;
    request.directory = FileURL::folderPath(UserDefaults::standardUserDefaults()
                                                .stringForKey(QStringLiteral("DatafilesFolderURL"))
                                                .value_or(QString()));
    request.fileTypes = {QStringLiteral("nv3"), QStringLiteral("nvm")};
    request.allowsMultipleSelection = false;
    const QList<QUrl> chosen = Presenter::shared().runOpenPanel(request, window());
    if (chosen.isEmpty())
        return;
    m_pathField->setText(FileURL::abbreviateTilde(chosen.first().toLocalFile()));
    notifyOfChange();
}
