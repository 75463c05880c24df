#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Remembers a window's frame in the user defaults under its autosave name, so that a
// window opens where and as large as the user last left it.
class WindowFrameAutosave : public QObject {
    Q_OBJECT

public:
    // The user-defaults key a name's frame is kept under.
    static QString defaultsKey(const QString& name);

    // Restores the window's frame from the name's saved one and saves it again at every
    // move and resize. An empty name stops saving.
    static void setFrameAutosaveName(QWidget* window, const QString& name);
    static QString frameAutosaveName(const QWidget* window);
    // False, leaving the window as it is, when nothing usable is saved under the name.
    static bool setFrameUsingName(QWidget* window, const QString& name);
    static void saveFrameUsingName(const QWidget* window, const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowFrameAutosave(QWidget* window, const QString& name);

    QString m_name;
};
