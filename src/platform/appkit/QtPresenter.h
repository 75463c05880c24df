#pragma once

#include "Presenter.h"

#include <QPointer>

#include <map>
#include <memory>

class QAudioOutput;
class QFontDialog;
class QMediaPlayer;
class QMessageBox;
class QSoundEffect;

// The presenter the application installs: message boxes, file dialogs and the
// desktop's handlers.
class QtPresenter : public Presenter {
public:
    QtPresenter();
    ~QtPresenter() override;

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

private:
    static QMessageBox* makeMessageBox(const AlertRequest& alert, QWidget* parent);
    static AlertResponse responseOf(const QMessageBox& box);

    QString m_lastDirectory;
    // Made at the first sound.
    std::unique_ptr<QMediaPlayer> m_player;
    std::unique_ptr<QAudioOutput> m_audioOutput;
    // The program's own sounds, loaded once each.
    std::map<QString, std::unique_ptr<QSoundEffect>> m_soundEffects;
    QPointer<QFontDialog> m_fontPanel;
};
