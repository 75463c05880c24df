#pragma once

#include "TextPanel.h"

#include <QObject>
#include <QPointer>

class EditorWindowController;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

// The link, list, spacing and table panels of the Freeform Text Area: each opened from the
// Format menu beside the window, applying what it holds to the text's selection.
class FreeformPanelsController : public QObject {
    Q_OBJECT

public:
    explicit FreeformPanelsController(EditorWindowController& editor);
    ~FreeformPanelsController() override;

    void orderFrontLinkPanel();
    void orderFrontListPanel();
    void orderFrontSpacingPanel();
    void orderFrontTablePanel();

    // The panels once shown; nullptr before.
    TextPanel* linkPanel() const { return m_linkPanel; }
    TextPanel* listPanel() const { return m_listPanel; }
    TextPanel* spacingPanel() const { return m_spacingPanel; }
    TextPanel* tablePanel() const { return m_tablePanel; }
    QLineEdit* linkField() const { return m_link; }
    QComboBox* listMarkerBox() const { return m_marker; }
    QDoubleSpinBox* lineHeightBox() const { return m_lineHeight; }
    QDoubleSpinBox* spaceBeforeBox() const { return m_spaceBefore; }
    QDoubleSpinBox* spaceAfterBox() const { return m_spaceAfter; }
    QSpinBox* tableRowsBox() const { return m_rows; }
    QSpinBox* tableColumnsBox() const { return m_columns; }

    // What the panels' buttons do.
    void setLink();
    void removeLink();
    void applyList();
    void removeList();
    void applySpacing();
    void insertTable();
    void addTableRow();
    void addTableColumn();

private:
    bool mayEdit() const;
    void showSelectionInPanels();

    EditorWindowController& m_editor;
    QPointer<TextPanel> m_linkPanel;
    QPointer<TextPanel> m_listPanel;
    QPointer<TextPanel> m_spacingPanel;
    QPointer<TextPanel> m_tablePanel;
    QLineEdit* m_link = nullptr;
    QComboBox* m_marker = nullptr;
    QDoubleSpinBox* m_lineHeight = nullptr;
    QDoubleSpinBox* m_spaceBefore = nullptr;
    QDoubleSpinBox* m_spaceAfter = nullptr;
    QSpinBox* m_rows = nullptr;
    QSpinBox* m_columns = nullptr;
};
