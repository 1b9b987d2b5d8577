// The compressed items: each LZ image made, expanded back through the
// platform's library and compared with its source before it is used.
#pragma once

// For every accessory file and table marked compressed: its image in the
// work directory, or, where compression would not make it smaller, the
// item stored as it is (Compressed=0), said in a line. false, having said
// why, when an image can't be made or does not expand to its source.
bool MakeImages();
