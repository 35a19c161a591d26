#pragma once
// The colour skin: every window calls ApplySkin(this) while it is being created (after building
// its components). ApplySkin reaches the applier "TColorWrapper" by name through the class registry
// (display/ClassRegistry.h); RegisterColorWrapper() registers it once at program start. Without
// a registered applier nothing is styled.
//
// The applier reads the skin file beside the program (appearance/SkinFile.h) and styles the window
// ("Form" row: "<Window>|Color", "Form_Color") and then every component the window owns, depth first
// in creation order, by the rows of appearance/SkinRules.h. A component is a named child object
// (Qt's own internal parts and unnamed helpers are only walked through) or any child of
// a styled class; windows owned by the window are separate windows and are not walked. Properties
// are set by their published name (Q_PROPERTY) only; a component without the property stays as it
// is. An error while styling one component ends the walk of the components after it in the same
// owner; it never reaches the window.
#include "display/ClassRegistry.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace gs {

class SkinFile;
struct SkinSetting;

// Registers TColorWrapper under the name "TColorWrapper".
void RegisterColorWrapper();

class TColorWrapper : public QObject {
    Q_OBJECT
public:
    explicit TColorWrapper(QObject* parent = nullptr);

    // The applier's published operation: styles the window and every component it owns.
    Q_INVOKABLE void SetProperties(QObject* window);

protected:
    // Styles one component by its class row; may throw (the walk then skips the owner's later
    // components).
    virtual void styleComponent(const SkinFile& skin, QObject* component, const QString& windowName);
    // Styles the window itself (its background colour).
    virtual void styleWindow(const SkinFile& skin, QObject* window, const QString& windowName);

private:
    void walk(const SkinFile& skin, QObject* owner, const QString& windowName, QStringList& names);
};

// Sets one resolved skin value on an object by published property name ("Background.Gradient"
// names the property of a sub-object); false when the object has no such property.
bool SetSkinProperty(QObject* object, const SkinSetting& setting);

} // namespace gs
