#pragma once

#include "NotificationCenter.h"
#include "VKInternProtocol.h"
#include "VKSheetController.h"

#include <memory>
#include <vector>

class QStackedWidget;

// A sheet of several steps: a stack of pages (interns), one shown at a time, with
// Previous and Next (Finish on the last page). Each page says whether the user may go on
// and which page follows; Finish ends the sheet with 1, and the caller reads the last
// page's operation and settings.
class VKAssistantController : public VKSheetController {
    Q_OBJECT

public:
    VKAssistantController();
    ~VKAssistantController() override;

    // Starts over with one page of the class; the title, when not empty, names the window.
    // The delegate is handed to every page.
    void beginSheetWithTitle(const QString& title, const QString& internClass,
                             const PlistDictionary& settings, QWidget* parentWindow,
                             DidEndCallback didEnd, QObject* delegate = nullptr);

    // Pushes a page of the class made with the settings, and shows it.
    void addInternWithClass(const QString& internClass, const PlistDictionary& settings);
    // Pops the page on top.
    void removeCurrentIntern();
    void removeAllInterns();

    // Next or Finish as the page says, enabled when it may go on; Previous from page two.
    bool maintainButtons() override;
    // Pushes the page the current one names, or on the last page ends the sheet with 1.
    void okay(QObject* sender = nullptr) override;
    void previous(QObject* sender = nullptr);
    void recycle() override;

    VKInternProtocol* intern() const;
    QString internOperation() const;
    PlistValue internSettings() const;
    int internCount() const { return int(m_interns.size()); }

    QStackedWidget* internTabView() const { return m_internTabView; }
    QPushButton* previousButton() const { return m_previousButton; }

protected:
    QString nibName() const override { return QStringLiteral("VKAssistant"); }
    void buildInterface(QDialog* window) override;

private:
    void nextNotification(const Notification& notification);
    void showPrompt();

    std::vector<std::unique_ptr<VKInternProtocol>> m_interns;
    QObject* m_delegate = nullptr;
    QStackedWidget* m_internTabView = nullptr;
    QPushButton* m_previousButton = nullptr;
    NotificationObserver m_stateObserver;
    NotificationObserver m_nextObserver;
};
