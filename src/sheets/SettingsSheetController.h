#pragma once

#include "PlistValue.h"
#include "VKSheetController.h"

#include <QColor>
#include <QFont>
#include <QPointer>

#include <memory>

class AddressBlockLayoutEditor;
class ColorWell;
class DatafileSettingsData;
class FontStatisticLabel;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QVBoxLayout;

// What the settings sheet needs of the window whose datafile it edits.
class SettingsSheetEditor {
public:
    virtual ~SettingsSheetEditor() = default;
    // Whether the window may save; while it may not, the sheet can only be cancelled.
    virtual bool canSaveChanges() const = 0;
    virtual bool openedReadOnly() const = 0;
    // After OK: the window shows the stored settings (tables, find box, text colour).
    virtual void showStoredSettings() = 0;
};

// Datafile ▸ Datafile Settings: every setting of one datafile in a tabbed sheet. It edits
// the document's own settings: the password buttons write at once (Cancel puts the
// opening password back), everything else is written on OK. Each tab builds, shows and
// stores its own controls, in a source of its own: SettingsSheetControllerGeneral.cpp ...
class SettingsSheetController : public VKSheetController {
    Q_OBJECT

public:
    // The tags of the radio groups, as stored.
    static constexpr int OpenToFirstRecordTag = 3;
    static constexpr int OpenToLastSelectedRecordTag = 4;
    static constexpr int OpenToMostRecentRecordTag = 5;
    static constexpr int NewRecordAfterCurrentTag = 0;
    static constexpr int NewRecordFirstTag = 1;
    static constexpr int NewRecordLastTag = 2;
    static constexpr int FreeformStartsAtMarkerTag = 0;
    static constexpr int FreeformStartsAtLineTag = 1;
    // The field pop-ups' last item, the Freeform Text Area.
    static constexpr int TextItemTag = 1000;
    static inline const QString TextItemObject = QStringLiteral("Text");
    static inline const QString AutoOpenDatafilePathsKey = QStringLiteral("AutoOpenDatafilePaths");

    ~SettingsSheetController() override;

    void beginSheetWithSettings(std::shared_ptr<DatafileSettingsData> settings, const QString& path,
                                QWidget* docWindow, SettingsSheetEditor* editor,
                                DidEndCallback didEnd);
    // "Changes to Datafile Settings will not be saved", as a sheet on the window.
    static void warnReadOnly(QWidget* window);
    // The window closed with the sheet up.
    void forgetEditor(const SettingsSheetEditor* editor);

    bool prepare() override;
    // OK only while the window may save.
    bool maintainButtons() override;
    void okay(QObject* sender = nullptr) override;
    void cancel(QObject* sender = nullptr) override;
    void help(QObject* sender = nullptr) override;
    // The store steps of OK, once the password question, if any, is answered.
    void continueOkayFunction();

    const std::shared_ptr<DatafileSettingsData>& settings() const { return m_settings; }
    QString path() const { return m_path; }
    QTabWidget* tabView() const { return m_tabView; }

    // The General tab.
    QCheckBox* autoOpenCheck() const { return m_autoOpenCheck; }
    QCheckBox* saveChangesCheck() const { return m_saveChangesCheck; }
    QCheckBox* customSortingCheck() const { return m_customSortingCheck; }
    QCheckBox* networkSharedCheck() const { return m_networkSharedCheck; }
    QCheckBox* readOnlyCheck() const { return m_readOnlyCheck; }
    QCheckBox* readOnlyWarningCheck() const { return m_readOnlyWarningCheck; }
    QCheckBox* enableLinksCheck() const { return m_enableLinksCheck; }
    QCheckBox* warnWhenTooLargeCheck() const { return m_warnWhenTooLargeCheck; }
    QCheckBox* pasteClipboardCheck() const { return m_pasteClipboardCheck; }
    // Read-only box: its warning box only while it is on, network sharing only while off.
    void readOnlyHit();

    // The Freeform Text Area tab: its name, background colour, fonts and printing.
    QLineEdit* textNameField() const { return m_textNameField; }
    ColorWell* backgroundColorWell() const { return m_backgroundColorWell; }
    FontStatisticLabel* textFontStat() const { return m_textFontStat; }
    FontStatisticLabel* fieldsFontStat() const { return m_fieldsFontStat; }
    FontStatisticLabel* findBoxFontStat() const { return m_findBoxFontStat; }
    QCheckBox* dontPrintEmptyFieldsCheck() const { return m_dontPrintEmptyFieldsCheck; }
    QCheckBox* printBoldFieldNamesCheck() const { return m_printBoldFieldNamesCheck; }
    QCheckBox* printRecordNumbersCheck() const { return m_printRecordNumbersCheck; }
    QCheckBox* hideMarginsCheck() const { return m_hideMarginsCheck; }
    // The user's default font of that pair of keys ("Helvetica" at 12 points when unset).
    static QFont defaultFont(const QString& nameKey, const QString& sizeKey);
    // The fonts: the panel opened on one, its changes, and the font made the default of
    // new datafiles.
    void selectTextFont();
    void selectFieldsFont();
    void selectFindBoxFont();
    void changeFont(const QFont& font);
    void applyTextFontToAllNew();
    void applyFieldsFontToAllNew();
    void applyFindBoxFontToAllNew();
    QFont textFont() const;
    QFont fieldsFont() const;
    QFont findBoxFont() const;
    void setTextFont(const QFont& font);
    void setFieldsFont(const QFont& font);
    void setFindBoxFont(const QFont& font);
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color);

    // The Records tab: where new records go, the record a datafile opens to, field
    // wrapping, and the fields a Web page's title and URL go into.
    QButtonGroup* newRecordLocationMatrix() const { return m_newRecordLocationMatrix; }
    QCheckBox* duplicateLocationCheck() const { return m_duplicateLocationCheck; }
    QButtonGroup* openToRecordMatrix() const { return m_openToRecordMatrix; }
    QCheckBox* fieldWrappingCheck() const { return m_fieldWrappingCheck; }
    QCheckBox* liveWrappingCheck() const { return m_liveWrappingCheck; }
    QButtonGroup* wrappingCriteriaMatrix() const { return m_wrappingCriteriaMatrix; }
    QComboBox* titleFieldPopUp() const { return m_titleFieldPopUp; }
    QComboBox* urlFieldPopUp() const { return m_urlFieldPopUp; }
    void fieldWrappingCheckHit();

    // The Address Block tab: the block taken from the Freeform Text Area or laid out of fields.
    QRadioButton* addressFreeformRadio() const { return m_addressFreeformRadio; }
    QRadioButton* addressFieldBasedRadio() const { return m_addressFieldBasedRadio; }
    QButtonGroup* addressFreeformStartMatrix() const { return m_addressFreeformStartMatrix; }
    QLineEdit* addressStartLineField() const { return m_addressStartLineField; }
    QLineEdit* addressMarkerField() const { return m_addressMarkerField; }
    QRadioButton* addressBlankLineRadio() const { return m_addressBlankLineRadio; }
    QRadioButton* addressFixedLinesRadio() const { return m_addressFixedLinesRadio; }
    QLineEdit* addressLineCountField() const { return m_addressLineCountField; }
    AddressBlockLayoutEditor* addressBlockLayoutEditor() const { return m_layoutEditor; }
    void addressModeRadioHit(QAbstractButton* button);
    void addressFreeformStartRadioHit();
    void addressFreeformEndRadioHit(QAbstractButton* button);

    // The Password tab.
    QLineEdit* passwordField() const { return m_passwordField; }
    QLineEdit* reenterPasswordField() const { return m_reenterPasswordField; }
    QPushButton* setPasswordButton() const { return m_setPasswordButton; }
    QPushButton* removePasswordButton() const { return m_removePasswordButton; }
    void setPasswordButtonHit();
    void removePasswordButtonHit();
    void passwordTextDidChange();
    bool setClicked() const { return m_setClicked; }
    bool removeClicked() const { return m_removeClicked; }
    bool passwordSet() const { return m_passwordSet; }

protected:
    QString nibName() const override { return QStringLiteral("SettingsSheet"); }
    void buildInterface(QDialog* window) override;

private:
    // The controls the tabs share.
    static QCheckBox* addCheck(QVBoxLayout* layout, const QString& title);
    static QPushButton* plainButton(const QString& title);
    static void checkCell(QButtonGroup* group, qint64 tag);
    static void selectAllOf(QLineEdit* field);

    QWidget* buildGeneralTab();
    void loadGeneralTab();
    void storeGeneralTab();
    // The datafile listed among those opened at start, or not, as the box says.
    void storeAutoOpen();

    QWidget* buildTextTab();
    void loadTextTab();
    void storeTextTab();
    FontStatisticLabel* addFontRow(QGridLayout* grid, int row, const QString& title,
                                   void (SettingsSheetController::*select)(),
                                   void (SettingsSheetController::*applyToAllNew)());
    void selectFont(FontStatisticLabel* label);
    QFont* workingFont(const FontStatisticLabel* label);
    static void applyFontToAllNew(const QFont& font, const QString& nameKey, const QString& sizeKey);
    void refreshFontStats();

    QWidget* buildRecordsTab();
    void loadRecordsTab();
    void storeRecordsTab();
    // False, after telling the user, while the title and the URL would go into one field.
    bool webPageFieldsAccepted();
    void fillFieldPopUp(QComboBox* popUp, const QString& selectedObject);

    QWidget* buildAddressTab();
    void showAddressBlock();
    void storeAddressBlock();

    QWidget* buildPasswordTab();
    void loadPasswordTab();
    void storePasswordTab();
    // False while OK must wait: the entry unconfirmed, or the question whether to set a
    // typed password open (its answer goes on with OK).
    bool passwordAccepted();

    std::shared_ptr<DatafileSettingsData> m_settings;
    QString m_path;
    SettingsSheetEditor* m_editor = nullptr;
    QTabWidget* m_tabView = nullptr;

    // General
    QCheckBox* m_autoOpenCheck = nullptr;
    QCheckBox* m_saveChangesCheck = nullptr;
    QCheckBox* m_customSortingCheck = nullptr;
    QCheckBox* m_networkSharedCheck = nullptr;
    QCheckBox* m_readOnlyCheck = nullptr;
    QCheckBox* m_readOnlyWarningCheck = nullptr;
    QCheckBox* m_enableLinksCheck = nullptr;
    QCheckBox* m_warnWhenTooLargeCheck = nullptr;
    QCheckBox* m_pasteClipboardCheck = nullptr;

    // Freeform Text Area
    QFont m_textFont;
    QFont m_fieldsFont;
    QFont m_findBoxFont;
    QColor m_backgroundColor;
    QPointer<FontStatisticLabel> m_fontPanelStat;
    QLineEdit* m_textNameField = nullptr;
    ColorWell* m_backgroundColorWell = nullptr;
    FontStatisticLabel* m_textFontStat = nullptr;
    FontStatisticLabel* m_fieldsFontStat = nullptr;
    FontStatisticLabel* m_findBoxFontStat = nullptr;
    QCheckBox* m_dontPrintEmptyFieldsCheck = nullptr;
    QCheckBox* m_printBoldFieldNamesCheck = nullptr;
    QCheckBox* m_printRecordNumbersCheck = nullptr;
    QCheckBox* m_hideMarginsCheck = nullptr;

    // Records
    QButtonGroup* m_newRecordLocationMatrix = nullptr;
    QCheckBox* m_duplicateLocationCheck = nullptr;
    QButtonGroup* m_openToRecordMatrix = nullptr;
    QCheckBox* m_fieldWrappingCheck = nullptr;
    QCheckBox* m_liveWrappingCheck = nullptr;
    QButtonGroup* m_wrappingCriteriaMatrix = nullptr;
    QList<QAbstractButton*> m_wrappingCriteriaCells;
    QComboBox* m_titleFieldPopUp = nullptr;
    QComboBox* m_urlFieldPopUp = nullptr;

    // Address Block
    QRadioButton* m_addressFreeformRadio = nullptr;
    QRadioButton* m_addressFieldBasedRadio = nullptr;
    QButtonGroup* m_addressFreeformStartMatrix = nullptr;
    QList<QWidget*> m_addressFreeformStartCells;
    QLineEdit* m_addressStartLineField = nullptr;
    QLineEdit* m_addressMarkerField = nullptr;
    QRadioButton* m_addressBlankLineRadio = nullptr;
    QRadioButton* m_addressFixedLinesRadio = nullptr;
    QLineEdit* m_addressLineCountField = nullptr;
    AddressBlockLayoutEditor* m_layoutEditor = nullptr;

    // Password
    QString m_openingPassword;
    bool m_setClicked = false;
    bool m_removeClicked = false;
    bool m_passwordSet = false;
    QLineEdit* m_passwordField = nullptr;
    QLineEdit* m_reenterPasswordField = nullptr;
    QPushButton* m_setPasswordButton = nullptr;
    QPushButton* m_removePasswordButton = nullptr;
};
