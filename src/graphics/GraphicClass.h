#pragma once

#include <QCursor>
#include <QString>

#include <memory>

class Graphic;

// A kind of graphic a tool draws: its class name (the key of the "GraphicClassNames"
// table) and how a new one is made.
struct GraphicClass {
    QString name;
    std::shared_ptr<Graphic> (*make)() = nullptr;

    static GraphicClass rectangle();
    static GraphicClass circle();
    static GraphicClass line();
    static GraphicClass text();
    static GraphicClass field();
    static GraphicClass address();

    // Every tool draws with the crosshair.
    static QCursor creationCursor() { return QCursor(Qt::CrossCursor); }

    bool operator==(const GraphicClass& other) const { return name == other.name; }
};
