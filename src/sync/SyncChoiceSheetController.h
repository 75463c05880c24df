#pragma once

#include "VKSheetController.h"

class QCheckBox;

// Asks how to synchronise: with the mobile app over the network, Dropbox or a file here.
// The choice ends the sheet with OK; the always-use box makes it the preference. One
// layout per datafile kind, each with its own pooled controller.
class SyncChoiceSheetController : public VKSheetController {
    Q_OBJECT

public:
    static inline const QString HelpPage = QStringLiteral("FileSync.html");

    void beginSyncChoiceForWindow(QWidget* window, bool isMobile, DidEndCallback didEnd);
    int creationMethod() const { return m_creationMethod; }
    void setCreationMethod(int method) { m_creationMethod = method; }

    void wifiHit();
    void dropboxHit();
    void localHit();
    void help(QObject* sender = nullptr) override;

    QPushButton* wifiButton() const { return m_wifiButton; }
    QPushButton* dropboxButton() const { return m_dropboxButton; }
    QPushButton* localButton() const { return m_localButton; }
    QCheckBox* alwaysUseCheckbox() const { return m_alwaysUseCheckbox; }

protected:
    // The kind of datafile the layout is for.
    virtual bool forMobileDatafiles() const = 0;
    void buildInterface(QDialog* window) override;

private:
    void chose(int method);

    int m_creationMethod = 0;
    QPushButton* m_wifiButton = nullptr;
    QPushButton* m_dropboxButton = nullptr;
    QPushButton* m_localButton = nullptr;
    QCheckBox* m_alwaysUseCheckbox = nullptr;
};

// For desktop datafiles.
class SyncChoiceNewSheetController : public SyncChoiceSheetController {
    Q_OBJECT

protected:
    QString nibName() const override { return QStringLiteral("SyncChoiceNewSheet"); }
    bool forMobileDatafiles() const override { return false; }
};

// For mobile datafiles.
class SyncChoiceOldSheetController : public SyncChoiceSheetController {
    Q_OBJECT

protected:
    QString nibName() const override { return QStringLiteral("SyncChoiceOldSheet"); }
    bool forMobileDatafiles() const override { return true; }
};
