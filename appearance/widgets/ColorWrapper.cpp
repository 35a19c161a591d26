#include "appearance/widgets/ColorWrapper.h"

#include "base/Error.h"
#include "base/ProcessContext.h"
#include "display/ClassRegistry.h"
#include "appearance/SkinFile.h"
#include "appearance/SkinRules.h"
#include "display/QtColors.h"

#include <QMetaProperty>
#include <QWidget>

namespace gs {

namespace {

const QString kApplierName = QStringLiteral("TColorWrapper");

bool IsWindowObject(const QObject* object)
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    return widget && widget->isWindow();
}

// Qt names most parts of its own widgets "qt_..."; the tab bar's scroll buttons are the exception.
bool IsQtInternalName(const QString& name)
{
    return name.startsWith(QLatin1String("qt_")) || name == QLatin1String("ScrollLeftButton") ||
           name == QLatin1String("ScrollRightButton");
}

bool IsComponent(const QObject* object)
{
    const QString name = object->objectName();
    if (!name.isEmpty() && !IsQtInternalName(name))
        return true;
    return FindSkinRow(object->metaObject()->className()) != nullptr;
}

QVariant ValueFor(const QMetaProperty& property, const SkinSetting& setting)
{
    if (setting.kind == SkinValueKind::Color) {
        if (property.metaType() == QMetaType::fromType<QColor>())
            return QVariant::fromValue(HostColorToQColor(setting.color));
        return QVariant::fromValue(static_cast<quint32>(setting.color));
    }
    if (property.metaType() == QMetaType::fromType<bool>())
        return QVariant(setting.integer != 0);
    return QVariant(setting.integer);
}

} // namespace

void RegisterColorWrapper() { RegisterNamedClass<TColorWrapper>(kApplierName); }

TColorWrapper::TColorWrapper(QObject* parent) : QObject(parent) {}

void TColorWrapper::SetProperties(QObject* window)
{
    const ProcessContext* runtime = ProcessContext::currentOrNull();
    if (!window || !runtime)
        return;
    Guarded("skin", [&] {
        const SkinFile skin = SkinFile::Load(SkinFilePath(*runtime));
        if (skin.empty())
            return;
        const QString windowName = window->objectName();
        QStringList names;
        Guarded("skin of the window", [&] { styleWindow(skin, window, windowName); });
        walk(skin, window, windowName, names);
        if (skin.wantsDebugOutput()) {
            std::vector<std::string> list;
            list.reserve(static_cast<size_t>(names.size()));
            for (const QString& n : names)
                list.push_back(n.toStdString());
            WriteSkinDebugList(runtime->programDir(), windowName.toStdString(), list);
        }
    });
}

void TColorWrapper::walk(const SkinFile& skin, QObject* owner, const QString& windowName, QStringList& names)
{
    const QObjectList children = owner->children(); // a copy: styling must not disturb the walk
    Guarded("skin of the components", [&] {
        for (QObject* child : children) {
            if (IsWindowObject(child))
                continue;
            if (IsComponent(child)) {
                names.append(child->objectName());
                styleComponent(skin, child, windowName);
            }
            walk(skin, child, windowName, names);
        }
    });
}

void TColorWrapper::styleComponent(const SkinFile& skin, QObject* component, const QString& windowName)
{
    const SkinRow* row = FindSkinRow(component->metaObject()->className());
    if (!row)
        return;
    const std::string prefix = (windowName + u'.' + component->objectName()).toStdString();
    for (const SkinSetting& setting : ResolveSkinSettings(skin, *row, prefix))
        SetSkinProperty(component, setting);
}

void TColorWrapper::styleWindow(const SkinFile& skin, QObject* window, const QString& windowName)
{
    auto* widget = qobject_cast<QWidget*>(window);
    if (!widget || !widget->isWindow())
        return;
    for (const SkinSetting& setting : ResolveSkinSettings(skin, FormSkinRow(), windowName.toStdString())) {
        if (setting.property != "Color")
            continue;
        // Window colours are set directly, not through a published property.
        const QColor color = HostColorToQColor(setting.color);
        if (!color.isValid())
            continue;
        QPalette pal = widget->palette();
        pal.setColor(QPalette::Window, color);
        widget->setPalette(pal);
        widget->setAutoFillBackground(true);
        widget->setProperty("Color", QVariant::fromValue(static_cast<quint32>(setting.color)));
    }
}

bool SetSkinProperty(QObject* object, const SkinSetting& setting)
{
    QObject* target = object;
    const QString path = QString::fromStdString(setting.property);
    const QStringList parts = path.split(u'.');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        const QByteArray name = parts[i].toLatin1();
        const int index = target->metaObject()->indexOfProperty(name.constData());
        if (index < 0)
            return false;
        target = target->metaObject()->property(index).read(target).value<QObject*>();
        if (!target)
            return false;
    }
    const QByteArray name = parts.last().toLatin1();
    const int index = target->metaObject()->indexOfProperty(name.constData());
    if (index < 0)
        return false;
    const QMetaProperty property = target->metaObject()->property(index);
    if (!property.isWritable())
        return false;
    return property.write(target, ValueFor(property, setting));
}

} // namespace gs
