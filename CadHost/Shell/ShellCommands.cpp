// The session commands of the host itself: the add-on's menu, alert answers, project events, the
// report window.
#include <cctype>
#include <cstdlib>
#include <sstream>

#include "Host.h"
#include "RS.h"
#include "ParseInteger.h"
#include "Registry.h"
#include "ReportWindow.h"
#include "Shell/ProgressWatch.h"
#include "Shell/Session.h"

namespace CadHost {
namespace {

bool ParseInt(const std::string& text, int32_t& value) { return ParseInteger(text, value); }

bool Help(Session& s, const std::vector<std::string>&, std::string&) {
    s.Out() << "Commands:\n";
    for (const auto& [name, command] : Registry::Get().Commands())
        s.Out() << "  " << command.usage << "\n      " << command.help << "\n";
    return true;
}

// A menu item's text as a person names it: case does not matter, nor a trailing "...".
std::string MenuItemKey(std::string text) {
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, "...") == 0) text.resize(text.size() - 3);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool Menu(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (args.empty()) {
        error = "usage: menu N, or menu ITEM TEXT";
        return false;
    }
    if (Host::Get().menuHandler == nullptr) {
        error = "the add-on has installed no menu";
        return false;
    }
    const RS::Menu* menu = RSGetMenu(Host::Get().menuHandlerResID, s.AddOn().Resources());
    int32_t item = 0;
    if (args.size() != 1 || !ParseInt(args[0], item)) {
        // Chosen by its text, as it stands in the menu: "menu Open Schedule...".
        std::string wanted;
        for (const std::string& a : args) wanted += (wanted.empty() ? "" : " ") + a;
        const std::string key = MenuItemKey(wanted);
        for (size_t i = 0; menu != nullptr && i < menu->items.size() && item == 0; ++i) {
            const auto set = Host::Get().menuItemTexts.find(
                {Host::Get().menuHandlerResID, static_cast<int16_t>(i + 1)});
            if (MenuItemKey(menu->items[i]) == key ||
                (set != Host::Get().menuItemTexts.end() && MenuItemKey(set->second) == key))
                item = static_cast<int32_t>(i + 1);
        }
        if (item == 0) {
            error = "the menu has no item '" + wanted + "' ('menus' lists them)";
            return false;
        }
    }
    std::string label;
    if (menu != nullptr && item >= 1 && item <= static_cast<int32_t>(menu->items.size()))
        label = menu->items[static_cast<size_t>(item - 1)];
    s.Out() << "menu " << item << (label.empty() ? "" : " (" + label + ")") << "\n";
    ProgressWatch watch(s);
    Host::Get().RunMenuCommand(item);
    return true;
}

bool Menus(Session& s, const std::vector<std::string>&, std::string&) {
    for (const auto& m : Host::Get().menus) {
        const RS::Menu* menu = RSGetMenu(m.menuResID, s.AddOn().Resources());
        s.Out() << "menu " << m.menuResID << ": " << (menu ? menu->title : "(no texts)") << "\n";
        if (menu == nullptr) continue;
        for (size_t i = 0; i < menu->items.size(); ++i) {
            const auto set = Host::Get().menuItemTexts.find(
                {m.menuResID, static_cast<int16_t>(i + 1)});
            const std::string& text =
                set != Host::Get().menuItemTexts.end() ? set->second : menu->items[i];
            s.Out() << "  " << (i + 1) << "  " << text << "\n";
        }
    }
    return true;
}

bool Answer(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (args.empty()) {
        error = "usage: answer N [N ...]";
        return false;
    }
    for (const std::string& a : args) {
        int32_t n = 0;
        if (!ParseInt(a, n) || n < 1) {
            error = "an answer is a button number from 1: '" + a + "'";
            return false;
        }
        s.QueueAnswer("alert", {a});
    }
    return true;
}

bool Event(Session& s, const std::vector<std::string>& args, std::string& error) {
    Host& host = Host::Get();
    const std::string what = args.empty() ? "" : args[0];
    int32_t mask = 0;
    if (what == "close" && args.size() == 1) {
        mask = APINotify::Close;
    } else if (what == "new" && args.size() == 1) {
        mask = APINotify::New;
    } else if (what == "signin" && args.size() == 2) {
        int32_t user = 0;
        if (!ParseInt(args[1], user) || user < 1 || user > INT16_MAX) {
            error = "a user number is from 1 to 32767";
            return false;
        }
        host.sharedProject = true;
        host.signedInUser = static_cast<int16_t>(user);
        mask = APINotify::SignIn;
    } else if (what == "signout" && args.size() == 1) {
        host.sharedProject = false;
        host.signedInUser = 0;
        mask = APINotify::SignOut;
    } else {
        error = "usage: event close | new | signin USER | signout";
        return false;
    }
    s.Out() << "event " << what << "\n";
    host.RaiseProjectEvent(mask, 0);
    return true;
}

bool Report(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (!args.empty() && args[0] == "clear") {
        ReportWindow::Clear();
        return true;
    }
    if (!args.empty()) {
        error = "usage: report [clear]";
        return false;
    }
    const auto lines = ReportWindow::Lines();
    s.Out() << "report window (" << lines.size() << " lines):\n";
    for (const std::string& line : lines) s.Out() << "  " << line << "\n";
    return true;
}

bool File(Session& s, const std::vector<std::string>& args, std::string& error) {
    int32_t filter = 0;
    if (args.empty() || args.size() > 2 || (args.size() == 2 && !ParseInt(args[1], filter))) {
        error = "usage: file PATH [FILTER] | file cancel";
        return false;
    }
    s.QueueAnswer("file", args);
    return true;
}

bool Dialog(Session& s, const std::vector<std::string>& args, std::string& error) {
    if (args.empty()) {
        error = "usage: dialog WORD ... | dialog cancel";
        return false;
    }
    s.QueueAnswer("dialog", args);
    return true;
}

bool Echo(Session& s, const std::vector<std::string>& args, std::string&) {
    for (size_t i = 0; i < args.size(); ++i) s.Out() << (i ? " " : "") << args[i];
    // Flushed, so that whoever watches the output can take it as a mark of where the session is.
    s.Out() << "\n" << std::flush;
    return true;
}

bool Quit(Session& s, const std::vector<std::string>&, std::string&) {
    s.RequestQuit();
    return true;
}

Registrar commands([](Registry& r) {
    r.AddCommand("help", {"help", "lists the commands", Help});
    r.AddCommand("menu", {"menu N | menu ITEM TEXT",
                          "chooses item N of the add-on's menu, or the item with that text", Menu});
    r.AddCommand("menus", {"menus", "lists the add-on's menus and their items", Menus});
    r.AddCommand("answer", {"answer N [N ...]",
                            "answers the coming alerts in order with these button numbers "
                            "(none queued: the first button)",
                            Answer});
    r.AddCommand("event", {"event close | new | signin USER | signout",
                           "raises a project event (signin makes the project shared)", Event});
    r.AddCommand("report", {"report [clear]", "prints (or clears) the report window", Report});
    r.AddCommand("file", {"file PATH [FILTER] | file cancel",
                          "answers the next file dialog with this file and file type (none queued: "
                          "the user cancels)",
                          File});
    r.AddCommand("dialog",
                 {"dialog WORD ... | dialog cancel",
                  "answers the next dialog of the add-on (none queued: the user cancels)", Dialog});
    r.AddCommand("echo", {"echo TEXT", "prints the text (at once, also into a pipe)", Echo});
    r.AddCommand("quit", {"quit", "ends the session", Quit});
});

}  // namespace
}  // namespace CadHost
