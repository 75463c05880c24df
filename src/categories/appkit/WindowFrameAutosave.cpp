#include "WindowFrameAutosave.h"

#include "UserDefaults.h"

#include <QEvent>
#include <QRect>
#include <QWidget>

#include <optional>

namespace {

// "x y width height", the window's frame in screen coordinates.
QString frameString(const QRect& frame)
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(frame.x())
        .arg(frame.y())
        .arg(frame.width())
        .arg(frame.height());
}

std::optional<QRect> frameFromString(const QString& string)
{
    const QStringList parts = string.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 4)
        return std::nullopt;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts.at(i).toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0)
        return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

WindowFrameAutosave* autosaveOf(const QWidget* window)
{
    return window->findChild<WindowFrameAutosave*>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

WindowFrameAutosave::WindowFrameAutosave(QWidget* window, const QString& name)
    : QObject(window), m_name(name)
{
    window->installEventFilter(this);
}

QString WindowFrameAutosave::defaultsKey(const QString& name)
{
    return QStringLiteral("NSWindow Frame ") + name;
}

void WindowFrameAutosave::setFrameAutosaveName(QWidget* window, const QString& name)
{
    delete autosaveOf(window);
    if (name.isEmpty())
        return;
    setFrameUsingName(window, name);
    new WindowFrameAutosave(window, name);
}

QString WindowFrameAutosave::frameAutosaveName(const QWidget* window)
{
    const WindowFrameAutosave* autosave = autosaveOf(window);
    return autosave ? autosave->m_name : QString();
}

bool WindowFrameAutosave::setFrameUsingName(QWidget* window, const QString& name)
{
    const std::optional<QString> saved =
        UserDefaults::standardUserDefaults().stringForKey(defaultsKey(name));
    const std::optional<QRect> frame = saved ? frameFromString(*saved) : std::nullopt;
    if (!frame)
        return false;
    window->setGeometry(*frame);
    return true;
}

void WindowFrameAutosave::saveFrameUsingName(const QWidget* window, const QString& name)
{
    UserDefaults::standardUserDefaults().setObject(PlistValue(frameString(window->geometry())),
                                                   defaultsKey(name));
}

bool WindowFrameAutosave::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched == parent()) {
        saveFrameUsingName(static_cast<QWidget*>(watched), m_name);
    }
    return QObject::eventFilter(watched, event);
}
