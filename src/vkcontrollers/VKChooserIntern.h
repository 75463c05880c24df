#pragma once

#include "VKInternProtocol.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <optional>

class QSplitter;
class QStandardItem;
class QStandardItemModel;
class QTextEdit;
class QTreeView;

// A ready-made assistant page: an outline of choices in groups, with the chosen line's
// description below it. The chosen line names the class of the next page.
//
// Its settings: {"Name": the prompt, "Items": the lines, "IsGroup": "YES"}; a line is
// {"Name", "Identifier", "Class", "Description"}, or a group {"Name", "Items",
// "IsGroup": "YES"}, which is shown bold and cannot be chosen.
class VKChooserIntern : public QObject, public VKInternProtocol {
    Q_OBJECT

public:
    static inline const QString ClassName = QStringLiteral("VKChooserIntern");

    // New chooser settings (or a group) with no lines yet.
    static PlistDictionary settingsWithName(const QString& name);
    // Appends a line to the group's "Items": a copy of the base (when given) with the
    // name, identifier, class and description set; empty ones are left out.
    static void addLineToSettings(PlistDictionary& group,
                                  const std::optional<PlistDictionary>& base, const QString& name,
                                  const QString& identifier, const QString& internClass,
                                  const QString& description);

    explicit VKChooserIntern(const PlistDictionary& settings);
    ~VKChooserIntern() override;

    QString name() const override { return m_name; }
    void setName(const QString& name) { m_name = name; }
    const PlistArray& items() const { return m_items; }
    void setItems(const PlistArray& items);
    QWidget* containerView() override { return m_containerView; }
    // A line is chosen and no page follows it.
    bool willFinish() const override;
    // A line, not a group, is chosen.
    bool canProceed() const override;
    QString nextInternClass() const override;
    QString operation() const override { return QStringLiteral("VKChooser"); }
    // The chosen line; null when none is.
    PlistValue settings() const override;
    QObject* delegate() const override { return m_delegate; }
    void setDelegate(QObject* delegate) override { m_delegate = delegate; }
    QString nibName() const { return ClassName; }

    // Outlets.
    QTreeView* listOutlineView() const { return m_listOutlineView; }
    QTextEdit* descriptionTextView() const { return m_descriptionTextView; }
    QSplitter* splitter() const { return m_splitter; }

    // Asks the assistant to go on, as Next does.
    void doubleClicked();
    // Shows the chosen line's description and has the assistant weigh its buttons anew.
    void outlineViewSelectionDidChange();

    // The divider keeps this far from either end, unless a pane is collapsed.
    static constexpr int dividerMargin = 75;

private:
    void buildInterface();
    void addRows(QStandardItem* parent, const PlistArray& lines);
    const PlistDictionary* selectedLine() const;

    QString m_name;
    PlistArray m_items;
    QObject* m_delegate = nullptr;
    // Each row's line, by the number its item carries.
    std::vector<PlistDictionary> m_lines;
    QPointer<QWidget> m_containerView;
    QTreeView* m_listOutlineView = nullptr;
    QStandardItemModel* m_model = nullptr;
    QTextEdit* m_descriptionTextView = nullptr;
    QSplitter* m_splitter = nullptr;
};
