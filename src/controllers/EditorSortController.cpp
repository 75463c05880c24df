#include "EditorSortController.h"

#include "DatafileDocument.h"
#include "EditorWindowController.h"
#include "Localization.h"
#include "SortCriteriaData.h"
#include "SortFieldBasedRecordsSheetController.h"
#include "SortFreeformRecordsSheetController.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>

#include <algorithm>

EditorSortController::EditorSortController(EditorWindowController& editor) : m_editor(editor)
{
    registerQuickSorts();
    m_editor.registerAction(QStringLiteral("sortDatafile:"), [this](QObject*) { sortDatafile(); });
}

void EditorSortController::registerQuickSorts()
{
    const struct {
        const char* selector;
        qint64 kind;
        bool descending;
    } sorts[] = {
        {"sortAlpha:", SortCriteriaData::TextKind, false},
        {"sortAlphaReverse:", SortCriteriaData::TextKind, true},
        {"sortNumeric:", SortCriteriaData::NumberKind, false},
        {"sortNumericReverse:", SortCriteriaData::NumberKind, true},
        // Standard dates sort as standard dates (not as the e-mail dates they were once
        // read as, which left most of them unread).
        {"sortAsStandardDates:", SortCriteriaData::StandardDateKind, false},
        {"sortAsStandardDatesReverse:", SortCriteriaData::StandardDateKind, true},
        {"sortAsEmailDates:", SortCriteriaData::EmailDateKind, false},
        {"sortAsEmailDatesReverse:", SortCriteriaData::EmailDateKind, true},
    };
    for (const auto& sort : sorts) {
        m_editor.registerAction(QString::fromLatin1(sort.selector), [this, sort](QObject*) {
            sortDatafileByCriterion(sort.kind, sort.descending);
        });
    }
}

void EditorSortController::sortDatafileByCriterion(qint64 compareKind, bool descending)
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing())
        return;
    engine.saveIfDifferentRecord(nullptr);
    engine.autoSaveChanges(false);
    const PlistArray fields = m_editor.settings()->fields();
    const QString identifier =
        m_sortColumn >= 0 && m_sortColumn < fields.size()
            ? fields.at(m_sortColumn).asDictionary()->stringForKey(
                  DatafileSettingsData::FieldIdentifierKey)
            : QStringLiteral("Text");
    const std::shared_ptr<SortCriteriaData> criteria = SortCriteriaData::criteria();
    criteria->setCompareSelector(compareKind);
    criteria->setDescending(descending);
    criteria->setPrimaryFieldIdentifier(identifier);
    criteria->setCaseSensitive(false);
    sortBy(criteria);
}

void EditorSortController::sortBy(const std::shared_ptr<SortCriteriaData>& criteria)
{
    CurrentRecordEngine& engine = m_editor.engine();
    const std::shared_ptr<SubsetSortedData>& catalog = engine.catalog();
    catalog->setCriteria(criteria);
    // Name, word and postal-code sorts read the records' address blocks through it.
    catalog->setDocument(m_editor.datafileDocument());
    catalog->sort();
    engine.loadRecordAtIndex(0);
    engine.setDatafileChanged();
}

template <typename Sheet>
void EditorSortController::sortRecordsSheetDidEnd(Sheet* sheet, int returnCode)
{
    if (returnCode == 1) {
        CurrentRecordEngine& engine = m_editor.engine();
        engine.updateCurrentRecord();
        engine.autoSaveChanges(false);
        sheet->handleOkayClick();
        const std::shared_ptr<SortCriteriaData> criteria = sheet->criteria();
        if (criteria) {
            sortBy(criteria);
            engine.freshenWindowContentSettings();
            if (!sheet->title().isEmpty())
                addCriteria(criteria, sheet->title());
        }
    }
    sheet->resetSortRecordsSheet();
}

void EditorSortController::sortDatafile()
{
    CurrentRecordEngine& engine = m_editor.engine();
    if (engine.nowSyncing())
        return;
    m_editor.endEditing();
    engine.updateCurrentRecord();
    engine.saveIfDifferentRecord(nullptr);
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    const PlistArray fields = settings->fields();
    // The window may close with the sheet up; its did-end then has no one to tell.
    const QPointer<EditorSortController> self(this);
    if (!fields.isEmpty()) {
        auto* sheet = VKSheetController::controller<SortFieldBasedRecordsSheetController>();
        sheet->beginSheetWithCriteria(SortCriteriaData::criteria(), fields, settings->textName(),
                                      m_editor.window(), [self, sheet](QWidget*, int returnCode) {
                                          if (self)
                                              self->sortRecordsSheetDidEnd(sheet, returnCode);
                                      });
    } else {
        auto* sheet = VKSheetController::controller<SortFreeformRecordsSheetController>();
        sheet->beginSheetWithCriteria(SortCriteriaData::criteria(), m_editor.window(),
                                      [self, sheet](QWidget*, int returnCode) {
                                          if (self)
                                              self->sortRecordsSheetDidEnd(sheet, returnCode);
                                      });
    }
}

void EditorSortController::addCriteria(const std::shared_ptr<VKSortCriteriaData>& criteria,
                                       const QString& title)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    PlistDictionary list = settings->sortTasksList().value_or(PlistDictionary());
    list.insert(title, criteria->dictionary().deepCopy());
    settings->setSortTasksList(list);
    setupSortTasksMenu(m_sortTasksMenu);
}

void EditorSortController::setupSortTasksMenu(QMenu* menu)
{
    m_sortTasksMenu = menu;
    if (!menu)
        return;
    menu->clear();
    menu->setToolTipsVisible(true);
    const std::optional<PlistDictionary> tasks = m_editor.settings()->sortTasksList();
    if (!tasks)
        return;
    QStringList titles = tasks->keys();
    std::sort(titles.begin(), titles.end(), [](const QString& a, const QString& b) {
        return QString::localeAwareCompare(a.toLower(), b.toLower()) < 0;
    });
    for (const QString& title : titles) {
        QAction* item = menu->addAction(title);
        item->setToolTip(localized(QStringLiteral("Hold down option key to remove this sort task.")));
        connect(item, &QAction::triggered, this, [this, title] {
            sortTasksListHit(title, QApplication::keyboardModifiers().testFlag(Qt::AltModifier));
        });
    }
}

void EditorSortController::sortTasksListHit(const QString& title, bool remove)
{
    const std::shared_ptr<DatafileSettingsData> settings = m_editor.settings();
    std::optional<PlistDictionary> tasks = settings->sortTasksList();
    if (!tasks || !tasks->contains(title))
        return;
    if (remove) {
        PlistDictionary list = tasks->shallowCopy();
        list.remove(title);
        settings->setSortTasksList(list);
        // Else the settings-only save at closing would bring it back.
        settings->setDatafileSettingsDidChange(true);
        setupSortTasksMenu(m_sortTasksMenu);
        return;
    }
    CurrentRecordEngine& engine = m_editor.engine();
    // What is being edited is sorted with the rest.
    engine.saveIfDifferentRecord(nullptr);
    const std::shared_ptr<SortCriteriaData> criteria = SortCriteriaData::criteria();
    const PlistValue stored = tasks->value(title);
    if (!stored.isDictionary() || !criteria->initWithDictionary(*stored.asDictionary()))
        return;
    sortBy(criteria);
}
