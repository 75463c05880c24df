#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class EditorWindowController;
class QAction;
class QLabel;
class QMenu;
class QStatusBar;

// The scale of the editor window's Freeform Text Area, in fourteen fixed steps from 10%
// to 6400%: the application's Scale menu (one item per step, its step as its data)
// carries the check mark of the window in front, and the status bar shows the step.
// Only what is shown scales; the text is never touched.
class EditorScaleController : public QObject {
    Q_OBJECT

public:
    struct Step {
        const char* label;
        double factor;
    };
    static constexpr std::array<Step, 14> Steps = {{{"10%", 0.1},
                                                    {"25%", 0.25},
                                                    {"50%", 0.5},
                                                    {"75%", 0.75},
                                                    {"100%", 1.0},
                                                    {"125%", 1.25},
                                                    {"150%", 1.5},
                                                    {"200%", 2.0},
                                                    {"400%", 4.0},
                                                    {"800%", 8.0},
                                                    {"1600%", 16.0},
                                                    {"2400%", 24.0},
                                                    {"3200%", 32.0},
                                                    {"6400%", 64.0}}};
    static constexpr int ActualSizeStep = 4;

    EditorScaleController(EditorWindowController& editor, QMenu* scaleMenu);

    // The status bar's label of the step.
    void installScaleInfo(QStatusBar* statusBar);
    QLabel* scaleInfo() const;

    // Sets the step: the text area shows the step's factor, the step's item of the Scale
    // menu alone carries the check mark, the status bar names the step.
    void applyScaleFactor(int index);
    // The action of the Scale menu's items: the step of the item chosen.
    void scaleFTA(QObject* sender);
    // One step down or up; beyond the first or the last only a beep.
    void decreaseScale();
    void increaseScale();
    // The check mark and the status bar follow this window as it comes to the front.
    void resetScaleMenu();
    void setScaleToOneHundred();
    // The window closes: its step's item loses the check mark.
    void windowWillClose();

    double currentScale() const { return m_currentScale; }
    int currentScaleIndex() const { return m_currentScaleIndex; }
    QAction* currentScaleMenuItem() const;

private:
    QAction* itemForStep(int index) const;

    EditorWindowController& m_editor;
    QPointer<QMenu> m_scaleMenu;
    QPointer<QLabel> m_scaleInfo;
    double m_currentScale = 1.0;
    int m_currentScaleIndex = ActualSizeStep;
    QPointer<QAction> m_currentScaleMenuItem;
};
