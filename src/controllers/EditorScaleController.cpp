#include "EditorScaleController.h"

#include "EditorWindowController.h"
#include "FreeformTextView.h"
#include "Presenter.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

EditorScaleController::EditorScaleController(EditorWindowController& editor, QMenu* scaleMenu)
    : m_editor(editor), m_scaleMenu(scaleMenu)
{
    m_editor.registerAction(QStringLiteral("scaleFTA:"), [this](QObject* sender) { scaleFTA(sender); });
    m_editor.registerAction(QStringLiteral("decreaseScale:"), [this](QObject*) { decreaseScale(); });
    m_editor.registerAction(QStringLiteral("increaseScale:"), [this](QObject*) { increaseScale(); });
}

void EditorScaleController::installScaleInfo(QStatusBar* statusBar)
{
    m_scaleInfo = new QLabel(QString::fromLatin1(Steps[m_currentScaleIndex].label), statusBar);
    statusBar->addPermanentWidget(m_scaleInfo);
}

QLabel* EditorScaleController::scaleInfo() const
{
    return m_scaleInfo;
}

QAction* EditorScaleController::currentScaleMenuItem() const
{
    return m_currentScaleMenuItem;
}

QAction* EditorScaleController::itemForStep(int index) const
{
    if (!m_scaleMenu)
        return nullptr;
    for (QAction* item : m_scaleMenu->actions())
        if (item->data().toInt() == index && item->isCheckable())
            return item;
    return nullptr;
}

void EditorScaleController::applyScaleFactor(int index)
{
    if (index < 0 || index >= int(Steps.size()))
        return;
    m_currentScaleIndex = index;
    if (m_scaleMenu)
        for (QAction* item : m_scaleMenu->actions())
            item->setChecked(false);
    // The step in force keeps its check mark, as when the window comes to the front again.
    m_currentScaleMenuItem = itemForStep(index);
    if (m_currentScaleMenuItem)
        m_currentScaleMenuItem->setChecked(true);
    const Step& step = Steps[std::size_t(index)];
    if (m_scaleInfo)
        m_scaleInfo->setText(QString::fromLatin1(step.label));
    if (step.factor == m_currentScale)
        return;
    m_currentScale = step.factor;
    if (FreeformTextView* text = m_editor.freeformTextView())
        text->setScale(step.factor);
}

void EditorScaleController::scaleFTA(QObject* sender)
{
    if (const auto* item = qobject_cast<const QAction*>(sender))
        applyScaleFactor(item->data().toInt());
}

void EditorScaleController::decreaseScale()
{
    if (m_currentScaleIndex == 0) {
        Presenter::shared().beep();
        return;
    }
    applyScaleFactor(m_currentScaleIndex - 1);
}

void EditorScaleController::increaseScale()
{
    if (m_currentScaleIndex == int(Steps.size()) - 1) {
        Presenter::shared().beep();
        return;
    }
    applyScaleFactor(m_currentScaleIndex + 1);
}

void EditorScaleController::resetScaleMenu()
{
    applyScaleFactor(m_currentScaleIndex);
}

void EditorScaleController::setScaleToOneHundred()
{
    applyScaleFactor(ActualSizeStep);
}

void EditorScaleController::windowWillClose()
{
    if (m_currentScaleMenuItem)
        m_currentScaleMenuItem->setChecked(false);
}
