#include "RecordInfoPaletteController.h"

#include "Localization.h"
#include "WindowFrameAutosave.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QWidget>

namespace {

RecordInfoPaletteController* shared = nullptr;

// The positions of an editor's record information.
enum Entry { ModifiedOn = 0, CreatedOn = 2, ModifiedBy = 3, CreatedBy = 5, RecordSize = 6 };

} // namespace

RecordInfoPaletteController& RecordInfoPaletteController::sharedRecordInfoPaletteController()
{
    if (!shared) {
        shared = new RecordInfoPaletteController;
        // Its window must go before the application object does.
        qAddPostRoutine([] {
            delete shared->m_window.data();
            delete shared;
            shared = nullptr;
        });
    }
    return *shared;
}

QWidget* RecordInfoPaletteController::window()
{
    if (!m_window)
        windowDidLoad();
    return m_window;
}

void RecordInfoPaletteController::windowDidLoad()
{
    // A floating panel that the window manager never gives the keyboard focus.
    auto* window = new QWidget(nullptr, Qt::Tool | Qt::WindowDoesNotAcceptFocus);
    window->setAttribute(Qt::WA_ShowWithoutActivating);
    window->setFocusPolicy(Qt::NoFocus);
    window->setWindowTitle(localized(QStringLiteral("Record Info")));
    auto* form = new QFormLayout(window);
    form->setLabelAlignment(Qt::AlignRight);
    const auto addRow = [&](const char* title) {
        auto* value = new QLabel(window);
        value->setMinimumWidth(160);
        form->addRow(localized(QString::fromLatin1(title)), value);
        return value;
    };
    m_createdOnText = addRow("Created:");
    m_createdByText = addRow("Created by:");
    m_modifiedOnText = addRow("Modified:");
    m_modifiedByText = addRow("Modified by:");
    m_recordSizeText = addRow("Size:");
    m_window = window;
    fill();
    WindowFrameAutosave::setFrameAutosaveName(window, NibName);
}

void RecordInfoPaletteController::showWindow()
{
    window()->show();
    m_window->raise();
}

bool RecordInfoPaletteController::isVisible() const
{
    return m_window && m_window->isVisible();
}

void RecordInfoPaletteController::setRecordInfo(const QStringList& info)
{
    m_info = info;
    fill();
}

void RecordInfoPaletteController::fill()
{
    if (!m_window)
        return;
    const auto entry = [&](Entry index) { return m_info.value(index); };
    m_modifiedOnText->setText(entry(ModifiedOn));
    m_createdOnText->setText(entry(CreatedOn));
    m_modifiedByText->setText(entry(ModifiedBy));
    m_createdByText->setText(entry(CreatedBy));
    m_recordSizeText->setText(entry(RecordSize));
}
