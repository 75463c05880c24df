// The Fields menu's bulk operations on a generated datafile of 100,000 records and ten
// fields: Fill Empty Fields and Replace Field Contents from the sheet's OK, the totals of
// two numeric fields into a sum record, and Copy All of the phone numbers, e-mail
// addresses and web links in every record's text into numbered fields.
//
//   field_contents_bench [RUNS]    (3 runs when not given, at most 9)
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "RecordDataTesting.h"
#include "DatafileGenerator.h"
#include "EditorFieldContentsController.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "FillEmptyFieldsSheetController.h"
#include "PropertyList.h"
#include "ReplaceFieldContentSheetController.h"
#include "SafeFileWriter.h"
#include "ScriptedPresenter.h"
#include "TotalFieldContentsSheetController.h"
#include "UserDefaults.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double milliseconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);
    defaults.setObject(QStringLiteral("nnn-nnnn\n(nnn) nnn-nnnn"),
                       QStringLiteral("PhoneNumberTemplates"));
    const int runs = std::clamp(argc > 1 ? std::atoi(argv[1]) : 3, 1, 9);

    const QString path = folder.filePath(QStringLiteral("Generated.nv3"));
    const PlistValue generated = generateDatafile(100'000);
    if (!SafeFileWriter::write(path, [&](QIODevice& device) {
             return writePropertyList(generated, device, PlistFormat::Xml);
         }).ok)
        return 1;
    DatafileDocument document;
    EditorWindowController* editor = openInEditorWindow(document, path);
    if (!editor)
        return 1;
    CurrentRecordEngine& engine = editor->engine();
    const qint64 count = engine.selectedRecordCount();
    const PlistArray fields = editor->settings()->fields();
    const QString first = fields[0].asDictionary()->stringForKey(QStringLiteral("Identifier"));
    const QString second = fields[1].asDictionary()->stringForKey(QStringLiteral("Identifier"));

    std::vector<double> fill, replace, totals, copyAll;
    for (int run = 0; run < runs; ++run) {
        // Fill finds every value of the fifth field empty after this.
        for (qint64 index = 0; index < count; ++index) {
            const std::shared_ptr<RecordData> record = engine.recordAtIndex(index);
            PlistDictionary values = record->fields();
            values.insert(fields[4].asDictionary()->stringForKey(QStringLiteral("Identifier")),
                          QString());
            values.insert(first, QString::number(index % 1000) + QStringLiteral(".25"));
            values.insert(second,
                          QStringLiteral("$") + QString::number(index % 77) + QStringLiteral(".5"));
            record->setTextString(record->textString() +
                                  QStringLiteral(" Call 555-1234 or (555) 555-9876, write to "
                                                 "someone@example.org or see www.example.com"), RecordDataTesting::key());
        }
        const auto fieldSheet = [&](FieldTextSheetController* sheet, const QString& text) {
            sheet->fieldNamesPopup()->setCurrentIndex(4);
            sheet->replacementTextField()->setText(text + QString::number(run));
            return milliseconds([&] { sheet->okay(); });
        };
        editor->performAction(QStringLiteral("fillEmptyFields:"));
        fill.push_back(fieldSheet(
            VKSheetController::topmostController<FillEmptyFieldsSheetController>(), "filled"));
        editor->performAction(QStringLiteral("replaceFieldContents:"));
        replace.push_back(
            fieldSheet(VKSheetController::topmostController<ReplaceFieldContentSheetController>(),
                       "replaced"));

        editor->performAction(QStringLiteral("totalFieldContents:"));
        auto* total = VKSheetController::topmostController<TotalFieldContentsSheetController>();
        total->setFieldToTotal(0, true);
        total->setFieldToTotal(1, true);
        totals.push_back(milliseconds([&] { total->okay(); }));

        copyAll.push_back(
            milliseconds([&] { editor->fieldContentsController().copyAll(true, true, true); }));
    }
    std::printf("%lld records, %d runs, median (worst) ms: fill empty fields %.1f (%.1f), replace "
                "field contents %.1f (%.1f), totals of two fields %.1f (%.1f), copy all text "
                "elements %.1f (%.1f)\n",
                qlonglong(count), runs, median(fill), *std::max_element(fill.begin(), fill.end()),
                median(replace), *std::max_element(replace.begin(), replace.end()), median(totals),
                *std::max_element(totals.begin(), totals.end()), median(copyAll),
                *std::max_element(copyAll.begin(), copyAll.end()));
    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    Presenter::setShared(nullptr);
    return 0;
}
