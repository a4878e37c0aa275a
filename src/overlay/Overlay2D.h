#pragma once

// One element of the head-up display, painted after the scene every frame.
class Overlay2D {
public:
    virtual ~Overlay2D() = default;

    virtual void setWindowDimensions(int width, int height);
    virtual void paint() {}

    bool visible = true;

protected:
    int width = 0;
    int height = 0;
};
