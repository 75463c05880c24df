#pragma once

#include "Localization.h"
#include "SubsetSortCriteriaData.h"
#include "VKKeyedAccessorData.h"

#include <QColor>
#include <QFont>

#include <functional>

#include "PrintInfo.h"

// The settings of one datafile: field definitions, view state, print and address-block
// settings, search and sort preferences, password and sync identity. Its dictionary is
// the datafile's "Settings"; absent keys read as their defaults, which are never
// written by a getter.
class DatafileSettingsData : public VKKeyedAccessorData {
public:
    static inline const QString ModeKey = QStringLiteral("Mode");
    static inline const QString BasicViewFrameKey = QStringLiteral("BasicViewFrame");
    static inline const QString ListViewFrameKey = QStringLiteral("ListViewFrame");
    static inline const QString BasicSplitHeightKey = QStringLiteral("BasicSplitHeight");
    static inline const QString ListSplitHeightKey = QStringLiteral("ListSplitHeight");
    static inline const QString TextColumnWidthKey = QStringLiteral("TextColumnWidth");
    static inline const QString TextNameKey = QStringLiteral("TextName");
    static inline const QString FieldsFontNameKey = QStringLiteral("FieldsFontName");
    static inline const QString FieldsFontSizeKey = QStringLiteral("FieldsFontSize");
    static inline const QString FindBoxFontNameKey = QStringLiteral("FindBoxFontName");
    static inline const QString FindBoxFontSizeKey = QStringLiteral("FindBoxFontSize");
    static inline const QString TextFontNameKey = QStringLiteral("TextFontName");
    static inline const QString TextFontSizeKey = QStringLiteral("TextFontSize");
    static inline const QString FieldWrappingKey = QStringLiteral("FieldWrapping");
    static inline const QString LiveFieldWrappingKey = QStringLiteral("LiveFieldWrapping");
    static inline const QString FieldWrappingCriteriaKey = QStringLiteral("FieldWrappingCriteria");
    static inline const QString HideMarginsKey = QStringLiteral("HideMargins");
    static inline const QString OpenToRecordKey = QStringLiteral("OpenToRecord");
    static inline const QString OpenToLastRecordKey = QStringLiteral("OpenToLastRecord");
    static inline const QString MostRecentRecordKey = QStringLiteral("MostRecentRecord");
    static inline const QString NewRecordLocationKey = QStringLiteral("NewRecordLocation");
    static inline const QString DuplicateLocationMatchesKey =
        QStringLiteral("DuplicateLocationMatches");
    static inline const QString CustomSortingKey = QStringLiteral("CustomSorting");
    static inline const QString FindDisplayStateKey = QStringLiteral("FindDisplayState");
    static inline const QString FindEntryStyleKey = QStringLiteral("FindEntryStyle");
    static inline const QString CaseSensitiveSearchesKey = QStringLiteral("CaseSensitiveSearches");
    static inline const QString AutoSaveChangesKey = QStringLiteral("AutoSaveChanges");
    static inline const QString AutoSaveMinutesKey = QStringLiteral("AutoSaveMinutes");
    static inline const QString WarnWhenTooLargeKey = QStringLiteral("WarnWhenTooLarge");
    static inline const QString ReadOnlyKey = QStringLiteral("ReadOnly");
    static inline const QString ReadOnlyWarningKey = QStringLiteral("ReadOnlyWarning");
    static inline const QString NetworkSharedKey = QStringLiteral("NetworkShared");
    static inline const QString MungeKey = QStringLiteral("Munge");
    static inline const QString AutomaticallyEnableLinksKey =
        QStringLiteral("AutomaticallyEnableLinks");
    static inline const QString AllowEmbeddedImagesKey = QStringLiteral("AllowEmbeddedImages");
    static inline const QString AutoPasteForURLsKey = QStringLiteral("AutoPasteForURLs");
    static inline const QString PasteClipboardKey = QStringLiteral("PasteClipboard");
    static inline const QString TitleFieldKey = QStringLiteral("TitleField");
    static inline const QString URLFieldKey = QStringLiteral("URLField");
    static inline const QString AutoAddNumberKey = QStringLiteral("AutoAddNumber");
    static inline const QString AutoAddContentFieldIDKey = QStringLiteral("AutoAddContentFieldID");
    static inline const QString AutoAddPrefixKey = QStringLiteral("AutoAddPrefix");
    static inline const QString AutoAddSuffixKey = QStringLiteral("AutoAddSuffix");
    static inline const QString AutoAddDigitCountKey = QStringLiteral("AutoAddDigitCount");
    static inline const QString LastAutoAddIntegerKey = QStringLiteral("LastAutoAddInteger");
    static inline const QString SyncIDKey = QStringLiteral("SyncID");
    static inline const QString DefaultTemplateNameKey = QStringLiteral("DefaultTemplateName");
    static inline const QString EnvelopeTemplateNameKey = QStringLiteral("EnvelopeTemplateName");
    static inline const QString LabelTemplateNameKey = QStringLiteral("LabelTemplateName");
    static inline const QString AddressInTextKey = QStringLiteral("AddressInText");
    static inline const QString AddressStartsAtLineNumberKey =
        QStringLiteral("AddressStartsAtLineNumber");
    static inline const QString AddressBlockStartingLineKey =
        QStringLiteral("AddressBlockStartingLine");
    static inline const QString AddressSpecialCharacterKey =
        QStringLiteral("AddressSpecialCharacter");
    static inline const QString AddressFixedLineCountKey = QStringLiteral("AddressFixedLineCount");
    static inline const QString AddressBlockLineCountKey = QStringLiteral("AddressBlockLineCount");
    static inline const QString DontPrintEmptyFieldsKey = QStringLiteral("DontPrintEmptyFields");
    static inline const QString PrintBoldFieldNamesKey = QStringLiteral("PrintBoldFieldNames");
    static inline const QString PrintRecordNumbersKey = QStringLiteral("PrintRecordNumbers");
    static inline const QString BVTopMarginKey = QStringLiteral("BVTopMargin");
    static inline const QString BVBottomMarginKey = QStringLiteral("BVBottomMargin");
    static inline const QString BVLeftMarginKey = QStringLiteral("BVLeftMargin");
    static inline const QString BVRightMarginKey = QStringLiteral("BVRightMargin");
    static inline const QString BVUseInchesKey = QStringLiteral("BVUseInches");
    static inline const QString BVHeaderKey = QStringLiteral("BVHeader");
    static inline const QString LVTopMarginKey = QStringLiteral("LVTopMargin");
    static inline const QString LVBottomMarginKey = QStringLiteral("LVBottomMargin");
    static inline const QString LVLeftMarginKey = QStringLiteral("LVLeftMargin");
    static inline const QString LVRightMarginKey = QStringLiteral("LVRightMargin");
    static inline const QString LVUseInchesKey = QStringLiteral("LVUseInches");
    static inline const QString LVHeaderKey = QStringLiteral("LVHeader");
    static inline const QString FieldsKey = QStringLiteral("Fields");
    static inline const QString CriteriaKey = QStringLiteral("Criteria");
    static inline const QString SortTaskDictKey = QStringLiteral("SortTaskDict");
    static inline const QString DeletedRecordsKey = QStringLiteral("DeletedRecords");
    static inline const QString AddressBlockLayoutKey = QStringLiteral("AddressBlockLayout");
    static inline const QString FTAbackgrouneColorKey = QStringLiteral("FTAbackgrouneColor");
    static inline const QString BasicViewPrintInfoKey = QStringLiteral("BasicViewPrintInfo");
    static inline const QString ListViewPrintInfoKey = QStringLiteral("ListViewPrintInfo");

    // Keys of a field definition, an element of fields().
    static inline const QString FieldIdentifierKey = QStringLiteral("Identifier");
    static inline const QString FieldNameKey = QStringLiteral("Name");
    static inline const QString FieldWidthKey = QStringLiteral("Width");
    static inline const QString FieldShowKey = QStringLiteral("Show");
    static constexpr double DefaultFieldWidth = 100.0;

    static std::shared_ptr<DatafileSettingsData> settings();
    // Nullptr when the data is too new.
    static std::shared_ptr<DatafileSettingsData>
    settingsWithDictionary(const std::optional<PlistDictionary>& dictionary);

    bool datafileSettingsDidChange() const { return m_datafileSettingsDidChange; }
    void setDatafileSettingsDidChange(bool changed) { m_datafileSettingsDidChange = changed; }
    // The user's choice that view changes alone do not mark a datafile changed.
    static bool noUpdateForViewChanges();

    // The field definitions in field order. A stored array is the settings' own, so
    // changes to it are changes to the settings; without one, an empty array that is
    // not stored: use the mutators below to add to it.
    PlistArray fields() const;
    void setFields(const PlistArray& fields);
    void addField(const PlistDictionary& definition);
    // Removes every definition with that identifier.
    void removeField(const QString& identifier);
    // A definition's List View column width; DefaultFieldWidth when it has none that is a
    // finite number.
    static double fieldWidth(const PlistDictionary& definition);

    // Identifiers of deleted records, kept for sync; the same storage rules as fields().
    PlistArray deletedIdentifiers() const;
    void setDeletedIdentifiers(const PlistArray& identifiers);
    void addDeletedIdentifier(const QString& identifier);
    void removeDeletedIdentifier(const QString& identifier);

    // A value: changes reach the settings through setCriteria() only.
    std::shared_ptr<SubsetSortCriteriaData> criteria() const;
    void setCriteria(const std::shared_ptr<SubsetSortCriteriaData>& criteria);

    std::optional<PlistDictionary> sortTasksList() const
    {
        return dictionaryForKey(SortTaskDictKey, std::nullopt);
    }
    void setSortTasksList(const std::optional<PlistDictionary>& list)
    {
        setDictionary(list, SortTaskDictKey);
    }

    std::optional<QByteArray> addressBlockLayout() const;
    void setAddressBlockLayout(const std::optional<QByteArray>& layout);

    // The Freeform Text Area's background; white when the stored data is no colour.
    QColor backgroundFTAcolor() const;
    void setBackgroundFTAcolor(const QColor& color);

    // Nothing when absent or not readable as print settings.
    std::optional<PrintInfo> basicViewPrintInfo() const;
    void setBasicViewPrintInfo(const std::optional<PrintInfo>& printInfo);
    std::optional<PrintInfo> listViewPrintInfo() const;
    void setListViewPrintInfo(const std::optional<PrintInfo>& printInfo);

    QString basicViewFrame() const;
    // Raises the change flag unless preparing a new window or the user turned it off.
    void setBasicViewFrame(const QString& frame, bool preparing);
    QString listViewFrame() const;
    void setListViewFrame(const QString& frame, bool preparing);

    QString defaultTemplateName() const;
    // Always raises the change flag.
    void setDefaultTemplateName(const QString& name);

    // The stored font, or the application font at the stored size when the system has
    // no such family.
    QFont fieldsFont() const;
    QFont findBoxFont() const;
    QFont textFont() const;

    QString mode() const { return stringForKey(ModeKey, QStringLiteral("Basic")); }
    void setMode(const QString& value) { setString(value, ModeKey); }
    // Sizes of the views: a stored value that is not a finite number reads as absent.
    float basicSplitHeight() const { return finiteFloatForKey(BasicSplitHeightKey, -1.0f); }
    void setBasicSplitHeight(float value) { setFloat(value, BasicSplitHeightKey); }
    float listSplitHeight() const { return finiteFloatForKey(ListSplitHeightKey, -1.0f); }
    void setListSplitHeight(float value) { setFloat(value, ListSplitHeightKey); }
    float textColumnWidth() const { return finiteFloatForKey(TextColumnWidthKey, 300.0f); }
    void setTextColumnWidth(float value) { setFloat(value, TextColumnWidthKey); }
    QString textName() const
    {
        return stringForKey(TextNameKey, localized(QStringLiteral("Freeform Text Area")));
    }
    void setTextName(const QString& value) { setString(value, TextNameKey); }
    QString fieldsFontName() const
    {
        return stringForKey(FieldsFontNameKey,
                            defaultFontName(QStringLiteral("DefaultFieldsFontName")));
    }
    void setFieldsFontName(const QString& value) { setString(value, FieldsFontNameKey); }
    qint64 fieldsFontSize() const
    {
        return integerForKey(FieldsFontSizeKey,
                             defaultFontSize(QStringLiteral("DefaultFieldsFontSize")));
    }
    void setFieldsFontSize(qint64 value) { setInteger(value, FieldsFontSizeKey); }
    QString findBoxFontName() const
    {
        return stringForKey(FindBoxFontNameKey,
                            defaultFontName(QStringLiteral("DefaultFindBoxFontName")));
    }
    void setFindBoxFontName(const QString& value) { setString(value, FindBoxFontNameKey); }
    qint64 findBoxFontSize() const
    {
        return integerForKey(FindBoxFontSizeKey,
                             defaultFontSize(QStringLiteral("DefaultFindBoxFontSize")));
    }
    void setFindBoxFontSize(qint64 value) { setInteger(value, FindBoxFontSizeKey); }
    QString textFontName() const
    {
        return stringForKey(TextFontNameKey,
                            defaultFontName(QStringLiteral("DefaultTextFontName")));
    }
    void setTextFontName(const QString& value) { setString(value, TextFontNameKey); }
    qint64 textFontSize() const
    {
        return integerForKey(TextFontSizeKey,
                             defaultFontSize(QStringLiteral("DefaultTextFontSize")));
    }
    void setTextFontSize(qint64 value) { setInteger(value, TextFontSizeKey); }
    bool fieldWrapping() const { return boolForKey(FieldWrappingKey, false); }
    void setFieldWrapping(bool value) { setBool(value, FieldWrappingKey); }
    bool liveFieldWrapping() const { return boolForKey(LiveFieldWrappingKey, false); }
    void setLiveFieldWrapping(bool value) { setBool(value, LiveFieldWrappingKey); }
    bool fieldWrappingCriteriaIsSpeed() const
    {
        return boolForKey(FieldWrappingCriteriaKey, false);
    }
    void setFieldWrappingCriteriaIsSpeed(bool value) { setBool(value, FieldWrappingCriteriaKey); }
    bool hideMargins() const { return boolForKey(HideMarginsKey, false); }
    void setHideMargins(bool value) { setBool(value, HideMarginsKey); }
    qint64 openToRecord() const { return integerForKey(OpenToRecordKey, 3); }
    void setOpenToRecord(qint64 value) { setInteger(value, OpenToRecordKey); }
    bool openToLastRecord() const { return boolForKey(OpenToLastRecordKey, false); }
    void setOpenToLastRecord(bool value) { setBool(value, OpenToLastRecordKey); }
    QString mostRecentRecord() const
    {
        return stringForKey(MostRecentRecordKey, QStringLiteral(""));
    }
    void setMostRecentRecord(const QString& value) { setString(value, MostRecentRecordKey); }
    qint64 newRecordLocation() const { return integerForKey(NewRecordLocationKey, 0); }
    void setNewRecordLocation(qint64 value) { setInteger(value, NewRecordLocationKey); }
    bool duplicateRecordLocationMatchesNewRecordLocation() const
    {
        return boolForKey(DuplicateLocationMatchesKey, false);
    }
    void setDuplicateRecordLocationMatchesNewRecordLocation(bool value)
    {
        setBool(value, DuplicateLocationMatchesKey);
    }
    bool customSorting() const { return boolForKey(CustomSortingKey, false); }
    void setCustomSorting(bool value) { setBool(value, CustomSortingKey); }
    qint64 findDisplayState() const { return integerForKey(FindDisplayStateKey, 0); }
    void setFindDisplayState(qint64 value) { setInteger(value, FindDisplayStateKey); }
    qint64 findEntryMode() const { return integerForKey(FindEntryStyleKey, 0); }
    void setFindEntryMode(qint64 value) { setInteger(value, FindEntryStyleKey); }
    bool caseSensitiveSearches() const { return boolForKey(CaseSensitiveSearchesKey, false); }
    void setCaseSensitiveSearches(bool value) { setBool(value, CaseSensitiveSearchesKey); }
    bool autoSaveChanges() const { return boolForKey(AutoSaveChangesKey, false); }
    void setAutoSaveChanges(bool value) { setBool(value, AutoSaveChangesKey); }
    QString autoSaveMinutes() const { return stringForKey(AutoSaveMinutesKey, QStringLiteral("")); }
    void setAutoSaveMinutes(const QString& value) { setString(value, AutoSaveMinutesKey); }
    bool warnWhenTooLarge() const { return boolForKey(WarnWhenTooLargeKey, true); }
    void setWarnWhenTooLarge(bool value) { setBool(value, WarnWhenTooLargeKey); }
    bool readOnly() const { return boolForKey(ReadOnlyKey, false); }
    void setReadOnly(bool value) { setBool(value, ReadOnlyKey); }
    bool readOnlyWarning() const { return boolForKey(ReadOnlyWarningKey, false); }
    void setReadOnlyWarning(bool value) { setBool(value, ReadOnlyWarningKey); }
    bool networkShared() const { return boolForKey(NetworkSharedKey, false); }
    void setNetworkShared(bool value) { setBool(value, NetworkSharedKey); }
    QString password() const { return stringForKey(MungeKey, QStringLiteral("")); }
    void setPassword(const QString& value) { setString(value, MungeKey); }
    bool automaticallyEnableLinks() const { return boolForKey(AutomaticallyEnableLinksKey, true); }
    void setAutomaticallyEnableLinks(bool value) { setBool(value, AutomaticallyEnableLinksKey); }
    bool allowEmbeddedImages() const { return boolForKey(AllowEmbeddedImagesKey, true); }
    void setAllowEmbeddedImages(bool value) { setBool(value, AllowEmbeddedImagesKey); }
    bool autoPasteForURLs() const { return boolForKey(AutoPasteForURLsKey, true); }
    void setAutoPasteForURLs(bool value) { setBool(value, AutoPasteForURLsKey); }
    bool pasteClipboard() const { return boolForKey(PasteClipboardKey, true); }
    void setPasteClipboard(bool value) { setBool(value, PasteClipboardKey); }
    QString titleField() const { return stringForKey(TitleFieldKey, QStringLiteral("Text")); }
    void setTitleField(const QString& value) { setString(value, TitleFieldKey); }
    QString urlField() const { return stringForKey(URLFieldKey, QStringLiteral("Text")); }
    void setUrlField(const QString& value) { setString(value, URLFieldKey); }
    bool autoAddNumber() const { return boolForKey(AutoAddNumberKey, false); }
    void setAutoAddNumber(bool value) { setBool(value, AutoAddNumberKey); }
    QString autoAddContentFieldID() const
    {
        return stringForKey(AutoAddContentFieldIDKey, QStringLiteral(""));
    }
    void setAutoAddContentFieldID(const QString& value)
    {
        setString(value, AutoAddContentFieldIDKey);
    }
    QString autoAddPrefix() const { return stringForKey(AutoAddPrefixKey, QStringLiteral("")); }
    void setAutoAddPrefix(const QString& value) { setString(value, AutoAddPrefixKey); }
    QString autoAddSuffix() const { return stringForKey(AutoAddSuffixKey, QStringLiteral("")); }
    void setAutoAddSuffix(const QString& value) { setString(value, AutoAddSuffixKey); }
    qint64 autoAddDigitCount() const { return integerForKey(AutoAddDigitCountKey, 1); }
    void setAutoAddDigitCount(qint64 value) { setInteger(value, AutoAddDigitCountKey); }
    qint64 lastAutoAddInteger() const { return integerForKey(LastAutoAddIntegerKey, 0); }
    void setLastAutoAddInteger(qint64 value) { setInteger(value, LastAutoAddIntegerKey); }
    QString syncID() const { return stringForKey(SyncIDKey, QStringLiteral("")); }
    void setSyncID(const QString& value) { setString(value, SyncIDKey); }
    QString envelopeTemplateName() const
    {
        return stringForKey(EnvelopeTemplateNameKey, QStringLiteral(""));
    }
    void setEnvelopeTemplateName(const QString& value)
    {
        setString(value, EnvelopeTemplateNameKey);
    }
    QString labelTemplateName() const
    {
        return stringForKey(LabelTemplateNameKey, QStringLiteral(""));
    }
    void setLabelTemplateName(const QString& value) { setString(value, LabelTemplateNameKey); }
    bool addressInText() const { return boolForKey(AddressInTextKey, true); }
    void setAddressInText(bool value) { setBool(value, AddressInTextKey); }
    bool addressStartsAtLineNumber() const
    {
        return boolForKey(AddressStartsAtLineNumberKey, true);
    }
    void setAddressStartsAtLineNumber(bool value) { setBool(value, AddressStartsAtLineNumberKey); }
    qint64 addressBlockStartingLine() const
    {
        return integerForKey(AddressBlockStartingLineKey, 1);
    }
    void setAddressBlockStartingLine(qint64 value)
    {
        setInteger(value, AddressBlockStartingLineKey);
    }
    QString addressSpecialCharacter() const
    {
        return stringForKey(AddressSpecialCharacterKey, QStringLiteral("~%"));
    }
    void setAddressSpecialCharacter(const QString& value)
    {
        setString(value, AddressSpecialCharacterKey);
    }
    bool addressFixedLineCount() const { return boolForKey(AddressFixedLineCountKey, false); }
    void setAddressFixedLineCount(bool value) { setBool(value, AddressFixedLineCountKey); }
    qint64 addressBlockLineCount() const { return integerForKey(AddressBlockLineCountKey, 0); }
    void setAddressBlockLineCount(qint64 value) { setInteger(value, AddressBlockLineCountKey); }
    bool basicViewDontPrintEmptyFields() const
    {
        return boolForKey(DontPrintEmptyFieldsKey, false);
    }
    void setBasicViewDontPrintEmptyFields(bool value) { setBool(value, DontPrintEmptyFieldsKey); }
    bool basicViewPrintBoldFieldNames() const { return boolForKey(PrintBoldFieldNamesKey, false); }
    void setBasicViewPrintBoldFieldNames(bool value) { setBool(value, PrintBoldFieldNamesKey); }
    bool basicViewPrintRecordNumbers() const { return boolForKey(PrintRecordNumbersKey, false); }
    void setBasicViewPrintRecordNumbers(bool value) { setBool(value, PrintRecordNumbersKey); }
    float basicViewPrintTopMargin() const { return floatForKey(BVTopMarginKey, 72.0f); }
    void setBasicViewPrintTopMargin(float value) { setFloat(value, BVTopMarginKey); }
    float basicViewPrintBottomMargin() const { return floatForKey(BVBottomMarginKey, 72.0f); }
    void setBasicViewPrintBottomMargin(float value) { setFloat(value, BVBottomMarginKey); }
    float basicViewPrintLeftMargin() const { return floatForKey(BVLeftMarginKey, 72.0f); }
    void setBasicViewPrintLeftMargin(float value) { setFloat(value, BVLeftMarginKey); }
    float basicViewPrintRightMargin() const { return floatForKey(BVRightMarginKey, 72.0f); }
    void setBasicViewPrintRightMargin(float value) { setFloat(value, BVRightMarginKey); }
    bool basicViewPrintUseInches() const { return boolForKey(BVUseInchesKey, true); }
    void setBasicViewPrintUseInches(bool value) { setBool(value, BVUseInchesKey); }
    bool basicViewPrintHeader() const { return boolForKey(BVHeaderKey, true); }
    void setBasicViewPrintHeader(bool value) { setBool(value, BVHeaderKey); }
    float listViewPrintTopMargin() const { return floatForKey(LVTopMarginKey, 36.0f); }
    void setListViewPrintTopMargin(float value) { setFloat(value, LVTopMarginKey); }
    float listViewPrintBottomMargin() const { return floatForKey(LVBottomMarginKey, 36.0f); }
    void setListViewPrintBottomMargin(float value) { setFloat(value, LVBottomMarginKey); }
    float listViewPrintLeftMargin() const { return floatForKey(LVLeftMarginKey, 72.0f); }
    void setListViewPrintLeftMargin(float value) { setFloat(value, LVLeftMarginKey); }
    float listViewPrintRightMargin() const { return floatForKey(LVRightMarginKey, 72.0f); }
    void setListViewPrintRightMargin(float value) { setFloat(value, LVRightMarginKey); }
    bool listViewPrintUseInches() const { return boolForKey(LVUseInchesKey, true); }
    void setListViewPrintUseInches(bool value) { setBool(value, LVUseInchesKey); }
    bool listViewPrintHeader() const { return boolForKey(LVHeaderKey, true); }
    void setListViewPrintHeader(bool value) { setBool(value, LVHeaderKey); }

private:
    std::shared_ptr<VKKeyedAccessorData> newInstance() const override;
    float finiteFloatForKey(const QString& key, float defaultValue) const;
    void setFrame(const QString& frame, const QString& key, bool preparing);
    std::optional<QByteArray> storedData(const QString& key) const;
    // The stored array itself, or a new empty one that is not stored.
    PlistArray storedArray(const QString& key) const;
    void changeStoredArray(const QString& key, const std::function<void(PlistArray&)>& change);
    std::optional<PrintInfo> printInfoForKey(const QString& key) const;
    void setPrintInfo(const std::optional<PrintInfo>& printInfo, const QString& key);
    // The user's default font name and size for new datafiles.
    static QString defaultFontName(const QString& userDefaultsKey);
    static qint64 defaultFontSize(const QString& userDefaultsKey);

    bool m_datafileSettingsDidChange = false;
};
