#pragma once

#include "Presenter.h"

#include <QMarginsF>
#include <QPointer>
#include <QWidget>

#include <deque>
#include <initializer_list>

// The presenter for tests: records everything shown and answers from a script.
// An alert without a scripted answer gets its default button, a panel without one
// is cancelled. Asking for a button the alert does not have throws std::invalid_argument,
// so a wrong script fails the test that wrote it.
class ScriptedPresenter : public Presenter {
public:
    struct ShownAlert {
        AlertRequest request;
        bool sheet = false;
        QPointer<QWidget> window;
        AlertResponse response; // the answer it got
    };
    struct ShownOpenPanel {
        OpenPanelRequest request;
        QPointer<QWidget> window;
    };
    struct ShownSavePanel {
        SavePanelRequest request;
        QPointer<QWidget> window;
    };

    struct ShownPrintJob {
        PrintOperationRequest request; // without its session
        QPointer<QWidget> window;
        PrintOperationResult result; // the answer it got
    };
    struct ShownPageLayout {
        PrintInfo printInfo;
        QPointer<QWidget> window;
    };

    // Script: answers taken in order, one per alert.
    void answerAlerts(std::initializer_list<int> returnCodes);
    void answerAlert(int returnCode, bool suppressed = false);
    void answerAlertWithButton(const QString& buttonTitle, bool suppressed = false);
    // One answer per open panel; no URLs cancels it.
    void answerOpenPanel(const QList<QUrl>& urls);
    // One answer per save panel; nothing cancels it.
    void answerSavePanel(const std::optional<QUrl>& url);
    // One answer per print job, in order; a job without one prints. A job that prints
    // records only what it was asked, unless its session goes to a PDF file: a job that
    // shows its panel and is answered with a file sends its session's jobs there.
    // The pages chosen in the panel; none: all of them.
    void answerPrintJob(bool success, const QString& pdfFile = QString(),
                        std::optional<PrintableView::PageRange> pages = std::nullopt);
    // One answer per Page Setup; nothing cancels it. Without one it is cancelled.
    void answerPageLayout(const std::optional<PrintInfo>& accepted);
    // The border of the paper the printer cannot mark; none unless set (a PDF file).
    void setUnprintableBorder(const QMarginsF& border) { m_unprintableBorder = border; }
    // One answer per colour panel, in order; nothing cancels it. Without one it is
    // cancelled.
    void answerColorPanel(const std::optional<QColor>& color);
    // What openUrl() answers; true unless set.
    void setOpensUrls(bool opens) { m_opensUrls = opens; }

    // Held sheets end only when endSheets() is called, so a test can look at the state
    // while a sheet is up. Otherwise a sheet's callback runs before beginAlertSheet returns.
    void setHoldSheets(bool hold) { m_holdSheets = hold; }
    // Ends the sheets held so far, oldest first; sheets their callbacks begin stay held.
    // Returns how many ended.
    int endSheets();
    int heldSheetCount() const { return int(m_heldSheets.size()); }

    const QList<ShownAlert>& alerts() const { return m_alerts; }
    // Throws std::out_of_range when no alert was shown.
    const ShownAlert& lastAlert() const;
    QStringList alertMessages() const;
    const QList<ShownOpenPanel>& openPanels() const { return m_openPanels; }
    const QList<ShownSavePanel>& savePanels() const { return m_savePanels; }
    const QList<ShownPrintJob>& printJobs() const { return m_printJobs; }
    const QList<ShownPageLayout>& pageLayouts() const { return m_pageLayouts; }
    const QList<QColor>& colorPanels() const { return m_colorPanels; } // their initial colours
    int beepCount() const { return m_beepCount; }
    const QStringList& playedSounds() const { return m_playedSounds; }
    const QList<QUrl>& openedUrls() const { return m_openedUrls; }
    const QStringList& revealedPaths() const { return m_revealedPaths; }

    // Forgets what was shown, the script and any held sheets.
    void clear();

    AlertResponse runModalAlert(const AlertRequest& alert) override;
    void beginAlertSheet(const AlertRequest& alert, QWidget* window,
                         std::function<void(const AlertResponse&)> didEnd) override;
    QList<QUrl> runOpenPanel(const OpenPanelRequest& request, QWidget* window) override;
    std::optional<QUrl> runSavePanel(const SavePanelRequest& request, QWidget* window) override;
    void runPrintOperation(const PrintOperationRequest& request, QWidget* window,
                           std::function<void(const PrintOperationResult&)> didRun) override;
    void runPageLayout(const PrintInfo& printInfo, QWidget* window,
                       std::function<void(const std::optional<PrintInfo>&)> didEnd) override;
    QRectF imageablePageBounds(const PrintInfo& printInfo) override;
    std::optional<QColor> runColorPanel(const QColor& initial, QWidget* window) override;
    void beep() override;
    void playSound(const QString& name) override;
    bool openUrl(const QUrl& url) override;
    void revealFile(const QString& path) override;
    void showFontPanel(const QFont& font, QWidget* window,
                       std::function<void(const QFont&)> fontChanged) override;
    void closeFontPanel() override;

    // The font panel: whether it is on screen, the font it was shown with, and the user
    // picking a font in it.
    bool fontPanelShown() const { return bool(m_fontChanged); }
    QFont fontPanelFont() const { return m_fontPanelFont; }
    void pickFont(const QFont& font);

private:
    struct ScriptedAnswer {
        int returnCode = AlertFirstButtonReturn;
        QString buttonTitle; // when set, chooses the button by title
        bool suppressed = false;
    };
    struct HeldSheet {
        std::function<void(const AlertResponse&)> didEnd;
        AlertResponse response;
    };

    AlertResponse answer(const AlertRequest& alert, bool sheet, QWidget* window);

    std::deque<ScriptedAnswer> m_alertScript;
    std::deque<QList<QUrl>> m_openPanelScript;
    std::deque<std::optional<QUrl>> m_savePanelScript;
    struct PrintJobAnswer {
        bool success = true;
        QString pdfFile;
        std::optional<PrintableView::PageRange> pages;
    };
    std::deque<PrintJobAnswer> m_printJobScript;
    std::deque<std::optional<PrintInfo>> m_pageLayoutScript;
    std::deque<std::optional<QColor>> m_colorPanelScript;
    QMarginsF m_unprintableBorder;
    std::deque<HeldSheet> m_heldSheets;
    bool m_holdSheets = false;
    bool m_opensUrls = true;

    QList<ShownAlert> m_alerts;
    QList<ShownOpenPanel> m_openPanels;
    QList<ShownSavePanel> m_savePanels;
    QList<ShownPrintJob> m_printJobs;
    QList<ShownPageLayout> m_pageLayouts;
    QList<QColor> m_colorPanels;
    int m_beepCount = 0;
    QStringList m_playedSounds;
    QList<QUrl> m_openedUrls;
    QStringList m_revealedPaths;
    QFont m_fontPanelFont;
    std::function<void(const QFont&)> m_fontChanged;
};
