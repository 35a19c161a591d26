// The PDF processor: turns the spooled PDF jobs of the list print into PDF files (ProcessorMain.h).
#include "ProcessorMain.h"

int main(int argc, char** argv) { return gs::ProcessorMain(argc, argv, gs::ProcessorKind::Pdf); }
