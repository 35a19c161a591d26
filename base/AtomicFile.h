#pragma once
// Replacing a file so that it is either wholly old or wholly new: the bytes go into a temporary
// file in the same directory, are flushed to the disk, and the temporary file is then renamed over
// the target. A crash or a full disk leaves the old file as it was. An existing file keeps its
// mode, owner and group; a symbolic link is followed and its target replaced. A file the user may
// not write, or one without any write permission (read-only), is refused, not replaced. When the
// owner cannot be carried over (another user's file this one may write), the file is written over
// in place instead: owner and mode stay, at the price of atomicity.
#include <filesystem>
#include <string_view>

namespace gs {

// Raises gs::Error (with the file name and the system's reason) when the file cannot be written.
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

} // namespace gs
