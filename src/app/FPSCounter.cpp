#include "app/FPSCounter.h"

#include <GL/glew.h>

#include <cstdio>

#include "math/Utilities.h"

FPSCounter::FPSCounter() {
    overlay->visible = false;
    overlay->setAlignment(TextOverlay::LEFT, TextOverlay::TOP, 2, -20);
}

void FPSCounter::calc() {
    if (!calculating) return;
    // Wait for the previous frame's GL work so the time includes rendering.
    glFinish();
    timeBase->measure();
    ++frameCount;
    accumulatedTime += timeBase->getElapsedTime();
    if (accumulatedTime >= measureInterval) {
        currentFPS = frameCount / accumulatedTime;
        accumulatedTime = 0.0;
        frameCount = 0;
        showValue();
    }
}

void FPSCounter::startFPSCalculation(float interval) {
    timeBase->reset();
    measureInterval = interval;
    accumulatedTime = 0.0;
    frameCount = 0;
    currentFPS = 0.0;
    calculating = true;
    overlay->visible = true;
    showValue();
}

void FPSCounter::stopFPSCalculation() {
    calculating = false;
    overlay->visible = false;
}

void FPSCounter::showValue() {
    std::string text = Utilities<char>::createString("FPS: %.2f", currentFPS);
    if (!detail.empty()) text += "  " + detail;
    overlay->setText(text);
}

void FPSCounter::print() const { std::printf("\n FPSCounter.print(): %.2f", currentFPS); }
