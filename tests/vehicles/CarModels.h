#pragma once
#include <string>

// Small MilkShape ASCII models that the vehicle tests write for themselves.
namespace CarModels {

// An axis-aligned box from (x0, y0, z0) to (x1, y1, z1): one mesh, no material.
void writeBox(const std::string& path, float x0, float y0, float z0, float x1, float y1, float z1);

}  // namespace CarModels
