#pragma once

#include "NonPrintableRecordsEditor.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <memory>

class FeatureContext;
class QBoxLayout;
class QMainWindow;
class QPlainTextEdit;
class QWidget;
class TemplatePageWindowController;
class TooBigToolbarController;
class TooBigView;
class VKToolbarController;

// The editor window's bottom panel for the records a template cannot print: only those
// records stay selected while it is open, the panel shows the current one's address block
// against the room the template gives it, and the too-large toolbar stands in for the
// editor's. Stop gives the selection back and has the template test its records again.
// The user never closes the panel otherwise; the template's window closing does.
class EditorDrawerController : public QObject, public NonPrintableRecordsEditor {
    Q_OBJECT

public:
    EditorDrawerController(FeatureContext& context, VKToolbarController& editorToolbar);
    ~EditorDrawerController() override;

    // The panel, hidden, at the foot of the window's column.
    void setupBottomDrawer(QBoxLayout* column, QMainWindow* window);

    // NonPrintableRecordsEditor: the records at the given selected positions (those that
    // fit) leave the selection; the first of the rest is shown with the panel.
    bool editingNonPrintableRecords() const override { return m_editingNonPrintableRecords; }
    void editNonPrintableRecords(const QList<qint64>& printableRecords,
                                 TemplatePageWindowController* controller) override;
    void quitEditingNonPrintableRecords();

    void openBottomDrawer();
    void closeBottomDrawer();
    // The current record committed, shown afresh and its address block in the panel.
    void updateDrawerContents();
    // The panel closes only as the editing ends.
    bool drawerShouldClose() const { return false; }
    // A resize keeps the panel's height.
    QSize drawerWillResizeContents(const QSize& size) const;

    TooBigView* tooBigView() const { return m_tooBigView; }
    QWidget* bottomDrawer() const { return m_bottomDrawer; }
    // The too-large toolbar, made when the panel first opens.
    TooBigToolbarController* tooBigToolbarController() const { return m_tooBigToolbar.get(); }

private:
    QString addressBlockText() const;

    FeatureContext& m_context;
    VKToolbarController& m_editorToolbar;
    QMainWindow* m_window = nullptr;
    QWidget* m_bottomDrawer = nullptr;
    TooBigView* m_tooBigView = nullptr;
    QPlainTextEdit* m_tooBigTextView = nullptr;
    std::unique_ptr<TooBigToolbarController> m_tooBigToolbar;
    bool m_editingNonPrintableRecords = false;
    QStringList m_savedIdentifiers;
    QRect m_windowFrame;
    bool m_toolbarVisible = true;
    QPointer<TemplatePageWindowController> m_templatePageWindowController;
};
