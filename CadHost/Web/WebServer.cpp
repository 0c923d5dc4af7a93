#include "Web/WebServer.h"

#include <httplib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <iostream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <thread>

#include "Model/Project.h"
#include "Shell/ProgressWatch.h"
#include "Shell/Session.h"
#include "Web/EventHub.h"
#include "Web/HostQueue.h"
#include "Web/OutputTap.h"
#include "Web/WorkspacePath.h"
#include "Web/WorkspaceState.h"

namespace CadHost::Web {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

std::atomic<bool> gStop{false};

constexpr const char* kJson = "application/json; charset=utf-8";
constexpr const char* kScript = "application/x-javascript";

extern "C" void OnStopSignal(int) { gStop = true; }

std::string NewToken() {
    std::random_device device;
    static const char* const kHex = "0123456789abcdef";
    std::string token;
    for (int i = 0; i < 8; ++i) {
        const uint32_t word = device();
        for (int k = 0; k < 8; ++k) token += kHex[(word >> (4 * k)) & 15];
    }
    return token;
}

bool ReadFile(const fs::path& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    content = all.str();
    return static_cast<bool>(in) || in.eof();
}

std::string ContentType(const fs::path& path) {
    const std::string ext = path.extension().string();
    if (ext == ".mov") return "video/quicktime";
    if (ext == ".png") return "image/png";
    // Anything else goes as bytes: a download, not compressed on the way (see kScript).
    return "application/octet-stream";
}

uint64_t NumberParam(const httplib::Request& req, const char* name) {
    if (!req.has_param(name)) return 0;
    return std::strtoull(req.get_param_value(name).c_str(), nullptr, 10);
}

void Refuse(httplib::Response& res, int status, const std::string& message) {
    res.status = status;
    res.set_content(json{{"ok", false}, {"error", message}}.dump(), kJson);
}

// The lines of a command's output the page shows apart: alerts with their buttons and answers,
// report window lines and progress lines.
json Notes(const std::string& output) {
    json alerts = json::array(), report = json::array(), progress = json::array();
    std::istringstream in(output);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("alert ", 0) == 0) {
            alerts.push_back({{"text", line}, {"buttons", ""}, {"answered", ""}});
        } else if (line.rfind("  buttons: ", 0) == 0 && !alerts.empty()) {
            alerts.back()["buttons"] = line.substr(11);
        } else if (line.rfind("  answered: ", 0) == 0 && !alerts.empty() &&
                   alerts.back()["answered"] == "") {
            alerts.back()["answered"] = line.substr(12);
        } else if (line.rfind("report: ", 0) == 0) {
            report.push_back(line.substr(8));
        } else if (line.rfind("progress: ", 0) == 0) {
            progress.push_back(line.substr(10));
        }
    }
    return {{"alerts", alerts}, {"report", report}, {"progress", progress}};
}

}  // namespace

int WebServer::Run(Session& session, OutputTap& tap, const ServeOptions& options) {
    // ---- The start-up scripts, printed to the terminal as `cadhost run` prints them ----------
    tap.SetCopy(&std::cout);
    for (const std::string& script : options.scripts) {
        std::ifstream in(script);
        if (!in) {
            std::cerr << "cadhost: cannot read script " << script << "\n";
            return 1;
        }
        session.SetScriptArguments(fs::absolute(script).string(), {});
        if (session.RunScript(in, script) != 0) return 1;
        if (session.QuitRequested()) return 0;
    }
    session.Out().flush();
    tap.SetCopy(nullptr);
    tap.Take();

    std::error_code ec;
    fs::create_directories(options.workspace, ec);
    if (!fs::is_directory(options.workspace)) {
        std::cerr << "cadhost: the workspace " << options.workspace << " is no folder\n";
        return 1;
    }
    const WorkspacePath workspace(options.workspace);
    // Relative paths of the page's commands are the workspace's.
    fs::current_path(workspace.Root(), ec);
    if (ec) {
        std::cerr << "cadhost: cannot work in " << workspace.Root() << ": " << ec.message() << "\n";
        return 1;
    }
    const fs::path webRoot = fs::absolute(options.webRoot);
    if (!fs::is_regular_file(webRoot / "index.html"))
        std::cerr << "cadhost: no page in " << webRoot << "\n";
    if (!fs::is_directory(webRoot / "node_modules" / "three"))
        std::cerr << "cadhost: three.js is not installed in " << webRoot
                  << "/node_modules (bash scripts/setup.sh installs it)\n";

    const std::string token = NewToken();
    EventHub events;
    HostQueue queue;
    WorkspaceState state;
    // Commands run so far, by any tab: a tab that hears of one it did not send asks for the state.
    uint64_t commandsRun = 0;
    // Alerts with a choice that no queued `answer` covers go to the pages as they come, and the
    // first page that answers chooses the button; with no page listening the first button is
    // taken, as in a script.
    std::mutex askMutex;
    std::condition_variable askWake;
    uint64_t asked = 0;
    int16_t answered = 0;
    session.SetAlertAsker([&](const DG::AlertRequest& alert, int16_t& chosen) {
        // A lone OK is no choice: the page shows it with the command's answer.
        if (events.listeners <= 0 || alert.buttons.size() < 2) return false;
        uint64_t ask = 0;
        {
            std::lock_guard<std::mutex> lock(askMutex);
            ask = ++asked;
            answered = 0;
        }
        events.Publish({{"type", "alert"},
                        {"ask", ask},
                        {"id", static_cast<uint16_t>(alert.id)},  // as the resource file numbers it
                        {"text", alert.text},
                        {"buttons", alert.buttons}});
        std::unique_lock<std::mutex> lock(askMutex);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(10);
        // In short waits, so that a stop signal is seen.
        while (answered == 0 && !gStop && std::chrono::steady_clock::now() < deadline)
            askWake.wait_for(lock, std::chrono::milliseconds(200));
        const bool got = answered != 0;
        const int16_t button = answered;
        asked = ask + 1;  // no later answer is taken for this question
        lock.unlock();
        events.Publish({{"type", "answered"}, {"ask", ask}});
        if (!got || button == 0) return false;
        chosen = button;
        return true;
    });
    tap.SetLineListener([&](const std::string& line) {
        if (line.rfind("progress: ", 0) == 0)
            events.Publish({{"type", "progress"}, {"text", line.substr(10)}});
    });

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(24); };
    server.set_payload_max_length(options.maxUploadBytes);
    server.set_keep_alive_max_count(100);
    // An answer goes out at once: without this, a reply written in pieces waits for the browser's
    // delayed acknowledgement, some 40 ms a command.
    server.set_tcp_nodelay(true);

    auto tokenOf = [&](const httplib::Request& req) {
        if (req.has_param("token")) return req.get_param_value("token");
        return std::string();
    };
    auto cookieHasToken = [&](const httplib::Request& req) {
        const std::string cookies = req.get_header_value("Cookie");
        return cookies.find("pw_token=" + token) != std::string::npos;
    };
    // The token opens every address; the page's own files (not the API) also open with the
    // cookie the page got from it, so that its modules load without the token in their names.
    server.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
        const bool api = req.path.rfind("/api/", 0) == 0;
        if (tokenOf(req) == token || (!api && cookieHasToken(req)))
            return httplib::Server::HandlerResponse::Unhandled;
        res.status = 403;
        res.set_content("forbidden: the address needs the access token cadhost serve printed\n",
                        "text/plain");
        return httplib::Server::HandlerResponse::Handled;
    });

    server.Get("/", [&](const httplib::Request&, httplib::Response& res) {
        std::string page;
        if (!ReadFile(webRoot / "index.html", page)) {
            res.status = 404;
            return;
        }
        res.set_header("Set-Cookie", "pw_token=" + token + "; Path=/; HttpOnly; SameSite=Strict");
        res.set_header("Cache-Control", "no-store");
        res.set_content(page, "text/html; charset=utf-8");
    });
    server.set_mount_point("/page", (webRoot / "page").string());
    server.set_mount_point("/three", (webRoot / "node_modules" / "three").string());
    // The library compresses text, scripts and JSON with Brotli at its slowest setting, which
    // takes seconds for three.js and for the looks of a large model; these names of the same
    // types keep the answers as they are (loopback needs no compression).
    server.set_file_extension_and_mimetype_mapping("js", kScript);
    server.set_file_extension_and_mimetype_mapping("mjs", kScript);

    server.Get("/api/model.glb", [&](const httplib::Request&, httplib::Response& res) {
        std::shared_ptr<const std::string> glb;
        std::string key;
        if (!queue.Run([&] {
                glb = state.ModelGlb();
                key = state.ModelKey();
            }))
            return Refuse(res, 503, "the host has stopped");
        res.set_header("X-Model", key);
        // Sent straight from the host's copy, in pieces.
        res.set_content_provider(
            glb->size(), "model/gltf-binary",
            [glb](size_t offset, size_t length, httplib::DataSink& sink) {
                return sink.write(glb->data() + offset, std::min<size_t>(length, 1 << 22));
            });
    });

    server.Get("/api/state", [&](const httplib::Request& req, httplib::Response& res) {
        json answer;
        const uint64_t since = NumberParam(req, "since");
        const std::string model = req.has_param("model") ? req.get_param_value("model") : "";
        if (!queue.Run([&] {
                answer = {{"ok", true}, {"state", state.Collect(session, tap, since, model)}};
                answer["state"]["commands"] = commandsRun;
            }))
            return Refuse(res, 503, "the host has stopped");
        res.set_content(answer.dump(), kJson);
    });

    // One command line run as typed in the shell: its output, what the page shows apart, and
    // whether it asked the host to quit. On the host's thread only.
    auto runLine = [&](const std::string& line) {
        tap.Take();
        std::string error;
        bool ok = workspace.CheckCommand(Session::SplitWords(line), error);
        if (ok) ok = session.RunLine(line, error);
        session.Out().flush();
        const std::string output = tap.Take();
        json answer = {{"ok", ok}, {"command", line}, {"output", output}};
        if (!ok) answer["error"] = error;
        answer.update(Notes(output));
        answer["quit"] = session.QuitRequested();
        ++commandsRun;
        return answer;
    };
    // The host's state after commands, and the word to every tab that they ran.
    auto stateAfter = [&](uint64_t since, const std::string& model) {
        json now = state.Collect(session, tap, since, model);
        now["commands"] = commandsRun;
        events.Publish({{"type", "changed"}, {"version", now["version"]}, {"commands", commandsRun}});
        return now;
    };
    // The body's command lines, without the end of the last; false when too long.
    auto linesOf = [&](const httplib::Request& req, httplib::Response& res, std::string& body) {
        if (req.body.size() > options.maxCommandBytes) {
            Refuse(res, 413,
                   "a command line is at most " + std::to_string(options.maxCommandBytes) +
                       " bytes");
            return false;
        }
        body = req.body;
        while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.pop_back();
        return true;
    };

    server.Post("/api/command", [&](const httplib::Request& req, httplib::Response& res) {
        std::string line;
        if (!linesOf(req, res, line)) return;
        if (line.find_first_of("\r\n") != std::string::npos)
            return Refuse(res, 400, "one command line at a time");
        const uint64_t since = NumberParam(req, "since");
        const std::string model = req.has_param("model") ? req.get_param_value("model") : "";
        json answer;
        const bool ran = queue.Run([&] {
            answer = runLine(line);
            answer["state"] = stateAfter(since, model);
        });
        if (!ran) return Refuse(res, 503, "the host has stopped");
        res.set_content(answer.dump(), kJson);
    });

    // Several command lines that make one action of the page (a date and its showing), run one
    // after the other with no other tab's command between them; the first that fails ends them.
    server.Post("/api/commands", [&](const httplib::Request& req, httplib::Response& res) {
        std::string body;
        if (!linesOf(req, res, body)) return;
        std::vector<std::string> lines;
        std::istringstream in(body);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        const uint64_t since = NumberParam(req, "since");
        const std::string model = req.has_param("model") ? req.get_param_value("model") : "";
        json answer = {{"answers", json::array()}};
        const bool ran = queue.Run([&] {
            for (const std::string& line : lines) {
                answer["answers"].push_back(runLine(line));
                if (!answer["answers"].back()["ok"] || session.QuitRequested()) break;
            }
            answer["state"] = stateAfter(since, model);
        });
        if (!ran) return Refuse(res, 503, "the host has stopped");
        res.set_content(answer.dump(), kJson);
    });

    server.Post("/api/cancel", [&](const httplib::Request&, httplib::Response& res) {
        // Not queued: the command it cancels holds the host's thread.
        ProgressWatch::CancelSoon();
        res.set_content(json{{"ok", true}}.dump(), kJson);
    });

    server.Post("/api/upload", [&](const httplib::Request& req, httplib::Response& res) {
        const std::string name = req.has_param("name") ? req.get_param_value("name") : "";
        fs::path target;
        std::string error;
        if (!workspace.UploadTarget(name, target, error)) return Refuse(res, 400, error);
        bool ok = false;
        // In the queue, so that no command reads the file while it is written.
        const bool ran = queue.Run([&] {
            const fs::path scratch = workspace.Root() / (".upload-" + NewToken());
            {
                std::ofstream out(scratch, std::ios::binary | std::ios::trunc);
                out.write(req.body.data(), static_cast<std::streamsize>(req.body.size()));
                out.flush();
                ok = static_cast<bool>(out);
            }
            std::error_code fault;
            if (ok) fs::rename(scratch, target, fault);
            if (!ok || fault) {
                fs::remove(scratch, fault);
                error = "the upload could not be written to the workspace";
                ok = false;
            }
        });
        if (!ran) return Refuse(res, 503, "the host has stopped");
        if (!ok) return Refuse(res, 500, error);
        res.set_content(json{{"ok", true}, {"name", name}, {"bytes", req.body.size()}}.dump(),
                        kJson);
    });

    server.Get(R"(/api/files/(.+))", [&](const httplib::Request& req, httplib::Response& res) {
        fs::path source;
        std::string error, content;
        if (!workspace.DownloadSource(req.matches[1], source, error))
            return Refuse(res, 404, error);
        if (!ReadFile(source, content)) return Refuse(res, 500, "cannot read " + source.string());
        res.set_header("Content-Disposition",
                       "attachment; filename=\"" + source.filename().string() + "\"");
        res.set_content(std::move(content), ContentType(source));
    });

    server.Get("/api/events", [&](const httplib::Request&, httplib::Response& res) {
        auto seen = std::make_shared<uint64_t>(events.Count());
        res.set_header("Cache-Control", "no-store");
        ++events.listeners;
        res.set_chunked_content_provider(
            "text/event-stream",
            [&events, seen](size_t, httplib::DataSink& sink) {
                if (events.Closed()) {
                    sink.done();
                    return true;
                }
                std::string out;
                for (const std::string& e : events.Next(*seen, std::chrono::milliseconds(10000)))
                    out += "data: " + e + "\n\n";
                if (out.empty()) out = ": still here\n\n";
                return sink.write(out.data(), out.size());
            },
            [&events](bool) { --events.listeners; });
    });

    server.Post("/api/answer", [&](const httplib::Request& req, httplib::Response& res) {
        // Not queued: the command that waits for the answer holds the host's thread.
        const uint64_t ask = NumberParam(req, "ask");
        const uint64_t button = NumberParam(req, "button");
        bool taken = false;
        {
            std::lock_guard<std::mutex> lock(askMutex);
            if (ask == asked && asked != 0 && answered == 0 && button >= 1 && button <= 32767) {
                answered = static_cast<int16_t>(button);
                taken = true;
            }
        }
        askWake.notify_all();
        if (!taken) return Refuse(res, 409, "no such question is waiting, or it was answered");
        res.set_content(json{{"ok", true}}.dump(), kJson);
    });

    int port = options.port;
    if (port == 0)
        port = server.bind_to_any_port(options.bind);
    else if (!server.bind_to_port(options.bind, port))
        port = -1;
    if (port < 0) {
        std::cerr << "cadhost: cannot listen on " << options.bind << ":" << options.port << "\n";
        return 1;
    }
    const std::string host =
        options.bind.find(':') != std::string::npos ? "[" + options.bind + "]" : options.bind;
    std::cout << "cadhost: serving the workspace " << workspace.Root().string() << " at\n"
              << "http://" << host << ":" << port << "/?token=" << token << std::endl;

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::thread listener([&] { server.listen_after_bind(); });
    // The model's glTF is made now, while a page opened at the address loads its scripts.
    state.ModelGlb();
    while (!gStop && !session.QuitRequested()) {
        if (auto job = queue.Next(std::chrono::milliseconds(200))) (*job)();
    }
    queue.Stop();
    events.Close();
    // The page that sent `quit` gets its answer before the connections close.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    server.stop();
    listener.join();
    tap.SetLineListener(nullptr);
    session.SetAlertAsker(nullptr);
    std::cout << "cadhost: the workspace is no longer served" << std::endl;
    return 0;
}

}  // namespace CadHost::Web
