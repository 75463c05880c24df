#include "VKChooserIntern.h"

#include "NotificationCenter.h"

#include <QHeaderView>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTextEdit>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

const QString nameKey = QStringLiteral("Name");
const QString itemsKey = QStringLiteral("Items");
const QString isGroupKey = QStringLiteral("IsGroup");
constexpr int lineRole = Qt::UserRole + 1;

void insertUnlessEmpty(PlistDictionary& dictionary, const QString& key, const QString& value)
{
    if (!value.isEmpty())
        dictionary.insert(key, value);
}

} // namespace

PlistDictionary VKChooserIntern::settingsWithName(const QString& name)
{
    PlistDictionary settings;
    insertUnlessEmpty(settings, nameKey, name);
    settings.insert(itemsKey, PlistArray());
    settings.insert(isGroupKey, QStringLiteral("YES"));
    return settings;
}

void VKChooserIntern::addLineToSettings(PlistDictionary& group,
                                        const std::optional<PlistDictionary>& base,
                                        const QString& name, const QString& identifier,
                                        const QString& internClass, const QString& description)
{
    PlistDictionary line = base ? base->shallowCopy() : PlistDictionary();
    insertUnlessEmpty(line, nameKey, name);
    insertUnlessEmpty(line, QStringLiteral("Identifier"), identifier);
    insertUnlessEmpty(line, QStringLiteral("Class"), internClass);
    insertUnlessEmpty(line, QStringLiteral("Description"), description);
    PlistValue* items = group.find(itemsKey);
    if (!items || !items->isArray()) {
        group.insert(itemsKey, PlistArray());
        items = group.find(itemsKey);
    }
    items->asArray()->append(line);
}

VKChooserIntern::VKChooserIntern(const PlistDictionary& settings)
    : m_name(settings.stringForKey(nameKey))
{
    buildInterface();
    const PlistValue items = settings.value(itemsKey);
    setItems(items.isArray() ? *items.asArray() : PlistArray());
}

VKChooserIntern::~VKChooserIntern()
{
    // The page's view, unless the window showing it already took it down.
    delete m_containerView.data();
}

void VKChooserIntern::buildInterface()
{
    m_containerView = new QWidget;
    m_containerView->setObjectName(nibName());
    m_model = new QStandardItemModel(m_containerView);
    m_listOutlineView = new QTreeView;
    m_listOutlineView->setModel(m_model);
    m_listOutlineView->header()->hide();
    m_listOutlineView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listOutlineView->setMinimumHeight(dividerMargin);
    m_descriptionTextView = new QTextEdit;
    m_descriptionTextView->setReadOnly(true);
    m_descriptionTextView->setMinimumHeight(dividerMargin);
    m_splitter = new QSplitter(Qt::Vertical);
    m_splitter->addWidget(m_listOutlineView);
    m_splitter->addWidget(m_descriptionTextView);
    m_splitter->setChildrenCollapsible(true);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 1);
    auto* box = new QVBoxLayout(m_containerView);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(m_splitter);

    connect(m_listOutlineView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { outlineViewSelectionDidChange(); });
    connect(m_listOutlineView, &QTreeView::doubleClicked, this, [this] { doubleClicked(); });
}

void VKChooserIntern::setItems(const PlistArray& items)
{
    m_items = items;
    m_model->clear();
    m_lines.clear();
    addRows(m_model->invisibleRootItem(), m_items);
    m_listOutlineView->expandAll();
}

void VKChooserIntern::addRows(QStandardItem* parent, const PlistArray& lines)
{
    for (const PlistValue& value : lines) {
        const PlistDictionary* line = value.asDictionary();
        if (!line)
            continue;
        auto* row = new QStandardItem(line->stringForKey(nameKey));
        row->setData(qint64(m_lines.size()), lineRole);
        m_lines.push_back(*line);
        const bool group = line->contains(isGroupKey);
        QFont font = row->font();
        font.setBold(group);
        row->setFont(font);
        parent->appendRow(row);
        const PlistValue children = line->value(itemsKey);
        if (group && children.isArray())
            addRows(row, *children.asArray());
    }
}

const PlistDictionary* VKChooserIntern::selectedLine() const
{
    const QModelIndexList selected = m_listOutlineView->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return nullptr;
    const qint64 line = selected.front().data(lineRole).toLongLong();
    return line >= 0 && line < qint64(m_lines.size()) ? &m_lines[size_t(line)] : nullptr;
}

bool VKChooserIntern::willFinish() const
{
    const PlistDictionary* line = selectedLine();
    return line && !VKInternClasses::resolves(line->stringForKey(QStringLiteral("Class")));
}

bool VKChooserIntern::canProceed() const
{
    const PlistDictionary* line = selectedLine();
    return line && !line->contains(isGroupKey);
}

QString VKChooserIntern::nextInternClass() const
{
    const PlistDictionary* line = selectedLine();
    const QString internClass = line ? line->stringForKey(QStringLiteral("Class")) : QString();
    return VKInternClasses::resolves(internClass) ? internClass : QString();
}

PlistValue VKChooserIntern::settings() const
{
    const PlistDictionary* line = selectedLine();
    return line ? PlistValue(*line) : PlistValue();
}

void VKChooserIntern::doubleClicked()
{
    NotificationCenter::defaultCenter().postNotification(
        QStringLiteral("VKAssistantWantNextInternNotification"),
        static_cast<const VKInternProtocol*>(this));
}

void VKChooserIntern::outlineViewSelectionDidChange()
{
    const PlistDictionary* line = selectedLine();
    m_descriptionTextView->setPlainText(line ? line->stringForKey(QStringLiteral("Description"))
                                             : QString());
    NotificationCenter::defaultCenter().postNotification(
        QStringLiteral("VKAssistantInternStateChangedNotification"),
        static_cast<const VKInternProtocol*>(this));
}
