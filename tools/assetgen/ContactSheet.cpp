#include "ContactSheet.h"

#include <cstdio>
#include <fstream>

#include "Font.h"
#include "ModelView.h"
#include "Models.h"
#include "Terrain.h"

namespace assetgen {

namespace {

const Colour BACKGROUND = Colour::rgb(0x24262C);
const Colour LABEL = Colour::rgb(0xE8EAF0);

void checkerboard(Canvas& c, float x, float y, float w, float h) {
    for (int yy = static_cast<int>(y); yy < static_cast<int>(y + h); ++yy)
        for (int xx = static_cast<int>(x); xx < static_cast<int>(x + w); ++xx) {
            bool dark = ((xx - static_cast<int>(x)) / 8 + (yy - static_cast<int>(y)) / 8) % 2;
            c.blend(xx, yy, dark ? Colour::rgb(0x5A5C64) : Colour::rgb(0x7A7C84));
        }
}

Canvas upsideDown(const Canvas& c) {
    Canvas out(c.width(), c.height());
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) out.set(x, y, c.get(x, c.height() - 1 - y));
    return out;
}

// A tile as the terrain's material shows it on flat ground.
Canvas litGround(Canvas c) {
    c.paint([&c](float x, float y) {
        Colour p = c.get(static_cast<int>(x), static_cast<int>(y));
        return Colour(p.r * GROUND_LIGHT[0], p.g * GROUND_LIGHT[1], p.b * GROUND_LIGHT[2], p.a);
    });
    return c;
}

void label(Canvas& c, const std::string& text, float x, float y, float maxWidth, float size = 13) {
    const Font& font = gameFont();
    c.fill(font.text(text, font.fit(text, size, maxWidth), x, y), LABEL);
}

}  // namespace

bool writeContactSheet(const AssetSink& sink, const std::string& file) {
    std::vector<AssetSink::Preview> all = sink.previews();
    std::vector<const AssetSink::Preview*> pictures;
    std::vector<const AssetSink::Preview*> tiles(TerrainLayout::SEGMENTS * TerrainLayout::SEGMENTS, nullptr);
    const AssetSink::Preview* heightmap = nullptr;
    for (const AssetSink::Preview& p : all) {
        int a, b;
        if (std::sscanf(p.path.c_str(), "terrain/terrain_%d_%d.jpg", &a, &b) == 2 && a >= 0 && b >= 0 &&
            a < TerrainLayout::SEGMENTS && b < TerrainLayout::SEGMENTS) {
            tiles[b * TerrainLayout::SEGMENTS + a] = &p;
        } else if (p.path == "terrain/heightmap.png") {
            heightmap = &p;
        } else {
            pictures.push_back(&p);
        }
    }

    const int cell = 240, columns = 8, margin = 20;
    const int pictureRows = (static_cast<int>(pictures.size()) + columns - 1) / columns;
    const int mapSize = 1024, tile = mapSize / TerrainLayout::SEGMENTS;
    const int modelCell = 300, modelColumns = 6;
    const int modelRows = (static_cast<int>(modelFiles().size()) + modelColumns - 1) / modelColumns;
    const int width = columns * cell + 2 * margin;
    const int mapTop = margin + pictureRows * (cell + 24) + 40;
    const int modelTop = mapTop + mapSize + 70;
    Canvas sheet(width, modelTop + modelRows * (modelCell + 24) + margin, BACKGROUND);

    label(sheet, "Pictures", margin, margin + 14, 400, 18);
    for (size_t i = 0; i < pictures.size(); ++i) {
        const AssetSink::Preview& p = *pictures[i];
        float x = margin + (i % columns) * cell, y = margin + 24 + (i / columns) * (cell + 24);
        float f = std::min(1.0f, (cell - 16.0f) / std::max(p.picture.width(), p.picture.height()));
        float w = p.picture.width() * f, h = p.picture.height() * f;
        checkerboard(sheet, x, y, w, h);
        sheet.draw(p.picture, x, y, w, h);
        label(sheet, p.path + "  " + std::to_string(p.fullWidth) + "x" + std::to_string(p.fullHeight), x,
              y + h + 16, cell - 12);
    }

    // The ground as seen from above with north (-z) up. Tile a,b covers x
    // band a and z band 7 - b; the loader puts the bottom rows of the
    // tiles and of the heightmap at their north edges, so both are drawn
    // upside down.
    label(sheet, "Terrain: tiles as laid on the ground and lit in the game (north up)      heightmap (north up)", margin,
          mapTop - 12, 900, 18);
    for (int b = 0; b < TerrainLayout::SEGMENTS; ++b)
        for (int a = 0; a < TerrainLayout::SEGMENTS; ++a) {
            const AssetSink::Preview* p = tiles[b * TerrainLayout::SEGMENTS + a];
            if (!p) continue;
            int band = TerrainLayout::SEGMENTS - 1 - b;
            sheet.draw(litGround(upsideDown(p->picture)), margin + a * tile, mapTop + band * tile, tile, tile);
        }
    if (heightmap) sheet.draw(upsideDown(heightmap->picture), margin + mapSize + 30, mapTop, 512, 512);

    label(sheet, "Models", margin, modelTop - 12, 400, 18);
    for (size_t i = 0; i < modelFiles().size(); ++i) {
        const ModelFile& m = modelFiles()[i];
        float x = margin + (i % modelColumns) * modelCell, y = modelTop + (i / modelColumns) * (modelCell + 24);
        // Cars from their front (-z), everything else from its front (+z).
        bool car = m.fileName.find("_body") != std::string::npos || m.fileName.find("_tire") != std::string::npos;
        Vec3 from(-0.9f, 0.55f, car ? -1.1f : 1.1f);
        Canvas view = renderModel(m.build(), modelCell - 10, modelCell - 10, from, m.fileName == "sky.txt");
        sheet.draw(view, x, y, view.width(), view.height());
        label(sheet, m.fileName, x, y + modelCell + 8, modelCell - 12);
    }

    std::vector<uint8_t> png = sheet.png(false, false);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!out) {
        std::printf("\n writeContactSheet(%s): ERROR! unable to write the file", file.c_str());
        return false;
    }
    return true;
}

}  // namespace assetgen
