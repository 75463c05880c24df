#include "NotificationCenter.h"

#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

const QString kChanged = QStringLiteral("RecordChanged");
const QString kClosed = QStringLiteral("DocumentClosed");

// Observers append their name here, so a test reads who was called and in which order.
struct Calls {
    QStringList names;
    NotificationCenter::Callback record(const QString& observer)
    {
        return [this, observer](const Notification&) { names.append(observer); };
    }
};

} // namespace

TEST(NotificationCenterTest, Post_ReachesMatchingObserversInTheOrderAdded)
{
    NotificationCenter center;
    Calls calls;
    int document = 0;
    int otherDocument = 0;
    QVariantMap received;

    const auto any = center.addObserver(QString(), nullptr, calls.record("any"));
    const auto named = center.addObserver(kChanged, nullptr, [&](const Notification& n) {
        calls.names.append("named");
        EXPECT_EQ(n.name, kChanged);
        EXPECT_EQ(n.object, &document);
        received = n.userInfo;
    });
    const auto exact = center.addObserver(kChanged, &document, calls.record("exact"));
    const auto ofObject = center.addObserver(QString(), &document, calls.record("object"));
    const auto otherName = center.addObserver(kClosed, nullptr, calls.record("otherName"));
    const auto otherObject =
        center.addObserver(kChanged, &otherDocument, calls.record("otherObject"));

    center.postNotification(kChanged, &document, {{"Index", 3}});
    EXPECT_EQ(calls.names, (QStringList{"any", "named", "exact", "object"}));
    EXPECT_EQ(received, (QVariantMap{{"Index", 3}}));

    calls.names.clear();
    center.postNotification(kClosed, nullptr);
    EXPECT_EQ(calls.names, (QStringList{"any", "otherName"}));
}

TEST(NotificationCenterTest, Token_EndsTheObservationWhenDestroyedOrRemoved)
{
    auto center = std::make_unique<NotificationCenter>();
    Calls calls;
    std::optional<NotificationObserver> scoped =
        center->addObserver(kChanged, nullptr, calls.record("scoped"));
    NotificationObserver moved = center->addObserver(kChanged, nullptr, calls.record("moved"));
    NotificationObserver removed = center->addObserver(kChanged, nullptr, calls.record("removed"));

    NotificationObserver target = std::move(moved); // the observation moves with the token
    center->postNotification(kChanged, nullptr);
    EXPECT_EQ(calls.names, (QStringList{"scoped", "moved", "removed"}));

    calls.names.clear();
    scoped.reset();
    center->removeObserver(removed);
    center->postNotification(kChanged, nullptr);
    EXPECT_EQ(calls.names, QStringList{"moved"});

    // Tokens that outlive their center do nothing.
    center.reset();
    target = NotificationObserver();
}

TEST(NotificationCenterTest, ContextObservation_EndsWithTheContextOrOnRemoval)
{
    NotificationCenter center;
    Calls calls;
    int document = 0;
    auto context = std::make_unique<QObject>();
    QObject keeper;
    center.addObserver(kChanged, nullptr, context.get(), calls.record("context"));
    center.addObserver(kChanged, nullptr, &keeper, calls.record("keeperChanged"));
    center.addObserver(kClosed, &document, &keeper, calls.record("keeperClosed"));

    center.postNotification(kChanged, nullptr);
    EXPECT_EQ(calls.names, (QStringList{"context", "keeperChanged"}));

    calls.names.clear();
    context.reset();
    center.removeObserver(&keeper, kChanged);
    center.postNotification(kChanged, nullptr);
    center.postNotification(kClosed, &document);
    EXPECT_EQ(calls.names, QStringList{"keeperClosed"});

    calls.names.clear();
    center.removeObserver(&keeper);
    center.postNotification(kClosed, &document);
    EXPECT_TRUE(calls.names.isEmpty());
}

TEST(NotificationCenterTest, ChangesDuringAPost_TakeEffectAtOnce)
{
    NotificationCenter center;
    Calls calls;
    std::optional<NotificationObserver> self;
    std::optional<NotificationObserver> later;
    std::optional<NotificationObserver> added;
    auto doomedContext = std::make_unique<QObject>();

    // Removes itself, removes an observer further down the list, destroys a context
    // further down and adds a new observer, all within the first post.
    self = center.addObserver(kChanged, nullptr, [&](const Notification&) {
        calls.names.append("self");
        self.reset();
        later.reset();
        doomedContext.reset();
        if (!added)
            added = center.addObserver(kChanged, nullptr, calls.record("added"));
    });
    const auto steady = center.addObserver(kChanged, nullptr, calls.record("steady"));
    later = center.addObserver(kChanged, nullptr, calls.record("later"));
    center.addObserver(kChanged, nullptr, doomedContext.get(), calls.record("context"));

    center.postNotification(kChanged, nullptr);
    EXPECT_EQ(calls.names, QStringList{"self"} << "steady");

    calls.names.clear();
    center.postNotification(kChanged, nullptr);
    EXPECT_EQ(calls.names, QStringList{"steady"} << "added");
}

TEST(NotificationCenterTest, ObserverOwningAnotherToken_EndsBothWhenRemoved)
{
    NotificationCenter center;
    Calls calls;
    auto inner = std::make_shared<NotificationObserver>(
        center.addObserver(kChanged, nullptr, calls.record("inner")));
    std::optional<NotificationObserver> outer = center.addObserver(
        kClosed, nullptr, [inner, &calls](const Notification&) { calls.names.append("outer"); });
    inner.reset();

    center.postNotification(kChanged, nullptr);
    EXPECT_EQ(calls.names, QStringList{"inner"});

    // Dropping the outer observer drops the token it holds.
    calls.names.clear();
    outer.reset();
    center.postNotification(kChanged, nullptr);
    center.postNotification(kClosed, nullptr);
    EXPECT_TRUE(calls.names.isEmpty());
}

TEST(NotificationCenterTest, ObserverDestroyingTheCenter_EndsThePostSafely)
{
    auto center = std::make_unique<NotificationCenter>();
    Calls calls;
    const auto first = center->addObserver(kChanged, nullptr, [&](const Notification&) {
        calls.names.append("first");
        center.reset();
    });
    const auto second = center->addObserver(kChanged, nullptr, calls.record("second"));
    center->postNotification(kChanged, nullptr);
    EXPECT_EQ(calls.names, QStringList{"first"});
}
