// Session commands of the 3D window: stills for people and the window's and rendering's sizes.
#include <cmath>
#include <cstdlib>

#include "Model/Project.h"
#include "Registry.h"
#include "Render/PictureMaker.h"
#include "ParseInteger.h"
#include "Render/PngFile.h"
#include "Render/ViewState.h"
#include "Shell/Session.h"

namespace CadHost::Render {
namespace {

bool ParseCount(const std::string& text, int& value) {
    int parsed = 0;
    if (!ParseInteger(text, parsed) || parsed < 0 || parsed > 1000000) return false;
    value = parsed;
    return true;
}

bool CameraOfElement(int index, Camera& camera, std::string& error) {
    const Element* e = CurrentProject().At(APIElem::Camera, index);
    if (e == nullptr || !e->camera) {
        error = "there is no camera " + std::to_string(index);
        return false;
    }
    API_PerspPars record{};
    record.eye = {e->camera->eye.x, e->camera->eye.y, e->camera->eye.z};
    record.target = {e->camera->target.x, e->camera->target.y, e->camera->target.z};
    record.viewCone = e->camera->viewCone;
    record.rollAngle = e->camera->roll;
    std::string why;
    if (!Camera::FromRecord(record, camera, why)) {
        error = "camera " + std::to_string(index) + " cannot be used: " + why;
        return false;
    }
    return true;
}

bool Render(Session& s, const std::vector<std::string>& args, std::string& error) {
    const char* usage = "usage: render FILE.png [window|rendered] [camera N] [legend]";
    if (args.empty()) {
        error = usage;
        return false;
    }
    PictureKind kind = PictureKind::Window;
    Camera camera;
    bool haveCamera = false;
    bool legend = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "legend") {
            legend = true;
        } else if (args[i] == "window") {
            kind = PictureKind::Window;
        } else if (args[i] == "rendered") {
            kind = PictureKind::Rendered;
        } else if (args[i] == "camera" && i + 1 < args.size()) {
            int index = 0;
            if (!ParseCount(args[++i], index)) {
                error = "a camera number is a whole number from 1: '" + args[i] + "'";
                return false;
            }
            if (!CameraOfElement(index, camera, error)) return false;
            haveCamera = true;
        } else {
            error = usage;
            return false;
        }
    }
    Image image;
    RenderStats stats;
    if (!PictureMaker::Make(kind, haveCamera ? &camera : nullptr, image, error, &stats, legend))
        return false;
    if (!PngFile::Write(image, args[0], error)) return false;
    s.Out() << "rendered " << args[0] << " (" << image.Width() << " x " << image.Height() << ", "
            << stats.triangles << " triangles)\n";
    return true;
}

bool SizeCommand(Session& s, const std::vector<std::string>& args, std::string& error,
                 bool window) {
    const ViewState& view = ViewState::Get();
    if (!window && !args.empty() && args[0] == "edges") {
        if (args.size() != 2 || (args[1] != "on" && args[1] != "off")) {
            error = "usage: rendering edges on|off";
            return false;
        }
        ViewState::Get().edges = args[1] == "on";
        s.Out() << "edges " << args[1] << "\n";
        return true;
    }
    if (args.empty()) {
        if (window)
            s.Out() << "3D window " << view.WindowWidth() << " x " << view.WindowHeight() << "\n";
        else
            s.Out() << "rendered picture " << view.RenderWidth() << " x " << view.RenderHeight()
                    << ", " << view.RenderSupersampling() << " x " << view.RenderSupersampling()
                    << " samples per pixel\n";
        return true;
    }
    int w = 0, h = 0, samples = view.RenderSupersampling();
    const bool parsed = (args.size() == 2 || (!window && args.size() == 3)) &&
                        ParseCount(args[0], w) && ParseCount(args[1], h) &&
                        (args.size() < 3 || ParseCount(args[2], samples));
    const std::string limit = std::to_string(ViewState::kMaxSide);
    if (!parsed) {
        error =
            window ? "usage: window3d [WIDTH HEIGHT]" : "usage: rendering [WIDTH HEIGHT [SAMPLES]]";
        return false;
    }
    ViewState& state = ViewState::Get();
    if (!(window ? state.SetWindowSize(w, h) : state.SetRenderSize(w, h))) {
        error = "a picture is from 1 to " + limit + " pixels wide and high";
        return false;
    }
    if (!window && !state.SetRenderSupersampling(samples)) {
        error = "samples per pixel side are from 1 to 4";
        return false;
    }
    return SizeCommand(s, {}, error, window);
}

bool View(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (args.size() == 1 && args[0] == "default") {
        ViewState::Get().ResetCamera();
    } else if (args.size() == 2 && args[0] == "camera") {
        int index = 0;
        Camera camera;
        if (!ParseCount(args[1], index)) {
            error = "a camera number is a whole number from 1: '" + args[1] + "'";
            return false;
        }
        if (!CameraOfElement(index, camera, error)) return false;
        ViewState::Get().SetCamera(camera);
    } else if (args.size() == 3 && args[0] == "sun") {
        // The sun of the current view (the default view becomes a set one that keeps framing).
        char* end = nullptr;
        const double azimuth = std::strtod(args[1].c_str(), &end);
        const bool azimuthRead = end != args[1].c_str() && *end == '\0';
        const double altitude = std::strtod(args[2].c_str(), &end);
        if (!azimuthRead || end == args[2].c_str() || *end != '\0' || !std::isfinite(azimuth) ||
            !(altitude >= 0 && altitude <= 90)) {
            error = "usage: view3d sun AZIMUTH ALTITUDE (degrees; the altitude from 0 to 90)";
            return false;
        }
        Camera camera = PictureMaker::CurrentCamera(PictureKind::Window);
        camera.sunAzimuth = azimuth;
        camera.sunAltitude = altitude;
        ViewState::Get().SetCamera(camera);
    } else if (!args.empty()) {
        error = "usage: view3d [default | camera N | sun AZIMUTH ALTITUDE]";
        return false;
    }
    const Camera c = PictureMaker::CurrentCamera(PictureKind::Window);
    s.Out() << "3D view" << (ViewState::Get().HasCamera() ? "" : " (default)") << ": eye "
            << c.eye.x << " " << c.eye.y << " " << c.eye.z << ", target " << c.target.x << " "
            << c.target.y << " " << c.target.z << ", " << c.viewAngle << " degrees\n";
    return true;
}

Registrar commands([](Registry& r) {
    r.AddCommand("render", {"render FILE.png [window|rendered] [camera N] [legend]",
                            "writes a still of the model from the 3D view (or camera N) at the "
                            "3D window's size (or the rendered picture's), with the legend of "
                            "the task-type colours when asked",
                            Render});
    r.AddCommand("window3d",
                 {"window3d [WIDTH HEIGHT]", "shows or sets the 3D window's picture size",
                  [](Session& s, const std::vector<std::string>& a, std::string& e) {
                      return SizeCommand(s, a, e, true);
                  }});
    r.AddCommand("rendering",
                 {"rendering [WIDTH HEIGHT [SAMPLES]], rendering edges on|off",
                  "shows or sets the rendered picture's size and samples per pixel side; turns "
                  "the outlines and creases of every picture on or off",
                  [](Session& s, const std::vector<std::string>& a, std::string& e) {
                      return SizeCommand(s, a, e, false);
                  }});
    r.AddCommand("view3d",
                 {"view3d [default | camera N | sun AZIMUTH ALTITUDE]",
                  "shows the 3D view, or sets it to the default view or to camera N, or sets the "
                  "sun that lights it (degrees from east, counter-clockwise; above the horizon)",
                  View});
});

}  // namespace
}  // namespace CadHost::Render
