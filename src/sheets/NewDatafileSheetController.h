#pragma once

#include "ModifyFieldsSheetController.h"

class QButtonGroup;
class QRadioButton;

// The New Datafile sheet: the kind of the new datafile (desktop or mobile) and its
// fields, edited as in Modify Fields from an empty list. The caller's did-end reads
// fields() and isMobile() on OK.
class NewDatafileSheetController : public ModifyFieldsSheetController {
    Q_OBJECT

public:
    // The tags of the kind's two choices.
    static constexpr int DesktopTag = 0;
    static constexpr int MobileTag = 1;

    // Begins with no fields and the kind last chosen (desktop at first); with no window the sheet stands
    // alone. The settings are not read.
    void beginNewDatafileForWindow(QWidget* window, const PlistDictionary& settings,
                                   DidEndCallback didEnd);
    bool isMobile() const;

    // Outlets: the kind's choices, by tag.
    QButtonGroup* isMobileMatrix() const { return m_isMobileMatrix; }
    QRadioButton* desktopCell() const { return m_desktopCell; }
    QRadioButton* mobileCell() const { return m_mobileCell; }

protected:
    QString nibName() const override { return QStringLiteral("NewDatafileSheet"); }
    void buildInterface(QDialog* window) override;
    void addControlsAboveTable(QVBoxLayout* layout) override;

private:
    QButtonGroup* m_isMobileMatrix = nullptr;
    QRadioButton* m_desktopCell = nullptr;
    QRadioButton* m_mobileCell = nullptr;
};
