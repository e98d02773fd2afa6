/* A pointer for a Wayland compositor that has none (a headless one), through the
 * wlroots virtual-pointer protocol: moves it and presses its buttons as told.
 *
 *   fenwater-test-pointer WIDTH HEIGHT STEP...
 *
 * WIDTH x HEIGHT is the extent of the screen for absolute positions. Each STEP is
 *   at X Y         the pointer to X, Y on the screen
 *   by DX DY       the pointer moved by DX, DY
 *   down BUTTON    BUTTON (left, right) pressed
 *   up BUTTON      BUTTON released
 *   wait MS        a pause of MS milliseconds
 * Every step ends its frame, reaches the compositor and is given 20 ms before the next
 * one, as a hand would; the new pointer is given 100 ms to join the seat first. The
 * pointer leaves the seat when the program ends, so a step that needs the pointer to
 * stay (a hint under it) ends with a wait. Exits 1 when the compositor offers no
 * virtual pointer, 2 on a bad step. */
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

static struct wl_seat* seat;
static struct zwlr_virtual_pointer_manager_v1* manager;

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                   uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !seat)
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global, global_remove};

static void pause_ms(long ms) {
    struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

static uint32_t now_ms(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

static int button_code(const char* name) {
    if (strcmp(name, "left") == 0) return BTN_LEFT;
    if (strcmp(name, "right") == 0) return BTN_RIGHT;
    return -1;
}

static int bad(const char* why, const char* word) {
    fprintf(stderr, "fenwater-test-pointer: %s '%s'\n", why, word ? word : "");
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 3) return bad("usage: WIDTH HEIGHT STEP...", NULL);
    const long width = strtol(argv[1], NULL, 10), height = strtol(argv[2], NULL, 10);
    if (width <= 0 || height <= 0) return bad("bad screen size", argv[1]);
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fprintf(stderr, "fenwater-test-pointer: no Wayland display\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!manager) {
        fprintf(stderr, "fenwater-test-pointer: the compositor offers no virtual pointer\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    pause_ms(100);
    for (int i = 3; i < argc; ++i) {
        const char* step = argv[i];
        const char* a = i + 1 < argc ? argv[i + 1] : NULL;
        const char* b = i + 2 < argc ? argv[i + 2] : NULL;
        if (strcmp(step, "at") == 0 && b) {
            const long x = strtol(a, NULL, 10), y = strtol(b, NULL, 10);
            if (x < 0 || y < 0 || x > width || y > height) return bad("off the screen", a);
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), (uint32_t)x, (uint32_t)y,
                                                    (uint32_t)width, (uint32_t)height);
            i += 2;
        } else if (strcmp(step, "by") == 0 && b) {
            zwlr_virtual_pointer_v1_motion(pointer, now_ms(), wl_fixed_from_int(atoi(a)),
                                           wl_fixed_from_int(atoi(b)));
            i += 2;
        } else if ((strcmp(step, "down") == 0 || strcmp(step, "up") == 0) && a) {
            const int code = button_code(a);
            if (code < 0) return bad("unknown button", a);
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), (uint32_t)code,
                                           strcmp(step, "down") == 0
                                               ? WL_POINTER_BUTTON_STATE_PRESSED
                                               : WL_POINTER_BUTTON_STATE_RELEASED);
            i += 1;
        } else if (strcmp(step, "wait") == 0 && a) {
            pause_ms(strtol(a, NULL, 10));
            i += 1;
            continue;
        } else {
            return bad("bad step", step);
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        pause_ms(20);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
