#pragma once

#include "PrintOperation.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

// An alert: a message, the informative text under it and its buttons, the first
// being the default. No buttons means one "OK".
struct AlertRequest {
    enum class Style { Warning, Informational, Critical };

    QString messageText;
    QString informativeText;
    QStringList buttons;
    Style style = Style::Warning;
    bool showsSuppressionButton = false;
    QString suppressionButtonTitle; // empty: the platform's own wording
};

// The button chosen, as AlertFirstButtonReturn plus its position, and whether the
// suppression box was ticked.
struct AlertResponse {
    int returnCode = 1000;
    bool suppressed = false;
};

inline constexpr int AlertFirstButtonReturn = 1000;
inline constexpr int AlertSecondButtonReturn = 1001;
inline constexpr int AlertThirdButtonReturn = 1002;

struct OpenPanelRequest {
    QString title;
    QString message;
    QString prompt;        // the default button's title; empty: "Open"
    QString directory;     // where the panel starts; empty: the last one used
    QString nameFieldValue; // the file chosen at first, by name in that folder
    QStringList fileTypes; // extensions without the dot; empty: any file
    // Named choices of files ("Norva datafiles (*.nv3 *.nvm)", "All files (*)"), the first
    // chosen at first; empty: one choice of the file types.
    QStringList nameFilters;
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    bool allowsMultipleSelection = false;
    bool canCreateDirectories = false;
    // False: a chosen symbolic link is answered as itself, not as what it points to.
    bool resolvesAliases = true;
    // Extensions of folders that are documents ("rtfd"): such a folder is chosen as a
    // file, not entered.
    QStringList packageTypes;

    // Whether the path is a folder of one of the package types.
    bool isPackage(const QString& path) const;
};

struct SavePanelRequest {
    QString title;
    QString message;
    QString prompt;
    QString directory;
    QString nameFieldValue;
    QStringList allowedFileTypes; // the first one is added to a name without an extension

    // The chosen file as the panel answers it: with the first allowed type added when
    // its name has no extension.
    QUrl completedUrl(const QUrl& chosen) const;
};

// Every interruption of the user goes through here: alerts, panels, beeps, opening
// links and showing files. The application installs the one that shows widgets;
// tests install a scripted one that records what was shown and answers from a script.
class Presenter {
public:
    virtual ~Presenter() = default;

    // The installed presenter. Installing nullptr makes the default one current again.
    static Presenter& shared();
    static void setShared(Presenter* presenter);

    // Application-modal: answers once the user has chosen.
    virtual AlertResponse runModalAlert(const AlertRequest& alert) = 0;
    // Window-modal on the window (application-modal without one); the callback runs
    // once the sheet is gone.
    virtual void beginAlertSheet(const AlertRequest& alert, QWidget* window,
                                 std::function<void(const AlertResponse&)> didEnd) = 0;

    // The chosen files; none when cancelled.
    virtual QList<QUrl> runOpenPanel(const OpenPanelRequest& request, QWidget* window) = 0;
    // The chosen file; nothing when cancelled.
    virtual std::optional<QUrl> runSavePanel(const SavePanelRequest& request, QWidget* window) = 0;

    // A print job: through the print panel first when the request asks for it,
    // window-modal on the window; the callback runs once the job printed, failed or was
    // cancelled.
    virtual void runPrintOperation(const PrintOperationRequest& request, QWidget* window,
                                   std::function<void(const PrintOperationResult&)> didRun) = 0;
    // Page Setup on the settings, window-modal; the callback gets the settings accepted,
    // or nothing when cancelled.
    virtual void runPageLayout(const PrintInfo& printInfo, QWidget* window,
                               std::function<void(const std::optional<PrintInfo>&)> didEnd) = 0;
    // The part of the paper the printer a print goes to can mark (see PrintSession).
    virtual QRectF imageablePageBounds(const PrintInfo& printInfo) = 0;

    // The colour panel, starting at the colour, window-modal on the window; the colour
    // chosen, nothing when cancelled.
    virtual std::optional<QColor> runColorPanel(const QColor& initial, QWidget* window) = 0;

    virtual void beep() = 0;
    // Plays the sound of that name from the sound folders; an unknown name plays nothing.
    virtual void playSound(const QString& name) = 0;
    // Opens a link with the system's handler; false when none would take it.
    virtual bool openUrl(const QUrl& url) = 0;
    // Shows the file in the file manager.
    virtual void revealFile(const QString& path) = 0;

    // The font panel, beside the window and not modal, showing the font: every font the
    // user picks in it goes to the callback, until the panel is closed or shown anew.
    virtual void showFontPanel(const QFont& font, QWidget* window,
                               std::function<void(const QFont&)> fontChanged) = 0;
    // Nothing when the panel is not on screen.
    virtual void closeFontPanel() = 0;
};
