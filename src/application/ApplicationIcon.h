#pragma once

#include <QIcon>

// "IconApp", the application's icon, shown on every window.
QIcon applicationIcon();
