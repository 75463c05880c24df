#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class FeatureContext;
class QWidget;
class RecordData;
class AddFieldWithContentSheetController;
class FieldTextSheetController;
class TotalFieldContentsSheetController;
class TransferFieldContentsSheetController;
class MoveTextElementsSheetController;

// The Fields menu's operations on field values over the selected records: a new field of
// running numbers, filling and replacing a field's values, totals into a sum record,
// values moved between the fields and the Freeform Text Area, and phone numbers, e-mail
// addresses and web links taken from the text into fields of their own. Every value goes
// through the current-record engine's writeField as a bulk write.
//   EditorFieldContentsController.cpp             fill, replace, add field with content
//   EditorFieldContentsControllerTotals.cpp       totals and the decimal adder
//   EditorFieldContentsControllerTransfer.cpp     transfer, lines of the text into fields
//   EditorFieldContentsControllerTextElements.cpp phone numbers, addresses, links
class EditorFieldContentsController : public QObject {
    Q_OBJECT

public:
    // A range of a text; length 0 is none.
    struct TextRange {
        qsizetype location = 0;
        qsizetype length = 0;
        bool operator==(const TextRange&) const = default;
    };
    // The running total after one addition, and whether the value added could be read
    // (false also when the sum would not fit).
    struct NumberSum {
        QString total;
        bool readable = true;
    };

    // The fill text of a field: no line breaks, tabs or paragraph separators at all.
    static QString withoutLineBreaks(const QString& text);
    // The number with zeros after any sign until it has digitCount digits.
    static QString numberText(qint64 number, qint64 digitCount);
    // The exact decimal sum of two number texts in 2 (money) or 6 fraction digits; a
    // currency sign in front and grouping characters are passed over.
    static NumberSum addNumberString(const QString& total, const QString& value,
                                     const QString& decimalSeparator, bool treatAsMoney);
    // The first phone number matching one of the templates at or after the location.
    static QString phoneNumberInString(const QString& text, qsizetype location,
                                       const QStringList& templates);
    // The first e-mail address, or the first web link, in the range of the text.
    static TextRange emailRangeInString(const QString& text, TextRange range);
    static TextRange webLinkRangeInString(const QString& text, TextRange range);

    explicit EditorFieldContentsController(FeatureContext& context);
    ~EditorFieldContentsController() override;

    // Add Field with Content: asked to save or revert unsaved changes first.
    void addFieldWithContent();
    // 1 save, 0 cancel, -1 revert.
    void addFieldWithContentDidEnd1(int returnCode);
    void addFieldWithContent2();
    void addFieldWithContentDidEnd2(AddFieldWithContentSheetController* sheet, int returnCode);
    // Text i into the i-th selected record.
    void addFieldContent(const QStringList& contents, const QString& field);

    void fillEmptyFields();
    void replaceFieldContents();
    // The chosen field of the selected records gets the text where it is empty, or
    // everywhere.
    void fillEmptyFieldsDidEnd(FieldTextSheetController* sheet, int returnCode);
    void replaceFieldContentsDidEnd(FieldTextSheetController* sheet, int returnCode);

    void totalFieldContents();
    void totalFieldContentsDidEnd(TotalFieldContentsSheetController* sheet, int returnCode);

    void transferFieldContents();
    void transferFieldContentsDidEnd(TransferFieldContentsSheetController* sheet, int returnCode);
    void moveCurrentFreeformTextIntoFields();
    void moveCurrentFreeformTextIntoFieldsDidEnd(int returnCode);
    void moveAllFreeformTextIntoFields();
    void moveAllFreeformTextIntoFieldsDidEnd(int returnCode);
    bool currentRecordHasFieldContent() const;
    bool datafileHasFieldContent() const;

    void moveTextElements();
    void moveTextElementsDidEnd(MoveTextElementsSheetController* sheet, int returnCode);
    void copyOneEach(bool phoneNumbers, bool email, bool webLinks);
    void moveOneEach(bool phoneNumbers, bool email, bool webLinks);
    void copyAll(bool phoneNumbers, bool email, bool webLinks);
    void moveAll(bool phoneNumbers, bool email, bool webLinks);

private:
    // The sheet's did-end, calling the handler while this controller (its window) lives.
    template <typename Sheet, typename Handler>
    std::function<void(QWidget*, int)> didEndOf(Sheet* sheet, Handler handler)
    {
        const QPointer<EditorFieldContentsController> self(this);
        return [self, sheet, handler](QWidget*, int returnCode) {
            if (self)
                (self.data()->*handler)(sheet, returnCode);
        };
    }
    // The alert before lines of the text go into fields: "Move the Data" answers 1.
    void askToMoveTheData(const QString& message, const QString& informative,
                          void (EditorFieldContentsController::*didEnd)(int));
    void writeFieldText(FieldTextSheetController* sheet, int returnCode, bool replace);
    // Lines of the current record's text into its fields; the all-records variant also
    // stores the lines left empty once the text is used up.
    void moveFreeformTextIntoFields(bool allRecords);
    // Whether the current record's text may be changed by code: not when locked.
    bool currentTextEditable() const;
    // Cuts the range out of the text area, as the user would.
    void deleteTextRange(qsizetype location, qsizetype length);
    void showUnreadableValues(const QStringList& messages);

    FeatureContext& m_context;
};
