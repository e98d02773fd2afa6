// Writes the headless render of a state of the panel with the built-in pictures:
//   ui_render_state OUT.png [poweron|timeheld]
// poweron: as the program shows it after start-up; timeheld: then TIME pressed and held.
#include <QGuiApplication>
#include <cstdio>
#include <string>

#include "render.h"
#include "support.h"

int main(int argc, char** argv) {
    const std::string state = argc == 3 ? argv[2] : "poweron";
    if (argc < 2 || argc > 3 || (state != "poweron" && state != "timeheld")) {
        std::fprintf(stderr, "usage: ui_render_state OUT.png [poweron|timeheld]\n");
        return 2;
    }
    fw::standin::MemoryStore store;
    fw::standin::CueLog cues;
    fw::standin::VirtualTime time;
    fw::standin::HostWindow window;
    fw::Handheld handheld(store, cues, time, window);
    handheld.create();
    if (state == "timeheld") handheld.mouseDown(fw::Puls_Time, fw::MouseButton::Left, 5, 5);
    try {
        return fw::renderPanel(handheld.panel()).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0
                                                                                              : 1;
    } catch (const fw::PictureError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
