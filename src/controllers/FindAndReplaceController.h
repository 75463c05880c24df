#pragma once

#include "DatafileSettingsData.h"
#include "WindowController.h"

#include <QPointer>

#include <functional>
#include <memory>

class Document;
class EditorWindowController;
class PopUpButton;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The application's one Find and Replace panel. It works on the datafile of the editor
// window activated last, retargeted each time the panel is activated and before every
// command, and hands the searching and replacing to that window's search controller.
// It closes itself once no datafile is open.
class FindAndReplaceController : public WindowController {
    Q_OBJECT

public:
    static inline const QString NibName = QStringLiteral("FindAndReplaceController");
    // Posted by a datafile's editor as the datafile closes (object: the document).
    static inline const QString DatafileClosingNotification = QStringLiteral("DatafileClosing");

    // A tool window, above the editor windows and without a menu bar; the application's
    // key equivalents work in it.
    explicit FindAndReplaceController(std::function<void(QWidget*)> installKeyEquivalents = {});
    ~FindAndReplaceController() override;

    void openFindAndReplaceDialog();
    void bringToFront();

    // The four commands.
    void findNext();
    void replace();
    void replaceAll();
    void replaceThenFind();

    // Remembers the scope item chosen, by its index.
    void selectField(int index);
    // The window was activated: it follows the editor in front, or closes with no
    // datafile open.
    void windowDidBecomeKey();
    // Its datafile is closing: it follows another one, or closes with the last.
    void handleDatafileClosing(const Document* closing);
    // Shows the target's title; nothing for no string.
    void setDatafileName(const QString& name);
    // The scope items of the datafile, the one chosen last selected again.
    void addFieldsToPopup(const DatafileSettingsData& settings);

    EditorWindowController* datafileWindowController() const { return m_datafileWindowController; }
    qint64 fieldsToSearchIn() const;
    bool caseSensitiveIsOn() const;
    bool wholeWordIsOn() const;
    QString findWhat() const;
    QString replaceWith() const;

    // Outlets, once the window is loaded.
    QPlainTextEdit* findWhatView() const { return m_findWhat; }
    QPlainTextEdit* replaceWithView() const { return m_replaceWith; }
    PopUpButton* searchIn() const { return m_searchIn; }
    QCheckBox* caseSensitive() const { return m_caseSensitive; }
    QCheckBox* wholeWord() const { return m_wholeWord; }
    QCheckBox* limitToCurrentRecord() const { return m_limitToCurrentRecord; }
    QLabel* datafileName() const { return m_datafileName; }
    QPushButton* findNextButton() const { return m_findNextButton; }
    QPushButton* replaceButton() const { return m_replaceButton; }
    QPushButton* replaceAllButton() const { return m_replaceAllButton; }
    QPushButton* replaceThenFindButton() const { return m_replaceThenFindButton; }

    // WindowController: the window's own title, no document's.
    QString windowTitleForDocumentDisplayName(const QString&) const override;

protected:
    std::unique_ptr<QWidget> makeWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void awakeFromNib();
    // The panel follows the editor in front, never one of a datafile that is leaving.
    void retarget(const Document* leaving = nullptr);

    // The start the commands share: false, after the beep, when there is nothing to work on.
    bool startCommand(bool beepAlways);
    // Clone and synchronising windows take no replacement.
    bool targetRefusesReplacing() const;
    bool searchForward();
    static void beepWhenFindFails();

    std::function<void(QWidget*)> m_installKeyEquivalents;
    QPointer<EditorWindowController> m_datafileWindowController;
    int m_popupItem = 0;
    QPlainTextEdit* m_findWhat = nullptr;
    QPlainTextEdit* m_replaceWith = nullptr;
    PopUpButton* m_searchIn = nullptr;
    QCheckBox* m_caseSensitive = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QCheckBox* m_limitToCurrentRecord = nullptr;
    QLabel* m_datafileName = nullptr;
    QPushButton* m_findNextButton = nullptr;
    QPushButton* m_replaceButton = nullptr;
    QPushButton* m_replaceAllButton = nullptr;
    QPushButton* m_replaceThenFindButton = nullptr;
};
