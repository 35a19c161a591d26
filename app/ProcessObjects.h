#pragma once
// The process-wide objects that live from program start to program end and that the program's
// entry creates before the window exists: the settings object with its construction values, the
// default order patterns and the output spooler. One place, so that every program of the module starts them alike.
namespace gs {

class Runtime;

// Creates the runtime's process-wide objects that are not there yet.
void StartProcessObjects(Runtime& runtime);

// Program end: the spooler purges unfinished jobs and asks an idle print processor to close.
// Never raises.
void EndProcessObjects(Runtime& runtime);

} // namespace gs
