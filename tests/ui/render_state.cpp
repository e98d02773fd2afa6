// Writes the headless render of the panel as the program shows it after start-up
// (the power-on pattern), with the built-in pictures: ui_render_state OUT.png
#include <QGuiApplication>
#include <cstdio>

#include "render.h"
#include "support.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_render_state OUT.png\n");
        return 2;
    }
    fw::test::FakeStore store;
    fw::test::FakeCues cues;
    fw::test::FakeTime time;
    struct NoWindow : fw::WindowHost {
        int windowLeft() const override { return 0; }
        int windowTop() const override { return 0; }
        void setWindowLeft(int) override {}
        void setWindowTop(int) override {}
        void beep() override {}
        void reportStoreError(const std::string&) override {}
    } window;
    fw::Handheld handheld(store, cues, time, window);
    handheld.create();
    try {
        return fw::renderPanel(handheld.panel()).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0
                                                                                              : 1;
    } catch (const fw::PictureError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
