#pragma once
// Classes reached by name: a start-up step registers a factory under a class name, and code that
// must not depend on the class (ApplySkin and its applier "TColorWrapper") creates an instance by
// that name and calls its operations by name (Q_INVOKABLE). Used on the user-interface thread only.
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace gs {

using ClassFactory = std::function<std::unique_ptr<QObject>()>;

// Registers (or replaces) the factory of a class name.
void RegisterNamedClass(const QString& name, ClassFactory factory);
template <class T>
void RegisterNamedClass(const QString& name)
{
    RegisterNamedClass(name, [] { return std::unique_ptr<QObject>(std::make_unique<T>()); });
}
void UnregisterNamedClass(const QString& name);
bool IsNamedClassRegistered(const QString& name);
// A new instance of the class registered under name, or null when there is none.
std::unique_ptr<QObject> CreateNamedObject(const QString& name);

// The skin hook every window calls while it is created (after building its components): sets the
// window's help context number to 1 (dynamic property "HelpContext") when it is a window, then lets
// the applier registered as "TColorWrapper" style it (appearance/widgets/ColorWrapper.h). Without a
// registered applier nothing is styled. Never throws for ordinary errors.
void ApplySkin(QObject* window);

} // namespace gs
