// The colour panel and the desktop's sounds of the Qt presenter.
#include "QtPresenter.h"

#include "SoundLibrary.h"

#include <QAudioOutput>
#include <QColorDialog>
#include <QMediaPlayer>
#include <QSoundEffect>
#include <QUrl>

QtPresenter::QtPresenter() = default;
QtPresenter::~QtPresenter() = default;

std::optional<QColor> QtPresenter::runColorPanel(const QColor& initial, QWidget* window)
{
    const QColor chosen = QColorDialog::getColor(initial, window);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

void QtPresenter::playSound(const QString& name)
{
    // The program's own sounds first, as short WAVs that must start at once (a tone of a
    // number being dialed); without an audio device they play nothing.
    if (const QString bundled = SoundLibrary::bundledSoundPath(name); !bundled.isEmpty()) {
        std::unique_ptr<QSoundEffect>& effect = m_soundEffects[name];
        if (!effect) {
            effect = std::make_unique<QSoundEffect>();
            effect->setSource(QUrl(QStringLiteral("qrc") + bundled));
        }
        effect->play();
        return;
    }
    const QString path = SoundLibrary::pathForSound(name, SoundLibrary::soundFolders());
    if (path.isEmpty())
        return;
    if (!m_player) {
        m_player = std::make_unique<QMediaPlayer>();
        m_audioOutput = std::make_unique<QAudioOutput>();
        m_player->setAudioOutput(m_audioOutput.get());
    }
    // A new sound cuts the one still playing short.
    m_player->stop();
    m_player->setSource(QUrl::fromLocalFile(path));
    m_player->play();
}
