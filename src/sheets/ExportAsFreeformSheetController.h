#pragma once

#include "FreeformBlocks.h"
#include "VKSheetController.h"

#include <QFont>

#include <memory>

class DatafileSettingsData;
class QListWidget;
class QTextEdit;

// The template of a freeform-text export: free text into which a click on a field name
// in the list puts that field's token. The template starts empty each time.
class ExportAsFreeformSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The datafile's settings give the field list; the path is the datafile's own. A
    // read-only datafile that is shared says, on the sheet, that its settings will not be
    // saved.
    void beginSheetWithSettings(std::shared_ptr<DatafileSettingsData> settings, const QString& path,
                                QWidget* window, bool openedReadOnly, DidEndCallback didEnd);

    bool prepare() override;
    void help(QObject* sender = nullptr) override;
    // The template font: "DefaultFieldsFontName" ("Helvetica") at "DefaultFieldsFontSize"
    // (12 below 1).
    static QFont font();
    // Puts the token of the field selected in the list into the template, as typed text.
    void fieldNamesHit(QObject* sender = nullptr);

    int numberOfRowsInTableView() const;
    // The template as it stands.
    FreeformTextFormat freeformTextFormat() const;
    QTextEdit* freeformText() { return window(), m_freeformText; }
    QListWidget* fieldNameList() { return window(), m_fieldNameList; }
    const std::shared_ptr<DatafileSettingsData>& settings() const { return m_settings; }
    void setSettings(std::shared_ptr<DatafileSettingsData> settings);

protected:
    QString nibName() const override { return QStringLiteral("ExportAsFreeformSheet"); }
    void buildInterface(QDialog* window) override;

private:
    void reloadFieldNames();

    std::shared_ptr<DatafileSettingsData> m_settings;
    QTextEdit* m_freeformText = nullptr;
    QListWidget* m_fieldNameList = nullptr;
};
