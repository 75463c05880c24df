#pragma once

#include "ArchivedFont.h"
#include "GraphicClass.h"

#include <QString>

#include <optional>

// What the design canvas asks of the tool palette that serves it: the tool chosen, the
// settings new field graphics and address blocks take, and the refresh of its controls.
class DesignToolPalette {
public:
    virtual ~DesignToolPalette() = default;

    // None for the arrow.
    virtual std::optional<GraphicClass> currentGraphicClass() const = 0;
    virtual void selectArrowTool() = 0;
    virtual void enableFontSettingsButton(bool enabled) = 0;
    virtual void setNeedsUpdate(bool needsUpdate) = 0;
    // Refreshes the controls from the canvas's selection when they need it.
    virtual void windowDidUpdate() = 0;

    virtual qint64 currentFieldAlignment() const = 0;
    virtual ArchivedFont currentFieldFont() const = 0;
    virtual QString currentFieldName() const = 0;
    virtual float fieldMinimumPointSize() const = 0;
    virtual ArchivedFont addressFont() const = 0;
    virtual float minimumPointSize() const = 0;
    virtual qint64 addressBlockAlignment() const = 0;
    virtual qint64 horizontalAddressBlockPlacement() const = 0;
    virtual qint64 verticalAddressBlockPlacement() const = 0;
};
