#pragma once

#include "ToolFontSheetController.h"

#include <QStringList>

#include <memory>
#include <optional>

class FieldGraphic;
class PopUpButton;

// A field graphic's text: the field it shows, its font, the smallest size the page may
// shrink it to and its alignment (0 left, 1 centre, 2 right). The tool palette opens it
// before a field graphic is drawn, offering the field after the one last confirmed, and
// to restyle the one selected.
class FieldToolFontController : public ToolFontSheetController {
    Q_OBJECT

public:
    FieldToolFontController();

    // The pop-up lists the field names; without any it stays empty and OK stays off.
    void beginSheetWithFieldNames(const std::optional<QStringList>& fieldNames,
                                  DesignToolPaletteController* modalDelegate, DidEndCallback didEnd,
                                  const std::shared_ptr<FieldGraphic>& contextInfo);

    void selectFieldFont() { selectFont(); }
    void selectFieldName();
    void setMinimumPointSizeFromStepper();
    void changeFont(const QFont& font) override;
    // The choices go to the controller and the palette, then the sheet ends.
    void okay(QObject* sender = nullptr) override;
    bool maintainButtons() override;
    void recycle() override;

    const QString& fieldName() const { return m_fieldName; }
    void setFieldName(const QString& name) { m_fieldName = name; }
    qint64 fieldAlignment() const { return m_fieldAlignment; }
    void setFieldAlignment(qint64 alignment) { m_fieldAlignment = alignment; }

    PopUpButton* fieldNamesPopup() const { return m_fieldNamesPopup; }
    QButtonGroup* fieldAlignmentMatrix() const { return m_fieldAlignmentMatrix; }

protected:
    QString nibName() const override { return QStringLiteral("FieldToolFontController"); }
    void buildInterface(QDialog* window) override;

private:
    QString m_fieldName;
    qint64 m_fieldAlignment = 0;
    PopUpButton* m_fieldNamesPopup = nullptr;
    QButtonGroup* m_fieldAlignmentMatrix = nullptr;
};
