#include "VKStringCategories.h"

#include <QUuid>

namespace VKStringCategories {

QString universallyUniqueIdentifier()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

} // namespace VKStringCategories
