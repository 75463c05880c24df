#pragma once

#include "VKSheetController.h"

#include <QPointer>

class PopUpButton;
class QAction;

// Chooses the datafile whose selected records a template prints, from a pop-up of the
// datafiles folder's datafiles, or "None". Choosing an item ends the sheet at once.
class AssociateDatafileSheetController : public VKSheetController {
    Q_OBJECT

public:
    void beginDatafileSheetForWindow(QWidget* window, DidEndCallback didEnd);
    // The pop-up's title item, "None", a separator, then the datafiles.
    void updateDatafilesMenu();

    void specifyDatafile(QAction* item);
    void specifyNoDatafile();
    // The item chosen, whose represented object is the datafile's path; nullptr for
    // "None" or before a choice.
    QAction* selectedDatafile() const { return m_specifiedDatafile; }
    PopUpButton* datafilesPopup() const { return m_datafilesPopup; }

    void recycle() override;
    // Nothing to do: the caller reads the chosen item.
    void handleOkayClick() {}

protected:
    QString nibName() const override { return QStringLiteral("AssociateDatafileSheet"); }
    void buildInterface(QDialog* window) override;

private:
    PopUpButton* m_datafilesPopup = nullptr;
    QPointer<QAction> m_specifiedDatafile;
};
