#include "ScriptedPresenter.h"

#include <QPrinter>

#include <stdexcept>

void ScriptedPresenter::answerAlerts(std::initializer_list<int> returnCodes)
{
    for (int returnCode : returnCodes) {
        answerAlert(returnCode);
    }
}

void ScriptedPresenter::answerAlert(int returnCode, bool suppressed)
{
    m_alertScript.push_back({returnCode, QString(), suppressed});
}

void ScriptedPresenter::answerAlertWithButton(const QString& buttonTitle, bool suppressed)
{
    m_alertScript.push_back({AlertFirstButtonReturn, buttonTitle, suppressed});
}

void ScriptedPresenter::answerOpenPanel(const QList<QUrl>& urls)
{
    m_openPanelScript.push_back(urls);
}

void ScriptedPresenter::answerSavePanel(const std::optional<QUrl>& url)
{
    m_savePanelScript.push_back(url);
}

int ScriptedPresenter::endSheets()
{
    // Callbacks may begin further sheets; those wait for the next call.
    std::deque<HeldSheet> ending;
    ending.swap(m_heldSheets);
    for (HeldSheet& sheet : ending) {
        if (sheet.didEnd) {
            sheet.didEnd(sheet.response);
        }
    }
    return int(ending.size());
}

const ScriptedPresenter::ShownAlert& ScriptedPresenter::lastAlert() const
{
    if (m_alerts.isEmpty()) {
        throw std::out_of_range("no alert was shown");
    }
    return m_alerts.constLast();
}

QStringList ScriptedPresenter::alertMessages() const
{
    QStringList messages;
    for (const ShownAlert& alert : m_alerts) {
        messages.append(alert.request.messageText);
    }
    return messages;
}

void ScriptedPresenter::clear()
{
    m_alertScript.clear();
    m_openPanelScript.clear();
    m_savePanelScript.clear();
    m_printJobScript.clear();
    m_pageLayoutScript.clear();
    m_colorPanelScript.clear();
    m_unprintableBorder = QMarginsF();
    m_heldSheets.clear();
    m_alerts.clear();
    m_openPanels.clear();
    m_savePanels.clear();
    m_printJobs.clear();
    m_pageLayouts.clear();
    m_colorPanels.clear();
    m_beepCount = 0;
    m_playedSounds.clear();
    m_openedUrls.clear();
    m_revealedPaths.clear();
    m_fontPanelFont = QFont();
    m_fontChanged = nullptr;
}

AlertResponse ScriptedPresenter::answer(const AlertRequest& alert, bool sheet, QWidget* window)
{
    const int buttonCount = alert.buttons.isEmpty() ? 1 : int(alert.buttons.size());
    AlertResponse response;
    if (!m_alertScript.empty()) {
        const ScriptedAnswer scripted = m_alertScript.front();
        m_alertScript.pop_front();
        response.suppressed = scripted.suppressed;
        if (scripted.buttonTitle.isEmpty()) {
            response.returnCode = scripted.returnCode;
        } else {
            const QStringList titles =
                alert.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : alert.buttons;
            const qsizetype position = titles.indexOf(scripted.buttonTitle);
            if (position < 0) {
                throw std::invalid_argument(
                    QStringLiteral("alert \"%1\" has no button \"%2\" (it has: %3)")
                        .arg(alert.messageText, scripted.buttonTitle,
                             titles.join(QStringLiteral(", ")))
                        .toStdString());
            }
            response.returnCode = AlertFirstButtonReturn + int(position);
        }
        if (response.returnCode < AlertFirstButtonReturn ||
            response.returnCode >= AlertFirstButtonReturn + buttonCount) {
            throw std::invalid_argument(QStringLiteral("alert \"%1\" has no return code %2")
                                            .arg(alert.messageText)
                                            .arg(response.returnCode)
                                            .toStdString());
        }
    }
    m_alerts.append({alert, sheet, window, response});
    return response;
}

AlertResponse ScriptedPresenter::runModalAlert(const AlertRequest& alert)
{
    return answer(alert, false, nullptr);
}

void ScriptedPresenter::beginAlertSheet(const AlertRequest& alert, QWidget* window,
                                        std::function<void(const AlertResponse&)> didEnd)
{
    const AlertResponse response = answer(alert, true, window);
    if (m_holdSheets) {
        m_heldSheets.push_back({std::move(didEnd), response});
    } else if (didEnd) {
        didEnd(response);
    }
}

QList<QUrl> ScriptedPresenter::runOpenPanel(const OpenPanelRequest& request, QWidget* window)
{
    m_openPanels.append({request, window});
    if (m_openPanelScript.empty()) {
        return {};
    }
    QList<QUrl> urls = m_openPanelScript.front();
    m_openPanelScript.pop_front();
    return urls;
}

std::optional<QUrl> ScriptedPresenter::runSavePanel(const SavePanelRequest& request,
                                                    QWidget* window)
{
    m_savePanels.append({request, window});
    if (m_savePanelScript.empty()) {
        return std::nullopt;
    }
    const std::optional<QUrl> url = m_savePanelScript.front();
    m_savePanelScript.pop_front();
    if (!url) {
        return std::nullopt;
    }
    return request.completedUrl(*url);
}

void ScriptedPresenter::answerColorPanel(const std::optional<QColor>& color)
{
    m_colorPanelScript.push_back(color);
}

std::optional<QColor> ScriptedPresenter::runColorPanel(const QColor& initial, QWidget*)
{
    m_colorPanels.append(initial);
    if (m_colorPanelScript.empty())
        return std::nullopt;
    const std::optional<QColor> answer = m_colorPanelScript.front();
    m_colorPanelScript.pop_front();
    return answer;
}

void ScriptedPresenter::beep()
{
    ++m_beepCount;
}

void ScriptedPresenter::playSound(const QString& name)
{
    m_playedSounds.append(name);
}

bool ScriptedPresenter::openUrl(const QUrl& url)
{
    m_openedUrls.append(url);
    return m_opensUrls;
}

void ScriptedPresenter::revealFile(const QString& path)
{
    m_revealedPaths.append(path);
}

void ScriptedPresenter::showFontPanel(const QFont& font, QWidget*,
                                      std::function<void(const QFont&)> fontChanged)
{
    m_fontPanelFont = font;
    m_fontChanged = std::move(fontChanged);
}

void ScriptedPresenter::closeFontPanel()
{
    m_fontChanged = nullptr;
}

void ScriptedPresenter::pickFont(const QFont& font)
{
    m_fontPanelFont = font;
    // A copy: the callback may show the panel again.
    if (const auto changed = m_fontChanged)
        changed(font);
}

void ScriptedPresenter::answerPrintJob(bool success, const QString& pdfFile,
                                       std::optional<PrintableView::PageRange> pages)
{
    m_printJobScript.push_back({success, pdfFile, pages});
}

void ScriptedPresenter::answerPageLayout(const std::optional<PrintInfo>& accepted)
{
    m_pageLayoutScript.push_back(accepted);
}

void ScriptedPresenter::runPrintOperation(const PrintOperationRequest& request, QWidget* window,
                                          std::function<void(const PrintOperationResult&)> didRun)
{
    PrintJobAnswer answer;
    if (!m_printJobScript.empty()) {
        answer = m_printJobScript.front();
        m_printJobScript.pop_front();
    }
    const std::shared_ptr<PrintSession> session =
        request.session ? request.session : std::make_shared<PrintSession>();
    if (request.showsPrintPanel && answer.success && !answer.pdfFile.isEmpty()) {
        session->setOutputFile(answer.pdfFile);
        session->setDestinationChosen();
    }
    if (request.showsPrintPanel) {
        QPrinter& printer = session->printer();
        printer.setPrintRange(answer.pages ? QPrinter::PageRange : QPrinter::AllPages);
        if (answer.pages)
            printer.setFromTo(answer.pages->first, answer.pages->last);
    }
    PrintOperationResult result;
    result.success = answer.success;
    if (answer.success && !session->outputFile().isEmpty())
        result = printInSession(request, *session);
    // The record keeps no session: a session ends its file when its last holder lets go.
    PrintOperationRequest shown = request;
    shown.session = nullptr;
    m_printJobs.append({shown, window, result});
    if (didRun)
        didRun(result);
}

void ScriptedPresenter::runPageLayout(const PrintInfo& printInfo, QWidget* window,
                                      std::function<void(const std::optional<PrintInfo>&)> didEnd)
{
    m_pageLayouts.append({printInfo, window});
    std::optional<PrintInfo> accepted;
    if (!m_pageLayoutScript.empty()) {
        accepted = m_pageLayoutScript.front();
        m_pageLayoutScript.pop_front();
    }
    if (didEnd)
        didEnd(accepted);
}

QRectF ScriptedPresenter::imageablePageBounds(const PrintInfo& printInfo)
{
    const QSizeF paper = printInfo.paperSize();
    const QMarginsF& border = m_unprintableBorder;
    return QRectF(border.left(), border.bottom(), paper.width() - border.left() - border.right(),
                  paper.height() - border.top() - border.bottom());
}
