// The views list and its popup rows, through a small row class of three modes.
#include "VKViewsListView.h"

#include "InternalInconsistency.h"
#include "PopUpButton.h"
#include "SystemLog.h"
#include "VKPopupSingleHandler.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

class ThreeModeHandler : public VKPopupSingleHandler {
public:
    QString nibName() const override { return QStringLiteral("ThreeModeRow"); }
    bool modesAreUnique() const override { return true; }
    qint64 defaultMode() const override { return -1; }
    PlistDictionary mutableSettings() const override
    {
        PlistDictionary settings = VKPopupSingleHandler::mutableSettings();
        settings.insert("Text", m_field->text());
        return settings;
    }
    QLineEdit* field() const { return m_field; }

protected:
    void buildInterface(QHBoxLayout* row) override
    {
        for (int tag = 1; tag <= 3; ++tag)
            PopUpButton::setTag(modePopup()->menu()->addAction(QString::number(tag)), tag);
        m_field = new QLineEdit;
        m_field->setFixedHeight(30);
        row->addWidget(m_field);
    }

private:
    QLineEdit* m_field = nullptr;
};

// Its interface never loads.
class ViewlessHandler : public VKPopupSingleHandler {
public:
    QString nibName() const override { return QString(); }
};

class VKViewsListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_window.setLayout(new QVBoxLayout);
        m_window.layout()->addWidget(m_list = new VKViewsListView);
        m_window.layout()->addWidget(m_after = new QPushButton("After"));
        m_list->setOldNextKeyView(m_after);
        m_changes = NotificationCenter::defaultCenter().addObserver(
            VKViewsListView::HandlersDidChangeNotification, m_list,
            [this](const Notification&) { ++m_changeCount; });
    }

    void build(const PlistArray& rows)
    {
        m_list->addHandlersWithClass(VKViewsListView::handlerClass<ThreeModeHandler>(), rows,
                                     PlistDictionary{{"Mode", 1}}, QVariant());
    }
    ThreeModeHandler* row(int index) const
    {
        return static_cast<ThreeModeHandler*>(m_list->handlers().at(size_t(index)));
    }
    QList<qint64> modes() const
    {
        QList<qint64> result;
        for (VKViewsListHandler* handler : m_list->handlers())
            result << static_cast<ThreeModeHandler*>(handler)->mode();
        return result;
    }

    QWidget m_window;
    VKViewsListView* m_list = nullptr;
    QPushButton* m_after = nullptr;
    NotificationObserver m_changes;
    int m_changeCount = 0;
};

} // namespace

TEST_F(VKViewsListViewTest, Build_DefaultSettingsMakeOneRow_SettingsComeBackInRowOrder)
{
    build({});
    ASSERT_EQ(m_list->count(), 1);
    EXPECT_EQ(row(0)->mode(), 1);
    EXPECT_EQ(row(0)->modePopup()->selectedTag(), 1);
    EXPECT_EQ(m_changeCount, 1);

    build({PlistDictionary{{"Mode", 3}}, PlistDictionary{{"Mode", 2}}});
    row(0)->field()->setText("first");
    EXPECT_EQ(modes(), QList<qint64>({3, 2}));
    EXPECT_EQ(PlistValue(m_list->handlerSettings()),
              PlistValue(PlistArray({PlistDictionary{{"Mode", 3}, {"Text", "first"}},
                                     PlistDictionary{{"Mode", 2}, {"Text", ""}}})));
    // One change for the whole rebuild.
    EXPECT_EQ(m_changeCount, 2);
}

TEST_F(VKViewsListViewTest, Batches_NestedPostOnce_AndNeverCountBelowZero)
{
    EXPECT_EQ(m_list->beginBatch(), 1);
    EXPECT_EQ(m_list->beginBatch(), 2);
    build({PlistDictionary{{"Mode", 1}}});
    m_list->removeAllHandlers();
    EXPECT_EQ(m_list->endBatch(), 1);
    EXPECT_EQ(m_changeCount, 0);
    EXPECT_EQ(m_list->endBatch(), 0);
    EXPECT_EQ(m_changeCount, 1);
    EXPECT_EQ(m_list->endBatch(), 0);
    EXPECT_EQ(m_list->beginBatch(), 1);
}

TEST_F(VKViewsListViewTest, AddAndRemove_InsertAfterTheRowWithTheFirstFreeMode_ButtonsFollow)
{
    build({PlistDictionary{{"Mode", 1}}, PlistDictionary{{"Mode", 3}}});
    row(0)->addButton()->click();
    EXPECT_EQ(modes(), QList<qint64>({1, 2, 3}));
    for (int index = 0; index < 3; ++index)
        EXPECT_TRUE(row(index)->removeButton()->isEnabled());

    // Every mode taken: the new row has none.
    row(2)->add();
    EXPECT_EQ(modes(), QList<qint64>({1, 2, 3, 0}));

    row(3)->removeButton()->click();
    row(1)->remove();
    row(1)->remove();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(modes(), QList<qint64>({1}));
    EXPECT_FALSE(row(0)->removeButton()->isEnabled());
}

TEST_F(VKViewsListViewTest, ModePopup_GreysTheModesOfOtherRows)
{
    build({PlistDictionary{{"Mode", 1}}, PlistDictionary{{"Mode", 2}}});
    Q_EMIT row(0)->modePopup()->menu()->aboutToShow();
    QList<bool> enabled;
    for (const QAction* item : row(0)->modePopup()->itemArray())
        enabled << item->isEnabled();
    EXPECT_EQ(enabled, QList<bool>({true, false, true}));

    row(0)->modePopup()->itemWithTag(3)->trigger();
    EXPECT_EQ(modes(), QList<qint64>({3, 2}));
}

TEST_F(VKViewsListViewTest, Refusal_AViewThatFailedToLoadLeavesTheListAsItWas)
{
    build({PlistDictionary{{"Mode", 1}}});
    const int changes = m_changeCount;
    ScopedLogCapture log;
    auto viewless = std::make_unique<ViewlessHandler>();
    viewless->initForViewsListView(m_list, {}, QVariant());
    m_list->addHandler(std::move(viewless));
    EXPECT_EQ(m_list->count(), 1);
    EXPECT_EQ(m_changeCount, changes);
    ASSERT_EQ(log.lines().size(), 1);
    EXPECT_TRUE(log.lines().first().startsWith("VKViewsListView: <"))
        << log.lines().first().toStdString();
    EXPECT_TRUE(log.lines().first().endsWith(">'s container view failed to load"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(VKViewsListViewTest, AbstractOperations_NameWhatWasNotOverridden)
{
    VKPopupHandler base;
    const auto message = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const InternalInconsistency& failure) {
            return failure.message();
        }
        return QString();
    };
    EXPECT_EQ(message([&] { base.containerView(); }),
              "Forgot to override the -containerView method!");
    EXPECT_EQ(message([&] { base.containerViewDidChange(); }),
              "Forgot to override the -containerViewDidChange method!");
    EXPECT_EQ(message([&] { base.enableRemoveButtons(true); }),
              "Forgot to override the -enableRemoveButtons: method!");
    EXPECT_EQ(message([&] { base.unusedModes(); }),
              "Need to override -unusedModes, defined in VKPopupHandler.");
    VKPopupSingleHandler single;
    EXPECT_EQ(message([&] { single.nibName(); }),
              "Forgot to override -nibName, defined in VKPopupSingleHandler.");
}

TEST_F(VKViewsListViewTest, WindowForm_TheWindowIsAsTallAsItsRows_TabOrderEndsAfterThem)
{
    build({PlistDictionary{{"Mode", 1}}});
    m_window.show();
    const int oneRow = m_window.height();
    row(0)->add();
    const int rowHeight = row(1)->containerView()->sizeHint().height();
    EXPECT_EQ(m_window.height(), oneRow + rowHeight);
    row(1)->remove();
    EXPECT_EQ(m_window.height(), oneRow);

    // Tab order: each row's controls, then what followed the list.
    row(0)->add();
    QWidget* lastOfFirst = row(0)->removeButton();
    EXPECT_EQ(lastOfFirst->nextInFocusChain(), row(1)->modePopup());
    EXPECT_EQ(row(1)->removeButton()->nextInFocusChain(), m_after);
}

TEST_F(VKViewsListViewTest, SplitAndScrollForms_ThePaneOrTheDocumentFollowsTheRows)
{
    QSplitter split(Qt::Vertical);
    auto* other = new QWidget;
    auto* list = new VKViewsListView;
    split.addWidget(list);
    split.addWidget(other);
    split.resize(400, 600);
    list->setResizesViaSplitView(&split, true);
    split.show();
    list->addHandlersWithClass(VKViewsListView::handlerClass<ThreeModeHandler>(), {},
                               PlistDictionary{{"Mode", 1}}, QVariant());
    QApplication::processEvents();
    const int listPane = split.sizes().at(0);
    static_cast<ThreeModeHandler*>(list->firstHandler())->add();
    QApplication::processEvents();
    const int rowHeight = list->lastHandler()->containerView()->sizeHint().height();
    EXPECT_EQ(split.sizes().at(0), listPane + rowHeight);
    EXPECT_EQ(split.sizes().at(0) + split.sizes().at(1), 600 - split.handleWidth());

    QScrollArea scroll;
    auto* scrolled = new VKViewsListView;
    scrolled->setResizesViaScrollView(&scroll);
    scroll.resize(400, 100);
    scroll.show();
    scrolled->addHandlersWithClass(
        VKViewsListView::handlerClass<ThreeModeHandler>(),
        {PlistDictionary{{"Mode", 1}}, PlistDictionary{{"Mode", 2}}, PlistDictionary{{"Mode", 3}}},
        std::nullopt, QVariant());
    QApplication::processEvents();
    const float rows = float(3 * scrolled->firstHandler()->containerView()->sizeHint().height());
    EXPECT_EQ(scrolled->minimumHeight(), rows);
    EXPECT_TRUE(scroll.verticalScrollBar()->isVisible());
    // Add puts the new row after its own here too.
    static_cast<ThreeModeHandler*>(scrolled->handlers().at(0))->remove();
    static_cast<ThreeModeHandler*>(scrolled->handlers().at(0))->add();
    EXPECT_EQ(static_cast<ThreeModeHandler*>(scrolled->handlers().at(1))->mode(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
