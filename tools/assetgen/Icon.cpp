#include "Icon.h"

#include <cstdio>
#include <vector>

namespace assetgen {
namespace {

// One flat shape in the icon's 256 x 256 units, painted in list order.
struct Shape {
    enum Kind { ROUND_RECT, POLYGON, CIRCLE } kind;
    std::vector<Vec2> points;  // ROUND_RECT: two corners; CIRCLE: the centre
    float radius;              // corner or circle radius
    uint32_t colour;
};

constexpr float UNITS = 256;

const std::vector<Shape>& shapes() {
    static const std::vector<Shape> list = {
        {Shape::ROUND_RECT, {{16, 16}, {240, 240}}, 40, 0x3f8f3a},         // the grass
        {Shape::ROUND_RECT, {{16, 16}, {240, 140}}, 40, 0x6db3ea},         // the sky
        {Shape::POLYGON, {{16, 100}, {240, 100}, {240, 140}, {16, 140}}, 0, 0x6db3ea},
        {Shape::POLYGON, {{116, 140}, {140, 140}, {198, 240}, {58, 240}}, 0, 0x55595e},  // the road
        {Shape::POLYGON, {{126, 146}, {130, 146}, {131, 160}, {125, 160}}, 0, 0xf2f2f2},
        {Shape::POLYGON, {{124, 170}, {132, 170}, {134, 196}, {122, 196}}, 0, 0xf2f2f2},
        {Shape::ROUND_RECT, {{184, 96}, {192, 142}}, 2, 0x5a5f66},         // the sign's post
        {Shape::ROUND_RECT, {{146, 56}, {230, 106}}, 8, 0x1d2b3a},         // the sign
        {Shape::ROUND_RECT, {{152, 62}, {224, 100}}, 5, 0xf2c230},
        {Shape::POLYGON, {{164, 78}, {212, 78}, {212, 84}, {164, 84}}, 0, 0x1d2b3a},
        {Shape::ROUND_RECT, {{104, 170}, {152, 198}}, 10, 0xa8241d},       // the car
        {Shape::ROUND_RECT, {{86, 190}, {170, 224}}, 12, 0xd8342c},
        {Shape::ROUND_RECT, {{112, 176}, {144, 192}}, 5, 0x9fd0f0},
        {Shape::CIRCLE, {{104, 224}}, 11, 0x1b1b1b},
        {Shape::CIRCLE, {{152, 224}}, 11, 0x1b1b1b},
    };
    return list;
}

std::string hex(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof(text), "#%06x", colour);
    return text;
}

}  // namespace

Canvas iconPicture(int size) {
    Canvas canvas(size, size);
    const float s = size / UNITS;
    for (const Shape& shape : shapes()) {
        Mask mask;
        const Vec2 a = shape.points[0] * s;
        if (shape.kind == Shape::ROUND_RECT) {
            const Vec2 b = shape.points[1] * s;
            mask = Mask::roundRect(a.x, a.y, b.x, b.y, shape.radius * s);
        } else if (shape.kind == Shape::CIRCLE) {
            mask = Mask::circle(a.x, a.y, shape.radius * s);
        } else {
            std::vector<Vec2> points;
            for (Vec2 p : shape.points) points.push_back(p * s);
            mask = Mask::polygon(points);
        }
        canvas.fill(mask, Colour::rgb(shape.colour));
    }
    return canvas;
}

std::string iconSvg() {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 256 256\">\n";
    auto number = [](float v) {
        char text[16];
        std::snprintf(text, sizeof(text), "%g", v);
        return std::string(text);
    };
    for (const Shape& shape : shapes()) {
        const Vec2 a = shape.points[0];
        if (shape.kind == Shape::ROUND_RECT) {
            const Vec2 b = shape.points[1];
            svg += "  <rect x=\"" + number(a.x) + "\" y=\"" + number(a.y) + "\" width=\"" + number(b.x - a.x) +
                   "\" height=\"" + number(b.y - a.y) + "\" rx=\"" + number(shape.radius) + "\"";
        } else if (shape.kind == Shape::CIRCLE) {
            svg += "  <circle cx=\"" + number(a.x) + "\" cy=\"" + number(a.y) + "\" r=\"" + number(shape.radius) + "\"";
        } else {
            svg += "  <polygon points=\"";
            for (size_t i = 0; i < shape.points.size(); ++i)
                svg += (i ? " " : "") + number(shape.points[i].x) + "," + number(shape.points[i].y);
            svg += "\"";
        }
        svg += " fill=\"" + hex(shape.colour) + "\"/>\n";
    }
    return svg + "</svg>\n";
}

void writeIcons(AssetSink& sink) {
    for (int size : {48, 128, 256}) {
        const Canvas picture = iconPicture(size);
        sink.write("icons/zarvik-" + std::to_string(size) + ".png", picture.png(true, false));
        if (size == 256) sink.preview("icons/zarvik-256.png", picture);
    }
    sink.write("icons/zarvik.svg", iconSvg());
}

}  // namespace assetgen
