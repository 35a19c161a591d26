#pragma once
// Which skin keys style which component classes, and how the keys of one component resolve to the
// property values to set. A component's class is matched by its exact class name; windows use the
// "Form" row. Keys: per control "<Window>.<Component>|<Key>" (the window itself "<Window>|Color"),
// per class "<ClassKey>_<Key>". The per-control value wins when it is valid for the value kind;
// otherwise the class value is used (rows marked without class key have none).
#include "base/HostColors.h"
#include "appearance/SkinFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace gs {

enum class SkinValueKind { Color, Integer };

struct SkinProperty {
    std::string_view key;      // property key in the skin file ("ROUND")
    SkinValueKind kind;
    std::string_view target;   // published property set ("Round"; "Background.Gradient" for a sub-object)
    bool classFallback = true; // false: only the per-control key counts
};

struct SkinRow {
    std::string_view classKey;
    std::vector<SkinProperty> properties; // looked up in this order
};

// The row for a component class (exact class name), or null when the class is not styled.
const SkinRow* FindSkinRow(std::string_view className);
// The row for windows (class key "Form", key "<Window>|Color").
const SkinRow& FormSkinRow();

struct SkinSetting {
    std::string property; // published name to set
    SkinValueKind kind;
    HostColor color = 0;  // for SkinValueKind::Color
    int integer = 0;      // for SkinValueKind::Integer
};

// The settings of one component: controlPrefix is "<Window>.<Component>" for a component and
// "<Window>" for the window itself.
std::vector<SkinSetting> ResolveSkinSettings(const SkinFile& skin, const SkinRow& row,
                                             std::string_view controlPrefix);

} // namespace gs
