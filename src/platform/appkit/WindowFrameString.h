#pragma once

#include <QRect>
#include <QString>

#include <optional>

// The saved form of a window's frame: "x y w h sx sy sw sh", the window's frame and
// then its screen's, measured from the bottom-left corner of the primary screen with y
// growing upwards. Qt measures from the top-left with y growing downwards.
namespace WindowFrameString {

QString fromGeometry(const QRect& frame, const QRect& screenFrame, int primaryScreenHeight);
// The window's frame in Qt's terms; nothing when the string cannot be read.
std::optional<QRect> toGeometry(const QString& string, int primaryScreenHeight);

} // namespace WindowFrameString
