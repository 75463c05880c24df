#include "VKChooserIntern.h"
#include "VKInternProtocol.h"

#include <QHash>

namespace {

QHash<QString, VKInternClasses::Factory>& registry()
{
    static QHash<QString, VKInternClasses::Factory> classes{
        {VKChooserIntern::ClassName, [](const PlistDictionary& settings) {
             return std::make_unique<VKChooserIntern>(settings);
         }}};
    return classes;
}

} // namespace

void VKInternClasses::registerClass(const QString& name, Factory factory)
{
    registry().insert(name, std::move(factory));
}

void VKInternClasses::unregisterClass(const QString& name)
{
    registry().remove(name);
}

bool VKInternClasses::resolves(const QString& name)
{
    return registry().contains(name);
}

std::unique_ptr<VKInternProtocol> VKInternClasses::make(const QString& name,
                                                        const PlistDictionary& settings)
{
    const auto found = registry().constFind(name);
    return found == registry().constEnd() ? nullptr : (*found)(settings);
}
