#pragma once

#include "VKSheetController.h"

#include <QFont>

#include <memory>

class DatafileSettingsData;
class FontStatisticLabel;

// Format ▸ Freeform Text Font: the font of the datafile's Freeform Text Area. Every font
// picked in the font panel is written into the settings at once; OK and Cancel only close.
class CurrentTextFontSheetController : public VKSheetController {
    Q_OBJECT

public:
    void beginSheetWithSettings(std::shared_ptr<DatafileSettingsData> settings, QWidget* docWindow,
                                bool openedReadOnly, DidEndCallback didEnd);

    bool prepare() override;
    void okay(QObject* sender = nullptr) override;
    void cancel(QObject* sender = nullptr) override;
    void help(QObject* sender = nullptr) override;
    void selectTextFont();
    void changeFont(const QFont& font);
    void updateFontStat();

    const std::shared_ptr<DatafileSettingsData>& settings() const { return m_settings; }
    // The font shown; before any, the default fields font of new datafiles.
    QFont font() const;
    void setFont(const QFont& font) { m_font = font; }

    QPushButton* textFontButton() const { return m_textFontButton; }
    FontStatisticLabel* textFontStat() const { return m_textFontStat; }

protected:
    QString nibName() const override { return QStringLiteral("CurrentTextFontController"); }
    void buildInterface(QDialog* window) override;

private:
    std::shared_ptr<DatafileSettingsData> m_settings;
    QFont m_font;
    QPushButton* m_textFontButton = nullptr;
    FontStatisticLabel* m_textFontStat = nullptr;
};
