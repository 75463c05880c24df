#pragma once

#include "PrintInfo.h"
#include "PrintPageGeometry.h"
#include "RecordPrintText.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class BasicPrintView;
class PrintableView;
class TablePrintView;
class FeatureContext;
class PrintSession;
class QTextDocument;
class QWidget;
class RecordData;
struct PrintOperationRequest;
struct PrintOperationResult;

// The editor window's record prints: the current record, every selected record on pages
// of its own or one after another, the selected text, and Page Setup with the print
// settings kept per view. The record prints take their margins and text options from the
// margins sheet, or straight from the datafile once it is told to hide.
class EditorPrintController : public QObject {
    Q_OBJECT

public:
    // The user default that says whether pages get their header.
    static inline const QString PrintHeaderAndFooterKey = QStringLiteral("NSPrintHeaderAndFooter");
    // Between records printed one after another.
    static QString recordSeparator();

    // What a record print was asked for.
    struct Values {
        PrintMargins margins;
        bool useInches = true;
        RecordPrintText::Options text;
        bool printHeader = false;
    };

    explicit EditorPrintController(FeatureContext& context);
    ~EditorPrintController() override;

    // Print (Ctrl+P) and Print Current Record: the record this window shows, committed.
    void printDocument();
    void printCurrentRecord();
    void printRecord(const std::shared_ptr<RecordData>& record);
    void printAllIndividualBasicViewRecords();
    void printAllContinuousBasicViewRecords();
    // The List View as a ruled table of the selected records (EditorPrintControllerListView.cpp).
    void printAllListViewRecords();
    // The text selected in the Freeform Text Area as it stands, typing included.
    void printSelection();
    void runPageLayout();

    // The stored print settings of the view printed, else the document's.
    PrintInfo printInfoForView() const;
    // Stores them for the view in front (the document's when none are given).
    void setPrintInfoForView(const std::optional<PrintInfo>& printInfo);
    static void setHeaderAndFooterDefaults(bool flag);

    // The record's printed text, number `number`, at the end of the document; answers
    // the tab stops its field names want.
    QList<double> appendRecordText(QTextDocument& text, const RecordData& record, qint64 number,
                          const Values& values) const;

    // Where an individual print stands (the state lives between its jobs).
    qint64 currentRecord() const { return m_currentRecord; }
    qint64 recordCount() const { return m_recordCount; }

private:
    // The record prints' values, or the List View's (its own margins, unit and header).
    Values valuesFromSettings(bool listView) const;
    void storeValues(const Values& values, bool listView);
    // The values from the datafile, or from the sheet when it is not hidden; then `print`.
    void chooseValues(bool listView, std::function<void(const Values&)> print);
    static void alertMarginsTooLarge(QWidget* window);
    // The margins raised to the printer's minimums and set on the print settings; nothing,
    // after telling the user, when they leave no room on the paper.
    std::optional<PrintPageGeometry> applyMargins(PrintInfo& printInfo, const PrintMargins& margins,
                                                  bool printHeader, QWidget* window);
    // The text's view in the body of the page, at the print settings' scaling.
    std::shared_ptr<BasicPrintView> makePrintView(const PrintPageGeometry& geometry,
                                                  const PrintInfo& printInfo,
                                                  bool printHeader) const;
    // Both for a record print, whose header choice becomes the user's default.
    std::shared_ptr<BasicPrintView> makeRecordPrintView(PrintInfo& printInfo, const Values& values,
                                                        QWidget* window);
    void runPrintOperation(const PrintOperationRequest& request, QWidget* window,
                           std::function<void(const PrintOperationResult&)> didRun = {});
    // One job, its print panel on the editor window.
    void printOnWindow(const PrintInfo& printInfo, const std::shared_ptr<PrintableView>& view);
    // The last typed value in the tables and the text reaches the current record.
    void commitEditing();
    static void applyTabStops(QTextDocument& text, const QList<double>& stops);

    void currentRecordPrintMarginsSheetDidEnd(const std::shared_ptr<RecordData>& record,
                                              const Values& values);
    void basicViewContinuousPrintMarginsSheetDidEnd(const Values& values);
    void listViewPrintMarginsSheetDidEnd(const Values& values);
    // The List View's table as it is shown, to print.
    std::shared_ptr<TablePrintView> makeTablePrintView(const PrintPageGeometry& geometry,
                                                       bool printHeader) const;
    // The individual print, one job per record.
    void basicViewIndividualPrintMarginsSheetDidEnd(const Values& values);
    void printIndividualRecords();
    void printIndividualRecord();
    void printOperationDidRun(const PrintOperationResult& result);
    void endIndividualPrint();

    FeatureContext& m_context;
    QString m_printMode = QStringLiteral("Basic");
    qint64 m_currentRecord = 0;
    qint64 m_recordCount = 0;
    PrintInfo m_storedPrintInfo;
    Values m_individualValues;
    std::optional<PrintPageGeometry> m_individualGeometry;
    std::shared_ptr<PrintSession> m_session;
    // A job that ends at once asks for the next from inside its own; the loop takes it.
    bool m_printingIndividualRecord = false;
    bool m_nextIndividualRecordDue = false;
};
