#pragma once

#include "AddressBlockLayout.h"
#include "ArchivedFont.h"
#include "PlistValue.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class DatafileSettingsData;
class QAbstractButton;
class QListWidget;
class QTextEdit;
class QWidget;

// The field-based address block of the datafile settings sheet: the layout editor, in
// which typed text stands between field tokens, and beside it the list of the
// datafile's field names, whose choice inserts a token at the caret. The settings sheet
// places both widgets, tells it the field-based source's button, and loads and stores
// the layout as it opens and closes.
class AddressBlockLayoutEditor : public QObject {
    Q_OBJECT

public:
    explicit AddressBlockLayoutEditor(QWidget* parent);

    QTextEdit* layoutEditor() const { return m_layoutEditor; }
    QListWidget* addressFieldNames() const { return m_addressFieldNames; }
    // The field-based source's radio button and what choosing it does beyond turning it on.
    void setFieldBasedSource(QAbstractButton* button, std::function<void()> addressModeRadioHit);
    // The field definitions whose names the list shows, in field order.
    void setFields(const PlistArray& fields);

    // Inserts a token of the field chosen in the list, choosing the field-based source
    // first; nothing while no field is chosen.
    void addressFieldNamesHit();

    // The editor shows the settings' layout ("AddressBlockLayout"), empty when there is
    // none or it cannot be read, all in the default fields font.
    void loadLayout(const DatafileSettingsData& settings);
    // Stores the editor's layout. One the user left unchanged keeps its stored bytes, so a
    // layout another program wrote stays as it was.
    void storeLayout(DatafileSettingsData& settings);
    // The editor's text as a layout in the default fields font.
    AddressBlockLayout layout() const;

    // The editor text's font: "DefaultFieldsFontName" (else "Helvetica") at
    // "DefaultFieldsFontSize" when at least 1 (else 12); the user font where that font is
    // not installed.
    static ArchivedFont defaultFieldsFont();
    // A new token's font: "DefaultFieldsFontName" at "DefaultFieldsFontSize" as it stands
    // (0 asks for the default size); the user font where that font is not installed.
    static ArchivedFont tokenFont();

private:
    void setEditorFont();
    void showLayout(const AddressBlockLayout& layout);

    QTextEdit* m_layoutEditor = nullptr;
    QListWidget* m_addressFieldNames = nullptr;
    QPointer<QAbstractButton> m_fieldBasedSource;
    std::function<void()> m_addressModeRadioHit;
    PlistArray m_fields;
    // What the settings held when the layout was loaded.
    std::optional<QByteArray> m_loadedData;
};
