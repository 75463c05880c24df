#pragma once

#include "FieldOperationSheetController.h"

class QButtonGroup;
class QCheckBox;

// Fields ▸ Move Text Elements into Fields: which kinds of element (phone numbers, e-mail
// addresses, web links), one of each kind or all of them, copied or cut from the text.
// The two choices stay as the last run left them; the kinds start off every time.
class MoveTextElementsSheetController : public FieldOperationSheetController {
    Q_OBJECT

public:
    void beginMoveTextElementsForWindow(QWidget* window, DidEndCallback didEnd);
    bool movePhoneNumbers() const;
    bool moveEmailAddresses() const;
    bool moveWebLinks() const;
    bool moveOneEach() const;
    bool copyToFields() const;
    // Tag 0: one of each kind, or copy; any other: all of them, or move.
    void setOneOrAll(int tag);
    void setCopyOrMove(int tag);
    bool maintainButtons() override;

    QCheckBox* phoneNumberCheckbox() const { return m_phoneNumberCheckbox; }
    QCheckBox* emailCheckbox() const { return m_emailCheckbox; }
    QCheckBox* linksCheckbox() const { return m_linksCheckbox; }

protected:
    QString nibName() const override { return QStringLiteral("MoveTextElementsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    QCheckBox* m_phoneNumberCheckbox = nullptr;
    QCheckBox* m_emailCheckbox = nullptr;
    QCheckBox* m_linksCheckbox = nullptr;
    QButtonGroup* m_oneOrAllMatrix = nullptr;
    QButtonGroup* m_copyOrMoveMatrix = nullptr;
};
