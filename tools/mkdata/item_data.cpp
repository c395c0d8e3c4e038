// The sample's items (see item_data.h).
#include "tools/mkdata/item_data.h"

#include <cmath>
#include <cstring>
#include <filesystem>

#include "actor/item_files.h"
#include "tools/mkdata/fx_data.h"
#include "tools/mkdata/model_writer.h"
#include "tools/mkdata/pack_writer.h"
#include "tools/mkdata/sample_bosses.h"
#include "tools/mkdata/ui_text.h"

namespace mkdata {

namespace {

namespace fs = std::filesystem;

// One sample item with its texts.
struct SampleItem {
    int32_t id;
    int32_t type;
    int32_t ownLimit;
    int32_t icon;
    const char *name;
    const char *describe;
};

constexpr SampleItem kItems[] = {
    {5300000, kItemTypeRecover, 9, 0, "Herb", "Restores 300 life."},
    {5300010, kItemTypeRecover, 9, 1, "Elixir", "Restores 1000 life."},
    {5300020, kItemTypeRecover, 9, 2, "Spirit Tonic", "Restores 100 power."},
    {5300030, kItemTypeRecover, 9, 3, "Great Tonic", "Restores 300 power."},
    {5300040, kItemTypeRecover, 9, 4, "Antidote", "Cures poison and burns."},
    {5300050, kItemTypeExplode, 3, 5, "Smoke Bomb", "Thrown, it hides you in smoke.\nRare."},
    {5300060, kItemTypeExplode, 5, 6, "Fire Flask", "Thrown, it bursts into flames."},
    {5300070, kItemTypeExplode, 5, 7, "Thunder Orb", "Thrown, it strikes all around."},
    {5100160, kItemTypeEquip, 1, 8, "Iron Sword", "A plain, sturdy sword."},
    {5100210, kItemTypeEquip, 1, 9, "Bronze Blade", "A light blade of old bronze."},
    {5200010, kItemTypeEquip, 1, 10, "Leather Vest", "Turns aside light blows."},
    {5200020, kItemTypeEquip, 1, 11, "Life Charm", "Its glow lends the wearer life."},
    {5100170, kItemTypeEquip, 1, 16, "Steel Sword", "Keen and heavy: it bites deep\nand stuns."},
    {5100230, kItemTypeEquip, 1, 17, "Storm Blade", "A blade that hums with thunder."},
    {5100010, kItemTypeEquip, 1, 18, "Chain Mail", "Rings of iron against cuts."},
    {5100020, kItemTypeEquip, 1, 19, "Guard Ring", "A ring that lends life."},
    {5100030, kItemTypeEquip, 1, 20, "Iron Helm", "Guards the head and lends life."},
    {5401002, kItemTypeRecover, 9, 13, "Traveller's Gift", "Restores 500 life."},
    {5401004, kItemTypeRecover, 9, 14, "Village Bread", "Restores 200 life."},
    {5401007, kItemTypeRecover, 9, 15, "Sacred Water", "Restores 200 power."},
    {100054, kItemTypeShared, 99, 12, "Guild Token", "Shown at the guild, it opens doors."},
    // The ranking's other rewards of the stages 8, 15, 22, 27, 32, 40, 41 and 42
    // (5100170 and 5100230 are above).
    {5100040, kItemTypeEquip, 1, 10, "Wind Charm", "A reward: the wind is on your side."},
    {5100110, kItemTypeEquip, 1, 11, "Star Amulet", "A reward: it shines in the dark."},
    {5100140, kItemTypeEquip, 1, 10, "Moon Ring", "A reward of the first hidden stage."},
    {5100150, kItemTypeEquip, 1, 11, "Sun Ring", "A reward of the second hidden stage."},
    {5100180, kItemTypeEquip, 1, 8, "Flame Sword", "A reward: its edge burns."},
    {5100190, kItemTypeEquip, 1, 8, "Frost Sword", "A reward: its edge freezes."},
    {5100200, kItemTypeEquip, 1, 8, "Dragon Sword", "A reward of the last hidden stage."},
    {5100220, kItemTypeEquip, 1, 9, "Silver Blade", "A reward: a brighter blade."},
    {5100240, kItemTypeEquip, 1, 9, "Shadow Blade", "A reward: it strikes unseen."},
    {5100250, kItemTypeEquip, 1, 9, "Phoenix Blade", "A reward of the last hidden stage."},
};

// The key items 5402001..5402014: one icon each, on the third sheet.
constexpr int32_t kKeyItemFirst = 5402001;
constexpr int32_t kKeyItemCount = 14;
constexpr int32_t kKeyItemFirstIcon = 32;

// Recover_Type: kind (1 life, 2 power, 3 cure, 4 all), amount, price.
// Explode_Type: attack attribute, damage, radius, price.
struct UseRow {
    int32_t id;
    std::initializer_list<int32_t> values;
};
const UseRow kRecover[] = {
    {5300000, {1, 300, 50}},  {5300010, {1, 1000, 200}}, {5300020, {2, 100, 80}}, {5300030, {2, 300, 250}},
    {5300040, {3, 0, 40}},    {5401002, {1, 500, 0}},    {5401004, {1, 200, 0}},  {5401007, {2, 200, 0}},
};
const UseRow kExplode[] = {{5300050, {0, 10, 60, 600}}, {5300060, {16, 150, 30, 120}}, {5300070, {1, 300, 40, 300}}};

UseContent Use(const UseRow &row)
{
    UseContent use;
    use.id = row.id;
    for (int32_t v : row.values) {
        use.values[use.valueCount++] = v;
    }
    return use;
}

EquipContent Equip(int32_t id, int32_t type, int32_t prop1, int32_t prop2, const char *aura)
{
    EquipContent equip;
    equip.equipId = id;
    equip.equipType = type;
    equip.prop[0] = prop1;
    equip.prop[1] = prop2;
    std::strncpy(equip.aura, aura, sizeof equip.aura - 1);
    return equip;
}

// A prelit box from `lo` to `hi`, one flat colour, normals out.
RpClump *BuildBox(const RwV3d &lo, const RwV3d &hi, RwRGBA colour)
{
    constexpr RwUInt32 kFormat = rpGEOMETRYPOSITIONS | rpGEOMETRYNORMALS | rpGEOMETRYPRELIT | rpGEOMETRYLIGHT;
    // Every face in both windings: the box shows whichever way faces are culled.
    RpGeometry *g = RpGeometryCreate(24, 24, kFormat);
    RpMaterial *material = RpMaterialCreate();
    if (g == nullptr || material == nullptr) {
        if (g != nullptr) {
            RpGeometryDestroy(g);
        }
        if (material != nullptr) {
            RpMaterialDestroy(material);
        }
        return nullptr;
    }
    const float *lohi[2] = {&lo.x, &hi.x};
    for (int face = 0; face < 6; ++face) {
        const int axis = face / 2;
        const int side = face % 2;  // 0 the low face, 1 the high one
        const int u = (axis + 1) % 3;
        const int v = (axis + 2) % 3;
        for (int k = 0; k < 4; ++k) {
            float p[3];
            p[axis] = lohi[side][axis];
            p[u] = lohi[k & 1][u];
            p[v] = lohi[(k >> 1) & 1][v];
            const int index = face * 4 + k;
            g->morphTarget[0].verts[index] = {p[0], p[1], p[2]};
            float n[3] = {0.0f, 0.0f, 0.0f};
            n[axis] = side == 0 ? -1.0f : 1.0f;
            g->morphTarget[0].normals[index] = {n[0], n[1], n[2]};
            g->preLitLum[index] = colour;
        }
        const auto base = static_cast<RwUInt16>(face * 4);
        const RwUInt16 quads[4][3] = {{0, 1, 3}, {0, 3, 2}, {0, 3, 1}, {0, 2, 3}};
        for (int t = 0; t < 4; ++t) {
            RpTriangle &tri = g->triangles[face * 4 + t];
            for (int k = 0; k < 3; ++k) {
                tri.vertIndex[k] = static_cast<RwUInt16>(base + quads[t][k]);
            }
            RpGeometryTriangleSetMaterial(g, &tri, material);
        }
    }
    RpMaterialDestroy(material);
    const RwV3d centre = {(lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f};
    const RwV3d half = {(hi.x - lo.x) * 0.5f, (hi.y - lo.y) * 0.5f, (hi.z - lo.z) * 0.5f};
    g->morphTarget[0].boundingSphere = {centre, std::sqrt(half.x * half.x + half.y * half.y + half.z * half.z)};
    return SingleAtomicClump(RpGeometryUnlock(g));
}

// The start weapons: a long blade along the hand frame's at-axis (the way
// the figure's own blade runs), in the hero's blade colours.
bool WriteWeaponModel(const fs::path &root, int32_t id, RwRGBA colour)
{
    RpClump *clump = BuildBox({-0.4f, -1.0f, 1.0f}, {0.4f, 1.0f, 11.0f}, colour);
    if (clump == nullptr) {
        return false;
    }
    std::error_code error;
    fs::create_directories(root / "RESOURCE/MAINCHAR/WEAPON", error);
    const bool ok =
        WriteClumpFile(clump, (root / "RESOURCE/MAINCHAR/WEAPON" / (std::to_string(id) + ".DFF")).string().c_str());
    RpClumpDestroy(clump);
    return ok;
}

}  // namespace

const ItemTables &SampleItemTables()
{
    static const ItemTables tables = [] {
        ItemTables t;
        for (const SampleItem &item : kItems) {
            t.items.push_back(ItemContent{item.id, item.type, item.ownLimit, item.icon});
        }
        for (int32_t k = 0; k < kKeyItemCount; ++k) {
            t.items.push_back(ItemContent{kKeyItemFirst + k, kItemTypeShared, 1, kKeyItemFirstIcon + k});
        }
        for (const UseRow &row : kRecover) {
            t.recover.push_back(Use(row));
        }
        for (const UseRow &row : kExplode) {
            t.explode.push_back(Use(row));
        }
        // Weapons: Prop1 the attack bonus, Prop2 the second property. The
        // heroes' starting weapons give the attack the character selection
        // shows (80 and 70).
        t.equip.push_back(Equip(5100160, kEquipTypeWeapon, 80, 0, ""));
        t.equip.push_back(Equip(5100210, kEquipTypeWeapon, 70, 1, ""));
        // Armour: Prop1 the defence bonus, Prop2 the life bonus.
        t.equip.push_back(Equip(5200010, 1, 5, 0, ""));
        t.equip.push_back(Equip(5200020, 2, 0, 200, "AURA.ZUS"));
        // The status page's samples: weapons with both properties, armour
        // with the first flag, the second, and both.
        // The rewards a little stronger than the starting weapons.
        t.equip.push_back(Equip(5100170, kEquipTypeWeapon, 90, 1, ""));
        t.equip.push_back(Equip(5100230, kEquipTypeWeapon, 80, 2, ""));
        t.equip.push_back(Equip(5100010, 1, 8, 0, ""));
        t.equip.push_back(Equip(5100020, 2, 0, 150, ""));
        t.equip.push_back(Equip(5100030, 3, 4, 50, ""));
        return t;
    }();
    return tables;
}

const std::vector<DropMap> &SampleDropMaps()
{
    static const std::vector<DropMap> maps = [] {
        DropMap map;
        map.id = kSampleMonsterDropMap;
        map.entries[0] = {5300000, 40};
        map.entries[1] = {5300020, 20};
        map.entries[2] = {5300060, 10};
        // A breakable object that always leaves a potion.
        DropMap sure;
        sure.id = kSampleSureDropMap;
        sure.entries[0] = {5300000, 100};
        std::vector<DropMap> list = {map, sure};
        for (const DropMap &boss : SampleBossDropMaps()) {
            list.push_back(boss);
        }
        return list;
    }();
    return maps;
}

std::vector<ItemDescEntry> SampleItemDescriptions(const std::string &language)
{
    // The sample has no Chinese text (its fonts have no such glyphs): the
    // Chinese file is the English one, each text marked "[CHI]".
    const std::u16string mark = language == "CHI" ? u"[CHI] " : u"";
    std::vector<ItemDescEntry> entries;
    for (const SampleItem &item : kItems) {
        entries.push_back(ItemDescEntry{item.id, mark + Widen(item.name), mark + Widen(item.describe)});
    }
    for (int32_t k = 0; k < kKeyItemCount; ++k) {
        entries.push_back(ItemDescEntry{kKeyItemFirst + k, mark + u"Seal Fragment " + Widen(std::to_string(k + 1)),
                                        mark + u"One of the fourteen pieces of the old seal."});
    }
    return entries;
}

bool WriteItemData(const std::string &rootPath)
{
    const fs::path root(rootPath);
    bool ok = true;
    std::vector<std::string> files;
    auto text = [&](const std::string &name, const std::string &body) {
        ok = ok && WriteText(root / name, body);
        files.push_back(name);
    };
    text("RESOURCE/ITEM/ITEMCON.ICL", FormatItemTables(SampleItemTables()));
    text("RESOURCE/ITEM/PROBMAP.PBM", FormatDropMaps(SampleDropMaps()));
    for (const char *language : {"ENG", "CHI"}) {
        text(std::string("RESOURCE/ITEM/DESC/") + language + ".IDS",
             EncodeUtf16Le(FormatItemDescriptions(SampleItemDescriptions(language))));
    }

    // The start weapons: hero 0's steel, hero 1's gold.
    ok = ok && WriteWeaponModel(root, 5100160, {200, 215, 235, 255});
    ok = ok && WriteWeaponModel(root, 5100210, {235, 190, 80, 255});
    ok = ok && WriteWeaponModel(root, 5100170, {150, 160, 190, 255});
    ok = ok && WriteWeaponModel(root, 5100230, {120, 170, 250, 255});

    PackWriter pack;
    for (const std::string &file : files) {
        ok = ok && pack.AddFileFrom(rootPath, file);
    }
    return ok && pack.Write((root / ItemsPackPath()).string());
}

}  // namespace mkdata
