// Placeholder until the engine lands.
#include "compare/compare.h"

char g_fileName1[NAME_SIZE];
char g_fileName2[NAME_SIZE];
char g_reportText[REPORT_SIZE];
char g_verdictLine[VERDICT_SIZE];
char g_face[FACE_SIZE];

void RunComparison(PanelWindow) {}
