#pragma once

#include "ToolFontSheetController.h"

#include <QStringList>

#include <memory>
#include <optional>

class AddressGraphic;

// The address block's text: its font, the smallest size the page may shrink it to, where
// the block sits in its frame (0 left or top, 1 centre, 2 right or bottom) and how its
// lines align (0 left, 1 centre, 2 right). The tool palette opens it before a block is
// drawn and to restyle the one selected.
class AddressToolFontController : public ToolFontSheetController {
    Q_OBJECT

public:
    AddressToolFontController();

    // Starts from the block's settings, or the defaults without one. The field names are
    // not read.
    void beginAddressSheetWithFieldNames(const std::optional<QStringList>& fieldNames,
                                         DesignToolPaletteController* modalDelegate,
                                         DidEndCallback didEnd,
                                         const std::shared_ptr<AddressGraphic>& contextInfo);

    void selectAddressFont() { selectFont(); }
    // A font chosen in the panel also caps the minimum size.
    void changeFont(const QFont& font) override;
    void clickedInStepper();
    // The placements and the alignment from their matrices.
    void hitMatrices();
    // The controls go to the controller and the palette before the sheet ends.
    void okay(QObject* sender = nullptr) override;

    qint64 horizontalAddressBlockPlacement() const { return m_horizontalPlacement; }
    void setHorizontalAddressBlockPlacement(qint64 placement) { m_horizontalPlacement = placement; }
    qint64 verticalAddressBlockPlacement() const { return m_verticalPlacement; }
    void setVerticalAddressBlockPlacement(qint64 placement) { m_verticalPlacement = placement; }
    qint64 addressBlockAlignment() const { return m_addressBlockAlignment; }
    void setAddressBlockAlignment(qint64 alignment) { m_addressBlockAlignment = alignment; }

    QButtonGroup* horizontalPlacementMatrix() const { return m_horizontalPlacementMatrix; }
    QButtonGroup* verticalPlacementMatrix() const { return m_verticalPlacementMatrix; }
    QButtonGroup* addressBlockAlignmentMatrix() const { return m_addressBlockAlignmentMatrix; }

protected:
    QString nibName() const override { return QStringLiteral("AddressToolFontController"); }
    void buildInterface(QDialog* window) override;

private:
    // The stepper goes no higher than the font's point size.
    void capStepper();

    qint64 m_horizontalPlacement = 0;
    qint64 m_verticalPlacement = 0;
    qint64 m_addressBlockAlignment = 0;
    QButtonGroup* m_horizontalPlacementMatrix = nullptr;
    QButtonGroup* m_verticalPlacementMatrix = nullptr;
    QButtonGroup* m_addressBlockAlignmentMatrix = nullptr;
};
