#pragma once

#include <QList>

#include <memory>

class Graphic;

// A design: its graphics front to back (index 0 is the front-most).
using GraphicList = QList<std::shared_ptr<Graphic>>;
