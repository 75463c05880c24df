#include "CurrentTextFontSheetController.h"

#include "DatafileSettingsData.h"
#include "FontStatisticLabel.h"
#include "Localization.h"
#include "Presenter.h"
#include "SettingsSheetController.h"
#include "UserGuide.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The label grows with its font up to this height.
constexpr qreal MaximumFontStatHeight = 52.0;

} // namespace

void CurrentTextFontSheetController::buildInterface(QDialog* window)
{
    window->setWindowTitle(localized(QStringLiteral("Freeform Text Font")));
    m_textFontStat = new FontStatisticLabel(MaximumFontStatHeight);
    m_textFontButton = new QPushButton(localized(QStringLiteral("Select...")));
    m_textFontButton->setAutoDefault(false);
    connect(m_textFontButton, &QPushButton::clicked, this, [this] { selectTextFont(); });
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(localized(QStringLiteral("Font:"))));
    row->addWidget(m_textFontStat, 1);
    row->addWidget(m_textFontButton);
    auto* box = new QVBoxLayout(window);
    box->addLayout(row);
    box->addStretch(1);
    box->addLayout(makeButtonRow());
    window->resize(420, 140);
}

void CurrentTextFontSheetController::beginSheetWithSettings(
    std::shared_ptr<DatafileSettingsData> settings, QWidget* docWindow, bool openedReadOnly,
    DidEndCallback didEnd)
{
    window(); // the label exists
    m_settings = std::move(settings);
    beginSheetModalForWindow(docWindow, std::move(didEnd));
    if (openedReadOnly && m_settings->networkShared())
        SettingsSheetController::warnReadOnly(window());
}

QFont CurrentTextFontSheetController::font() const
{
    return m_font.family().isEmpty()
               ? SettingsSheetController::defaultFont(QStringLiteral("DefaultFieldsFontName"),
                                                      QStringLiteral("DefaultFieldsFontSize"))
               : m_font;
}

bool CurrentTextFontSheetController::prepare()
{
    if (m_settings)
        m_font = m_settings->textFont();
    updateFontStat();
    return VKSheetController::prepare();
}

void CurrentTextFontSheetController::selectTextFont()
{
    m_textFontStat->setFocus();
    const QPointer<CurrentTextFontSheetController> self(this);
    Presenter::shared().showFontPanel(font(), window(), [self](const QFont& picked) {
        if (self)
            self->changeFont(picked);
    });
}

void CurrentTextFontSheetController::changeFont(const QFont& picked)
{
    m_font = picked;
    if (m_settings) {
        m_settings->setTextFontName(picked.family());
        m_settings->setTextFontSize(qint64(std::trunc(picked.pointSizeF())));
    }
    updateFontStat();
}

void CurrentTextFontSheetController::updateFontStat()
{
    m_textFontStat->showFont(font());
    window()->update();
}

void CurrentTextFontSheetController::okay(QObject*)
{
    Presenter::shared().closeFontPanel();
    endWithReturnCode(1);
}

void CurrentTextFontSheetController::cancel(QObject*)
{
    Presenter::shared().closeFontPanel();
    endWithReturnCode(0);
}

void CurrentTextFontSheetController::help(QObject*)
{
    UserGuide::openPage(QStringLiteral("FormatFreeformFont.html"));
}
