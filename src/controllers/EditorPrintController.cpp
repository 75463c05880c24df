#include "EditorPrintController.h"

#include "BasicPrintView.h"
#include "CurrentRecordEngine.h"
#include "DatafileDocument.h"
#include "FeatureContext.h"
#include "FreeformTextView.h"
#include "Localization.h"
#include "Presenter.h"
#include "PrintMarginsSheetController.h"
#include "RichText.h"
#include "StringFormat.h"
#include "UserDefaults.h"

#include <QDialog>
#include <QPointer>
#include <QTextCursor>
#include <QTextDocumentFragment>

namespace {

constexpr int SeparatorRuleLength = 50;

QTextCharFormat regularFormat(const QFont& font)
{
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(QColor(Qt::black));
    return format;
}

} // namespace

QString EditorPrintController::recordSeparator()
{
    return QStringLiteral("\n\n") + QString(SeparatorRuleLength, QLatin1Char('-')) +
           QStringLiteral("\n\n");
}

EditorPrintController::EditorPrintController(FeatureContext& context) : m_context(context)
{
    m_context.registerAction(QStringLiteral("printDocument:"),
                             [this](QObject*) { printDocument(); });
    m_context.registerAction(QStringLiteral("printCurrentRecord:"),
                             [this](QObject*) { printCurrentRecord(); });
    m_context.registerAction(QStringLiteral("printAllIndividualBasicViewRecords:"),
                             [this](QObject*) { printAllIndividualBasicViewRecords(); });
    m_context.registerAction(QStringLiteral("printAllContinuousBasicViewRecords:"),
                             [this](QObject*) { printAllContinuousBasicViewRecords(); });
    m_context.registerAction(QStringLiteral("printAllListViewRecords:"),
                             [this](QObject*) { printAllListViewRecords(); });
    m_context.registerAction(QStringLiteral("printSelection:"),
                             [this](QObject*) { printSelection(); });
    m_context.registerAction(QStringLiteral("runPageLayout:"),
                             [this](QObject*) { runPageLayout(); });
}

EditorPrintController::~EditorPrintController() = default;

void EditorPrintController::printDocument()
{
    printCurrentRecord();
}

void EditorPrintController::printCurrentRecord()
{
    commitEditing();
    CurrentRecordEngine& engine = m_context.engine();
    if (const std::shared_ptr<RecordData> record = engine.recordAtIndex(engine.indexOfCurrentRecord()))
        printRecord(record);
}

void EditorPrintController::printRecord(const std::shared_ptr<RecordData>& record)
{
    m_currentRecord = m_context.engine().indexOfCurrentRecord();
    m_printMode = QStringLiteral("Basic");
    const QPointer<EditorPrintController> self(this);
    chooseValues(false, [self, record](const Values& values) {
        if (self)
            self->currentRecordPrintMarginsSheetDidEnd(record, values);
    });
}

void EditorPrintController::currentRecordPrintMarginsSheetDidEnd(
    const std::shared_ptr<RecordData>& record, const Values& values)
{
    PrintInfo printInfo = printInfoForView();
    const std::shared_ptr<BasicPrintView> view =
        makeRecordPrintView(printInfo, values, m_context.window());
    if (!view)
        return;
    applyTabStops(view->textStorage(),
                  appendRecordText(view->textStorage(), *record, m_currentRecord + 1, values));
    printOnWindow(printInfo, view);
}

void EditorPrintController::printAllContinuousBasicViewRecords()
{
    commitEditing();
    m_printMode = QStringLiteral("Basic");
    const QPointer<EditorPrintController> self(this);
    chooseValues(false, [self](const Values& values) {
        if (self)
            self->basicViewContinuousPrintMarginsSheetDidEnd(values);
    });
}

void EditorPrintController::basicViewContinuousPrintMarginsSheetDidEnd(const Values& values)
{
    PrintInfo printInfo = printInfoForView();
    const std::shared_ptr<BasicPrintView> view =
        makeRecordPrintView(printInfo, values, m_context.window());
    if (!view)
        return;
    const CurrentRecordEngine& engine = m_context.engine();
    QTextDocument& text = view->textStorage();
    const QTextCharFormat regular = regularFormat(m_context.settings()->textFont());
    QList<double> tabStops;
    for (qint64 i = 0; i < engine.selectedRecordCount(); ++i) {
        const std::shared_ptr<RecordData> record = engine.recordAtIndex(i);
        if (!record)
            continue;
        if (i > 0) {
            QTextCursor cursor(&text);
            cursor.movePosition(QTextCursor::End);
            cursor.insertText(recordSeparator(), regular);
        }
        tabStops = appendRecordText(text, *record, i + 1, values);
    }
    applyTabStops(text, tabStops);
    printOnWindow(printInfo, view);
}

void EditorPrintController::printAllIndividualBasicViewRecords()
{
    commitEditing();
    CurrentRecordEngine& engine = m_context.engine();
    m_printMode = QStringLiteral("Basic");
    m_recordCount = engine.selectedRecordCount();
    m_currentRecord = 0;
    m_storedPrintInfo = printInfoForView();
    if (m_recordCount == 0)
        return;
    const QPointer<EditorPrintController> self(this);
    chooseValues(false, [self](const Values& values) {
        if (self)
            self->basicViewIndividualPrintMarginsSheetDidEnd(values);
    });
}

void EditorPrintController::basicViewIndividualPrintMarginsSheetDidEnd(const Values& values)
{
    // Every record goes on the same paper with the same margins.
    m_individualGeometry =
        applyMargins(m_storedPrintInfo, values.margins, values.printHeader, m_context.window());
    if (!m_individualGeometry)
        return;
    setHeaderAndFooterDefaults(values.printHeader);
    m_individualValues = values;
    m_session = std::make_shared<PrintSession>();
    m_context.progress().startIndeterminateProgressPanel(localized(QStringLiteral("Preparing...")));
    printIndividualRecords();
}

void EditorPrintController::printIndividualRecords()
{
    if (m_printingIndividualRecord) {
        m_nextIndividualRecordDue = true;
        return;
    }
    m_printingIndividualRecord = true;
    do {
        m_nextIndividualRecordDue = false;
        printIndividualRecord();
    } while (m_nextIndividualRecordDue);
    m_printingIndividualRecord = false;
}

void EditorPrintController::printIndividualRecord()
{
    const std::shared_ptr<RecordData> record = m_context.engine().recordAtIndex(m_currentRecord);
    if (!record) {
        endIndividualPrint();
        return;
    }
    const std::shared_ptr<BasicPrintView> view =
        makePrintView(*m_individualGeometry, m_storedPrintInfo, m_individualValues.printHeader);
    applyTabStops(view->textStorage(), appendRecordText(view->textStorage(), *record,
                                                        m_currentRecord + 1, m_individualValues));
    PrintOperationRequest request;
    request.printInfo = m_storedPrintInfo;
    request.view = view;
    request.showsPrintPanel = m_currentRecord == 0;
    request.session = m_session;
    const QPointer<EditorPrintController> self(this);
    runPrintOperation(request, m_context.progress().progressPanel(),
                      [self](const PrintOperationResult& result) {
                          if (self)
                              self->printOperationDidRun(result);
                      });
}

void EditorPrintController::printOperationDidRun(const PrintOperationResult& result)
{
    // A cancelled first print panel ends the print; a later record that fails is passed by.
    if (!result.success && m_currentRecord == 0) {
        endIndividualPrint();
        return;
    }
    ++m_currentRecord;
    if (m_currentRecord >= m_recordCount) {
        endIndividualPrint();
        return;
    }
    m_context.progress().incrementProgressPanel(
        stringWithFormat(localized(QStringLiteral("Printing record# %d")), m_currentRecord + 1));
    printIndividualRecords();
}

void EditorPrintController::endIndividualPrint()
{
    m_context.progress().endIndeterminateProgressPanel();
    // The file of a print to PDF is complete once its session goes.
    m_session.reset();
}

void EditorPrintController::printSelection()
{
    const QTextCursor selection = m_context.host().freeformTextView()->textCursor();
    if (!selection.hasSelection()) {
        Presenter::shared().beep();
        return;
    }
    m_printMode = QStringLiteral("Basic");
    PrintInfo printInfo = printInfoForView();
    const std::optional<PrintPageGeometry> geometry =
        applyMargins(printInfo, PrintMargins{1.0f, 1.0f, 1.0f, 1.0f}, false, m_context.window());
    if (!geometry)
        return;
    const std::shared_ptr<BasicPrintView> view = makePrintView(*geometry, printInfo, false);
    QTextCursor(&view->textStorage()).insertFragment(selection.selection());
    printOnWindow(printInfo, view);
}

void EditorPrintController::runPageLayout()
{
    // Read from where it is kept: the settings of the view in front.
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const bool list = !settings->fields().isEmpty() && settings->mode() == QLatin1String("List");
    m_printMode = list ? QStringLiteral("List") : QStringLiteral("Basic");
    DatafileDocument* document = m_context.document();
    const PrintInfo printInfo = printInfoForView();
    document->setPrintInfo(printInfo);
    const QPointer<EditorPrintController> self(this);
    const QPointer<DatafileDocument> guardedDocument(document);
    Presenter::shared().runPageLayout(
        printInfo, m_context.window(),
        [self, guardedDocument](const std::optional<PrintInfo>& accepted) {
            if (!self || !guardedDocument || !accepted)
                return;
            guardedDocument->setPrintInfo(*accepted);
            self->setPrintInfoForView(*accepted);
        });
}

PrintInfo EditorPrintController::printInfoForView() const
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const std::optional<PrintInfo> stored = m_printMode == QLatin1String("List")
                                                ? settings->listViewPrintInfo()
                                                : settings->basicViewPrintInfo();
    return stored ? *stored : m_context.document()->printInfo();
}

void EditorPrintController::setPrintInfoForView(const std::optional<PrintInfo>& printInfo)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const PrintInfo stored = printInfo ? *printInfo : m_context.document()->printInfo();
    if (!settings->fields().isEmpty() && settings->mode() == QLatin1String("List"))
        settings->setListViewPrintInfo(stored);
    else
        settings->setBasicViewPrintInfo(stored);
    if (!DatafileSettingsData::noUpdateForViewChanges())
        settings->setDatafileSettingsDidChange(true);
}

void EditorPrintController::setHeaderAndFooterDefaults(bool flag)
{
    UserDefaults::standardUserDefaults().setBool(flag, PrintHeaderAndFooterKey);
}

QList<double> EditorPrintController::appendRecordText(QTextDocument& text, const RecordData& record,
                                                      qint64 number, const Values& values) const
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const QFont font = settings->textFont();
    const RecordPrintText printed = RecordPrintText::forRecord(
        record, number, settings->fields(), settings->textName(), values.text, font);
    const QTextCharFormat regular = regularFormat(font);
    QTextCursor cursor(&text);
    cursor.movePosition(QTextCursor::End);
    const int start = cursor.position();
    cursor.insertText(printed.text, regular);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (const RecordPrintText::Range& range : printed.boldRanges) {
        QTextCursor marked(&text);
        marked.setPosition(start + int(range.location));
        marked.setPosition(start + int(range.location + range.length), QTextCursor::KeepAnchor);
        marked.mergeCharFormat(bold);
    }

    // The rich text when there is some that can be read, else the plain text.
    RichTextResult rich;
    if (!m_context.isMobile() && !record.textRTFD().isEmpty())
        rich = RichText::fromRtfd(record.textRTFD());
    cursor.movePosition(QTextCursor::End);
    if (rich.ok() && rich.document && !rich.document->isEmpty())
        cursor.insertFragment(QTextDocumentFragment(rich.document.get()));
    else
        cursor.insertText(record.textString(), regular);
    return printed.tabStops;
}

void EditorPrintController::applyTabStops(QTextDocument& text, const QList<double>& stops)
{
    if (stops.isEmpty())
        return;
    QList<QTextOption::Tab> tabs;
    for (double stop : stops)
        tabs.append(QTextOption::Tab(PrintableView::documentTabPosition(stop), QTextOption::LeftTab));
    QTextBlockFormat format;
    format.setTabPositions(tabs);
    QTextCursor everything(&text);
    everything.select(QTextCursor::Document);
    everything.mergeBlockFormat(format);
}

EditorPrintController::Values EditorPrintController::valuesFromSettings(bool listView) const
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    Values values;
    if (listView) {
        values.margins.top = settings->listViewPrintTopMargin();
        values.margins.bottom = settings->listViewPrintBottomMargin();
        values.margins.left = settings->listViewPrintLeftMargin();
        values.margins.right = settings->listViewPrintRightMargin();
        values.useInches = settings->listViewPrintUseInches();
        values.printHeader = settings->listViewPrintHeader();
    } else {
        values.margins.top = settings->basicViewPrintTopMargin();
        values.margins.bottom = settings->basicViewPrintBottomMargin();
        values.margins.left = settings->basicViewPrintLeftMargin();
        values.margins.right = settings->basicViewPrintRightMargin();
        values.useInches = settings->basicViewPrintUseInches();
        values.printHeader = settings->basicViewPrintHeader();
    }
    values.text.dontPrintEmptyFields = settings->basicViewDontPrintEmptyFields();
    values.text.printBoldFieldNames = settings->basicViewPrintBoldFieldNames();
    values.text.printRecordNumbers = settings->basicViewPrintRecordNumbers();
    return values;
}

void EditorPrintController::storeValues(const Values& values, bool listView)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    if (listView) {
        settings->setListViewPrintTopMargin(values.margins.top);
        settings->setListViewPrintBottomMargin(values.margins.bottom);
        settings->setListViewPrintLeftMargin(values.margins.left);
        settings->setListViewPrintRightMargin(values.margins.right);
        settings->setListViewPrintUseInches(values.useInches);
        settings->setListViewPrintHeader(values.printHeader);
    } else {
        settings->setBasicViewPrintTopMargin(values.margins.top);
        settings->setBasicViewPrintBottomMargin(values.margins.bottom);
        settings->setBasicViewPrintLeftMargin(values.margins.left);
        settings->setBasicViewPrintRightMargin(values.margins.right);
        settings->setBasicViewPrintUseInches(values.useInches);
        settings->setBasicViewPrintHeader(values.printHeader);
    }
    settings->setBasicViewDontPrintEmptyFields(values.text.dontPrintEmptyFields);
    settings->setBasicViewPrintBoldFieldNames(values.text.printBoldFieldNames);
    settings->setBasicViewPrintRecordNumbers(values.text.printRecordNumbers);
    settings->setDatafileSettingsDidChange(true);
}

void EditorPrintController::chooseValues(bool listView, std::function<void(const Values&)> print)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_context.settings();
    const Values stored = valuesFromSettings(listView);
    if (settings->hideMargins()) {
        print(stored);
        return;
    }
    auto* sheet = VKSheetController::controller<PrintMarginsSheetController>();
    const QPointer<EditorPrintController> self(this);
    // However the sheet ends, the print goes on with what it holds.
    const auto didEnd = [self, sheet, listView, print = std::move(print)](QWidget*, int) {
        if (!self)
            return;
        Values values;
        values.margins = {sheet->topMargin(), sheet->bottomMargin(), sheet->leftMargin(),
                          sheet->rightMargin()};
        values.useInches = sheet->useInches();
        values.text = {sheet->dontPrintEmptyFields(), sheet->printBoldFieldNames(),
                       sheet->printRecordNumbers()};
        values.printHeader = sheet->printHeader();
        self->m_context.settings()->setHideMargins(sheet->hideMargins());
        self->storeValues(values, listView);
        print(values);
    };
    sheet->beginSheetWithTopMargin(stored.margins.top, stored.margins.bottom, stored.margins.left,
                                   stored.margins.right, stored.text.dontPrintEmptyFields,
                                   stored.text.printBoldFieldNames, stored.text.printRecordNumbers,
                                   stored.useInches, stored.printHeader, listView, settings,
                                   m_context.window(), didEnd);
}

std::optional<PrintPageGeometry>
EditorPrintController::applyMargins(PrintInfo& printInfo, const PrintMargins& margins,
                                    bool printHeader, QWidget* window)
{
    const PrintPageGeometry geometry =
        PrintPageGeometry::forPaper(printInfo.paperSize(),
                                    Presenter::shared().imageablePageBounds(printInfo), margins,
                                    printHeader);
    if (!geometry.fits()) {
        alertMarginsTooLarge(window);
        return std::nullopt;
    }
    printInfo.setTopMargin(geometry.margins.top);
    printInfo.setBottomMargin(geometry.margins.bottom);
    printInfo.setLeftMargin(geometry.margins.left);
    printInfo.setRightMargin(geometry.margins.right);
    return geometry;
}

void EditorPrintController::alertMarginsTooLarge(QWidget* window)
{
    AlertRequest alert;
    alert.messageText = localized(QStringLiteral("The margins are too large for the paper."));
    alert.informativeText = localized(QStringLiteral("Make the margins smaller and print again."));
    Presenter::shared().beginAlertSheet(alert, window, [](const AlertResponse&) {});
}

std::shared_ptr<BasicPrintView>
EditorPrintController::makePrintView(const PrintPageGeometry& geometry, const PrintInfo& printInfo,
                                     bool printHeader) const
{
    auto view = std::make_shared<BasicPrintView>(geometry.body, printInfo.scalingFactor());
    view->setPrintJobTitle(m_context.document()->displayName());
    view->setHeaderRect(geometry.headerRect);
    view->setPrintHeader(printHeader);
    return view;
}

std::shared_ptr<BasicPrintView>
EditorPrintController::makeRecordPrintView(PrintInfo& printInfo, const Values& values,
                                           QWidget* window)
{
    const std::optional<PrintPageGeometry> geometry =
        applyMargins(printInfo, values.margins, values.printHeader, window);
    if (!geometry)
        return nullptr;
    setHeaderAndFooterDefaults(values.printHeader);
    return makePrintView(*geometry, printInfo, values.printHeader);
}

void EditorPrintController::runPrintOperation(const PrintOperationRequest& request, QWidget* window,
                                              std::function<void(const PrintOperationResult&)> didRun)
{
    const QPointer<EditorPrintController> self(this);
    const QPointer<QWidget> editorWindow(m_context.window());
    Presenter::shared().runPrintOperation(
        request, window,
        [self, editorWindow, didRun = std::move(didRun)](const PrintOperationResult& result) {
            if (self)
                reportUnwritablePrintFile(result, editorWindow);
            if (didRun)
                didRun(result);
        });
}

void EditorPrintController::printOnWindow(const PrintInfo& printInfo,
                                          const std::shared_ptr<PrintableView>& view)
{
    PrintOperationRequest request;
    request.printInfo = printInfo;
    request.view = view;
    runPrintOperation(request, m_context.window());
}

void EditorPrintController::commitEditing()
{
    m_context.host().endEditing();
    m_context.engine().saveIfDifferentRecord(nullptr);
}

