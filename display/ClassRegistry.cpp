#include "display/ClassRegistry.h"

#include "base/Error.h"

#include <QHash>
#include <QMetaObject>
#include <QWidget>

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

namespace {
bool IsWindowObject(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && widget->isWindow();
}
} // namespace

void ApplySkin(QObject* window)
{
    if (!window)
        return;
    if (IsWindowObject(window))
        window->setProperty("HelpContext", 1);
    Guarded("skin applier", [&] {
        std::unique_ptr<QObject> applier = CreateNamedObject(QStringLiteral("TColorWrapper"));
        if (!applier)
            return;
        QMetaObject::invokeMethod(applier.get(), "SetProperties", Qt::DirectConnection, Q_ARG(QObject*, window));
    });
}

} // namespace gs
