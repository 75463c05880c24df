#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class EditorWindowController;
class FreeformTextView;
class QAction;
class QTextDocument;
class RecordData;

// The editor's commands on the Freeform Text: the datafile's default font and background
// over the text on screen, the selection or every selected record, blank lines at the
// start, the highlighter, plain pastes, bold and italic, the record's address block and
// link on the clipboard, the selection into the find box, the search option lock and
// date stamps.
class FreeformTextCommands : public QObject {
    Q_OBJECT

public:
    // From this many selected records on, the record-wide commands show the progress sheet.
    static constexpr qint64 ProgressSheetRecordCount = 500;

    explicit FreeformTextCommands(EditorWindowController& editor);
    ~FreeformTextCommands() override;

    // The search option lock's menu item titled as the user default says.
    void prepare();

    // Over the selected records (not stamped, the current one committed first).
    void stripAnomalousBackgroundColors();
    void changeAllToDefaultFont();
    void removeBlankLines();
    // On the text on screen only.
    void changeCurrentRecordToDefaultFont();
    void changeSelectedTextToDefaultFontAndRuler();
    void toggleHighlighter();
    void pastePlainText();
    void toggleBold();
    void toggleItalic();

    void copyAddressBlock();
    void copyRecordIdentifierToPasteboard();
    void copySelectionToFindBox();
    void toggleSearchOptionLock(QAction* item);
    void insertAmpersand();
    void insertDateTime();

    // The date and time as "GeneralDateTimeFormat", "GeneralTimeInDateStamp" and
    // "GeneralShowSecondsInTimeStamp" say, at the Clock's time.
    static QString dateTimeStamp();
    // "GeneralHighlighterColor"; yellow when missing or unreadable.
    static QColor highlighterColor();

    // Whether the user may change the text on screen now (not in a clone, while syncing,
    // in a locked record or while the text is read-only).
    bool textAreaEditable() const;

private:
    bool freeformTextAreaActive() const;
    // The rich edit (or, for plain records, the plain one) over every selected record,
    // commit and reload around it. Whether any record changed.
    bool editSelectedRecords(const QString& progressMessage,
                             const std::function<bool(QTextDocument&)>& richEdit,
                             const std::function<bool(QString&)>& plainEdit);
    void applyDefaultsToTextArea(bool removeShadows);
    void titleSearchOptionLockItem(QAction* item) const;

    EditorWindowController& m_editor;
};
