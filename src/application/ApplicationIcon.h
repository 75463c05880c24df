#pragma once

#include <QIcon>
#include <QImage>

// "IconApp", the application's icon, shown on every window.
QIcon applicationIcon();
// The icon drawn at one size (a square of that many pixels); the desktop's icon theme is
// made of these.
QImage applicationIconImage(int size);
