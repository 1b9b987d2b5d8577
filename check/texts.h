// What SETUP.EXE makes of the description's texts and numbers.
#pragma once

// The file itself: a byte-order mark, which the profile reader of Windows
// does not skip.
void CheckDescriptionFile();

// The value that made the loader refuse the description (SetupProblem).
void ReportLoadProblem();

// Every item's texts, numbers, destination and Program Manager item.
void CheckTexts();
