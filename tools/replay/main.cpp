// fenwater-replay [--utc HH:MM:SS.mmm] [--local HH:MM:SS] [--hiscore-a TEXT]
//                 [--hiscore-b TEXT] [--unlit] [--trace] [--link] SCRIPT
// Plays a script of timed input events on the real handheld core and prints the panel.
// A recorded game is such a script: its first line names the point it starts from.
// With --unlit, pictures show the unlit segments faintly. With --link the script must be a
// recorded game, and the tool prints it as the text of a link (the page's #game=...)
// instead of playing it.
// SCRIPT is a regular file, or "-" for standard input; times run from 0 to 10,000,000,000
// ms and lines hold at most 1,000 characters. A script outside these bounds, or one that
// is not a regular file, ends the tool with a message and status 2.
#include <sys/stat.h>

#include <fstream>
#include <iostream>

#include "replay.h"

#ifdef FW_REPLAY_PNG
#include "render.h"
#endif

namespace {

int usage(const char* why) {
    std::cerr << "fenwater-replay: " << why << "\n"
              << "usage: fenwater-replay [--utc HH:MM:SS.mmm] [--local HH:MM:SS] "
                 "[--hiscore-a TEXT] [--hiscore-b TEXT] [--unlit] [--trace] [--link] SCRIPT\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    fw::replay::Options options;
    std::string script;
    bool link = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--link") {
            link = true;
        } else if (arg == "--unlit") {
            options.unlit = true;
        } else if (arg == "--utc" || arg == "--local") {
            const char* v = value();
            auto t = v ? fw::replay::parseTimeOfDay(v, arg == "--utc") : std::nullopt;
            if (!t) return usage(("bad time for " + arg).c_str());
            (arg == "--utc" ? options.utcAtStart : options.localAtStart) = *t;
        } else if (arg == "--hiscore-a" || arg == "--hiscore-b") {
            const char* v = value();
            if (!v) return usage(("missing text for " + arg).c_str());
            (arg == "--hiscore-a" ? options.hiscoreA : options.hiscoreB) = v;
        } else if (script.empty() && (arg == "-" || arg.rfind("--", 0) != 0)) {
            script = arg;
        } else {
            return usage(("unexpected argument " + arg).c_str());
        }
    }
    if (script.empty()) return usage("no script");

    fw::replay::PngWriter png;
#ifdef FW_REPLAY_PNG
    png = [](const fw::Panel& panel, const std::string& file, int scale, bool unlit) {
        const fw::Look look = unlit ? fw::Look::UnlitFaint : fw::Look::LitOnly;
        return fw::renderPanel(panel, scale, look).save(QString::fromStdString(file), "PNG");
    };
#endif
    struct stat file {};
    if (script == "-") {
        if (fstat(0, &file) == 0 && S_ISDIR(file.st_mode))
            return usage("standard input is a folder");
        return link ? fw::replay::printLink(std::cin, std::cout, std::cerr)
                    : fw::replay::run(options, std::cin, std::cout, std::cerr, png);
    }
    if (stat(script.c_str(), &file) != 0) return usage(("cannot read " + script).c_str());
    if (!S_ISREG(file.st_mode)) return usage(("not a regular file: " + script).c_str());
    std::ifstream in(script);
    if (!in) return usage(("cannot read " + script).c_str());
    return link ? fw::replay::printLink(in, std::cout, std::cerr)
                : fw::replay::run(options, in, std::cout, std::cerr, png);
}
