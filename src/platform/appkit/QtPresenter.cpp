#include "QtPresenter.h"

#include "Localization.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include <algorithm>
#include <optional>

namespace {

constexpr char returnCodeProperty[] = "alertReturnCode";

QMessageBox::Icon iconFor(AlertRequest::Style style)
{
    switch (style) {
    case AlertRequest::Style::Informational:
        return QMessageBox::Information;
    case AlertRequest::Style::Critical:
        return QMessageBox::Critical;
    case AlertRequest::Style::Warning:
        break;
    }
    return QMessageBox::Warning;
}

// The first button is the default one; a "Cancel" button answers Escape. Without one,
// Escape and closing the window do nothing, so every answer is a button the user chose.
QMessageBox::ButtonRole roleFor(const QString& title, qsizetype position)
{
    if (position == 0) {
        return QMessageBox::AcceptRole;
    }
    if (title == QLatin1String("Cancel") || title == localized(QStringLiteral("Cancel"))) {
        return QMessageBox::RejectRole;
    }
    return QMessageBox::ActionRole;
}

QString nameFilterFor(const QStringList& fileTypes)
{
    QStringList patterns;
    for (const QString& type : fileTypes) {
        patterns.append(QStringLiteral("*.") + type);
    }
    return patterns.join(QLatin1Char(' '));
}

// Qt's own panel, which can also take a folder: "Open" on a selected folder chooses it,
// a double click still enters it.
class FileOrFolderDialog : public QFileDialog {
public:
    FileOrFolderDialog(QWidget* parent, bool foldersToo)
        : QFileDialog(parent), m_foldersToo(foldersToo)
    {
        if (foldersToo)
            setOption(QFileDialog::DontUseNativeDialog);
    }

    const std::optional<QString>& chosenFolder() const { return m_chosenFolder; }

    void accept() override
    {
        const QStringList chosen = selectedFiles();
        if (m_foldersToo && chosen.size() == 1 && QFileInfo(chosen.constFirst()).isDir() &&
            QDir(chosen.constFirst()) != directory()) {
            m_chosenFolder = chosen.constFirst();
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
    }

private:
    bool m_foldersToo;
    std::optional<QString> m_chosenFolder;
};

void configureDialog(QFileDialog& dialog, const QString& title, const QString& message,
                     const QString& prompt)
{
    // The dialog has no place for a message under its title; it stands in for a
    // missing title.
    dialog.setWindowTitle(title.isEmpty() ? message : title);
    if (!prompt.isEmpty()) {
        dialog.setLabelText(QFileDialog::Accept, prompt);
    }
}

} // namespace

QMessageBox* QtPresenter::makeMessageBox(const AlertRequest& alert, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setIcon(iconFor(alert.style));
    box->setText(alert.messageText);
    box->setInformativeText(alert.informativeText);

    const QStringList titles =
        alert.buttons.isEmpty() ? QStringList{localized(QStringLiteral("OK"))} : alert.buttons;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const QMessageBox::ButtonRole role = roleFor(titles[i], i);
        QPushButton* button = box->addButton(titles[i], role);
        // The box lists its buttons by role, so each carries its own return code.
        button->setProperty(returnCodeProperty, AlertFirstButtonReturn + int(i));
        if (i == 0) {
            box->setDefaultButton(button);
        } else if (role == QMessageBox::RejectRole) {
            box->setEscapeButton(button);
        }
    }

    if (alert.showsSuppressionButton) {
        const QString title = alert.suppressionButtonTitle.isEmpty()
                                  ? localized(QStringLiteral("Do not show this message again"))
                                  : alert.suppressionButtonTitle;
        box->setCheckBox(new QCheckBox(title, box));
    }
    return box;
}

AlertResponse QtPresenter::responseOf(const QMessageBox& box)
{
    QAbstractButton* chosen = box.clickedButton();
    if (!chosen) {
        // Closed without a click (only code does that): the escape answer, else the default.
        chosen = box.escapeButton();
    }

    AlertResponse response;
    if (chosen) {
        response.returnCode = chosen->property(returnCodeProperty).toInt();
    }
    response.suppressed = box.checkBox() && box.checkBox()->isChecked();
    return response;
}

AlertResponse QtPresenter::runModalAlert(const AlertRequest& alert)
{
    // Parented for placement only; the parent may be destroyed while the box waits.
    QPointer<QMessageBox> box = makeMessageBox(alert, QApplication::activeWindow());
    box->setWindowModality(Qt::ApplicationModal);
    box->exec();
    if (!box) {
        // Gone with its parent: answered as Escape would have been.
        AlertResponse response;
        for (qsizetype i = 1; i < alert.buttons.size(); ++i) {
            if (roleFor(alert.buttons[i], i) == QMessageBox::RejectRole) {
                response.returnCode = AlertFirstButtonReturn + int(i);
                break;
            }
        }
        return response;
    }
    const AlertResponse response = responseOf(*box);
    delete box;
    return response;
}

void QtPresenter::beginAlertSheet(const AlertRequest& alert, QWidget* window,
                                  std::function<void(const AlertResponse&)> didEnd)
{
    QMessageBox* box = makeMessageBox(alert, window);
    // finished() comes after the box is hidden, so the callback may begin the next sheet.
    QObject::connect(box, &QDialog::finished, box, [box, didEnd = std::move(didEnd)]() {
        const AlertResponse response = responseOf(*box);
        box->deleteLater();
        if (didEnd) {
            didEnd(response);
        }
    });
    if (window) {
        box->open();
    } else {
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
    }
}

QList<QUrl> QtPresenter::runOpenPanel(const OpenPanelRequest& request, QWidget* window)
{
    FileOrFolderDialog dialog(window, request.canChooseFiles && request.canChooseDirectories);
    configureDialog(dialog, request.title, request.message, request.prompt);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A folder is chosen in our own dialog, in this process: closing it is no activation
    // of the application, which would rescan the folders behind the menus.
    if (request.canChooseDirectories)
        dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::ReadOnly, !request.canCreateDirectories);
    dialog.setOption(QFileDialog::DontResolveSymlinks, !request.resolvesAliases);
    dialog.setDirectory(request.directory.isEmpty() ? m_lastDirectory : request.directory);
    if (!request.nameFieldValue.isEmpty())
        dialog.selectFile(request.nameFieldValue);
    if (request.canChooseDirectories && !request.canChooseFiles) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(request.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                           : QFileDialog::ExistingFile);
        if (!request.nameFilters.isEmpty()) {
            dialog.setNameFilters(request.nameFilters);
        } else if (!request.fileTypes.isEmpty()) {
            dialog.setNameFilter(nameFilterFor(request.fileTypes));
        }
    }
    // A package folder is taken as the file it stands for the moment the user opens it.
    std::optional<QString> package;
    if (!request.packageTypes.isEmpty()) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog,
                         [&](const QString& directory) {
                             if (!package && request.isPackage(directory)) {
                                 package = directory;
                                 static_cast<QDialog&>(dialog).done(QDialog::Accepted);
                             }
                         });
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    if (package) {
        m_lastDirectory = QFileInfo(*package).absolutePath();
        return {QUrl::fromLocalFile(*package)};
    }
    if (dialog.chosenFolder()) {
        m_lastDirectory = dialog.directory().absolutePath();
        return {QUrl::fromLocalFile(*dialog.chosenFolder())};
    }
    m_lastDirectory = dialog.directory().absolutePath();
    return dialog.selectedUrls();
}

std::optional<QUrl> QtPresenter::runSavePanel(const SavePanelRequest& request, QWidget* window)
{
    QFileDialog dialog(window);
    configureDialog(dialog, request.title, request.message, request.prompt);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(request.directory.isEmpty() ? m_lastDirectory : request.directory);
    if (!request.allowedFileTypes.isEmpty()) {
        dialog.setNameFilter(nameFilterFor(request.allowedFileTypes));
        dialog.setDefaultSuffix(request.allowedFileTypes.first());
    }
    if (!request.nameFieldValue.isEmpty()) {
        dialog.selectFile(request.nameFieldValue);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedUrls().isEmpty()) {
        return std::nullopt;
    }
    m_lastDirectory = dialog.directory().absolutePath();
    // A native dialog may ignore the default suffix.
    return request.completedUrl(dialog.selectedUrls().constFirst());
}

void QtPresenter::beep()
{
    QApplication::beep();
}

bool QtPresenter::openUrl(const QUrl& url)
{
    return QDesktopServices::openUrl(url);
}

void QtPresenter::revealFile(const QString& path)
{
    // The file manager is shown the folder that holds the file.
    const QString folder = QFileInfo(QDir::cleanPath(path)).absolutePath();
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void QtPresenter::showFontPanel(const QFont& font, QWidget* window,
                                std::function<void(const QFont&)> fontChanged)
{
    closeFontPanel();
    auto* panel = new QFontDialog(font, window ? window->window() : nullptr);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(Qt::NonModal);
    panel->setOption(QFontDialog::NoButtons);
    QObject::connect(panel, &QFontDialog::currentFontChanged, panel,
                     [fontChanged = std::move(fontChanged)](const QFont& picked) {
                         if (fontChanged)
                             fontChanged(picked);
                     });
    m_fontPanel = panel;
    panel->show();
    panel->raise();
}

void QtPresenter::closeFontPanel()
{
    if (m_fontPanel)
        m_fontPanel->close();
}

namespace {

// A sheet on the window, or an application-modal dialog without one.
void openDialog(QDialog* dialog, QWidget* window)
{
    if (window) {
        dialog->open();
    } else {
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
    }
}

} // namespace

void QtPresenter::runPrintOperation(const PrintOperationRequest& request, QWidget* window,
                                    std::function<void(const PrintOperationResult&)> didRun)
{
    const std::shared_ptr<PrintSession> session =
        request.session ? request.session : std::make_shared<PrintSession>();
    if (!request.showsPrintPanel) {
        didRun(printInSession(request, *session));
        return;
    }
    session->setPaper(request.printInfo);
    // Also the name the panel proposes for a PDF file.
    session->printer().setDocName(request.view->printJobTitle());
    auto* dialog = new QPrintDialog(&session->printer(), window);
    dialog->setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                       QAbstractPrintDialog::PrintCollateCopies);
    dialog->setMinMax(1, std::max(1, request.view->pageCount()));
    // The same pages as the job would print, shown before printing them.
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) {
        QPushButton* preview =
            buttons->addButton(localized(QStringLiteral("Preview…")), QDialogButtonBox::ActionRole);
        const std::shared_ptr<PrintableView> view = request.view;
        QObject::connect(preview, &QPushButton::clicked, dialog, [dialog, session, view] {
            QPrintPreviewDialog previewDialog(&session->printer(), dialog);
            QObject::connect(&previewDialog, &QPrintPreviewDialog::paintRequested, &previewDialog,
                             [view](QPrinter* printer) { PrintSession::drawPages(*printer, *view); });
            previewDialog.exec();
        });
    }
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, request, session, didRun = std::move(didRun)](int result) {
                         dialog->deleteLater();
                         if (result != QDialog::Accepted) {
                             didRun({});
                             return;
                         }
                         session->setDestinationChosen();
                         didRun(printInSession(request, *session));
                     });
    openDialog(dialog, window);
}

void QtPresenter::runPageLayout(const PrintInfo& printInfo, QWidget* window,
                                std::function<void(const std::optional<PrintInfo>&)> didEnd)
{
    auto printer = std::make_shared<PrintSession>();
    printer->setPaper(printInfo);
    auto* dialog = new QPageSetupDialog(&printer->printer(), window);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, printer, printInfo, didEnd = std::move(didEnd)](int result) {
                         dialog->deleteLater();
                         if (result != QDialog::Accepted) {
                             didEnd(std::nullopt);
                             return;
                         }
                         didEnd(PrintSession::withPaperOf(printInfo, printer->printer()));
                     });
    openDialog(dialog, window);
}

QRectF QtPresenter::imageablePageBounds(const PrintInfo& printInfo)
{
    return PrintSession::imageablePageBounds(printInfo, QPrinterInfo::defaultPrinterName());
}
