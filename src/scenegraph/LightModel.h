#pragma once
#include "math/Utilities.h"

// Global lighting parameters, sent to GL by update() only when they changed.
class LightModel {
public:
    LightModel();
    virtual ~LightModel() = default;

    virtual void print();
    virtual void update();

    void setAmbientColor(float r, float g, float b, float alpha);
    void useLocalViewer(bool on);
    void useTwoSidedLighting(bool on);
    void useSecondarySpecularColor(bool on);
    void switchOn();
    void switchOff();
    void fireParamsChanged() { paramsChanged = true; }

    static FloatArray DEFAULT_AMBIENT_COLOR;

private:
    static bool staticsInitiated;
    FloatArray ambientColor;
    bool twoSided = false;
    bool secondarySpecular = false;
    bool localViewer = false;
    bool activated = true;
    bool paramsChanged = true;
};
