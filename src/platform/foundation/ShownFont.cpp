#include "ShownFont.h"

#include "ArchivedFont.h"

#include <QGuiApplication>

QFont shownFont(const ArchivedFont& font)
{
    QFont shown(font.name());
    if (font.size() > 0)
        shown.setPointSizeF(font.size());
    return shown;
}

ArchivedFont archivedFont(const QFont& font)
{
    return ArchivedFont(font.family(), font.pointSizeF());
}

ArchivedFont userFontOfSize(double size)
{
    return ArchivedFont(QGuiApplication::font().family(), size);
}
