#include "ArchivedParagraphStyle.h"

namespace {

constexpr qint64 paragraphStyleClassVersion = 0;
// First-line head indent, head indent, line spacing, maximum and minimum line height,
// paragraph spacing, tail indent.
constexpr int metricCount = 7;

} // namespace

std::optional<ArchivedParagraphStyle>
ArchivedParagraphStyle::fromObject(const TypedStreamObject& object, QString* problem)
{
    const auto failed = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    if (!object.isKindOf("NSParagraphStyle"))
        return failed(QStringLiteral("no paragraph style"));
    // The two numbers lead, whether written in one group or in two.
    std::vector<qint64> leading;
    for (const TypedStreamGroup& group : object.groups) {
        for (const TypedStreamValue& value : group.values) {
            if (leading.size() == 2)
                break;
            if (value.kind() != TypedStreamValue::Kind::Integer)
                return failed(
                    QStringLiteral("paragraph style without its alignment and line breaks"));
            leading.push_back(value.integerValue());
        }
        if (leading.size() == 2)
            break;
    }
    if (leading.size() != 2)
        return failed(QStringLiteral("paragraph style without its alignment and line breaks"));
    if (leading[0] < 0 || leading[0] > qint64(Alignment::Natural) || leading[1] < 0 ||
        leading[1] > qint64(LineBreakMode::TruncatingMiddle))
        return failed(QStringLiteral("paragraph style with alignment %1 and line breaks %2")
                          .arg(leading[0])
                          .arg(leading[1]));
    return ArchivedParagraphStyle(Alignment(leading[0]), LineBreakMode(leading[1]));
}

std::shared_ptr<TypedStreamObject> ArchivedParagraphStyle::toObject() const
{
    TypedStreamGroups groups{{"i", {TypedStreamValue::integer(qint64(alignment))}},
                             {"i", {TypedStreamValue::integer(qint64(lineBreakMode))}}};
    for (int metric = 0; metric < metricCount; ++metric)
        groups.push_back({"f", {TypedStreamValue::real(0)}});
    groups.push_back({"I", {TypedStreamValue::integer(0)}}); // no tab stops
    return std::make_shared<TypedStreamObject>(
        QList<TypedStreamClass>{{"NSParagraphStyle", paragraphStyleClassVersion}, {"NSObject", 0}},
        std::move(groups));
}
