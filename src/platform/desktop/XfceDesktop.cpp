#include "XfceDesktop.h"

#include <glib.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace corvellin {

namespace {

constexpr const char* kLastImage = "/last-image";

struct Run {
    bool ok = false;
    std::string out;
    std::string message;  // the error text when not ok
};

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r')) text.pop_back();
    return text;
}

Run Query(const std::string& tool, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {tool, "-c", kXfceDesktopChannel});
    std::vector<gchar*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    gchar* out = nullptr;
    gchar* err = nullptr;
    gint status = 0;
    GError* error = nullptr;
    Run run;
    const gboolean spawned = g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, &out, &err,
                                          &status, &error);
    run.out = out ? out : "";
    const std::string errText = Trimmed(err ? err : "");
    g_free(out);
    g_free(err);
    if (!spawned) {
        run.message = error ? error->message : "xfconf-query could not be started";
    } else if (!g_spawn_check_wait_status(status, &error)) {
        run.message = errText.empty() ? std::string(error ? error->message : "xfconf-query failed") : errText;
    } else {
        run.ok = true;
    }
    if (error) g_error_free(error);
    return run;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

XfceResult WriteXfceBackdrop(const std::string& picture, int imageStyle) {
    gchar* found = g_find_program_in_path("xfconf-query");
    if (!found) return {XfceProblem::NoTool, "xfconf-query"};
    const std::string tool = found;
    g_free(found);

    // The properties of the monitors that xfdesktop has seen: one
    // last-image for each monitor and workspace.
    const Run list = Query(tool, {"-l"});
    if (!list.ok) return {XfceProblem::Refused, list.message};
    std::vector<std::string> backdrops;
    std::istringstream lines(list.out);
    for (std::string line; std::getline(lines, line);) {
        line = Trimmed(line);
        if (line.rfind("/backdrop/", 0) == 0 && EndsWith(line, kLastImage))
            backdrops.push_back(line.substr(0, line.size() - std::string(kLastImage).size()));
    }
    if (backdrops.empty()) return {XfceProblem::NoMonitors, std::string(kXfceDesktopChannel) + " /backdrop/.../last-image"};

    const std::string style = std::to_string(imageStyle);
    for (const std::string& base : backdrops) {
        if (!picture.empty()) {
            const Run set = Query(tool, {"-p", base + kLastImage, "-n", "-t", "string", "-s", picture});
            if (!set.ok) return {XfceProblem::Refused, base + kLastImage + ": " + set.message};
        }
        const Run set = Query(tool, {"-p", base + "/image-style", "-n", "-t", "int", "-s", style});
        if (!set.ok) return {XfceProblem::Refused, base + "/image-style: " + set.message};
    }
    for (const std::string& base : backdrops) {
        struct Expect {
            std::string property;
            std::string value;
        };
        std::vector<Expect> expected = {{base + "/image-style", style}};
        if (!picture.empty()) expected.push_back({base + kLastImage, picture});
        for (const Expect& e : expected) {
            const Run get = Query(tool, {"-p", e.property});
            if (!get.ok) return {XfceProblem::Refused, e.property + ": " + get.message};
            if (Trimmed(get.out) != e.value)
                return {XfceProblem::NotKept, e.property + " = \"" + Trimmed(get.out) + "\", not \"" + e.value + "\""};
        }
    }
    return {};
}

}  // namespace corvellin
