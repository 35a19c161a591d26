#pragma once
// The process-wide objects that live from program start to program end and that the program's
// entry creates before the window exists: the settings object with its construction values, the
// default order patterns and the output spooler. One place, so that every program of the module starts them alike.
namespace gs {

class Runtime;
class DefaultPatterns;

// The settings object with its construction values; the number conversions take the second
// currency's terms from it.
void CreateSettings(Runtime& runtime);
// The thirteen default order patterns, dated the day the program started; new documents' templates
// take their tax rates from the runtime's settings (create those first).
void CreateDefaultPatterns(Runtime& runtime);
// The runtime's default patterns, made first when the start-up has not made them.
const DefaultPatterns& DefaultPatternsOf(Runtime& runtime);
// The output spooler (SPOOLER beside the program) with its two run items, unless one exists.
void CreateSpooler(Runtime& runtime);

// Creates the runtime's process-wide objects that are not there yet.
void StartProcessObjects(Runtime& runtime);

// Program end: the spooler purges unfinished jobs and asks an idle print processor to close.
// Never raises.
void EndProcessObjects(Runtime& runtime);

} // namespace gs
