#pragma once

#include "VKSheetController.h"

#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>

class EditorWindowController;
class FeatureContext;
class QCheckBox;
class QRadioButton;
struct OpenPanelRequest;

// The shape every import sheet shares: the user picks a file, its text is read and
// checked, and the sheet asks where its records go: a new datafile, the end of the
// current one, or merged into it without duplicates. The current datafile is the editor
// window in front as the command is given, and it stays the one: records never land in a
// window that came to the front meanwhile. Append and merge are offered only when its
// fields fit the file.
class ImportSheetBase : public VKSheetController {
    Q_OBJECT

public:
    // The application's import sink: a new, shown datafile of the fields named (none
    // without names), its text area named when a name is given, and the draft name it
    // proposes when saved; its editor, nullptr when none could be made.
    using NewDatafileMaker = std::function<EditorWindowController*(
        const std::optional<QStringList>& fieldNames, const std::optional<QString>& textName,
        const QString& defaultDraftName)>;

    static inline const QString NoSuitableDatafile = QStringLiteral("<No suitable datafile open>");

    // The new datafile's window in front.
    static void bringToFront(FeatureContext& target);
    // Whether the editor is still a window of an open document: a closed window's
    // controller lingers a moment, no longer its document's.
    static bool isOpenEditor(const EditorWindowController* editor);

    bool appendToCurrentIsOn() const;
    bool createNewIsOn() const;
    bool mergeIntoCurrentIsOn() const;
    bool namesInFirstRecordIsOn() const;

    // Outlets, once the window is built.
    QRadioButton* appendToCurrent() const { return m_appendToCurrent; }
    QRadioButton* createNew() const { return m_createNew; }
    QRadioButton* mergeIntoCurrent() const { return m_mergeIntoCurrent; }
    QCheckBox* namesInFirstRecord() const { return m_namesInFirstRecord; }
    QLabel* currentDatafileName() const { return m_currentDatafileName; }

    // The chosen file's name without its extension: a new datafile's draft name.
    const QString& newFilename() const { return m_newFilename; }

protected:
    struct OpenPanelKind {
        QStringList fileTypes;
        QString message;
        // Folders of these extensions chosen as files.
        QStringList packageTypes;
    };

    void buildInterface(QDialog* window) override;

    // The sender kept and the current datafile noted, then the file chosen and read as
    // text of whatever encoding it is in. Nothing when the panel was cancelled, or the
    // file held no text (the user is told).
    std::optional<QString> openImportFile(NewDatafileMaker sender, const OpenPanelKind& kind);
    // The same up to the file chosen: its path, nothing when the panel was cancelled.
    std::optional<QString> chooseImportFile(NewDatafileMaker sender, const OpenPanelKind& kind);
    // The same with a panel of the importer's own making.
    std::optional<QString> runOpenPanel(NewDatafileMaker sender, const OpenPanelRequest& request);
    // A folder chosen in its place, itself and not what a link points to.
    std::optional<QString> chooseImportFolder(NewDatafileMaker sender, const QString& message);
    // The file chosen, with its extension.
    const QString& fileName() const { return m_fileName; }
    // The datafile in front as the command was given, while its window is open.
    EditorWindowController* currentEditor() const;
    // The window alerts about the file go on: the current datafile's, or none.
    QWidget* currentWindow() const;
    // The sheet, application-modal, offering append and merge when the current datafile
    // has that many fields; its OK reaches importDidEnd().
    void beginImportSheet(qsizetype incomingFieldCount);
    // The same, offering them when told.
    void beginImportSheetOffering(bool currentIsSuitable);
    virtual void importDidEnd() = 0;

    // Where the records go: a new datafile with the names given, or the current one. None
    // when that cannot be (the user is told).
    // A new datafile proposes the draft name given, else the file's name, and names its
    // text area when told.
    FeatureContext* importTarget(const std::optional<QStringList>& fieldNames,
                                 const std::optional<QString>& draftName = std::nullopt,
                                 const std::optional<QString>& textName = std::nullopt);

private:
    NewDatafileMaker m_sender;
    QPointer<EditorWindowController> m_current;
    QString m_newFilename;
    QString m_fileName;

    QRadioButton* m_appendToCurrent = nullptr;
    QRadioButton* m_createNew = nullptr;
    QRadioButton* m_mergeIntoCurrent = nullptr;
    QCheckBox* m_namesInFirstRecord = nullptr;
    QLabel* m_currentDatafileName = nullptr;
};
