// The print processor: prints the spooled print jobs of the list print (ProcessorMain.h).
#include "ProcessorMain.h"

int main(int argc, char** argv) { return gs::ProcessorMain(argc, argv, gs::ProcessorKind::Print); }
