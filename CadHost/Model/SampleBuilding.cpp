#include "Model/SampleBuilding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <stdexcept>
#include <string>

#include "API/ApiAttributes.h"
#include "Model/Project.h"

namespace CadHost {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSlab = 0.25;      // slab thickness
constexpr double kOuterWall = 0.3;  // outer wall thickness
constexpr double kInnerWall = 0.12;
constexpr double kColumn = 0.4;
constexpr double kBeamDepth = 0.5;

double Mm(double v) { return std::round(v * 1000) / 1000; }

Extrusion Box(double x0, double y0, double x1, double y1, double z0, double z1, int slot = 0) {
    Extrusion e;
    e.outline = {{Mm(x0), Mm(y0)}, {Mm(x1), Mm(y0)}, {Mm(x1), Mm(y1)}, {Mm(x0), Mm(y1)}};
    e.bottom = Mm(z0);
    e.top = Mm(z1);
    e.materialSlot = slot;
    return e;
}

// A straight piece of wall from a to b, `t` thick, centred on the line.
Extrusion WallBody(Point2 a, Point2 b, double t, double z0, double z1) {
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    const double nx = -dy / len * t / 2, ny = dx / len * t / 2;
    Extrusion e;
    e.outline = {{Mm(a.x + nx), Mm(a.y + ny)},
                 {Mm(b.x + nx), Mm(b.y + ny)},
                 {Mm(b.x - nx), Mm(b.y - ny)},
                 {Mm(a.x - nx), Mm(a.y - ny)}};
    e.bottom = Mm(z0);
    e.top = Mm(z1);
    return e;
}

class Builder {
public:
    Builder(int storeys, int bays)
        : storeys_(storeys),
          bays_(bays),
          depth_(SampleBuilding::DepthBays(bays)),
          width_(bays * SampleBuilding::kBay),
          length_(depth_ * SampleBuilding::kBay),
          p_(std::make_unique<Project>()) {}

    std::unique_ptr<Project> Build() {
        MakeLayers();
        Site();
        Foundations();
        for (int s = 0; s < storeys_; ++s) Storey(s);
        RoofSlabs();
        HipRoof();
        CurtainWall();
        Annotation();
        Cameras();
        SiteWorks();  // last, so that the building's elements keep their indexes
        return std::move(p_);
    }

private:
    static constexpr double H = SampleBuilding::kStoreyHeight;
    static constexpr double B = SampleBuilding::kBay;

    int16_t Layer(const char* name) const { return static_cast<int16_t>(p_->FindLayer(name)); }
    int16_t Mat(const char* name) const { return static_cast<int16_t>(p_->FindMaterial(name)); }

    void MakeLayers() {
        p_->AddLayer({"Foundations", APILayerFlag::Locked, 1});
        p_->AddLayer({"Structure", 0, 1});
        p_->AddLayer({"Walls", 0, 1});
        p_->AddLayer({"Openings", 0, 0});
        p_->AddLayer({"Roof", 0, 0});
        p_->AddLayer({"Interior", 0, 0});
        p_->AddLayer({"Furniture", APILayerFlag::Hidden, 0});
        p_->AddLayer({"Site", 0, 0});
        p_->AddLayer({"Annotation", 0, 0});
    }

    // A new element of a type, with its ID, layer, storey and owner, its pens counting up from
    // `pen`, every material `mat` and every switch on.
    Element New(API_ElemTypeID type, const std::string& prefix, int storey, const char* layer,
                int16_t pen, int16_t mat) {
        Element e;
        e.type = type;
        char id[32];
        const int n = ++counters_[prefix + "/" + std::to_string(storey)];
        if (storey >= 0)
            std::snprintf(id, sizeof(id), "%s-%02d-%04d", prefix.c_str(), storey, n);
        else
            std::snprintf(id, sizeof(id), "%s-%04d", prefix.c_str(), n);
        e.id = id;
        e.layer = Layer(layer);
        e.storey = static_cast<int16_t>(std::max(storey, 0));
        e.owner = static_cast<int16_t>(storey >= 0 && storey % 2 == 1 ? 2 : 1);
        for (int i = 0; i < e.PenCount(); ++i) e.pens[size_t(i)] = static_cast<int16_t>(pen + i);
        for (int i = 0; i < e.MaterialCount(); ++i) e.materials[size_t(i)] = mat;
        for (int i = 0; i < e.SwitchCount(); ++i) e.switches[size_t(i)] = 1;
        // A few properties as an imported model would bring them, so that rules can ask for
        // them: the storey by name and the main material.
        if (storey >= 0) e.properties.emplace_back("Storey", StoreyName(storey));
        if (const Material* m = p_->MaterialAt(mat)) e.properties.emplace_back("Material", m->name);
        return e;
    }

    std::string StoreyName(int storey) const {
        if (storey == storeys_) return "Roof";
        if (storey == 0) return "Ground floor";
        if (storey == 1 && storeys_ <= 2) return "Upper floor";
        return "Floor " + std::to_string(storey);
    }

    static void External(Element& e, bool external) {
        e.properties.emplace_back("IsExternal", external ? "TRUE" : "FALSE");
    }

    void Site() {
        Element m = New(APIElem::Mesh, "M", -1, "Site", 40, Mat("Grass"));
        const double margin = 15;
        m.body.push_back(Box(-margin, -margin, width_ + margin, length_ + margin, -0.35, -0.05));
        p_->Add(std::move(m));
    }

    // What the building site holds besides the building: an old shed (its walls) to pull down, the
    // site fence and the scaffolding.
    void SiteWorks() {
        const double margin = 15;                                       // as the terrain's
        const double x0 = width_ + 3, x1 = width_ + 7, y0 = 1, y1 = 4;  // the shed's corners
        const Point2 shed[4] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
        for (int k = 0; k < 4; ++k) {
            Element w = New(APIElem::Wall, "SH", -1, "Site", 1, Mat("Plaster"));
            w.body.push_back(WallBody(shed[k], shed[(k + 1) % 4], 0.15, -0.05, 2.6));
            p_->Add(std::move(w));
        }

        const double f = margin - 1;
        const Point2 fence[4] = {
            {-f, -f}, {width_ + f, -f}, {width_ + f, length_ + f}, {-f, length_ + f}};
        for (int k = 0; k < 4; ++k) {
            Element w = New(APIElem::Wall, "FN", -1, "Site", 1, Mat("Aluminium"));
            w.body.push_back(WallBody(fence[k], fence[(k + 1) % 4], 0.05, -0.05, 2.0));
            p_->Add(std::move(w));
        }

        // Scaffolding poles at the corners, clear of the facades.
        const double top = storeys_ * H + 1;
        for (const Point2 c : {Point2{-1.2, -1.2}, Point2{width_ + 1.2, -1.2},
                               Point2{width_ + 1.2, length_ + 1.2}, Point2{-1.2, length_ + 1.2}}) {
            Element pole = New(APIElem::Column, "SC", -1, "Site", 1, Mat("Aluminium"));
            pole.body.push_back(Box(c.x - 0.08, c.y - 0.08, c.x + 0.08, c.y + 0.08, -0.05, top));
            p_->Add(std::move(pole));
        }
    }

    void Foundations() {
        for (int i = 0; i <= bays_; ++i) {
            for (int j = 0; j <= depth_; ++j) {
                Element f = New(APIElem::Slab, "F", -1, "Foundations", 20, Mat("Concrete"));
                f.body.push_back(
                    Box(i * B - 0.6, j * B - 0.6, i * B + 0.6, j * B + 0.6, -0.85, -kSlab));
                p_->Add(std::move(f));
            }
        }
        const Point2 corners[4] = {{0, 0}, {width_, 0}, {width_, length_}, {0, length_}};
        for (int k = 0; k < 4; ++k) {
            Element w = New(APIElem::Wall, "FW", -1, "Foundations", 20, Mat("Concrete"));
            w.body.push_back(WallBody(corners[k], corners[(k + 1) % 4], 0.6, -0.85, -kSlab));
            p_->Add(std::move(w));
        }
    }

    void Storey(int s) {
        const double z0 = s * H, ceiling = z0 + H - kSlab;
        // Floor slabs, one per bay (the ground floor's rests on the foundations).
        for (int i = 0; i < bays_; ++i)
            for (int j = 0; j < depth_; ++j) {
                Element sl = New(APIElem::Slab, "SL", s, "Structure", 10, Mat("Concrete"));
                sl.body.push_back(Box(i * B, j * B, (i + 1) * B, (j + 1) * B, z0 - kSlab, z0));
                p_->Add(std::move(sl));
            }
        // Columns at every grid node; those of the ground floor are locked.
        for (int i = 0; i <= bays_; ++i)
            for (int j = 0; j <= depth_; ++j) {
                Element c = New(APIElem::Column, "C", s, "Structure", 10, Mat("Concrete"));
                const double h = kColumn / 2;
                c.body.push_back(Box(i * B - h, j * B - h, i * B + h, j * B + h, z0, ceiling));
                c.locked = s == 0;
                p_->Add(std::move(c));
            }
        // Beams under the next slab along both grid directions.
        for (int j = 0; j <= depth_; ++j)
            for (int i = 0; i < bays_; ++i) Beam(s, {i * B, j * B}, {(i + 1) * B, j * B}, ceiling);
        for (int i = 0; i <= bays_; ++i)
            for (int j = 0; j < depth_; ++j) Beam(s, {i * B, j * B}, {i * B, (j + 1) * B}, ceiling);
        OuterWalls(s, z0, ceiling);
        InnerWalls(s, z0, ceiling);
        Rooms(s, z0, ceiling);
        if (s + 1 < storeys_) Stair(s, z0);
    }

    void Beam(int s, Point2 a, Point2 b, double ceiling) {
        Element e = New(APIElem::Beam, "B", s, "Structure", 14, Mat("Concrete"));
        e.body.push_back(WallBody(a, b, 0.3, ceiling - kBeamDepth, ceiling));
        p_->Add(std::move(e));
    }

    // One wall per bay along the outline, each with a window; the ground floor's front is the
    // curtain wall and its back has the entrance door in the first bay.
    void OuterWalls(int s, double z0, double ceiling) {
        struct Side {
            Point2 from, step;
            int count;
        };
        const Side sides[4] = {{{0, 0}, {B, 0}, bays_},
                               {{width_, 0}, {0, B}, depth_},
                               {{width_, length_}, {-B, 0}, bays_},
                               {{0, length_}, {0, -B}, depth_}};
        for (int k = 0; k < 4; ++k) {
            if (s == 0 && k == 0) continue;
            for (int n = 0; n < sides[k].count; ++n) {
                const Point2 a{sides[k].from.x + n * sides[k].step.x,
                               sides[k].from.y + n * sides[k].step.y};
                const Point2 b{a.x + sides[k].step.x, a.y + sides[k].step.y};
                Element w = New(APIElem::Wall, "W", s, "Walls", 1, Mat("Brick"));
                External(w, true);
                w.materials[1] = Mat("Plaster");
                w.materials[2] = Mat("Plaster");
                w.body.push_back(WallBody(a, b, kOuterWall, z0, ceiling));
                p_->Add(std::move(w));
                const Point2 mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
                const Point2 dir{sides[k].step.x / B, sides[k].step.y / B};
                if (s == 0 && k == 2 && n == sides[k].count - 1)
                    Opening(APIElem::Door, "D", s, mid, dir, 1.0, z0, z0 + 2.2, Mat("Timber"));
                else
                    Opening(APIElem::Window, "WI", s, mid, dir, 1.6, z0 + 0.9, z0 + 2.3,
                            Mat("Glass"));
            }
        }
    }

    // Windows and doors: a box a little thicker than the wall, so that they show on both faces.
    void Opening(API_ElemTypeID type, const char* prefix, int s, Point2 mid, Point2 dir,
                 double width, double z0, double z1, int16_t mat) {
        Element o = New(type, prefix, s, "Openings", 30, mat);
        External(o, true);
        o.angle = std::atan2(dir.y, dir.x);
        o.body.push_back(WallBody({mid.x - dir.x * width / 2, mid.y - dir.y * width / 2},
                                  {mid.x + dir.x * width / 2, mid.y + dir.y * width / 2},
                                  kOuterWall + 0.06, z0, z1));
        p_->Add(std::move(o));
    }

    // A partition along every inner grid line across the depth, each with a door.
    void InnerWalls(int s, double z0, double ceiling) {
        for (int i = 1; i < bays_; ++i)
            for (int j = 0; j < depth_; ++j) {
                const Point2 a{i * B, j * B + kColumn / 2}, b{i * B, (j + 1) * B - kColumn / 2};
                Element w = New(APIElem::Wall, "W", s, "Walls", 1, Mat("Plaster"));
                External(w, false);
                w.body.push_back(WallBody(a, b, kInnerWall, z0, ceiling - kBeamDepth));
                p_->Add(std::move(w));
                Element d = New(APIElem::Door, "D", s, "Openings", 30, Mat("Timber"));
                External(d, false);
                d.angle = kPi / 2;
                d.body.push_back(WallBody({i * B, j * B + 2.0}, {i * B, j * B + 2.9},
                                          kInnerWall + 0.04, z0, z0 + 2.1));
                p_->Add(std::move(d));
            }
    }

    // Per bay: a zone (its floor finish), a ceiling lamp and a table on the hidden furniture layer.
    void Rooms(int s, double z0, double ceiling) {
        for (int i = 0; i < bays_; ++i)
            for (int j = 0; j < depth_; ++j) {
                const double x0 = i * B, y0 = j * B, cx = x0 + B / 2, cy = y0 + B / 2;
                Element z = New(APIElem::Zone, "Z", s, "Interior", 50, Mat("Floor Covering"));
                char name[48];
                std::snprintf(name, sizeof(name), "Room %d.%02d", s, i * depth_ + j + 1);
                z.text = name;
                z.body.push_back(
                    Box(x0 + 0.2, y0 + 0.2, x0 + B - 0.2, y0 + B - 0.2, z0, z0 + 0.02));
                p_->Add(std::move(z));
                Element l = New(APIElem::Lamp, "L", s, "Interior", 60, Mat("Paint - White"));
                l.body.push_back(Box(cx - 0.3, cy - 0.3, cx + 0.3, cy + 0.3,
                                     ceiling - kBeamDepth - 0.1, ceiling - kBeamDepth));
                p_->Add(std::move(l));
                Element t = New(APIElem::Object, "OB", s, "Furniture", 70, Mat("Timber"));
                t.body.push_back(
                    Box(cx - 0.9, cy - 0.45, cx + 0.9, cy + 0.45, z0 + 0.7, z0 + 0.75));
                for (double fx : {-0.8, 0.75})
                    for (double fy : {-0.4, 0.35})
                        t.body.push_back(
                            Box(cx + fx, cy + fy, cx + fx + 0.05, cy + fy + 0.05, z0, z0 + 0.7));
                p_->Add(std::move(t));
            }
    }

    // A straight flight in the first bay of the back row: an object of 16 steps.
    void Stair(int s, double z0) {
        Element st = New(APIElem::Object, "ST", s, "Interior", 70, Mat("Concrete"));
        const int steps = 16;
        const double rise = H / steps, run = 0.28, x0 = 1.0, y0 = length_ - B + 1.0;
        for (int k = 0; k < steps; ++k)
            st.body.push_back(Box(x0 + k * run, y0, x0 + (k + 1) * run, y0 + 1.2, z0 + k * rise,
                                  z0 + (k + 1) * rise));
        p_->Add(std::move(st));
    }

    void RoofSlabs() {
        const double z = storeys_ * H;
        for (int i = 0; i < bays_; ++i)
            for (int j = 0; j < depth_; ++j) {
                Element sl = New(APIElem::Slab, "SL", storeys_, "Structure", 10, Mat("Concrete"));
                sl.body.push_back(Box(i * B, j * B, (i + 1) * B, (j + 1) * B, z - kSlab, z));
                p_->Add(std::move(sl));
            }
    }

    // A hip roof, built up of shrinking layers.
    void HipRoof() {
        Element r = New(APIElem::Roof, "R", -1, "Roof", 80, Mat("Roof Tiles"));
        r.materials[2] = Mat("Timber");
        const double z = storeys_ * H, overhang = 0.5, layers = 6;
        const double rise = std::min(width_, length_) / 2 * 0.6 / layers;
        const double inset = (std::min(width_, length_) / 2 + overhang) / (layers + 1);
        for (int k = 0; k < layers; ++k)
            r.body.push_back(Box(-overhang + k * inset, -overhang + k * inset,
                                 width_ + overhang - k * inset, length_ + overhang - k * inset,
                                 z + k * rise, z + (k + 1) * rise));
        p_->Add(std::move(r));
    }

    // The ground floor front: aluminium frames every 1.5 m with glass panels between.
    void CurtainWall() {
        Element cw = New(APIElem::CurtainWall, "CW", 0, "Walls", 90, Mat("Aluminium"));
        External(cw, true);
        cw.materials[1] = Mat("Glass");
        const double top = H - kSlab, f = 0.08;
        const int panels = std::max(1, static_cast<int>(std::round(width_ / 1.5)));
        const double step = width_ / panels;
        for (int k = 0; k <= panels; ++k)
            cw.body.push_back(Box(k * step - f / 2, -0.1, k * step + f / 2, 0.05, 0, top, 0));
        for (double zt : {0.0, 1.1, top - f})
            cw.body.push_back(Box(0, -0.1, width_, 0.05, zt, zt + f, 0));
        for (int k = 0; k < panels; ++k)
            cw.body.push_back(
                Box(k * step + f / 2, -0.04, (k + 1) * step - f / 2, -0.01, f, top - f, 1));
        p_->Add(std::move(cw));
    }

    void Drawn(API_ElemTypeID type, std::vector<Point2> points, const std::string& text = "") {
        Element e = New(type, "2D", -1, "Annotation", 1, 0);
        e.plan = std::move(points);
        e.text = text;
        p_->Add(std::move(e));
    }

    // A north arrow, dimensions along two sides, a garden path, the site boundary, a title, and
    // the section and elevation markers.
    void Annotation() {
        const double nx = width_ + 8, ny = length_ + 8;
        std::vector<Point2> circle, arc;
        for (int k = 0; k < 24; ++k)
            circle.push_back({Mm(nx + std::cos(k * kPi / 12)), Mm(ny + std::sin(k * kPi / 12))});
        for (int k = 0; k <= 8; ++k)
            arc.push_back(
                {Mm(-6 + 3 * std::cos(k * kPi / 16)), Mm(-6 + 3 * std::sin(k * kPi / 16))});
        Drawn(APIElem::Circle, circle);
        Drawn(APIElem::Line, {{nx, ny - 1.2}, {nx, ny + 1.2}});
        Drawn(APIElem::Text, {{nx, ny + 1.6}}, "N");
        Drawn(APIElem::Dimension, {{0, -3}, {width_, -3}});
        Drawn(APIElem::Dimension, {{width_ + 3, 0}, {width_ + 3, length_}});
        Drawn(APIElem::Arc, arc);
        Drawn(APIElem::Spline, {{-10, -12}, {-4, -8}, {2, -9}, {8, -4}});
        Drawn(APIElem::Fill,
              {{-15, -15}, {width_ + 15, -15}, {width_ + 15, length_ + 15}, {-15, length_ + 15}});
        Drawn(APIElem::Text, {{0, -6}},
              "Sample building, " + std::to_string(storeys_) + " storeys, " +
                  std::to_string(bays_) + " bays");
        Element section = New(APIElem::Section, "S", -1, "Annotation", 1, 0);
        section.id = "S-1";
        section.plan = {{width_ / 2, -5}, {width_ / 2, length_ + 5}};
        p_->Add(std::move(section));
        Element elevation = New(APIElem::Elevation, "E", -1, "Annotation", 1, 0);
        elevation.id = "E-1";
        elevation.plan = {{-5, -8}, {width_ + 5, -8}};
        p_->Add(std::move(elevation));
    }

    // Paths: "Orbit", eight cameras around the building, closed; "Approach", three cameras
    // towards the front, open-ended; "Draft", two cameras, not for listing.
    void Cameras() {
        const double cx = width_ / 2, cy = length_ / 2, height = storeys_ * H;
        const double radius = std::max(width_, length_) * 0.9 + 20;
        const Point3 centre{cx, cy, height * 0.45};
        std::vector<Point3> orbit;
        for (int k = 0; k < 8; ++k) {
            const double a = -kPi / 2 - kPi / 4 + k * kPi / 4;
            orbit.push_back({Mm(cx + radius * std::cos(a)), Mm(cy + radius * std::sin(a)),
                             Mm(height * 0.7 + 12)});
        }
        Path("Orbit", orbit, centre, 10, false, true, 0, {5, 0, 0, 0, 0, 0, 0, 0});
        Path("Approach",
             {{cx - radius, -radius, 20},
              {cx - radius / 3, -radius * 0.7, 10},
              {cx, -radius * 0.45, 3}},
             {cx, cy, height * 0.3}, 12, true, false, 0, {0, 2, 0});
        Path("Draft", {{cx, -radius, 30}, {cx, length_ + radius, 30}}, centre, 5, true, false, 1,
             {0, 0});
    }

    void Path(const char* name, const std::vector<Point3>& eyes, Point3 target, int32_t inFrames,
              bool openEnded, bool active, int32_t status, const std::vector<int16_t>& stays) {
        const auto pathIndex =
            static_cast<int32_t>(p_->ElementsOfType(APIElem::CameraPath).size() + 1);
        const auto first = static_cast<int32_t>(p_->ElementsOfType(APIElem::Camera).size() + 1);
        Element path = New(APIElem::CameraPath, "P", -1, "General", 1, 0);
        path.path = PathData{name, status, openEnded, inFrames, active, first};
        p_->Add(std::move(path));
        for (size_t k = 0; k < eyes.size(); ++k) {
            Element c = New(APIElem::Camera, "CAM", -1, "General", 1, 0);
            CameraData d;
            d.path = pathIndex;
            d.eye = eyes[k];
            d.target = target;
            d.viewCone = 55;
            d.stays = stays[k];
            const auto index = static_cast<int32_t>(first + k);
            d.prev = k == 0 ? 0 : index - 1;
            d.next = k + 1 == eyes.size() ? 0 : index + 1;
            c.camera = d;
            p_->Add(std::move(c));
        }
    }

    int storeys_, bays_, depth_;
    double width_, length_;
    std::unique_ptr<Project> p_;
    std::map<std::string, int> counters_;
};

}  // namespace

std::unique_ptr<Project> SampleBuilding::Make(int storeys, int bays) {
    if (storeys < 1 || storeys > kMaxStoreys || bays < 1 || bays > kMaxBays)
        throw std::invalid_argument("a sample building has 1 to " + std::to_string(kMaxStoreys) +
                                    " storeys and 1 to " + std::to_string(kMaxBays) + " bays");
    return Builder(storeys, bays).Build();
}

size_t SampleBuilding::ElementCount(int storeys, int bays) {
    const size_t s = size_t(storeys), b = size_t(bays), d = size_t(DepthBays(bays));
    const size_t nodes = (b + 1) * (d + 1), cells = b * d;
    const size_t perimeter = 2 * (b + d);  // outer walls, one window or door each
    const size_t beams = b * (d + 1) + d * (b + 1);
    const size_t partitions = (b - 1) * d;  // each with a door
    const size_t perStorey = cells + nodes + beams + 2 * perimeter + 2 * partitions + 3 * cells;
    const size_t total = 1                        // terrain
                         + nodes + 4              // footings and strip foundations
                         + s * perStorey - 2 * b  // the ground floor front is the curtain wall
                         + (s - 1)                // stairs
                         + cells                  // roof slabs
                         + 1 + 1                  // roof, curtain wall
                         + 4 + 4 + 4              // old shed, site fence, scaffolding
                         + 9 + 2                  // 2D elements, section and elevation
                         + 3 + 8 + 3 + 2;         // paths and their cameras
    return total;
}

}  // namespace CadHost
