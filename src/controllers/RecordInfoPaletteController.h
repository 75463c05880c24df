#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

class QLabel;
class QWidget;

// The record information palette: one floating window for the whole program that shows
// when and by whom the current record of the editor in front was created and last
// modified, and how large it is. It never takes the focus from the editor, and keeps
// whatever the last editor handed it.
class RecordInfoPaletteController : public QObject {
    Q_OBJECT

public:
    static inline const QString NibName = QStringLiteral("RecordInfoPalette");

    // Made on first use and kept until the program ends.
    static RecordInfoPaletteController& sharedRecordInfoPaletteController();

    // The palette's window, built on first use.
    QWidget* window();
    // Shows the palette without activating it.
    void showWindow();
    bool isVisible() const;

    // An editor's record information (modified, viewed and created dates, modified,
    // viewed and created by, size): all but the viewed ones are shown.
    void setRecordInfo(const QStringList& info);

    // Outlets, once the window is built.
    QLabel* modifiedOnText() const { return m_modifiedOnText; }
    QLabel* createdOnText() const { return m_createdOnText; }
    QLabel* modifiedByText() const { return m_modifiedByText; }
    QLabel* createdByText() const { return m_createdByText; }
    QLabel* recordSizeText() const { return m_recordSizeText; }

private:
    RecordInfoPaletteController() = default;
    void windowDidLoad();
    void fill();

    QPointer<QWidget> m_window;
    QPointer<QLabel> m_modifiedOnText;
    QPointer<QLabel> m_createdOnText;
    QPointer<QLabel> m_modifiedByText;
    QPointer<QLabel> m_createdByText;
    QPointer<QLabel> m_recordSizeText;
    QStringList m_info;
};
