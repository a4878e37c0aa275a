#include "LevelWriter.h"

#include "LevelGround.h"
#include "LevelMaker.h"
#include "TomlWriter.h"

namespace assetgen {

const ShippedLevel SHIPPED_LEVELS[2] = {{"valley", 13, LevelShape::VALLEY}, {"pass", 5, LevelShape::PASS}};

namespace {

const char* const SHAPE_NAMES[] = {"hills", "valley", "pass"};

const char* shapeName(LevelShape shape) { return SHAPE_NAMES[static_cast<int>(shape)]; }

void writeHeader(TomlWriter& toml, const LevelPlan& plan) {
    toml.comment(std::string("Made by the asset kit's level maker from seed ") + std::to_string(plan.seed) + " (" +
                 shapeName(plan.shape) + "): assetgen --level " + std::to_string(plan.seed) + " DIR --shape " +
                 shapeName(plan.shape));
    toml.comment("makes it again, byte for byte. Every key is described in docs/levels.md.");
    toml.comment("");
    toml.table("level");
    toml.key("format", 1);
    toml.key("name", plan.name);
    toml.key("description", plan.description);
    toml.key("author", "assetgen level maker");
}

void writeGround(TomlWriter& toml, const LevelPlan& plan, const std::string& heightmap) {
    toml.table("terrain");
    toml.key("heightmap", heightmap);
    toml.key("size", plan.size);
    toml.key("height", plan.height);
    toml.key("base", plan.base);
    toml.key("segments", plan.segments);
    toml.table("sky");
    toml.key("sun", {plan.sun[0], plan.sun[1], plan.sun[2]});
    toml.key("fog_colour", {0.75, 0.8, 0.85}, 2);
    toml.key("fog_distance", 0.0);
    toml.key("fog_start", 0.0);
}

void writeStartAndSigns(TomlWriter& toml, const LevelPlan& plan) {
    toml.table("start");
    toml.key("position", {plan.start.x, plan.start.z});
    toml.key("heading", plan.startHeading);
    toml.key("radius", plan.startRadius);
    toml.comment("");
    toml.comment("The signs in the order of the tour round the start; each plate looks back to it.");
    for (const LevelPlan::Sign& s : plan.signs) {
        toml.arrayTable("sign");
        toml.key("position", {s.at.x, s.at.z});
        toml.key("heading", s.heading);
        toml.key("name", s.name);
    }
}

void writeItemsAndPursuers(TomlWriter& toml, const LevelPlan& plan) {
    for (const LevelPlan::Item& item : plan.items) {
        toml.arrayTable("item");
        toml.key("kind", item.kind);
        toml.key("position", {item.at.x, item.at.z});
    }
    for (const LevelPlan::Pursuer& p : plan.pursuers) {
        toml.arrayTable("pursuer");
        toml.key("kind", p.monster ? "monster" : "suv");
        toml.key("position", {p.at.x, p.at.z});
        toml.key("heading", p.heading);
    }
    if (!plan.checkpoints.empty()) {
        toml.comment("");
        toml.comment("The pursuers patrol these points, on the roads from sign to sign.");
    }
    for (const LevelPlan::Spot& c : plan.checkpoints) {
        toml.arrayTable("checkpoint");
        toml.key("position", {c.x, c.z});
    }
}

void writeMedals(TomlWriter& toml, const LevelPlan& plan) {
    toml.comment("");
    toml.comment("The tour start - signs - start at 10 units a second, 4 s a sign: " +
                 TomlWriter::number(plan.tourLength(), 0) + " units.");
    toml.table("medals");
    toml.key("gold", plan.gold);
    toml.key("silver", plan.silver);
    toml.key("bronze", plan.bronze);
}

}  // namespace

std::string levelToml(const LevelPlan& plan, const std::string& heightmap) {
    TomlWriter toml;
    writeHeader(toml, plan);
    writeGround(toml, plan, heightmap);
    writeStartAndSigns(toml, plan);
    writeItemsAndPursuers(toml, plan);
    writeMedals(toml, plan);
    return toml.text();
}

std::string writeMadeLevel(AssetSink& sink, uint32_t seed, LevelShape shape) {
    const LevelPlan plan = LevelMaker(seed, shape).make();
    const LevelGround ground(plan);
    sink.write("heightmap.png", ground.png());
    sink.write("level.toml", levelToml(plan, "heightmap.png"));
    return "\"" + plan.name + "\", " + std::to_string(plan.signs.size()) + " signs, " +
           std::to_string(plan.pursuers.size()) + " pursuers, " + TomlWriter::number(ground.relief() * 100, 0) +
           " % of the relief kept, the steepest road " + TomlWriter::number(ground.steepestOnRoads(), 1) + " degrees";
}

void writeShippedLevelGrounds(AssetSink& sink) {
    for (const ShippedLevel& level : SHIPPED_LEVELS) {
        const LevelPlan plan = LevelMaker(level.seed, level.shape).make();
        sink.write(std::string("levels/") + level.id + "/heightmap.png", LevelGround(plan).png());
    }
}

std::optional<LevelShape> shapeNamed(const std::string& word) {
    for (int i = 0; i < 3; ++i)
        if (word == SHAPE_NAMES[i]) return static_cast<LevelShape>(i);
    return std::nullopt;
}

}  // namespace assetgen
