// The one engine source that compiles stb_truetype's code (TownPlate writes
// with it). Kept out of the unity batches: its many internal names and
// macros stay in a file of their own.
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
