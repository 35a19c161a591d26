#include "app/widgets/ClassRegistry.h"

#include <QHash>

namespace gs {

namespace {
QHash<QString, ClassFactory>& Registry()
{
    static QHash<QString, ClassFactory> registry;
    return registry;
}
} // namespace

void RegisterNamedClass(const QString& name, ClassFactory factory)
{
    if (factory)
        Registry().insert(name, std::move(factory));
    else
        Registry().remove(name);
}

void UnregisterNamedClass(const QString& name) { Registry().remove(name); }

bool IsNamedClassRegistered(const QString& name) { return Registry().contains(name); }

std::unique_ptr<QObject> CreateNamedObject(const QString& name)
{
    const auto it = Registry().constFind(name);
    if (it == Registry().constEnd())
        return nullptr;
    return (*it)();
}

} // namespace gs
