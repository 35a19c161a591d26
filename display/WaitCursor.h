#pragma once
// The program's cursors and the wait cursor of long operations. BeginWait (hourglass),
// BeginPrintWait (printer) and BeginPdfWait (PDF sheet) put an animated cursor over the whole
// application; EndWait puts the default cursor back at once. The calls do not nest: a second Begin
// only changes the picture, and one EndWait always ends the wait. The cursor pictures are drawn by
// code; the frames change on a timer while the event loop runs.
#include <QCursor>
#include <QList>

namespace gs {

// Numbers of the program's cursor table.
inline constexpr int crHand = 17779;
inline constexpr int crMagnify = 17780;
inline constexpr int crMove = 17782;
inline constexpr int crWait = 17786;
inline constexpr int crPrintWait = 17787;
inline constexpr int crPdfWait = 17788;

enum class WaitKind { None, Wait, Print, Pdf };

// The cursor of a number of the table (the first frame for the animated ones); the arrow for any
// other number.
QCursor HostCursor(int number);

// The frames of an animated wait cursor (empty for WaitKind::None).
QList<QCursor> WaitCursorFrames(WaitKind kind);

void BeginWait();
void BeginPrintWait();
void BeginPdfWait();
void EndWait();

// The wait shown at present (None after EndWait).
WaitKind CurrentWait();

} // namespace gs
