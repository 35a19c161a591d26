#pragma once
// Turns rich text read by ReadRichText into a QTextDocument laid out for a paint device, so that the
// renderer can measure and draw a title or footer block with its bold runs, sizes and alignment.
#include "spool/render/RichText.h"

#include <memory>

class QPaintDevice;
class QTextDocument;

namespace gs {

// The document, laid out on device with the given width (device pixels). Runs without a font of
// their own use defaultFamily. Never raises.
std::unique_ptr<QTextDocument> MakeRichTextDocument(const RichText& text, QPaintDevice& device, double width,
                                                    const char* defaultFamily);

} // namespace gs
