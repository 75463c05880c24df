#pragma once

#include "FieldOperationSheetController.h"

class QButtonGroup;
class QComboBox;

// Fields ▸ Transfer Field Contents: the field whose values go into the Freeform Text Area,
// copied or moved, and where they go.
class TransferFieldContentsSheetController : public FieldOperationSheetController {
    Q_OBJECT

public:
    enum Method { Copy = 0, Move = 1 };

    void beginTransferFieldContentsForWindow(QWidget* window, const PlistArray& fields,
                                             DidEndCallback didEnd);
    QString selectedFieldIdentifier() const;
    int transferMethod() const;
    // 0 to 2 at the start (value, then a blank, a line break or two), 3 to 5 at the end.
    int placement() const;
    void setTransferMethod(int method);
    void setPlacement(int placement);

    QComboBox* fieldNamesPopup() const { return m_fieldNamesPopup; }

protected:
    QString nibName() const override
    {
        return QStringLiteral("TransferFieldContentsSheetController");
    }
    void buildInterface(QDialog* window) override;

private:
    QComboBox* m_fieldNamesPopup = nullptr;
    QButtonGroup* m_transferMatrix = nullptr;
    QButtonGroup* m_placementMatrix = nullptr;
};
