#include "animation/Animation.h"

#include <cstdio>

void Animation::animate(double) { std::printf("\nAnimation->animate(): nothing to do"); }
